// Benchmark B: colouring a 100 KB C sample in full, against one keystroke in its middle line.
// A keystroke re-colours from its line until the scope state repeats, so it should cost at most a
// twentieth of the full colouring (in practice one line).
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/documenthighlighter.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textrenderer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QString sourceFile(const QString &relative)
{
    return QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(QStringLiteral("../") + relative);
}

struct Fixture {
    CompiledLanguagePtr language;
    QString text; // about 100 KB

    Fixture()
    {
        LanguageDefinition def;
        DefinitionError error;
        if (!DefinitionReader::readFile(sourceFile(QStringLiteral("data/languages/c.lng")), def, error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
            std::abort();
        }
        language = CompiledLanguage::compile(def);
        QFile sample(sourceFile(QStringLiteral("data/languages/c.txt")));
        if (!sample.open(QIODevice::ReadOnly))
            std::abort();
        const QString piece = QString::fromUtf8(sample.readAll());
        while (text.size() < 100 * 1024)
            text += piece;
    }
};

const Fixture &fixture()
{
    static const Fixture f;
    return f;
}

void BM_FullRecolour(benchmark::State &state)
{
    const Fixture &f = fixture();
    DocumentHighlighter doc(f.language);
    for (auto _ : state) {
        doc.setText(f.text);
        benchmark::DoNotOptimize(doc.runs(0));
    }
    state.counters["lines"] = doc.lineCount();
    state.SetBytesProcessed(state.iterations() * f.text.size() * 2);
}
BENCHMARK(BM_FullRecolour)->Unit(benchmark::kMillisecond);

void BM_Keystroke(benchmark::State &state)
{
    const Fixture &f = fixture();
    DocumentHighlighter doc(f.language);
    doc.setText(f.text);
    const int middle = doc.lineCount() / 2;
    const QString before = doc.line(middle);
    QString after = before;
    after.insert(after.size() / 2, QLatin1Char('x'));
    bool typed = false;
    int recoloured = 0;
    for (auto _ : state) {
        typed = !typed; // type a character, then take it back
        recoloured = doc.replaceLines(middle, 1, {typed ? after : before});
    }
    state.counters["lines_recoloured"] = recoloured;
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

void BM_Keystroke_OpensComment(benchmark::State &state)
{
    // The worst case: the keystroke opens a block comment that runs to the end of the text.
    const Fixture &f = fixture();
    DocumentHighlighter doc(f.language);
    doc.setText(f.text);
    const int middle = doc.lineCount() / 2;
    const QString before = doc.line(middle);
    const QString after = QStringLiteral("/*") + before;
    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        benchmark::DoNotOptimize(doc.replaceLines(middle, 1, {typed ? after : before}));
    }
}
BENCHMARK(BM_Keystroke_OpensComment)->Unit(benchmark::kMillisecond);

void BM_Compile(benchmark::State &state)
{
    const LanguageDefinition &def = fixture().language->definition();
    for (auto _ : state)
        benchmark::DoNotOptimize(CompiledLanguage::compile(def));
}
BENCHMARK(BM_Compile)->Unit(benchmark::kMicrosecond);

void BM_Html(benchmark::State &state)
{
    const Fixture &f = fixture();
    Highlighter h(f.language);
    const QVector<StyleRun> runs = h.highlightText(f.text, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(TextRenderer::toHtml(f.text, runs, *f.language));
    state.SetBytesProcessed(state.iterations() * f.text.size() * 2);
}
BENCHMARK(BM_Html)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
