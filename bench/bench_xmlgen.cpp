// Cost of regenerating a large language: after a keystroke only the current tokenset is rebuilt
// (mode 0), the other tokensets come from the writer's cache; a full run (mode 1) rebuilds all.
// The plain write of the same bytes is the floor both are measured against.
#include "model/database.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class BenchHost : public WriterHost {
public:
    explicit BenchHost(QString folder) : folder_(std::move(folder)) {}
    QString programFolder() const override { return folder_; }

private:
    QString folder_;
};

// 51 included tokensets of 200 tokens each; every tenth token carries attributes.
Database bigDatabase()
{
    Database db;
    Language lang;
    lang.name = QStringLiteral("Big");
    lang.wordchars = QStringLiteral("[\\w]");
    lang.memberlist = QStringLiteral("<none>");
    lang.whitespaceasparamblock = 1;
    for (int i = 0; i < Language::kSlots; ++i) {
        Tokenset &ts = lang.tokensets[size_t(i)];
        ts.name = QStringLiteral("Tokenset %1").arg(i);
        ts.id = QStringLiteral("keywords");
        ts.type = i % 4 == 0 ? QStringLiteral("scope") : QStringLiteral("list");
        ts.fontstyle = QStringLiteral("normal");
        ts.inheritfrom = i ? QStringLiteral("Tokenset 0") : QStringLiteral("<none>");
        ts.tmemberlist = QStringLiteral("<none>");
        ts.included = 1;
        ts.enabled = 1;
        ts.rule = QStringLiteral("Word");
        ts.validscope.fill(QStringLiteral("<none>"));
        ts.validscope[0] = QStringLiteral("NULL");
        QStringList tokens;
        for (int t = 0; t < 200; ++t) {
            tokens += t % 10 ? QStringLiteral("keyword_%1_%2").arg(i).arg(t)
                             : QStringLiteral("call_%1 :::: ListMembers :::: false :::: word").arg(t);
        }
        ts.tokens = tokens.join(QStringLiteral("\r\n"));
        ts.tokens2 = QStringLiteral("end\r\nfinish");
    }
    db.languages += lang;
    db.currentTokenset = 25;
    return db;
}

struct Setup {
    QTemporaryDir dir;
    Database db = bigDatabase();
    BenchHost host{dir.path()};
    XmlWriter writer{db, host};
};

void BM_WriteXmlMode0(benchmark::State &state)
{
    Setup s;
    (void)s.writer.WriteXML(0, true, 1);
    QString &tokens = s.db.languages[0].tokensets[25].tokens;
    for (auto _ : state) {
        tokens += u'x'; // a keystroke in the current tokenset
        const WriteResult r = s.writer.WriteXML(0, true, 0);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(QDir(s.dir.path()).filePath("varlex.lng")).size());
}

void BM_WriteXmlMode1(benchmark::State &state)
{
    Setup s;
    for (auto _ : state) {
        const WriteResult r = s.writer.WriteXML(0, true, 1);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(QDir(s.dir.path()).filePath("varlex.lng")).size());
}

// The text alone, without the file: what the cache saves.
void BM_GenerateOnly(benchmark::State &state)
{
    Setup s;
    const int mode = int(state.range(0));
    (void)s.writer.generate(0, 1, false, false);
    QString &tokens = s.db.languages[0].tokensets[25].tokens;
    for (auto _ : state) {
        tokens += u'x';
        benchmark::DoNotOptimize(s.writer.generate(0, mode, false, false));
    }
    state.SetLabel(mode ? "mode 1" : "mode 0");
}

// The same bytes written to a file: plainly over the old file, and replaced through a temporary file
// as the writer does (without and with waiting for the disk).
void BM_PlainWrite(benchmark::State &state)
{
    Setup s;
    const QByteArray bytes = XmlWriter::fileBytes(s.writer.generate(0, 1, false, false));
    const QString path = QDir(s.dir.path()).filePath("plain.lng");
    const int how = int(state.range(0));
    for (auto _ : state) {
        if (how == 0) {
            QFile f(path);
            f.open(QIODevice::WriteOnly | QIODevice::Truncate);
            benchmark::DoNotOptimize(f.write(bytes));
        } else {
            benchmark::DoNotOptimize(
                OutputFile::write(path, bytes, how == 1 ? OutputFile::Sync::Replaceable : OutputFile::Sync::Durable));
        }
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.SetLabel(how == 0 ? "in place" : how == 1 ? "replaced" : "replaced, synced");
}

} // namespace

BENCHMARK(BM_WriteXmlMode0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteXmlMode1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GenerateOnly)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainWrite)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
