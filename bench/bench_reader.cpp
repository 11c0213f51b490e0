// Loading a large definition: 51 tokensets holding 10,000 tokens, literal and regular-expression
// tokens mixed, in the form the writer produces. Compare BM_LoadDefinition with BM_ReadBytes (the
// same file's bytes alone) and BM_ScanXml (decoding and tokenizing the XML, keeping nothing) for the
// reader's own cost; /1 is a first load, /0 a reload. BM_DefinitionPeakMemory: the memory reading and
// compiling a definition of many literal tokens takes at its peak, per byte of the file.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/languageobject.h"
#include "editorcontrol/compiledpattern.h"
#include "model/ansicodec.h"

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <benchmark/benchmark.h>

#include "peakmemory.h"

namespace {

constexpr int kTokensets = 51;
constexpr int kTokens = 10000;

QByteArray largeDefinition()
{
    QByteArray xml = "<language name=\"Bench\" casesensitive=\"false\" whitespaceasparamblock=\"true\" "
                     "wordchars=\"[\\w]\" memberlist=\"\">";
    int written = 0;
    for (int t = 0; t < kTokensets; ++t) {
        const bool regexp = t % 2 == 1;
        const bool scope = t % 5 == 4;
        xml += "\r\n<tokenset name=\"Set" + QByteArray::number(t) + "\" id=\"keywords\" type=\""
            + (scope ? "scope" : "list") + "\" autoindent=\"false\" backcolor=\"16777215\" casesensitive=\"false\" "
              "chain=\"true\" enabled=\"true\" forecolor=\"" + QByteArray::number(t * 1000)
            + "\" fontstyle=\"bold\" hidden=\"false\" memberlist=\"\" inheritfrom=\"\" matchbraces=\"false\" "
              "normalizecase=\"false\" singlelinescope=\"false\" symmetrical=\"false\" >";
        xml += "\r\n     <validscope name=\"\"/>";
        xml += QByteArray("\r\n     <tokens regexp=\"") + (regexp ? "true" : "false") + "\" rule=\"word\">";
        const int count = (kTokens - written) / (kTokensets - t);
        for (int i = 0; i < count; ++i) {
            const QByteArray n = QByteArray::number(written + i);
            const QByteArray text = regexp ? "id" + n + "_[A-Za-z0-9]*(\\.[0-9]+)?" : "keyword" + n;
            xml += "\r\n          <token  action=\"\" regexp=\"" + QByteArray(regexp ? "true" : "false")
                + "\" rule=\"word\">" + text + "</token>";
        }
        written += count;
        xml += "\r\n     </tokens>";
        if (scope)
            xml += "\r\n     <tokens2 regexp=\"false\" rule=\"\">\r\n          <token >end</token>\r\n     </tokens2>";
        xml += "\r\n</tokenset>";
    }
    return xml + "\r\n</language>\r\n";
}

struct Fixture {
    QTemporaryDir dir;
    QString path;
    Fixture()
    {
        path = dir.filePath(QStringLiteral("bench.lng"));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(largeDefinition());
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_ReadBytes(benchmark::State &state)
{
    const QString path = fixture().path;
    qint64 bytes = 0;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray data = f.readAll();
        bytes = data.size();
        benchmark::DoNotOptimize(data.constData());
    }
    state.counters["bytes"] = double(bytes);
}

// Decoding the bytes and walking every XML token without keeping anything: the floor of any reader.
void BM_ScanXml(benchmark::State &state)
{
    const QString path = fixture().path;
    qint64 elements = 0;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        QXmlStreamReader xml(AnsiCodec::decode(f.readAll()));
        elements = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement)
                ++elements;
        }
        benchmark::DoNotOptimize(elements);
    }
    state.counters["elements"] = double(elements);
}

// state.range(0): 1 starts every load with an empty pattern cache (a first load), 0 keeps it (the
// preview's reload after an edit).
void BM_LoadDefinition(benchmark::State &state)
{
    const QString path = fixture().path;
    const bool cold = state.range(0) != 0;
    int tokens = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            CompiledPattern::clearCache();
            state.ResumeTiming();
        }
        LanguageObject object;
        if (!object.load(path)) {
            state.SkipWithError(object.error().toString().toUtf8().constData());
            return;
        }
        tokens = 0;
        for (int k = 0; k < object.tokensetCount(); ++k)
            tokens += int(object.tokenset(k)->tokens.tokens.size());
        benchmark::DoNotOptimize(tokens);
    }
    state.counters["tokens"] = tokens;
}

// state.range(0) thousand keyword tokens over 51 tokensets, written as the writer writes them (about
// 72 bytes a token: /500 is near the read limit).
void BM_DefinitionPeakMemory(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.lng"));
    const int tokens = int(state.range(0)) * 1000;
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return state.SkipWithError("cannot write the definition");
        f.write("<language name=\"Many\">");
        for (int t = 0, written = 0; t < kTokensets; ++t) {
            const int count = (tokens - written) / (kTokensets - t);
            QByteArray set = "\r\n<tokenset name=\"Set" + QByteArray::number(t) + "\" id=\"keywords\">"
                             "\r\n     <tokens regexp=\"false\" rule=\"word\">";
            for (int i = 0; i < count; ++i)
                set += "\r\n          <token  action=\"\" regexp=\"false\" rule=\"word\">kw" + QByteArray::number(written + i)
                       + "</token>";
            written += count;
            f.write(set + "\r\n     </tokens>\r\n</tokenset>");
        }
        f.write("\r\n</language>\r\n");
    }
    const double size = double(QFile(path).size());
    long long peak = 0;
    for (auto _ : state) {
        peak = peakGrowth([&] {
            LanguageObject object;
            if (object.load(path))
                benchmark::DoNotOptimize(CompiledLanguage::compile(*object.definition()));
        });
    }
    state.counters["MB"] = size / 1e6;
    state.counters["per_byte"] = double(peak) / size;
}

} // namespace

BENCHMARK(BM_DefinitionPeakMemory)->Arg(100)->Arg(500)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDefinition)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
