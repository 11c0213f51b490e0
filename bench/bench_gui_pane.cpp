// The editor pane styling a 100 KB C sample: the whole text after a language change, against one
// keystroke in its middle line (typed, then taken back), through the editor's own styling requests.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "widgets/editorpane.h"
#include "widgets/panelexer.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

using Sci = QsciScintillaBase;

QString sourceFile(const QString &relative)
{
    return QDir(QStringLiteral(VARLEX_SOURCE_DIR)).absoluteFilePath(relative);
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

// Styles whatever is not styled yet, as painting the whole text would.
void styleRest(EditorPane &pane)
{
    pane.SendScintilla(Sci::SCI_COLOURISE, pane.SendScintilla(Sci::SCI_GETENDSTYLED), -1L);
}

void BM_PaneFullStyle(benchmark::State &state)
{
    const Fixture &f = fixture();
    EditorPane pane;
    pane.setText(f.text);
    pane.setLanguage(f.language);
    pane.paneLexer()->resetLinesStyled();
    for (auto _ : state) {
        pane.restyle();
        styleRest(pane);
    }
    state.counters["lines"] = pane.lines();
    state.counters["lines_styled"] =
        benchmark::Counter(pane.paneLexer()->linesStyled(), benchmark::Counter::kAvgIterations);
    state.SetBytesProcessed(state.iterations() * f.text.toUtf8().size());
}
BENCHMARK(BM_PaneFullStyle)->Unit(benchmark::kMillisecond);

void BM_PaneKeystroke(benchmark::State &state)
{
    const Fixture &f = fixture();
    EditorPane pane;
    pane.setText(f.text);
    pane.setLanguage(f.language);
    styleRest(pane);
    const int middle = pane.lines() / 2;
    const int column = pane.lineLength(middle) / 2;
    bool typed = false;
    pane.paneLexer()->resetLinesStyled();
    for (auto _ : state) {
        typed = !typed; // type a character, then take it back
        if (typed)
            pane.insertAt(QStringLiteral("x"), middle, column);
        else
            pane.SendScintilla(Sci::SCI_DELETERANGE, pane.positionFromLineIndex(middle, column), 1L);
        styleRest(pane);
    }
    state.counters["lines_styled"] =
        benchmark::Counter(pane.paneLexer()->linesStyled(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PaneKeystroke)->Unit(benchmark::kMicrosecond);

// Only the styling after the keystroke, the editor's own work on the edit left out.
void BM_PaneKeystrokeStylingOnly(benchmark::State &state)
{
    const Fixture &f = fixture();
    EditorPane pane;
    pane.setText(f.text);
    pane.setLanguage(f.language);
    styleRest(pane);
    const int middle = pane.lines() / 2;
    const int column = pane.lineLength(middle) / 2;
    bool typed = false;
    for (auto _ : state) {
        state.PauseTiming();
        typed = !typed;
        if (typed)
            pane.insertAt(QStringLiteral("x"), middle, column);
        else
            pane.SendScintilla(Sci::SCI_DELETERANGE, pane.positionFromLineIndex(middle, column), 1L);
        state.ResumeTiming();
        styleRest(pane);
    }
}
BENCHMARK(BM_PaneKeystrokeStylingOnly)->Unit(benchmark::kMicrosecond);

// What a preview costs the pane after each edit of a tokenset: a new language, the first screen styled.
void BM_PaneNewLanguage(benchmark::State &state)
{
    const Fixture &f = fixture();
    EditorPane pane;
    pane.setText(f.text);
    for (auto _ : state) {
        pane.setLanguage(f.language);
        pane.SendScintilla(Sci::SCI_COLOURISE, 0L, pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 60));
    }
}
BENCHMARK(BM_PaneNewLanguage)->Unit(benchmark::kMicrosecond);

// The editor's own cost of the same edit, without any styling: what a keystroke costs at the least.
void BM_EditorKeystrokeUnstyled(benchmark::State &state)
{
    const Fixture &f = fixture();
    QsciScintilla editor;
    editor.setText(f.text);
    const int middle = editor.lines() / 2;
    const int column = editor.lineLength(middle) / 2;
    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        if (typed)
            editor.insertAt(QStringLiteral("x"), middle, column);
        else
            editor.SendScintilla(Sci::SCI_DELETERANGE, editor.positionFromLineIndex(middle, column), 1L);
    }
}
BENCHMARK(BM_EditorKeystrokeUnstyled)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
