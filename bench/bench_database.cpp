// Loading and saving a database of 1,000 languages, each made from the template (14 tokensets) with
// about 2 KB of keywords, against reading and writing the same bytes with plain file I/O. The ratio
// counters compare each model operation with the plain I/O timed in the same run. BM_PeakMemory
// measures the memory a load or save takes at its peak, per byte of the file, for three shapes of
// database.
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/languagetemplate.h"

#include "peakmemory.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

#include <fcntl.h>
#include <malloc.h>
#include <sys/wait.h>
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

// Argument 0: the 1,000 template languages of the fixture. 1: 4,000 blank languages (every slot
// free). 2: 20 languages of 51 tokensets, each with a token list of 60 KB.
Database shapedDatabase(int shape)
{
    if (shape == 0)
        return fixture().db;
    Database db;
    if (shape == 1) {
        db.languages.resize(4000);
        return db;
    }
    db.languages.resize(20);
    const QString tokens = QStringLiteral("token\r\n").repeated(60000 / 7);
    for (int i = 0; i < db.languages.size(); ++i) {
        Language &l = db.languages[i];
        l.name = QStringLiteral("Large %1").arg(i);
        for (int k = 0; k < Language::kSlots; ++k) {
            l.tokensets[k].name = QStringLiteral("Set %1").arg(k);
            l.tokensets[k].tokens = tokens + QString::number(i * 100 + k); // no two alike
        }
    }
    return db;
}

void BM_PeakMemory(benchmark::State &state)
{
    QTemporaryDir dir;
    qint64 size = 0;
    {
        Database db = shapedDatabase(int(state.range(0)));
        DatabaseStore::SaveChanges(db, dir.path());
        size = QFileInfo(DatabaseStore::databasePath(dir.path())).size();
    }
    long long load = 0;
    long long save = 0;
    for (auto _ : state) {
        load = peakGrowth([&] {
            Database db;
            DatabaseStore::LoadFileData(db, dir.path());
        });
        Database db;
        DatabaseStore::LoadFileData(db, dir.path());
        save = peakGrowth([&] { DatabaseStore::SaveChanges(db, dir.path()); });
    }
    state.counters["MB"] = double(size) / 1e6;
    state.counters["load_per_byte"] = double(load) / double(size);
    state.counters["save_per_byte"] = double(save) / double(size);
}

} // namespace

BENCHMARK(BM_PeakMemory)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFileData)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);
// Argument 1: the plain write is synced to disk, as the atomic save is; 0: it is not.
BENCHMARK(BM_SaveChanges)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainWrite)->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeOnly)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
