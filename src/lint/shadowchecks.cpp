#include "lint/checks.h"
#include "lint/languageview.h"
#include "lint/regexpshape.h"
#include "lint/tokenprobe.h"

#include "editorcontrol/compiledlanguagedata.h"

#include <QHash>

namespace Lint {

namespace {

// What took a token's place, in words.
QString winnerText(const LanguageDefinition &def, const StyleRun &r)
{
    const TokensetDefinition &ts = def.tokensets[r.tokenset];
    const QVector<TokenDefinition> &list = r.kind == StyleRun::ScopeEnd ? ts.tokens2.tokens : ts.tokens.tokens;
    const QString token = r.token >= 0 && r.token < list.size() ? list[r.token].text : QString();
    if (r.kind == StyleRun::ScopeEnd)
        return QStringLiteral("the end token \"%1\" of the scope \"%2\"").arg(token, ts.name);
    return QStringLiteral("\"%1\" of the tokenset \"%2\"").arg(token, ts.name);
}

bool sameText(const TokenDefinition &a, const TokenDefinition &b, bool caseless)
{
    return a.regexp == b.regexp && a.text.compare(b.text, caseless ? Qt::CaseInsensitive : Qt::CaseSensitive) == 0;
}

void checkStartTokens(const LanguageView &view, TokenProbe &probe, int w, Report &report)
{
    const LanguageDefinition &def = view.definition();
    const TokensetDefinition &ts = def.tokensets[w];
    const CompiledLanguageData &d = view.compiled().data();
    for (int i = 0; i < ts.tokens.tokens.size(); ++i) {
        const TokenDefinition &t = ts.tokens.tokens[i];
        if (t.regexp || t.text.isEmpty())
            continue;
        const TokenProbe::Result r = probe.startToken(w, i);
        if (r.kind == TokenProbe::Result::Impossible) {
            report.add(Severity::Warning, "dead-token", ts.name, t.text,
                       QStringLiteral("its rule \"%1\" can never hold: it never matches").arg(t.rule));
        } else if (r.kind == TokenProbe::Result::Loses) {
            const TokensetDefinition &other = def.tokensets[r.winner.tokenset];
            const bool duplicate = r.winner.kind != StyleRun::ScopeEnd && r.winner.token >= 0
                && sameText(other.tokens.tokens[r.winner.token], t, !d.tokensets[size_t(r.winner.tokenset)].caseSensitive);
            if (duplicate)
                report.add(Severity::Warning, "duplicate-token", ts.name, t.text,
                           QStringLiteral("the tokenset \"%1\" lists the token too and wins wherever both are valid")
                               .arg(other.name));
            else
                report.add(Severity::Warning, "unreachable-token", ts.name, t.text,
                           QStringLiteral("it never matches: %1 takes its place wherever it is valid")
                               .arg(winnerText(def, r.winner)));
        }
    }
}

// The same regexp (with the same rule and case) in an earlier tokenset that is valid wherever this
// one is: the later one never matches.
void checkRegexpDuplicates(const LanguageView &view, Report &report)
{
    const LanguageDefinition &def = view.definition();
    const CompiledLanguageData &d = view.compiled().data();
    QHash<QString, QVector<int>> owners; // pattern, rule and case -> the tokensets that have it, in order
    for (int w = 0; w < def.tokensets.size(); ++w) {
        const TokensetDefinition &ts = def.tokensets[w];
        for (const TokenDefinition &t : ts.tokens.tokens) {
            if (!t.regexp || t.text.isEmpty())
                continue;
            QVector<int> &earlier = owners[QString::number(d.tokensets[size_t(w)].caseSensitive) + t.rule.toLower()
                                           + u'\n' + t.text];
            for (int e : std::as_const(earlier)) {
                bool covered = e != w;
                bool shared = false;
                for (size_t c = 0; c < d.contextCount(); ++c) {
                    if (!view.reached(int(c)) || !d.contextAt(c).valid[size_t(w)])
                        continue;
                    shared = true;
                    covered = covered && d.contextAt(c).valid[size_t(e)];
                }
                if (covered && shared) {
                    report.add(Severity::Warning, "duplicate-token", ts.name, t.text,
                               QStringLiteral("the tokenset \"%1\" has the same regexp and wins wherever both are "
                                              "valid")
                                   .arg(def.tokensets[e].name));
                    break;
                }
            }
            if (!earlier.contains(w))
                earlier.append(w);
        }
    }
}

// Whether an end token can ever match, apart from what else is valid inside its scope.
bool endTokenLives(const TokenDefinition &t, bool caseless)
{
    if (t.text.isEmpty())
        return false;
    if (!t.regexp)
        return !t.text.contains(u'\n') && !t.text.contains(u'\r');
    if (!tokenRegexp(t.text, caseless))
        return false;
    const RegexpShape shape = RegexpShape::of(t.text, caseless);
    return !shape.onlyEmpty && !shape.needsLineBreak;
}

void checkEndTokens(const LanguageView &view, TokenProbe &probe, int w, Report &report)
{
    const LanguageDefinition &def = view.definition();
    const TokensetDefinition &ts = def.tokensets[w];
    if (!ts.scope || ts.symmetrical || !view.reached(w + 1))
        return;
    const bool caseless = !view.compiled().data().tokensets[size_t(w)].caseSensitive;
    const QVector<TokenDefinition> &ends = ts.tokens2.tokens;
    bool closes = false;
    for (int i = 0; i < ends.size(); ++i) {
        if (i >= ts.tokens.tokens.size() || !endTokenLives(ends[i], caseless))
            continue;
        const TokenProbe::Result r = ends[i].regexp ? TokenProbe::Result{} : probe.endToken(w, i);
        if (r.kind == TokenProbe::Result::Loses)
            report.add(Severity::Warning, "unreachable-token", ts.name, ends[i].text,
                       QStringLiteral("the end token never closes the scope: %1 takes its place")
                           .arg(winnerText(def, r.winner)));
        else
            closes = true;
    }
    if (closes)
        return;
    if (ends.isEmpty() && !ts.singlelinescope)
        report.add(Severity::Warning, "scope-never-closes", ts.name, QString(),
                   QStringLiteral("a scope over several lines without end tokens runs to the end of the text"));
    else if (!ends.isEmpty())
        report.add(Severity::Warning, "scope-never-closes", ts.name, QString(),
                   ts.singlelinescope ? QStringLiteral("none of its end tokens can close it: it ends only at the line end")
                                      : QStringLiteral("none of its end tokens can close it: it runs to the end of the text"));
}

} // namespace

void checkShadowing(const LanguageView &view, Report &report)
{
    TokenProbe probe(view);
    for (int w = 0; w < view.definition().tokensets.size(); ++w) {
        checkStartTokens(view, probe, w, report);
        checkEndTokens(view, probe, w, report);
    }
    checkRegexpDuplicates(view, report);
}

} // namespace Lint
