// Loading and saving a database of 1,000 languages, each made from the template (14 tokensets) with
// about 2 KB of keywords, against reading and writing the same bytes with plain file I/O. The ratio
// counters compare each model operation with the plain I/O timed in the same run.
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/languagetemplate.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <unistd.h>

namespace {

constexpr int kLanguages = 1000;

struct Fixture {
    QTemporaryDir dir;
    Database db;
    QByteArray bytes;

    Fixture()
    {
        QString keywords;
        for (int i = 0; keywords.size() < 2000; ++i)
            keywords += QStringLiteral("keyword%1\r\n").arg(i);
        const QString sample = QStringLiteral("<< and if else 12.5 'help'\r\n").repeated(10);
        db.languages.resize(kLanguages);
        for (int i = 0; i < kLanguages; ++i) {
            LanguageTemplate::fill(db.languages[i], QStringLiteral("Language %1").arg(i), sample, keywords,
                                   QStringLiteral("+\r\n-\r\n*\r\n/\r\n"), QStringLiteral("https?://\\S+"));
        }
        DatabaseFile::encode(db.languages, bytes);
        DatabaseStore::SaveChanges(db, dir.path());
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since)
{
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double plainRead(const QString &path)
{
    const auto start = Clock::now();
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(f.readAll());
    return seconds(start);
}

// Plain write of the same bytes; with sync, flushed to disk as the atomic save does before renaming.
double plainWrite(const QString &path, const QByteArray &bytes, bool sync)
{
    const auto start = Clock::now();
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    f.flush();
    if (sync)
        ::fsync(f.handle());
    f.close();
    return seconds(start);
}

void report(benchmark::State &state, double own, double plain)
{
    state.counters["MB"] = double(fixture().bytes.size()) / 1e6;
    state.counters["plain_ms"] = plain * 1e3 / double(state.iterations());
    state.counters["ratio"] = own / plain;
}

void BM_LoadFileData(benchmark::State &state)
{
    Fixture &f = fixture();
    double own = 0;
    double plain = 0;
    for (auto _ : state) {
        Database db;
        const auto start = Clock::now();
        DatabaseStore::LoadFileData(db, f.dir.path());
        const double t = seconds(start);
        state.SetIterationTime(t);
        own += t;
        plain += plainRead(f.path("varlex.dat"));
    }
    report(state, own, plain);
}

void BM_SaveChanges(benchmark::State &state)
{
    Fixture &f = fixture();
    double own = 0;
    double plain = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        DatabaseStore::SaveChanges(f.db, f.dir.path());
        const double t = seconds(start);
        state.SetIterationTime(t);
        own += t;
        plain += plainWrite(f.path("plain.dat"), f.bytes, state.range(0) != 0);
    }
    report(state, own, plain);
}

// The two halves of a save: building the file image in memory, and the atomic write.
void BM_EncodeOnly(benchmark::State &state)
{
    QByteArray out;
    for (auto _ : state)
        DatabaseFile::encode(fixture().db.languages, out);
}

void BM_DecodeOnly(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(DatabaseFile::decode(fixture().bytes));
}

void BM_PlainRead(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(plainRead(fixture().path("varlex.dat")));
}

void BM_PlainWrite(benchmark::State &state)
{
    for (auto _ : state)
        state.SetIterationTime(plainWrite(fixture().path("plain.dat"), fixture().bytes, state.range(0) != 0));
}

} // namespace

BENCHMARK(BM_LoadFileData)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);
// Argument 1: the plain write is synced to disk, as the atomic save is; 0: it is not.
BENCHMARK(BM_SaveChanges)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
