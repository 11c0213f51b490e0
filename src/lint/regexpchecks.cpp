#include "lint/checks.h"
#include "lint/languageview.h"
#include "lint/regexpshape.h"

#include <QRegularExpression>

namespace Lint {

namespace {

bool matchesEmpty(const CompiledPattern &re)
{
    CompiledPattern::Scratch scratch;
    return re.match(u"", 0, 0, true, 100000, scratch).result == CompiledPattern::Match::Found;
}

void checkRegexp(const TokensetDefinition &ts, const ViewToken &t, bool caseless, Report &report)
{
    const QString &pattern = t.token.text;
    QString error;
    const CompiledPatternPtr re = tokenRegexp(pattern, caseless, &error);
    if (!re) {
        // A line without its own regexp field takes the tokenset's RegExp setting.
        const bool fromList = t.line.split(QStringLiteral("::::")).size() < 3;
        report.add(Severity::Error, "regexp-invalid", ts.name, pattern,
                   QStringLiteral("the regexp does not compile: %1%2")
                       .arg(error, fromList ? QStringLiteral(" (the tokenset makes its tokens regexps)") : QString()));
        return;
    }
    const RegexpShape shape = RegexpShape::of(pattern, caseless);
    if (shape.onlyEmpty)
        report.add(Severity::Warning, "dead-token", ts.name, pattern,
                   QStringLiteral("the regexp matches only the empty string, so it never matches"));
    else if (shape.matchesEmpty || (!shape.parsed && matchesEmpty(*re)))
        report.add(Severity::Warning, "regexp-empty-match", ts.name, pattern,
                   QStringLiteral("the regexp can match the empty string: where its first choice is empty it "
                                  "matches nothing there"));
    if (shape.needsLineBreak)
        report.add(Severity::Warning, "dead-token", ts.name, pattern,
                   QStringLiteral("every match of the regexp holds a line break, which no line holds: it never "
                                  "matches"));
    if (!shape.backtracking.isEmpty())
        report.add(Severity::Warning, "regexp-backtracking", ts.name, pattern,
                   QStringLiteral("the regexp can take exponential time on a line it does not match: %1")
                       .arg(shape.backtracking));
    if (shape.tooComplex)
        report.add(Severity::Note, "regexp-too-complex", ts.name, pattern,
                   QStringLiteral("the regexp is too complex to analyse for backtracking"));
    if (shape.literal)
        report.add(Severity::Note, "regexp-literal", ts.name, pattern,
                   QStringLiteral("the regexp has no special characters: as a literal token it matches the same "
                                  "text, faster"));
}

} // namespace

void checkRegexps(const LanguageView &view, Report &report)
{
    const LanguageDefinition &def = view.definition();
    const QRegularExpression wordchars(QStringLiteral("(?:%1)+").arg(def.wordchars),
                                       QRegularExpression::UseUnicodePropertiesOption);
    if (def.wordchars.isEmpty() || !wordchars.isValid())
        report.add(Severity::Warning, "wordchars-invalid", QString(), QString(),
                   QStringLiteral("wordchars \"%1\" is not a character class%2: the rule word uses [\\w] instead")
                       .arg(def.wordchars,
                            def.wordchars.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(wordchars.errorString())));

    for (int w = 0; w < def.tokensets.size(); ++w) {
        const TokensetDefinition &ts = def.tokensets[w];
        const ViewTokenset &vt = view.written(w);
        const bool caseless = !ts.casesensitive && !def.casesensitive;
        for (const QVector<ViewToken> *list : {&vt.starts, &vt.ends})
            for (const ViewToken &t : *list) {
                if (report.stopped())
                    return;
                if (t.token.regexp && !t.token.text.isEmpty())
                    checkRegexp(ts, t, caseless, report);
            }
    }
}

} // namespace Lint
