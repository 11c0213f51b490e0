#include "import/regextext.h"

#include <unordered_map>

namespace RegexText {

namespace {

// Index after the character class that starts at `i` ("[" ... "]"); a "]" first in the class (or
// after "^") is a member, escapes and POSIX classes ([:alpha:]) are stepped over.
qsizetype classEnd(const QString &p, qsizetype i)
{
    const qsizetype n = p.size();
    qsizetype j = i + 1;
    if (j < n && p[j] == u'^')
        ++j;
    if (j < n && p[j] == u']')
        ++j;
    while (j < n && p[j] != u']') {
        if (p[j] == u'\\')
            j += 2;
        else if (p[j] == u'[' && j + 1 < n && p[j + 1] == u':') {
            const qsizetype close = p.indexOf(QStringLiteral(":]"), j + 2);
            j = close < 0 ? j + 1 : close + 2;
        } else
            ++j;
    }
    return qMin(j + 1, n);
}

// Length of the escape at `i` (a backslash and what it takes).
qsizetype escapeLength(const QString &p, qsizetype i)
{
    const qsizetype n = p.size();
    if (i + 1 >= n)
        return 1;
    const QChar c = p[i + 1];
    if ((c == u'x' || c == u'o' || c == u'p' || c == u'P' || c == u'g' || c == u'k' || c == u'N')
        && i + 2 < n && (p[i + 2] == u'{' || p[i + 2] == u'<' || p[i + 2] == u'\'')) {
        const QChar close = p[i + 2] == u'{' ? u'}' : p[i + 2] == u'<' ? u'>' : u'\'';
        const qsizetype end = p.indexOf(close, i + 3);
        return end < 0 ? n - i : end + 1 - i;
    }
    if (c == u'Q') {
        const qsizetype end = p.indexOf(QStringLiteral("\\E"), i + 2);
        return end < 0 ? n - i : end + 2 - i;
    }
    if (c.isHighSurrogate() && i + 2 < n)
        return 3;
    return 2;
}

QString hexEscape(char32_t c)
{
    return QStringLiteral("\\x{%1}").arg(uint(c), 0, 16);
}

// Copies escapes and character classes of a pattern to out whole; every other position goes to
// `other`, which appends what it makes of it and returns how many characters it used.
template <typename Other>
void walkOutsideClasses(const QString &p, QString &out, Other other)
{
    for (qsizetype i = 0, n = p.size(); i < n;) {
        if (p[i] == u'\\') {
            const qsizetype len = escapeLength(p, i);
            out += QStringView(p).mid(i, len);
            i += len;
        } else if (p[i] == u'[') {
            const qsizetype end = classEnd(p, i);
            out += QStringView(p).mid(i, end - i);
            i = end;
        } else {
            i += other(i);
        }
    }
}

} // namespace

QString stripExtended(const QString &pattern)
{
    QString out;
    const qsizetype n = pattern.size();
    walkOutsideClasses(pattern, out, [&](qsizetype i) -> qsizetype {
        const QChar c = pattern[i];
        if (c == u'#') {
            const qsizetype end = pattern.indexOf(u'\n', i);
            return (end < 0 ? n : end) - i;
        }
        if (c.isSpace())
            return 1;
        if (c == u'(' && pattern.mid(i, 3) == QLatin1String("(?#")) {
            const qsizetype end = pattern.indexOf(u')', i);
            return (end < 0 ? n : end + 1) - i;
        }
        out += c;
        return 1;
    });
    return out;
}

QString asciiOnly(const QString &pattern)
{
    // Most patterns are printable ASCII already: they are shared as they are.
    const qsizetype n = pattern.size();
    qsizetype plain = 0;
    while (plain < n && pattern[plain].unicode() >= 0x20 && pattern[plain].unicode() < 0x7F)
        ++plain;
    if (plain == n)
        return pattern;
    QString out;
    out.reserve(n + 16);
    out += QStringView(pattern).left(plain);
    for (qsizetype i = plain; i < n;) {
        char32_t c = pattern[i].unicode();
        qsizetype len = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < n && pattern[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(pattern[i], pattern[i + 1]);
            len = 2;
        }
        const bool escaped = !out.isEmpty() && out.back() == u'\\' && (out.size() < 2 || out[out.size() - 2] != u'\\');
        if (c >= 0x7F || c < 0x20) {
            if (escaped)
                out.chop(1); // "\é" is the character itself
            out += hexEscape(c);
        } else {
            out += QChar(char16_t(c));
        }
        i += len;
    }
    return out;
}

bool hasBackReference(const QString &p)
{
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = p[i];
        if (c == u'\\') {
            if (i + 1 < n) {
                const QChar d = p[i + 1];
                if ((d.isDigit() && d != u'0') || d == u'g' || d == u'k')
                    return true;
            }
            i += escapeLength(p, i);
        } else if (c == u'[') {
            i = classEnd(p, i);
        } else if (c == u'(' && i + 2 < n && p[i + 1] == u'?') {
            const QChar d = p[i + 2];
            if (d == u'&' || d.isDigit() || d == u'R' || d == u'+' || d == u'-'
                || (d == u'P' && i + 3 < n && (p[i + 3] == u'=' || p[i + 3] == u'>')))
                return true;
            ++i;
        } else {
            ++i;
        }
    }
    return false;
}

bool nonCapturing(const QString &p, QString &out)
{
    out.clear();
    if (hasBackReference(p))
        return false;
    const qsizetype n = p.size();
    out.reserve(n + n / 4);
    walkOutsideClasses(p, out, [&](qsizetype i) -> qsizetype {
        const QChar c = p[i];
        if (c != u'(' || (i + 1 < n && p[i + 1] == u'*')) { // (*VERB) stays
            out += c;
            return 1;
        }
        if (i + 1 >= n || p[i + 1] != u'?') {
            out += QStringLiteral("(?:");
            return 1;
        }
        // Named groups: (?<name>, (?'name', (?P<name>; not the lookbehinds (?<= and (?<!.
        qsizetype nameStart = -1;
        if (i + 2 < n && (p[i + 2] == u'\'' || (p[i + 2] == u'<' && i + 3 < n && p[i + 3] != u'=' && p[i + 3] != u'!')))
            nameStart = i + 3;
        else if (i + 3 < n && p[i + 2] == u'P' && p[i + 3] == u'<')
            nameStart = i + 4;
        if (nameStart < 0) {
            out += c;
            return 1;
        }
        qsizetype j = nameStart;
        while (j < n && p[j] != u'>' && p[j] != u'\'')
            ++j;
        out += QStringLiteral("(?:");
        return j + 1 - i;
    });
    return true;
}

QString escapeLiteral(const QString &text)
{
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_'))
            out += c;
        else if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += u'\\' + QString(c);
        else
            out += c;
    }
    return asciiOnly(out);
}

namespace {

// Walks the top level of a pattern (outside groups, classes and escapes), calling `bar` at each `|` there;
// stops as soon as it returns true. Returns whether it stopped.
template<typename Bar>
bool topLevelBars(const QString &p, Bar bar)
{
    int depth = 0;
    const qsizetype n = p.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = p[i];
        if (c == u'\\')
            i += escapeLength(p, i);
        else if (c == u'[')
            i = classEnd(p, i);
        else {
            if (c == u'(')
                ++depth;
            else if (c == u')')
                --depth;
            else if (c == u'|' && depth == 0 && bar(i))
                return true;
            ++i;
        }
    }
    return false;
}

bool scanTopLevelAlternation(const QString &p)
{
    return topLevelBars(p, [](qsizetype) { return true; });
}

} // namespace

QStringList topLevelAlternatives(const QString &p)
{
    QStringList out;
    qsizetype from = 0;
    topLevelBars(p, [&](qsizetype i) {
        out += p.mid(from, i - from);
        from = i + 1;
        return false;
    });
    out += p.mid(from);
    return out;
}

// Long patterns (a token's guards) are asked about again and again while a definition is fitted, as
// the same shared string: the answer is kept per string data. The kept copy holds that data alive and
// unchanged (a shared string detaches before it is written), so an address seen again is the same text.
bool hasTopLevelAlternation(const QString &p)
{
    constexpr qsizetype kWorthKeeping = 256;
    if (p.size() < kWorthKeeping)
        return scanTopLevelAlternation(p);
    struct Known {
        QString text;
        bool alternation;
    };
    static thread_local std::unordered_map<const QChar *, Known> known;
    if (const auto it = known.find(p.constData()); it != known.end() && it->second.text.size() == p.size())
        return it->second.alternation;
    if (known.size() > 4096)
        known.clear();
    const bool alternation = scanTopLevelAlternation(p);
    known.insert_or_assign(p.constData(), Known{p, alternation});
    return alternation;
}

QString grouped(const QString &pattern)
{
    return hasTopLevelAlternation(pattern) ? QStringLiteral("(?:%1)").arg(pattern) : pattern;
}

} // namespace RegexText

namespace RegexText {

QString groupText(const QString &p, const QString &group)
{
    bool numbered = false;
    const int wanted = group.toInt(&numbered);
    const qsizetype n = p.size();
    int count = 0;
    for (qsizetype i = 0; i < n;) {
        const QChar c = p[i];
        if (c == u'\\') {
            i += escapeLength(p, i);
            continue;
        }
        if (c == u'[') {
            i = classEnd(p, i);
            continue;
        }
        if (c != u'(') {
            ++i;
            continue;
        }
        qsizetype body = -1;
        QString name;
        if (i + 1 < n && p[i + 1] != u'?' && p[i + 1] != u'*') {
            body = i + 1;
        } else if (i + 2 < n && p[i + 1] == u'?') {
            qsizetype nameStart = -1;
            if (p[i + 2] == u'\'' || (p[i + 2] == u'<' && i + 3 < n && p[i + 3] != u'=' && p[i + 3] != u'!'))
                nameStart = i + 3;
            else if (i + 3 < n && p[i + 2] == u'P' && p[i + 3] == u'<')
                nameStart = i + 4;
            if (nameStart >= 0) {
                qsizetype j = nameStart;
                while (j < n && p[j] != u'>' && p[j] != u'\'')
                    ++j;
                name = p.mid(nameStart, j - nameStart);
                body = j + 1;
            }
        }
        if (body < 0) {
            ++i;
            continue;
        }
        ++count;
        if ((numbered && count == wanted) || (!numbered && name == group)) {
            const qsizetype end = groupEnd(p, i);
            return p.mid(body, (end < 0 ? n : end - 1) - body);
        }
        i = body;
    }
    return QString();
}

qsizetype groupEnd(const QString &p, qsizetype open)
{
    int depth = 0;
    for (qsizetype j = open; j < p.size();) {
        if (p[j] == u'\\') {
            j += escapeLength(p, j);
            continue;
        }
        if (p[j] == u'[') {
            j = classEnd(p, j);
            continue;
        }
        if (p[j] == u'(')
            ++depth;
        else if (p[j] == u')' && --depth == 0)
            return j + 1;
        ++j;
    }
    return -1;
}

} // namespace RegexText
