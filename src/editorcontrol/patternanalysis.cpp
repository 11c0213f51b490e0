#include "editorcontrol/patternanalysis.h"

#include <QChar>

#include <algorithm>
#include <bit>

namespace PatternAnalysis {

namespace {

// Unicode classes as the regexp engine sees them with Unicode properties on.
bool isWordU(char32_t c)
{
    return c == u'_' || QChar::isLetterOrNumber(c);
}

bool isDigitU(char32_t c)
{
    return QChar::category(c) == QChar::Number_DecimalDigit;
}

bool isSpaceU(char32_t c)
{
    if ((c >= 9 && c <= 13) || c == 0x85 || c == 0x180E)
        return true;
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Separator_Space || cat == QChar::Separator_Line || cat == QChar::Separator_Paragraph;
}

void setBit(quint64 *bits, int c)
{
    bits[c >> 6] |= quint64(1) << (c & 63);
}

bool bit(const quint64 *bits, int c)
{
    return (bits[c >> 6] >> (c & 63)) & 1;
}

void addAsciiWhere(quint64 *bits, bool (*pred)(char32_t), bool invert)
{
    for (int c = 0; c < 128; ++c)
        if (pred(char32_t(c)) != invert)
            setBit(bits, c);
}

bool isMeta(QChar c)
{
    return QStringView(u".^$|()[]{}*+?\\").contains(c);
}

class Parser {
public:
    Parser(const QString &pattern) : s(pattern) {}

    bool atEnd() const { return i >= s.size(); }
    QChar peek() const { return atEnd() ? QChar() : s[i]; }

    // An escape after "\": adds to `cls` and returns true, or false for an escape we do not model.
    bool escape(CharClass &cls, bool inClass, char16_t &literal, bool &isLiteral)
    {
        isLiteral = false;
        if (atEnd())
            return false;
        const QChar e = s[i++];
        switch (e.unicode()) {
        case 'd': addAsciiWhere(cls.ascii, isDigitU, false); cls.digit = true; return true;
        case 'w': addAsciiWhere(cls.ascii, isWordU, false); cls.word = true; return true;
        case 's': addAsciiWhere(cls.ascii, isSpaceU, false); cls.space = true; return true;
        case 'D': addAsciiWhere(cls.ascii, isDigitU, true); cls.notDigit = true; return true;
        case 'W': addAsciiWhere(cls.ascii, isWordU, true); cls.notWord = true; return true;
        case 'S': addAsciiWhere(cls.ascii, isSpaceU, true); cls.notSpace = true; return true;
        case 't': literal = u'\t'; break;
        case 'n': literal = u'\n'; break;
        case 'r': literal = u'\r'; break;
        case 'f': literal = u'\f'; break;
        case 'e': literal = 27; break;
        case 'a': literal = 7; break;
        case 'b':
            if (!inClass)
                return false; // word boundary
            literal = 8;
            break;
        default:
            if (e.isLetterOrNumber() || e.unicode() >= 128)
                return false; // \p, \x, back references, anchors...
            literal = e.unicode();
        }
        isLiteral = true;
        return true;
    }

    static void addLiteral(CharClass &cls, char16_t c)
    {
        if (c < 128)
            setBit(cls.ascii, c);
        else
            cls.ranges.emplace_back(c, c);
    }

    // "[...]" after its "[".
    bool bracket(CharClass &cls)
    {
        if (peek() == u'^') {
            cls.negated = true;
            ++i;
        }
        bool first = true;
        while (!atEnd()) {
            QChar c = s[i];
            if (c == u']' && !first) {
                ++i;
                return true;
            }
            first = false;
            if (c == u'[' && i + 1 < s.size() && (s[i + 1] == u':' || s[i + 1] == u'=' || s[i + 1] == u'.'))
                return false; // POSIX classes
            char16_t lo;
            ++i;
            if (c.isSurrogate())
                return false; // characters beyond the BMP: left to the regexp engine
            if (c == u'\\') {
                bool isLiteral;
                if (!escape(cls, true, lo, isLiteral))
                    return false;
                if (!isLiteral)
                    continue;
            } else {
                lo = c.unicode();
            }
            if (peek() == u'-' && i + 1 < s.size() && s[i + 1] != u']') {
                ++i;
                char16_t hi;
                if (s[i] == u'\\') {
                    ++i;
                    bool isLiteral;
                    CharClass scratch;
                    if (!escape(scratch, true, hi, isLiteral) || !isLiteral)
                        return false;
                } else {
                    if (s[i].isSurrogate())
                        return false;
                    hi = s[i++].unicode();
                }
                if (hi < lo)
                    return false;
                for (int x = lo; x <= hi && x < 128; ++x)
                    setBit(cls.ascii, x);
                if (hi >= 128)
                    cls.ranges.emplace_back(char16_t(std::max<int>(lo, 128)), hi);
                continue;
            }
            addLiteral(cls, lo);
        }
        return false;
    }

    // One class atom: "[...]", "\w", a plain character. Fails on anything else.
    bool classAtom(CharClass &cls)
    {
        if (atEnd())
            return false;
        const QChar c = s[i];
        if (c == u'[') {
            ++i;
            return bracket(cls);
        }
        if (c == u'\\') {
            ++i;
            char16_t lit;
            bool isLiteral;
            if (!escape(cls, false, lit, isLiteral))
                return false;
            if (isLiteral)
                addLiteral(cls, lit);
            return true;
        }
        if (isMeta(c) || c.isSurrogate())
            return false;
        addLiteral(cls, c.unicode());
        ++i;
        return true;
    }

    // First characters of an alternation, up to ")" or the end. nullable: it can match empty.
    bool alternation(FirstChars &out, bool &nullable, bool caseless)
    {
        nullable = false;
        for (;;) {
            bool branchNullable = true;
            if (!branch(out, branchNullable, caseless))
                return false;
            nullable = nullable || branchNullable;
            if (peek() != u'|')
                return true;
            ++i;
        }
    }

    bool branch(FirstChars &out, bool &nullable, bool caseless)
    {
        nullable = true;
        while (!atEnd() && peek() != u'|' && peek() != u')') {
            FirstChars atom;
            bool atomNullable = false;
            const QChar c = peek();
            if (c == u'^' || c == u'$') {
                ++i; // an anchor takes no character: the next item decides
                atomNullable = true;
            } else if (c == u'\\' && i + 1 < s.size() && QStringView(u"bBAzZG").contains(s[i + 1])) {
                i += 2;
                atomNullable = true;
            } else if (c == u'.') {
                ++i;
                atom.ascii[0] = atom.ascii[1] = ~quint64(0);
                atom.nonAscii = true;
            } else if (c == u'(') {
                ++i;
                bool lookaround = false;
                if (peek() == u'?' && !groupOpening(lookaround))
                    return false; // options, conditions, recursion...
                if (lookaround) {
                    // Takes no character either; its inside only has to be well formed.
                    FirstChars inside;
                    bool insideNullable;
                    if (!alternation(inside, insideNullable, caseless) || peek() != u')')
                        return false;
                    atomNullable = true;
                } else if (!alternation(atom, atomNullable, caseless) || peek() != u')') {
                    return false;
                }
                ++i;
            } else {
                CharClass cls;
                if (!classAtom(cls))
                    return false;
                classFirst(cls, caseless, atom);
            }
            // Quantifier.
            if (peek() == u'*' || peek() == u'?') {
                atomNullable = true;
                ++i;
            } else if (peek() == u'+') {
                ++i;
            } else if (peek() == u'{') {
                const qsizetype close = s.indexOf(u'}', i);
                if (close < 0)
                    return false;
                bool ok = false;
                const QStringView bounds = QStringView(s).mid(i + 1, close - i - 1);
                const qsizetype comma = bounds.indexOf(u',');
                const int min = (comma < 0 ? bounds : bounds.left(comma)).toInt(&ok);
                if (!ok)
                    return false;
                atomNullable = atomNullable || min == 0;
                i = close + 1;
            }
            if (peek() == u'?' || peek() == u'+')
                ++i; // lazy or possessive: the same first characters
            if (nullable || every) {
                out.ascii[0] |= atom.ascii[0];
                out.ascii[1] |= atom.ascii[1];
                out.nonAscii = out.nonAscii || atom.nonAscii;
                nullable = atomNullable;
            }
        }
        return true;
    }

    // After "(?": steps over the group's opening ("?:", "?>", "?|", "?=", "?!", "?<=", "?<!", a name);
    // false for the kinds we do not model.
    bool groupOpening(bool &lookaround)
    {
        const QStringView rest = QStringView(s).mid(i + 1);
        for (const char16_t *plain : {u":", u">", u"|"})
            if (rest.startsWith(plain)) {
                i += 2;
                return true;
            }
        for (const char16_t *look : {u"=", u"!", u"<=", u"<!"})
            if (rest.startsWith(look)) {
                i += 1 + QStringView(look).size();
                lookaround = true;
                return true;
            }
        // Named groups: (?<name>...), (?P<name>...), (?'name'...).
        qsizetype at = rest.startsWith(u"P<") ? 2 : rest.startsWith(u'<') || rest.startsWith(u'\'') ? 1 : 0;
        if (at == 0)
            return false;
        const char16_t close = rest[at - 1] == u'\'' ? u'\'' : u'>';
        qsizetype end = at;
        while (end < rest.size() && (rest[end].isLetterOrNumber() || rest[end] == u'_'))
            ++end;
        if (end == at || end >= rest.size() || rest[end] != close)
            return false;
        i += 1 + end + 1;
        return true;
    }

    static void classFirst(const CharClass &cls, bool caseless, FirstChars &out)
    {
        quint64 bits[2] = {cls.ascii[0], cls.ascii[1]};
        if (caseless)
            for (int c = 0; c < 128; ++c)
                if (bit(cls.ascii, c) && QChar::isLetter(char16_t(c))) {
                    setBit(bits, QChar::toLower(char16_t(c)));
                    setBit(bits, QChar::toUpper(char16_t(c)));
                }
        if (cls.negated) {
            bits[0] = ~bits[0];
            bits[1] = ~bits[1];
        }
        out.ascii[0] |= bits[0];
        out.ascii[1] |= bits[1];
        // Beyond ASCII we keep no detail; case-insensitive letters may match non-ASCII ones (K, s).
        if (cls.negated || cls.word || cls.digit || cls.space || cls.notWord || cls.notDigit || cls.notSpace
            || !cls.ranges.empty() || caseless)
            out.nonAscii = true;
    }

    const QString &s;
    qsizetype i = 0;
    bool every = false; // alternation() and branch() take the characters of every atom, not the first ones
};

} // namespace

bool CharClass::contains(char32_t c, bool caseless) const
{
    auto positive = [this, caseless](char32_t x) {
        if (x < 128)
            return bit(ascii, x) || (caseless && QChar::isLetter(x) && bit(ascii, x ^ 0x20));
        if ((word && isWordU(x)) || (digit && isDigitU(x)) || (space && isSpaceU(x)) || (notWord && !isWordU(x))
            || (notDigit && !isDigitU(x)) || (notSpace && !isSpaceU(x)))
            return true;
        for (const auto &r : ranges)
            if (x >= r.first && x <= r.second)
                return true;
        return false;
    };
    bool in = positive(c);
    if (!in && caseless) {
        // Other cases of c, as the regexp engine compares without case (K matches the Kelvin sign).
        const char32_t lower = QChar::toLower(c), upper = QChar::toUpper(c), folded = QChar::toCaseFolded(c);
        in = (lower != c && positive(lower)) || (upper != c && positive(upper)) || (folded != c && positive(folded));
    }
    return in != negated;
}

bool CharClass::takesBeyondAscii(bool caseless) const
{
    if (negated || word || digit || space || notWord || notDigit || notSpace || !ranges.empty())
        return true;
    return caseless && std::any_of(std::begin(kFoldsToAscii), std::end(kFoldsToAscii), [this](char16_t u) { return contains(u, true); });
}

int SimplePattern::matchAt(const char16_t *text, int p, int n, ClassCache *cache) const
{
    // Whether the character at i is in the class, and its length in units (0: not in it).
    auto step = [text, n, cache, this](const CharClass &cc, const quint64 *ascii, int i) {
        const char16_t u = text[i];
        if (u < 128)
            return int((ascii[u >> 6] >> (u & 63)) & 1);
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1]))
            return cc.contains(QChar::surrogateToUcs4(u, text[i + 1]), caseless) ? 2 : 0;
        if (!cache)
            return cc.contains(u, caseless) ? 1 : 0;
        ClassCache::Entry &e = cache->entries[(u ^ (quintptr(&cc) >> 4)) & 255];
        if (e.cls != &cc || e.unit != u)
            e = {&cc, u, cc.contains(u, caseless)};
        return e.in ? 1 : 0;
    };
    if (p >= n || (p > 0 && QChar::isLowSurrogate(text[p]) && QChar::isHighSurrogate(text[p - 1])))
        return 0;
    int q = p + step(first, firstAscii, p);
    if (q == p)
        return 0;
    if (restMinimum < 0)
        return q - p;
    int repeats = 0;
    for (int length; q < n && (length = step(rest, restAscii, q)) > 0; q += length)
        ++repeats;
    return repeats >= restMinimum ? q - p : 0;
}

std::optional<FirstChars> firstChars(const QString &pattern, bool caseless, bool *mayBeEmpty)
{
    Parser parser(pattern);
    FirstChars out;
    bool nullable = false;
    if (!parser.alternation(out, nullable, caseless) || !parser.atEnd() || (nullable && !mayBeEmpty))
        return std::nullopt; // a pattern that may match empty can "begin" anywhere
    if (mayBeEmpty)
        *mayBeEmpty = nullable;
    return out;
}

std::optional<FirstChars> matchChars(const QString &pattern, bool caseless)
{
    Parser parser(pattern);
    parser.every = true;
    FirstChars out;
    bool nullable = false;
    if (!parser.alternation(out, nullable, caseless) || !parser.atEnd())
        return std::nullopt;
    return out;
}

namespace {

std::optional<SimplePattern> simplePatternOf(const QString &pattern, bool caseless)
{
    Parser parser(pattern);
    SimplePattern sp;
    sp.caseless = caseless;
    CharClass a;
    if (!parser.classAtom(a))
        return std::nullopt;
    if (parser.atEnd()) {
        sp.first = a;
        return sp;
    }
    if (parser.peek() == u'+' || parser.peek() == u'*') {
        // "A+" (and "A*", whose empty match is no token) is A followed by A*.
        ++parser.i;
        if (!parser.atEnd())
            return std::nullopt;
        sp.first = a;
        sp.rest = a;
        sp.restMinimum = 0;
        return sp;
    }
    CharClass b;
    if (!parser.classAtom(b) || (parser.peek() != u'+' && parser.peek() != u'*'))
        return std::nullopt;
    sp.restMinimum = parser.peek() == u'+' ? 1 : 0;
    ++parser.i;
    if (!parser.atEnd())
        return std::nullopt;
    sp.first = a;
    sp.rest = b;
    return sp;
}

} // namespace

std::optional<SimplePattern> simplePattern(const QString &pattern, bool caseless)
{
    std::optional<SimplePattern> sp = simplePatternOf(pattern, caseless);
    if (sp)
        for (char32_t c = 0; c < 128; ++c) {
            sp->firstAscii[c >> 6] |= quint64(sp->first.contains(c, caseless)) << (c & 63);
            sp->restAscii[c >> 6] |= quint64(sp->rest.contains(c, caseless)) << (c & 63);
            sp->restByte[c] = sp->rest.contains(c, caseless);
        }
    return sp;
}

bool classAtom(const QString &pattern, qsizetype &i, CharClass &out)
{
    Parser parser(pattern);
    parser.i = i;
    if (!parser.classAtom(out))
        return false;
    i = parser.i;
    return true;
}

qsizetype classEnd(const QString &s, qsizetype i)
{
    ++i;
    if (i < s.size() && s[i] == u'^')
        ++i;
    if (i < s.size() && s[i] == u']')
        ++i;
    for (; i < s.size() && s[i] != u']'; ++i) {
        if (s[i] == u'\\') {
            ++i;
        } else if (s[i] == u'[' && i + 1 < s.size() && s[i + 1] == u':') {
            i = s.indexOf(QStringLiteral(":]"), i + 2);
            if (i < 0)
                return -1;
            ++i;
        }
    }
    return i < s.size() ? i + 1 : -1;
}

namespace {

// One literal character at s[i] (a plain character or an escaped punctuation mark), advancing i;
// nullopt at anything else.
std::optional<char16_t> literalAt(const QString &s, qsizetype &i)
{
    const QChar c = s[i];
    if (c == u'\\') {
        if (i + 1 >= s.size())
            return std::nullopt;
        const QChar e = s[i + 1];
        if (e.unicode() >= 128 || e.isLetterOrNumber())
            return std::nullopt; // \d, \x41, \Q, back references, anchors...
        i += 2;
        return e.unicode();
    }
    if (isMeta(c) || c.isSurrogate())
        return std::nullopt;
    ++i;
    return c.unicode();
}

// Whether the pattern has an alternative at its top level ("ab|cd"), or quoting that hides its shape.
bool topLevelAlternative(const QString &s)
{
    int depth = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\\') {
            if (i + 1 < s.size() && s[i + 1] == u'Q')
                return true;
            ++i;
        } else if (c == u'[') {
            i = classEnd(s, i) - 1;
            if (i < 0)
                return true;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (c == u'|' && depth == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<QString> plainText(const QString &pattern)
{
    QString text;
    for (qsizetype i = 0; i < pattern.size();) {
        const std::optional<char16_t> c = literalAt(pattern, i);
        if (!c)
            return std::nullopt;
        text.append(QChar(*c));
    }
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

Prefix literalPrefix(const QString &pattern, bool caseless, int maxLength)
{
    Prefix prefix;
    if (topLevelAlternative(pattern))
        return prefix;
    qsizetype rest = 0; // where what follows the prefix begins in the pattern; -1: not at an item
    for (qsizetype i = 0; i < pattern.size() && prefix.text.size() < maxLength;) {
        const qsizetype at = i;
        const std::optional<char16_t> c = literalAt(pattern, i);
        const QChar next = i < pattern.size() ? pattern[i] : QChar();
        if (!c || (caseless && *c >= 128) || next == u'?' || next == u'*' || next == u'{') {
            rest = at; // not a character every match has
            break;
        }
        prefix.text.append(QChar(caseless && *c >= 'A' && *c <= 'Z' ? char16_t(*c + 32) : *c));
        rest = i;
        if (next == u'+') {
            rest = -1; // the character may repeat
            break;
        }
    }
    if (prefix.text.isEmpty() || rest < 0)
        return prefix;
    if (rest >= pattern.size()) {
        prefix.next = FirstChars{};
        prefix.restMayBeEmpty = true;
    } else {
        prefix.next = firstChars(pattern.mid(rest), caseless, &prefix.restMayBeEmpty);
    }
    return prefix;
}

namespace {

// Index just past the group opened at i (escapes and classes inside skipped), or -1.
qsizetype groupEnd(const QString &s, qsizetype i)
{
    int depth = 0;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == u'[') {
            i = classEnd(s, i);
            if (i < 0)
                return -1;
            continue;
        }
        if (c == u'\\')
            ++i;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return i + 1;
        ++i;
    }
    return -1;
}

// Index just past an escape at i that is not a literal character ("\d", "\x{41}", "\p{L}", "\12").
// Taking in too much only shortens a required text, so unsure cases take more.
qsizetype escapeEnd(const QString &s, qsizetype i)
{
    const QChar e = s[i + 1];
    i += 2;
    if (e.isDigit()) {
        while (i < s.size() && s[i].isDigit())
            ++i;
        return i;
    }
    if (QStringView(u"xopPNgkc").contains(e) && i < s.size()) {
        const QChar open = s[i];
        const QChar close = open == u'{' ? u'}' : open == u'<' ? u'>' : open == u'\'' ? u'\'' : QChar();
        if (!close.isNull()) {
            const qsizetype end = s.indexOf(close, i + 1);
            return end < 0 ? s.size() : end + 1;
        }
        if (e == u'c' || e == u'p' || e == u'P')
            return i + 1;
        while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'+' || s[i] == u'-'))
            ++i; // \x41, \g-1: taking every letter after it is more than needed, never less
    }
    return i;
}

// Index past a quantifier at i ("?", "*", "+", "{n,m}", each maybe lazy or possessive); i when none.
qsizetype quantifierEnd(const QString &s, qsizetype i)
{
    if (i >= s.size())
        return i;
    if (s[i] == u'?' || s[i] == u'*' || s[i] == u'+') {
        ++i;
    } else if (s[i] == u'{') {
        const qsizetype end = s.indexOf(u'}', i);
        if (end < 0)
            return i;
        ++i;
        while (i < end && (s[i].isDigit() || s[i] == u','))
            ++i;
        if (i != end)
            return i - 1; // a "{" that is no quantifier: the caller gives up there
        i = end + 1;
    } else {
        return i;
    }
    if (i < s.size() && (s[i] == u'?' || s[i] == u'+'))
        ++i;
    return i;
}

} // namespace

QString requiredText(const QString &pattern, bool caseless, int maxLength, QStringList *ahead)
{
    if (topLevelAlternative(pattern))
        return QString();
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] == u'\\') {
            if (pattern[i + 1] == u'Q' || (ahead && pattern[i + 1] == u'K'))
                return QString(); // quoting hides the pattern's shape; \K moves the match's start
            ++i;
        } else if (pattern[i] == u'(' && (pattern[i + 1] == u'*'
                                          || (pattern[i + 1] == u'?' && i + 2 < pattern.size()
                                              && (pattern[i + 2].isLetter() || pattern[i + 2] == u'-' || pattern[i + 2] == u'^')))) {
            return QString(); // verbs and option settings change what the characters after them mean
        }
    }
    QString best, run;
    QStringList lookaheads;
    auto endRun = [&] {
        if (run.size() > best.size())
            best = run.left(maxLength);
        run.clear();
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        qsizetype next = -1;
        if (c == u'(')
            next = groupEnd(pattern, i);
        else if (c == u'[')
            next = classEnd(pattern, i);
        else if (c == u'\\' && i + 1 < pattern.size() && (pattern[i + 1].unicode() >= 128 || pattern[i + 1].isLetterOrNumber()))
            next = escapeEnd(pattern, i);
        else if (c == u'.' || c == u'^' || c == u'$')
            next = i + 1;
        if (next >= 0 || c == u'(' || c == u'[') {
            if (next <= i)
                return QString();
            endRun();
            const qsizetype after = quantifierEnd(pattern, next);
            if (ahead && after == next && pattern.mid(i, 3) == u"(?=") {
                // A lookahead that must hold where it stands: what its body requires lies ahead too.
                QStringList inner;
                const QString inside = requiredText(pattern.mid(i + 3, next - i - 4), caseless, maxLength, &inner);
                if (!inside.isEmpty())
                    lookaheads << inside;
                lookaheads << inner;
            }
            i = after;
            continue;
        }
        const std::optional<char16_t> ch = literalAt(pattern, i);
        if (!ch)
            return QString(); // a quantifier with nothing to repeat, or a stray "{"
        const qsizetype after = quantifierEnd(pattern, i);
        const bool optional = after > i && pattern[i] != u'+';
        if (optional || (caseless && *ch >= 128)) {
            endRun();
        } else {
            run.append(QChar(*ch));
            if (after > i)
                endRun(); // "a+": the next character need not follow this one
        }
        i = after;
    }
    endRun();
    if (ahead)
        *ahead << lookaheads;
    return best;
}

std::optional<FirstChars> requiredChars(const QString &pattern, bool caseless)
{
    if (topLevelAlternative(pattern))
        return std::nullopt;
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] == u'\\') {
            if (pattern[i + 1] == u'Q' || pattern[i + 1] == u'K')
                return std::nullopt; // quoting hides the pattern's shape; \K moves the match's start
            ++i;
        } else if (pattern[i] == u'(' && (pattern[i + 1] == u'*'
                                          || (pattern[i + 1] == u'?' && i + 2 < pattern.size()
                                              && (pattern[i + 2].isLetter() || pattern[i + 2] == u'-' || pattern[i + 2] == u'^')))) {
            return std::nullopt; // verbs and option settings change what the characters after them mean
        }
    }
    std::optional<FirstChars> best;
    int bestCount = 128;
    auto consider = [&](const FirstChars &f) {
        const int count = std::popcount(f.ascii[0]) + std::popcount(f.ascii[1]);
        if (count > 0 && count < bestCount) {
            best = f;
            bestCount = count;
        }
    };
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'(') {
            const qsizetype next = groupEnd(pattern, i);
            if (next <= i)
                return std::nullopt;
            const qsizetype after = quantifierEnd(pattern, next);
            if (after == next && pattern.mid(i, 3) == u"(?=") // a lookahead that must hold where it stands
                if (const std::optional<FirstChars> inner = requiredChars(pattern.mid(i + 3, next - i - 4), caseless))
                    consider(*inner);
            i = after;
            continue;
        }
        if (c == u'.' || c == u'^' || c == u'$') {
            i = quantifierEnd(pattern, i + 1);
            continue;
        }
        if (c == u'\\' && i + 1 < pattern.size() && QStringView(u"bBAzZG").contains(pattern[i + 1])) {
            i += 2;
            continue;
        }
        CharClass cls;
        qsizetype next = i;
        if (!classAtom(pattern, next, cls))
            return std::nullopt;
        const qsizetype after = quantifierEnd(pattern, next);
        if ((after == next || pattern[next] == u'+') && !cls.negated) {
            FirstChars f;
            for (char32_t u = 0; u < 128; ++u)
                if (cls.contains(u, caseless))
                    f.ascii[u >> 6] |= quint64(1) << (u & 63);
            // Beyond ASCII only what is sure to be out: nothing when case folds or a class reaches there.
            f.nonAscii = caseless || !cls.ranges.empty() || cls.word || cls.digit || cls.space || cls.notWord
                         || cls.notDigit || cls.notSpace;
            consider(f);
        }
        i = after;
    }
    return best;
}

std::optional<FirstChars> charsBefore(const QString &pattern, bool caseless)
{
    if (!pattern.startsWith(u"(?<=") || topLevelAlternative(pattern))
        return std::nullopt;
    const qsizetype end = groupEnd(pattern, 0) - 1; // the lookbehind's ")"
    if (end < 4)
        return std::nullopt;
    // Each branch of the lookbehind must end in one character of a class, without a quantifier.
    FirstChars out;
    qsizetype last = -1; // where the branch's last item begins, when it is such a character
    for (qsizetype i = 4;;) {
        if (i >= end || pattern[i] == u'|') {
            CharClass cls;
            if (last < 0 || !classAtom(pattern, last, cls))
                return std::nullopt;
            Parser::classFirst(cls, caseless, out);
            if (i >= end)
                return out;
            ++i;
            last = -1;
            continue;
        }
        const QChar c = pattern[i];
        qsizetype next = i + 1;
        bool one = !isMeta(c);
        if (c == u'(') {
            next = groupEnd(pattern, i);
            one = false;
        } else if (c == u'[') {
            next = classEnd(pattern, i);
            one = true;
        } else if (c == u'\\') {
            next = i + 1 < end && (pattern[i + 1].unicode() >= 128 || pattern[i + 1].isLetterOrNumber()) ? escapeEnd(pattern, i) : i + 2;
            one = true; // \b and the like: classAtom() refuses them
        }
        if (next <= i || next > end)
            return std::nullopt;
        const qsizetype after = quantifierEnd(pattern, next);
        last = one && after == next ? i : -1;
        i = after;
    }
}

std::optional<FirstChars> endRun(const QString &pattern, bool caseless)
{
    // Option settings and leading verbs may change what "$" means: refuse them.
    if (topLevelAlternative(pattern) || !pattern.endsWith(u')') || pattern.contains(QStringLiteral("(*")))
        return std::nullopt;
    for (qsizetype i = pattern.indexOf(QStringLiteral("(?")); i >= 0; i = pattern.indexOf(QStringLiteral("(?"), i + 2))
        if (i + 2 < pattern.size() && !QStringView(u"=!<:").contains(pattern[i + 2]))
            return std::nullopt;
    // The last item at the top level must be the lookahead, and so end the pattern.
    qsizetype last = -1;
    for (qsizetype i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        if (c == u'(') {
            last = i;
            i = groupEnd(pattern, i);
            if (i < 0)
                return std::nullopt;
        } else if (c == u'[') {
            i = classEnd(pattern, i);
            if (i < 0)
                return std::nullopt;
        } else {
            i += c == u'\\' ? 2 : 1;
        }
    }
    if (last < 0 || groupEnd(pattern, last) != pattern.size() || !QStringView(pattern).sliced(last).startsWith(u"(?="))
        return std::nullopt;
    qsizetype i = last + 3;
    CharClass cls;
    if (!classAtom(pattern, i, cls) || pattern.size() - i != 3 || QStringView(pattern).sliced(i) != u"*$)")
        return std::nullopt;
    FirstChars out;
    for (char32_t c = 0; c < 128; ++c)
        if (cls.contains(c, caseless))
            setBit(out.ascii, int(c));
    out.nonAscii = true; // not known beyond ASCII
    return out;
}

bool usesSearchStart(const QString &pattern)
{
    for (qsizetype i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != u'\\')
            continue;
        if (pattern[i + 1] == u'G' || pattern[i + 1] == u'Q')
            return true; // after \Q the pattern's shape is not followed: assume the worst
        ++i;
    }
    return false;
}

} // namespace PatternAnalysis
