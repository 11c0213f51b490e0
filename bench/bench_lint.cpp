// Benchmark L: checking a language with lint. A starter language (C, SQL) is checked on demand from
// the window, so it should take milliseconds; the worst case is a language whose every keyword is
// hidden by an earlier regexp, where each keyword is probed in every line shape before it is reported.
#include "lint/linter.h"
#include "model/language.h"

#include <QDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QString sourceFile(const QString &relative)
{
    return QDir(QStringLiteral(VARLEX_SOURCE_DIR)).filePath(relative);
}

void BM_LintStarter(benchmark::State &state, const char *file)
{
    QVector<Lint::Finding> findings;
    QString problem;
    for (auto _ : state) {
        if (!Lint::lintFile(sourceFile(QString::fromLatin1(file)), findings, problem)) {
            state.SkipWithError(qPrintable(problem));
            return;
        }
        benchmark::DoNotOptimize(findings);
    }
    state.counters["findings"] = double(findings.size());
}
BENCHMARK_CAPTURE(BM_LintStarter, c, "data/languages/c.lng")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LintStarter, sql, "data/languages/sql.lng")->Unit(benchmark::kMillisecond);

// An identifier regexp ahead of 6000 keywords: every keyword is reported as never matching.
void BM_LintShadowedKeywords(benchmark::State &state)
{
    Language language;
    language.name = QStringLiteral("Shadowed");
    language.wordchars = QStringLiteral("[\\w]");
    language.memberlist = QStringLiteral("<none>");
    QStringList keywords;
    for (int k = 0; k < 6000; ++k)
        keywords << QStringLiteral("kw%1x").arg(k);
    const QString lists[] = {QStringLiteral("[a-z]\\w*"), keywords.join(QStringLiteral("\r\n"))};
    for (int t = 0; t < 2; ++t) {
        Tokenset &ts = language.tokensets[size_t(t)];
        ts = Tokenset{QStringLiteral("T%1").arg(t), QStringLiteral("keywords"), QStringLiteral("list"), 0,
                      QStringLiteral("normal"), QStringLiteral("<none>"), 0, 0, 0, 0, 0, 1, 1, 0, 0, 1, 0,
                      QStringLiteral("<none>"), lists[t], QString(), t == 0, QStringLiteral("Word"), QString(),
                      QString(), {}};
        ts.validscope.fill(QStringLiteral("<none>"));
    }
    qsizetype count = 0;
    for (auto _ : state)
        count = Lint::lintLanguage(language).size();
    state.counters["findings"] = double(count);
}
BENCHMARK(BM_LintShadowedKeywords)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
