#include "lint/regexpshape.h"

#include "editorcontrol/patternanalysis.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <vector>

namespace Lint {

namespace {

constexpr int kUnbounded = -1;
constexpr int kManyTimes = 10; // a bounded repeat this large backtracks like an unbounded one

// One element of a pattern with its repeat count: a character, a class, an assertion or a group.
struct Node {
    enum Kind { Char, Set, Assert, Group, Skip };
    Kind kind = Char;
    qsizetype begin = 0, end = 0; // the element in the pattern, without its quantifier
    qsizetype quantifierEnd = 0;  // the end of its quantifier
    int min = 1, max = 1;         // max kUnbounded: no limit
    bool possessive = false;
    bool atomic = false;
    bool lookaround = false;
    bool negative = false;        // a negative lookaround
    bool lineBreak = false;       // matches CR or LF only
    std::vector<std::vector<Node>> alternatives;
    std::vector<std::pair<qsizetype, qsizetype>> spans; // where each alternative stands

    bool repeatsMany() const { return max == kUnbounded || max >= kManyTimes; }
};

class Parser {
public:
    explicit Parser(QStringView pattern) : p(pattern) {}

    bool parse(Node &top)
    {
        top.kind = Node::Group;
        top.begin = 0;
        if (!alternatives(top, 0) || i != p.size())
            return false;
        top.end = i;
        return true;
    }

private:
    QChar peek(qsizetype at = 0) const { return i + at < p.size() ? p[i + at] : QChar(); }

    bool alternatives(Node &group, int depth)
    {
        if (depth > 200)
            return false;
        group.alternatives.emplace_back();
        group.spans.emplace_back(i, i);
        while (i < p.size() && p[i] != u')') {
            if (p[i] == u'|') {
                group.spans.back().second = i++;
                group.alternatives.emplace_back();
                group.spans.emplace_back(i, i);
                continue;
            }
            Node n;
            if (!atom(n, depth))
                return false;
            if (n.kind == Node::Skip)
                continue;
            quantifier(n);
            n.quantifierEnd = i;
            group.alternatives.back().push_back(std::move(n));
        }
        group.spans.back().second = i;
        return true;
    }

    bool atom(Node &n, int depth)
    {
        n.begin = i;
        const QChar c = p[i++];
        bool ok = true;
        switch (c.unicode()) {
        case '\\': ok = escape(n); break;
        case '[': n.kind = Node::Set; ok = characterClass(n); break;
        case '.': n.kind = Node::Set; break;
        case '^':
        case '$': n.kind = Node::Assert; break;
        case '(': ok = group(n, depth); break;
        case '\r':
        case '\n': n.lineBreak = true; break;
        default: break;
        }
        n.end = i;
        return ok;
    }

    bool escape(Node &n)
    {
        if (i >= p.size())
            return false;
        const QChar e = p[i++];
        switch (e.unicode()) {
        case 'b': case 'B': case 'A': case 'z': case 'Z': case 'G': case 'K':
            n.kind = Node::Assert;
            return true;
        case 'd': case 'D': case 'w': case 'W': case 's': case 'S': case 'h': case 'H':
        case 'v': case 'V': case 'N': case 'X': case 'C':
            n.kind = Node::Set;
            return true;
        case 'R':
            n.kind = Node::Set;
            n.lineBreak = true;
            return true;
        case 'n': case 'r':
            n.lineBreak = true;
            return true;
        case 'p': case 'P': case 'x': case 'o':
            if (e == u'p' || e == u'P')
                n.kind = Node::Set;
            if (peek() == u'{')
                return skipPast(u'}');
            if (e != u'x')
                ++i;
            else
                for (int k = 0; k < 2 && peek().isLetterOrNumber(); ++k)
                    ++i;
            return true;
        case 'c':
            ++i;
            return true;
        case 'Q': case 'E': case 'g': case 'k':
            return false; // quoting and back references are not modelled
        default:
            return !(e >= u'1' && e <= u'9'); // \1..\9: back references
        }
    }

    bool skipPast(QChar close)
    {
        const qsizetype at = p.indexOf(close, i);
        if (at < 0)
            return false;
        i = at + 1;
        return true;
    }

    bool characterClass(Node &n)
    {
        bool negated = false;
        bool onlyBreaks = true;
        if (peek() == u'^') {
            negated = true;
            ++i;
        }
        bool first = true;
        while (i < p.size() && (first || p[i] != u']')) {
            first = false;
            const QChar c = p[i++];
            if (c == u'[' && peek() == u':') {
                if (!skipPast(u']'))
                    return false;
                onlyBreaks = false;
            } else if (c == u'\\') {
                if (i >= p.size() || p[i] == u'Q' || p[i] == u'E')
                    return false;
                const QChar e = p[i++];
                onlyBreaks = onlyBreaks && (e == u'n' || e == u'r');
                if ((e == u'x' || e == u'p' || e == u'P' || e == u'o') && peek() == u'{' && !skipPast(u'}'))
                    return false;
            } else {
                onlyBreaks = onlyBreaks && (c == u'\r' || c == u'\n');
            }
        }
        if (i >= p.size())
            return false;
        ++i; // ]
        n.lineBreak = onlyBreaks && !negated;
        return true;
    }

    bool group(Node &n, int depth)
    {
        n.kind = Node::Group;
        if (peek() == u'*') { // (*VERB)
            n.kind = Node::Skip;
            return skipPast(u')');
        }
        if (peek() == u'?') {
            ++i;
            const QChar c = peek();
            if (c == u'#') {
                n.kind = Node::Skip;
                return skipPast(u')');
            }
            if (c == u':' || c == u'|' || c == u'>' || c == u'=' || c == u'!') {
                n.atomic = c == u'>';
                n.lookaround = c == u'=' || c == u'!';
                n.negative = c == u'!';
                ++i;
            } else if (c == u'<' && (peek(1) == u'=' || peek(1) == u'!')) {
                n.lookaround = true;
                n.negative = peek(1) == u'!';
                i += 2;
            } else if (c == u'<' || c == u'\'' || (c == u'P' && peek(1) == u'<')) {
                if (!skipPast(c == u'\'' ? u'\'' : u'>'))
                    return false;
            } else {
                // Option settings: "(?i)" changes what follows, "(?i:" opens a group.
                while (peek().isLetter() || peek() == u'-' || peek() == u'^')
                    ++i;
                if (peek() == u')') {
                    ++i;
                    n.kind = Node::Skip;
                    return true;
                }
                if (peek() != u':')
                    return false; // recursion, callouts, conditions
                ++i;
            }
        }
        if (!alternatives(n, depth + 1) || peek() != u')')
            return false;
        ++i;
        return true;
    }

    void quantifier(Node &n)
    {
        const QChar c = peek();
        if (c == u'*' || c == u'+' || c == u'?') {
            n.min = c == u'+' ? 1 : 0;
            n.max = c == u'?' ? 1 : kUnbounded;
            ++i;
        } else if (c == u'{') {
            qsizetype j = i + 1;
            auto number = [&](int &value) {
                const qsizetype from = j;
                value = 0;
                while (j < p.size() && p[j].isDigit() && j - from < 6)
                    value = value * 10 + p[j++].digitValue();
                return j > from;
            };
            int low = 0, high = 0;
            const bool hasLow = number(low);
            if (j < p.size() && p[j] == u'}' && hasLow) {
                high = low;
            } else if (j < p.size() && p[j] == u',') {
                ++j;
                if (!number(high))
                    high = kUnbounded;
                if (!hasLow && high == kUnbounded)
                    return;
            } else {
                return; // a literal "{"
            }
            if (j >= p.size() || p[j] != u'}')
                return;
            n.min = low;
            n.max = high;
            i = j + 1;
        } else {
            return;
        }
        if (peek() == u'+') {
            n.possessive = true;
            ++i;
        } else if (peek() == u'?') {
            ++i;
        }
    }

    QStringView p;
    qsizetype i = 0;
};

// The shortest and longest text a node matches; kUnbounded for no limit.
int sequenceLength(const std::vector<Node> &sequence, bool longest);

int length(const Node &n, bool longest)
{
    int one = 0;
    if (n.kind == Node::Char || n.kind == Node::Set) {
        one = 1;
    } else if (n.kind == Node::Group && !n.lookaround) {
        one = longest ? 0 : kUnbounded;
        for (const auto &alternative : n.alternatives) {
            const int l = sequenceLength(alternative, longest);
            if (longest)
                one = (one == kUnbounded || l == kUnbounded) ? kUnbounded : std::max(one, l);
            else
                one = one == kUnbounded ? l : std::min(one, l);
        }
    }
    if (!longest)
        return one * n.min;
    if (one == 0)
        return 0;
    return (one == kUnbounded || n.max == kUnbounded) ? kUnbounded : one * n.max;
}

int sequenceLength(const std::vector<Node> &sequence, bool longest)
{
    int sum = 0;
    for (const Node &n : sequence) {
        const int l = length(n, longest);
        if (l == kUnbounded)
            return kUnbounded;
        sum += l;
    }
    return sum;
}

bool needsBreak(const Node &n);

bool sequenceNeedsBreak(const std::vector<Node> &sequence)
{
    for (const Node &n : sequence)
        if (n.min >= 1 && needsBreak(n))
            return true;
    return false;
}

bool needsBreak(const Node &n)
{
    if (n.kind != Node::Group)
        return n.lineBreak;
    if (n.negative)
        return false;
    for (const auto &alternative : n.alternatives)
        if (!sequenceNeedsBreak(alternative))
            return false;
    return true;
}

using First = std::optional<PatternAnalysis::FirstChars>;

First sequenceFirst(QStringView p, const std::vector<Node> &sequence, bool caseless);

// The ASCII characters a node can begin with; nothing when that is not known.
First nodeFirst(QStringView p, const Node &n, bool caseless)
{
    if (n.kind == Node::Group) {
        PatternAnalysis::FirstChars all;
        for (const auto &alternative : n.alternatives) {
            const First f = sequenceFirst(p, alternative, caseless);
            if (!f)
                return std::nullopt;
            all.ascii[0] |= f->ascii[0];
            all.ascii[1] |= f->ascii[1];
        }
        return all;
    }
    const QStringView source = p.mid(n.begin, n.end - n.begin);
    if (source == u".") {
        PatternAnalysis::FirstChars any;
        any.ascii[0] = ~(quint64(1) << '\n');
        any.ascii[1] = ~quint64(0);
        return any;
    }
    return PatternAnalysis::firstChars(source.toString(), caseless);
}

// What a sequence can begin with: its first node, and the next ones while those before may be empty.
First sequenceFirst(QStringView p, const std::vector<Node> &sequence, bool caseless)
{
    PatternAnalysis::FirstChars all;
    for (const Node &n : sequence) {
        if (n.kind == Node::Assert || n.lookaround)
            continue;
        const First f = nodeFirst(p, n, caseless);
        if (!f)
            return std::nullopt;
        all.ascii[0] |= f->ascii[0];
        all.ascii[1] |= f->ascii[1];
        if (n.min > 0 && length(n, false) > 0)
            return all;
    }
    return std::nullopt; // the sequence may match empty: it can "begin" with anything
}

bool overlap(const PatternAnalysis::FirstChars &a, const PatternAnalysis::FirstChars &b)
{
    return (a.ascii[0] & b.ascii[0]) || (a.ascii[1] & b.ascii[1]);
}

// A group repeated once, with one alternative, adds nothing: its elements stand in the sequence.
void flatten(const std::vector<Node> &sequence, std::vector<const Node *> &out)
{
    for (const Node &n : sequence) {
        if (n.kind == Node::Group && !n.lookaround && !n.atomic && n.alternatives.size() == 1 && n.min == 1
            && n.max == 1)
            flatten(n.alternatives.front(), out);
        else
            out.push_back(&n);
    }
}

bool isPlainText(QStringView text)
{
    for (QChar c : text)
        if (QStringView(u"\\^$.|?*+()[]{}").contains(c))
            return false;
    return true;
}

class Backtracking {
public:
    Backtracking(QStringView pattern, bool caseless) : p(pattern), caseless(caseless) {}

    QString find(const Node &n)
    {
        if (n.kind != Node::Group || tooComplex)
            return QString();
        if (n.repeatsMany() && !n.possessive && !n.atomic && !n.lookaround) {
            if (QString why = nestedRepeat(n); !why.isEmpty())
                return why;
            if (QString why = overlappingAlternatives(n); !why.isEmpty())
                return why;
        }
        for (const auto &alternative : n.alternatives)
            for (const Node &child : alternative)
                if (QString why = find(child); !why.isEmpty())
                    return why;
        return QString();
    }

private:
    QString text(const Node &n) const { return p.mid(n.begin, n.quantifierEnd - n.begin).toString(); }

    // "(a+)+": the inner repeat and the outer one can share out the same text in many ways, unless
    // every round must also match something the inner repeat cannot. Each element's first characters
    // are worked out once, and the separators are compared by their distinct first characters, so a
    // long sequence of like elements costs its length, not its square.
    QString nestedRepeat(const Node &g)
    {
        for (const auto &alternative : g.alternatives) {
            std::vector<const Node *> items;
            flatten(alternative, items);
            std::vector<First> firsts(items.size());
            // The separators' distinct first characters; how many separators have known and unknown ones.
            std::vector<PatternAnalysis::FirstChars> separators;
            int knownSeparators = 0, unknownSeparators = 0;
            for (size_t k = 0; k < items.size(); ++k) {
                const Node *s = items[k];
                firsts[k] = nodeFirst(p, *s, caseless);
                if (s->min < 1 || s->lookaround || s->kind == Node::Assert)
                    continue;
                if (!firsts[k]) {
                    ++unknownSeparators;
                    continue;
                }
                if (!spend(separators.size()))
                    return QString();
                const auto same = std::find_if(separators.begin(), separators.end(), [&](const auto &e) {
                    return e.ascii[0] == firsts[k]->ascii[0] && e.ascii[1] == firsts[k]->ascii[1];
                });
                if (same == separators.end())
                    separators.push_back(*firsts[k]);
                ++knownSeparators;
            }
            for (size_t k = 0; k < items.size(); ++k) {
                const Node *u = items[k];
                if (!u->repeatsMany() || u->possessive || u->atomic || u->lookaround || length(*u, true) == 0)
                    continue;
                const First &inner = firsts[k];
                // Is there a separator other than u itself whose first characters are unknown or
                // share nothing with u's?
                const bool selfSeparates = u->min >= 1 && u->kind != Node::Assert;
                const bool innerEmpty = inner && !inner->ascii[0] && !inner->ascii[1];
                bool separated;
                if (!inner || innerEmpty) {
                    separated = unknownSeparators + knownSeparators > (selfSeparates ? 1 : 0);
                } else {
                    separated = unknownSeparators > 0;
                    if (!spend(separators.size()))
                        return QString();
                    for (size_t e = 0; !separated && e < separators.size(); ++e)
                        separated = !overlap(*inner, separators[e]);
                }
                if (!separated)
                    return QStringLiteral("the repeat \"%1\" holds the repeat \"%2\": the two can share out the same "
                                          "text in many ways")
                        .arg(text(g), text(*u));
            }
        }
        return QString();
    }

    // "(a|ab|\w)*": two alternatives that can begin alike give every round two ways to go. Each
    // alternative is compared with all before it at once: equal plain texts through a hash, first
    // characters through the union of those seen.
    QString overlappingAlternatives(const Node &g)
    {
        const auto span = [&](size_t a) { return p.mid(g.spans[a].first, g.spans[a].second - g.spans[a].first); };
        std::vector<First> firsts(g.spans.size());
        std::vector<bool> plain(g.spans.size());
        QHash<QString, size_t> plainSeen;
        PatternAnalysis::FirstChars plainUnion, otherUnion;
        for (size_t b = 0; b < g.spans.size(); ++b) {
            if (!spend(1))
                return QString();
            const QStringView y = span(b);
            plain[b] = isPlainText(y);
            firsts[b] = sequenceFirst(p, g.alternatives[b], caseless);
            bool alike = false;
            if (plain[b]) {
                const QString key = caseless ? y.toString().toCaseFolded() : y.toString();
                alike = plainSeen.contains(key) || (firsts[b] && overlap(*firsts[b], otherUnion));
                plainSeen.insert(key, b);
            } else if (firsts[b]) {
                alike = overlap(*firsts[b], plainUnion) || overlap(*firsts[b], otherUnion);
            }
            if (alike) {
                // Name the first earlier alternative it is like.
                for (size_t a = 0; a < b; ++a) {
                    const QStringView x = span(a);
                    const bool same = plain[a] && plain[b]
                        ? (caseless ? x.compare(y, Qt::CaseInsensitive) == 0 : x == y)
                        : firsts[a] && firsts[b] && overlap(*firsts[a], *firsts[b]);
                    if (same)
                        return QStringLiteral("the alternatives \"%1\" and \"%2\" of the repeat \"%3\" can match the same text")
                            .arg(x.toString(), y.toString(), text(g));
                }
            }
            if (firsts[b]) {
                PatternAnalysis::FirstChars &into = plain[b] ? plainUnion : otherUnion;
                into.ascii[0] |= firsts[b]->ascii[0];
                into.ascii[1] |= firsts[b]->ascii[1];
            }
        }
        return QString();
    }

    // Counts work done; false once the budget is spent, after which the analysis stops and says so.
    bool spend(size_t steps)
    {
        work_ += qint64(steps) + 1;
        if (work_ > kWorkLimit)
            tooComplex = true;
        return !tooComplex;
    }

public:
    // The budget of comparisons: far beyond any pattern a person writes, a fraction of a second.
    static constexpr qint64 kWorkLimit = 20'000'000;
    bool tooComplex = false;

private:
    qint64 work_ = 0;
    QStringView p;
    bool caseless;
};

} // namespace

RegexpShape RegexpShape::of(const QString &pattern, bool caseless)
{
    RegexpShape shape;
    shape.literal = !pattern.isEmpty() && isPlainText(pattern);
    Node top;
    if (!Parser(pattern).parse(top))
        return shape;
    shape.parsed = true;
    shape.matchesEmpty = length(top, false) == 0;
    shape.onlyEmpty = length(top, true) == 0;
    shape.needsLineBreak = needsBreak(top);
    Backtracking backtracking(pattern, caseless);
    shape.backtracking = backtracking.find(top);
    shape.tooComplex = backtracking.tooComplex;
    return shape;
}

} // namespace Lint
