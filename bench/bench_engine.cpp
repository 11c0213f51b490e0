// Benchmark B: colouring a 100 KB C sample in full, against colouring again the middle line, which
// is what the engine does for a keystroke that opens or closes no scope.
//
// Then the engine at scale, each pair to be read side by side: 1 MB of C as one line against the
// same text in short lines (time is linear in line length); 10,000 regexp tokens against 10,000
// literal tokens on 100 KB; 33 KB that a regexp backtracking without end, (a+)+$, runs over,
// against the same text without that token, and one line that it runs over; a definition whose tokens
// each look to the line end on 512 KB in lines against one line; the three output forms of 1 MB.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
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

void BM_FullRecolour(benchmark::State &state)
{
    const Fixture &f = fixture();
    Highlighter h(f.language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(f.text));
    state.SetBytesProcessed(state.iterations() * f.text.size() * 2);
}
BENCHMARK(BM_FullRecolour)->Unit(benchmark::kMillisecond);

// What a keystroke in the middle line costs the engine: that line coloured again from its start state.
void BM_Keystroke(benchmark::State &state)
{
    const Fixture &f = fixture();
    const QStringList lines = f.text.split(QLatin1Char('\n'));
    Highlighter h(f.language);
    ScopeState at;
    QVector<StyleRun> runs;
    for (int i = 0; i < lines.size() / 2; ++i)
        at = h.highlightLine(lines[i], at, runs);
    QString line = lines[lines.size() / 2];
    line.insert(line.size() / 2, QLatin1Char('x'));
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightLine(line, at, runs));
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

void BM_Compile(benchmark::State &state)
{
    const LanguageDefinition &def = fixture().language->definition();
    for (auto _ : state)
        benchmark::DoNotOptimize(CompiledLanguage::compile(def));
}
BENCHMARK(BM_Compile)->Unit(benchmark::kMicrosecond);

LanguageDefinition readDefinition(const QString &relative)
{
    LanguageDefinition def;
    DefinitionError error;
    if (!DefinitionReader::readFile(sourceFile(relative), def, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error.toString()));
        std::abort();
    }
    return def;
}

// About 1 MB of the C sample, in its lines (0) or as one line (1).
void BM_LineLength(benchmark::State &state)
{
    const Fixture &f = fixture();
    QString text;
    while (text.size() < 1024 * 1024)
        text += f.text;
    if (state.range(0) == 1)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Highlighter h(f.language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(text, true));
    state.SetLabel(state.range(0) ? "one line" : "short lines");
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_LineLength)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 10,000 tokens kw0..kw9999 on 100 KB of such words and others: literal (0), regexps that are plain
// text (1), regexps with more than plain text, "kwN(_[0-9]+)?" (2), regexps that begin with a class,
// "[a-z]+_N" (3).
void BM_TenThousandTokens(benchmark::State &state)
{
    TokensetDefinition set;
    set.name = QStringLiteral("Words");
    set.id = 3;
    set.tokens.present = true;
    set.tokens.rule = QStringLiteral("word");
    for (int i = 0; i < 10000; ++i) {
        const QString word = QStringLiteral("kw%1").arg(i);
        const QString text = state.range(0) == 2   ? word + QStringLiteral("(_[0-9]+)?")
                             : state.range(0) == 3 ? QStringLiteral("[a-z]+_%1").arg(i)
                                                   : word;
        set.tokens.tokens.append(TokenDefinition{text, QString(), state.range(0) != 0, QStringLiteral("word")});
    }
    LanguageDefinition def;
    def.fileName = QStringLiteral("bench.lng");
    def.tokensets = {set};
    const CompiledLanguagePtr language = CompiledLanguage::compile(def);
    QString text;
    for (quint32 seed = 1; text.size() < 100 * 1024;) {
        seed = seed * 1664525u + 1013904223u;
        text += (seed >> 28) < 10 ? QStringLiteral("kw%1_%2 ").arg((seed >> 8) % 12000).arg(seed & 7)
                                  : QStringLiteral("other%1 word, ").arg(seed % 100);
        if ((seed >> 4) % 16 == 0)
            text += QLatin1Char('\n');
    }
    Highlighter h(language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(text, true));
    static const char *const labels[] = {"literal", "plain-text regexps", "regexps", "regexps beginning with a class"};
    state.SetLabel(labels[state.range(0)]);
}
BENCHMARK(BM_TenThousandTokens)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// 33 KB of lines "aaa…a!" coloured with C, without (0) and with (1) a token "(a+)+$".
void BM_BacktrackingWithoutEnd(benchmark::State &state)
{
    LanguageDefinition def = readDefinition(QStringLiteral("data/languages/c.lng"));
    if (state.range(0) == 1) {
        TokensetDefinition set;
        set.name = QStringLiteral("Slow");
        set.id = 3;
        set.tokens.present = true;
        set.tokens.tokens.append(TokenDefinition{QStringLiteral("(a+)+$"), QString(), true, QString()});
        def.tokensets.append(set);
    }
    const CompiledLanguagePtr language = CompiledLanguage::compile(def);
    const QString text = (QString(63, QLatin1Char('a')) + QStringLiteral("!\n")).repeated(33 * 1024 / 65);
    Highlighter h(language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(text, true));
    state.SetLabel(state.range(0) ? "with (a+)+$" : "without");
}
BENCHMARK(BM_BacktrackingWithoutEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One line of 16 K "a" and a "!", which a token "(a+)+$" backtracks over from every position: without
// (0) and with (1) the token.
void BM_BacktrackingOnOneLine(benchmark::State &state)
{
    LanguageDefinition def;
    def.fileName = QStringLiteral("bench.lng");
    TokensetDefinition set;
    set.name = QStringLiteral("Slow");
    set.id = 3;
    set.tokens.present = true;
    set.tokens.tokens.append(TokenDefinition{state.range(0) ? QStringLiteral("(a+)+$") : QStringLiteral("b"), QString(), true, QString()});
    def.tokensets = {set};
    const CompiledLanguagePtr language = CompiledLanguage::compile(def);
    const QString text = QString(16 * 1024, QLatin1Char('a')) + QLatin1Char('!');
    Highlighter h(language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(text, true));
    state.SetLabel(state.range(0) ? "with (a+)+$" : "without");
}
BENCHMARK(BM_BacktrackingOnOneLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A definition whose 50 tokens each look to the line end ("wN(?=.*;\s*$)", "vN(?!.*\\$)"), on 512 KB
// of their words in lines of about 60 characters (0) and as one line (1).
void BM_LookToTheLineEnd(benchmark::State &state)
{
    TokensetDefinition set;
    set.name = QStringLiteral("Looks");
    set.id = 3;
    set.tokens.present = true;
    for (int i = 0; i < 25; ++i) {
        set.tokens.tokens.append(TokenDefinition{QStringLiteral("w%1(?=.*;\\s*$)").arg(i), QString(), true, QString()});
        set.tokens.tokens.append(TokenDefinition{QStringLiteral("v%1(?!.*\\\\$)").arg(i), QString(), true, QString()});
    }
    LanguageDefinition def;
    def.fileName = QStringLiteral("bench.lng");
    def.tokensets = {set};
    const CompiledLanguagePtr language = CompiledLanguage::compile(def);
    QString text;
    for (quint32 seed = 1; text.size() < 512 * 1024;) {
        seed = seed * 1664525u + 1013904223u;
        text += QStringLiteral("%1%2 x ").arg(QLatin1Char((seed >> 20) & 1 ? 'w' : 'v')).arg((seed >> 8) % 30);
        if ((seed >> 4) % 10 == 0)
            text += QLatin1String((seed >> 12) & 1 ? ";\n" : "\\\n");
    }
    if (state.range(0) == 1)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    Highlighter h(language);
    for (auto _ : state)
        benchmark::DoNotOptimize(h.highlightText(text, true));
    state.SetLabel(state.range(0) ? "one line" : "short lines");
}
BENCHMARK(BM_LookToTheLineEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Colouring and writing about 1 MB of C as HTML (0), ANSI (1) and spans (2).
void BM_Output(benchmark::State &state)
{
    const Fixture &f = fixture();
    QString text;
    while (text.size() < 1024 * 1024)
        text += f.text;
    const auto format = TextRenderer::Format(state.range(0));
    Highlighter h(f.language);
    qint64 bytes = 0;
    for (auto _ : state) {
        TextRenderer out(*f.language, format, [&bytes](QByteArrayView b) {
            bytes += b.size();
            return true;
        });
        ScopeState scope;
        for (qsizetype start = 0; start < text.size();) {
            qsizetype end = text.indexOf(QLatin1Char('\n'), start);
            if (end < 0)
                end = text.size();
            const QStringView line = QStringView(text).mid(start, end - start);
            scope = h.highlightLine(line, scope, [&](const StyleRun *runs, qsizetype count) {
                for (qsizetype i = 0; i < count; ++i)
                    out.write(line.mid(runs[i].start, runs[i].length), runs[i].tokenset);
            });
            out.write(QStringView(text).mid(end, end < text.size() ? 1 : 0), h.contentTokenset(scope));
            start = end + 1;
        }
        out.finish();
    }
    static const char *const labels[] = {"html", "ansi", "spans"};
    state.SetLabel(labels[state.range(0)]);
    state.counters["output_bytes"] = double(bytes) / double(state.iterations());
}
BENCHMARK(BM_Output)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
