#include "editorcontrol/lookaheadrewrite.h"
#include "editorcontrol/patternanalysis.h"

namespace LookaheadRewrite {

namespace {

constexpr int kMaxCallouts = 255;

// Constructs after which a part of the pattern no longer means what it means on its own.
bool unsafe(const QString &p)
{
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'\\') {
            if (i + 1 >= p.size())
                return true;
            const QChar e = p[i + 1];
            // back references (\1, \g, \k), quoting, \G (the search start)
            if (e.isDigit() || e == u'g' || e == u'k' || e == u'Q' || e == u'G')
                return true;
            ++i;
        } else if (c == u'[') {
            i = PatternAnalysis::classEnd(p, i) - 1;
            if (i < 0)
                return true;
        } else if (c == u'(' && i + 1 < p.size() && p[i + 1] == u'*') {
            return true; // verbs and start options
        } else if (c == u'(' && i + 1 < p.size() && p[i + 1] == u'?') {
            const QStringView rest = QStringView(p).mid(i + 2);
            const bool allowed = rest.startsWith(u':') || rest.startsWith(u'=') || rest.startsWith(u'!')
                || rest.startsWith(u"<=") || rest.startsWith(u"<!") || rest.startsWith(u'>')
                || (rest.startsWith(u'<') && rest.size() > 1 && rest[1].isLetter())
                || (rest.startsWith(u"P<") && rest.size() > 2 && rest[2].isLetter())
                || (rest.startsWith(u'\'') && rest.size() > 1 && rest[1].isLetter());
            if (!allowed) // option settings, conditions, recursion, callouts, comments, branch reset
                return true;
        }
    }
    return false;
}

// The index of the ")" that closes the group whose body starts at `from`, or -1; `alternation` is
// set when the body holds a "|" of its own level.
qsizetype closingParen(const QString &p, qsizetype from, bool &alternation)
{
    int depth = 0;
    alternation = false;
    for (qsizetype i = from; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == u'\\')
            ++i;
        else if (c == u'[')
            i = PatternAnalysis::classEnd(p, i) - 1; // the pattern is safe, so the class ends
        else if (c == u'(')
            ++depth;
        else if (c == u')' && depth-- == 0)
            return i;
        else if (c == u'|' && depth == 0)
            alternation = true;
    }
    return -1;
}

} // namespace

std::optional<Rewrite> rewrite(const QString &pattern)
{
    if ((!pattern.contains(QStringLiteral("(?=.")) && !pattern.contains(QStringLiteral("(?!."))) || unsafe(pattern))
        return std::nullopt;
    Rewrite r;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'\\' || c == u'[') {
            const qsizetype end = c == u'\\' ? i + 1 : PatternAnalysis::classEnd(pattern, i) - 1;
            r.pattern += QStringView(pattern).mid(i, end + 1 - i);
            i = end + 1;
            continue;
        }
        const QStringView at = QStringView(pattern).mid(i);
        const bool positive = at.startsWith(u"(?=.");
        if ((positive || at.startsWith(u"(?!.")) && at.size() > 4 && (at[4] == u'*' || at[4] == u'+')
            && int(r.lookaheads.size()) < kMaxCallouts) {
            qsizetype bodyStart = i + 5;
            if (bodyStart < pattern.size() && pattern[bodyStart] == u'?') // lazy: the same set of places
                ++bodyStart;
            bool alternation = false;
            const qsizetype close = closingParen(pattern, bodyStart, alternation);
            if (close < 0)
                return std::nullopt;
            // A possessive ".*+" gives up nothing; "(?=.*a|b)" is not a look to the line end.
            if (!alternation && pattern[bodyStart] != u'+') {
                r.lookaheads.push_back({pattern.mid(bodyStart, close - bodyStart), !positive, at[4] == u'+'});
                r.pattern += QStringLiteral("(?C%1)").arg(r.lookaheads.size());
                i = close + 1;
                continue;
            }
        }
        r.pattern += c;
        ++i;
    }
    if (r.lookaheads.empty())
        return std::nullopt;
    return r;
}

} // namespace LookaheadRewrite
