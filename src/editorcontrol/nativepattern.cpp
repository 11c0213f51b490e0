#include "editorcontrol/nativepattern.h"
#include "editorcontrol/patternanalysis.h"

#include <algorithm>
#include <bit>

namespace {

constexpr int kMaxRepeat = 16;   // {n,m} bounds beyond this are left to the engine
constexpr int kMaxProgram = 2048;
constexpr int kMaxSplits = 1;
constexpr int kMaxGuardedSplits = 32;
constexpr int kMaxGateStops = 16;
constexpr int kFailed = -1, kEngine = -2;

bool isAsciiWord(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

} // namespace

// Parses the pattern into nodes, then writes the program the matcher runs.
struct NativePattern::Compiler {
    struct Node {
        enum Kind { Cls, Dot, Assert, Group, Look } kind = Cls;
        quint64 table[2] = {0, 0}; // Cls
        bool broad = false;        // "." or a negated class: a repeat of it runs far
        Code assertion = Start;
        std::vector<std::vector<Node>> alternatives; // Group, Look
        bool behind = false, negative = false;       // Look
        int min = 1, max = 1;                        // max -1: unbounded
        bool lazy = false;                           // Cls repeated without bound, as few as may be
    };

    const QString &s;
    bool caseless;
    qsizetype i = 0;
    NativePattern out;
    // The pattern holds what the matcher does not model but its gates may ignore: lazy repeats (but of
    // a class outside lookarounds), possessive and atomic repeats and groups (each tries a subset of the
    // ways a plain one tries), and repeats the matcher refuses for their cost.
    bool loose = false;
    int mainEnd = -1; // the Match of the pattern itself, before the lookarounds' programs
    std::vector<Gate> gates;
    struct Pending {
        int op;
        const std::vector<std::vector<Node>> *alternatives;
        bool behind;
    };
    std::vector<Pending> pending;

    QChar peek() const { return i < s.size() ? s[i] : QChar(); }

    bool alternation(std::vector<std::vector<Node>> &alternatives, bool inLook)
    {
        for (;;) {
            alternatives.emplace_back();
            if (!branch(alternatives.back(), inLook))
                return false;
            if (peek() != u'|')
                return true;
            ++i;
        }
    }

    bool branch(std::vector<Node> &sequence, bool inLook)
    {
        while (i < s.size() && peek() != u'|' && peek() != u')') {
            Node node;
            if (!atom(node, inLook) || !quantifier(node, inLook))
                return false;
            sequence.push_back(std::move(node));
        }
        return true;
    }

    bool atom(Node &node, bool inLook)
    {
        const QChar c = peek();
        auto assertion = [&](Code code, int length) {
            node.kind = Node::Assert;
            node.assertion = code;
            i += length;
            return true;
        };
        if (c == u'^')
            return assertion(Start, 1);
        if (c == u'$')
            return assertion(End, 1);
        if (c == u'.') {
            node.kind = Node::Dot;
            node.broad = true;
            ++i;
            return true;
        }
        if (c == u'\\' && i + 1 < s.size()) {
            switch (s[i + 1].unicode()) {
            case 'b': return assertion(Boundary, 2);
            case 'B': return assertion(NotBoundary, 2);
            case 'A': return assertion(Start, 2);
            case 'Z': return assertion(End, 2);
            case 'z': return assertion(EndOnly, 2);
            default: break;
            }
        }
        if (c == u'(')
            return group(node, inLook);
        PatternAnalysis::CharClass cls;
        if (!PatternAnalysis::classAtom(s, i, cls))
            return false;
        // Without case, a character from 128 up may match an ASCII one (the Kelvin sign matches k).
        if (caseless && !cls.ranges.empty())
            loose = true;
        if (caseless) {
            for (char32_t u = 0; u < 128; ++u)
                if (cls.contains(u, caseless))
                    node.table[u >> 6] |= quint64(1) << (u & 63);
        } else {
            for (int k = 0; k < 2; ++k)
                node.table[k] = cls.negated ? ~cls.ascii[k] : cls.ascii[k];
        }
        node.kind = Node::Cls;
        node.broad = cls.negated;
        return true;
    }

    bool group(Node &node, bool inLook)
    {
        ++i;
        node.kind = Node::Group;
        if (peek() == u'?') {
            const QStringView rest = QStringView(s).mid(i + 1);
            if (rest.startsWith(u':')) {
                i += 2;
            } else if (rest.startsWith(u'>') || rest.startsWith(u'|')) {
                loose = true;
                i += 2;
            } else if (rest.startsWith(u'=') || rest.startsWith(u'!')) {
                node.kind = Node::Look;
                node.negative = rest.startsWith(u'!');
                i += 2;
            } else if (rest.startsWith(u"<=") || rest.startsWith(u"<!")) {
                node.kind = Node::Look;
                node.behind = true;
                node.negative = rest.startsWith(u"<!");
                i += 3;
            } else {
                // Named groups: (?<name>...), (?P<name>...), (?'name'...); other kinds are not modelled.
                const qsizetype at = rest.startsWith(u"P<") ? 2 : rest.startsWith(u'<') || rest.startsWith(u'\'') ? 1 : 0;
                if (at == 0)
                    return false;
                const char16_t close = rest[at - 1] == u'\'' ? u'\'' : u'>';
                qsizetype end = at;
                while (end < rest.size() && rest[end].unicode() < 128 && (rest[end].isLetterOrNumber() || rest[end] == u'_'))
                    ++end;
                if (end == at || end >= rest.size() || rest[end] != close)
                    return false;
                i += 1 + end + 1;
            }
        }
        if (!alternation(node.alternatives, inLook || node.kind == Node::Look) || peek() != u')')
            return false;
        ++i;
        if (node.behind)
            for (const std::vector<Node> &b : node.alternatives)
                if (fixedLength(b) < 0)
                    return false;
        return true;
    }

    bool quantifier(Node &node, bool inLook)
    {
        const QChar c = peek();
        if (c == u'*' || c == u'+' || c == u'?') {
            node.min = c == u'+' ? 1 : 0;
            node.max = c == u'?' ? 1 : -1;
            ++i;
        } else if (c == u'{') {
            qsizetype j = i + 1;
            auto number = [&](int &value) {
                const qsizetype from = j;
                value = 0;
                while (j < s.size() && s[j] >= u'0' && s[j] <= u'9' && value <= kMaxRepeat)
                    value = value * 10 + (s[j++].unicode() - u'0');
                return j > from;
            };
            int min = 0, max = 0;
            if (!number(min))
                return false;
            max = min;
            if (j < s.size() && s[j] == u',') {
                ++j;
                if (!number(max))
                    max = -1;
            }
            if (j >= s.size() || s[j] != u'}' || min > kMaxRepeat || max > kMaxRepeat || (max >= 0 && max < min))
                return false;
            node.min = min;
            node.max = max;
            i = j + 1;
        } else {
            return true;
        }
        if (peek() == u'?' || peek() == u'+') {
            // A lazy class is matched here (the rest is tried only where it may begin); other lazy
            // repeats try the rest after each turn, where the engine is quicker; possessive ones.
            if (peek() == u'?' && node.kind == Node::Cls && node.max < 0 && !inLook)
                node.lazy = true;
            else
                loose = true;
            ++i;
        }
        if (node.kind == Node::Assert || node.kind == Node::Look)
            return false;
        // The engine stops a repeat whose turn matched empty; and a repeat that scans far inside a
        // lookaround would scan again from every position.
        if (nullable(node, true) || (inLook && node.max < 0 && (node.broad || node.kind == Node::Group)))
            loose = true;
        return true;
    }

    static bool nullable(const Node &node, bool ignoreRepeat = false)
    {
        if (!ignoreRepeat && node.min == 0)
            return true;
        switch (node.kind) {
        case Node::Cls:
        case Node::Dot: return false;
        case Node::Assert:
        case Node::Look: return true;
        case Node::Group:
            for (const std::vector<Node> &b : node.alternatives) {
                bool all = true;
                for (const Node &n : b)
                    all = all && nullable(n);
                if (all)
                    return true;
            }
            return false;
        }
        return true;
    }

    // Characters a sequence always takes, or -1 when that varies.
    static int fixedLength(const std::vector<Node> &sequence)
    {
        int total = 0;
        for (const Node &n : sequence) {
            int one = 0;
            if (n.kind == Node::Cls || n.kind == Node::Dot) {
                one = 1;
            } else if (n.kind == Node::Group) {
                one = fixedLength(n.alternatives.front());
                for (const std::vector<Node> &b : n.alternatives)
                    if (fixedLength(b) != one)
                        return -1;
            }
            if (one < 0 || n.min != n.max)
                return -1;
            total += one * n.min;
        }
        return total;
    }

    int emit(Code code, int a = 0, int b = 0, int c = 0, const quint64 *table = nullptr)
    {
        out.program.push_back({code, a, b, c, {table ? table[0] : 0, table ? table[1] : 0}});
        return int(out.program.size()) - 1;
    }
    int here() const { return int(out.program.size()); }

    void sequence(const std::vector<Node> &nodes)
    {
        for (const Node &n : nodes)
            repeat(n);
    }

    void repeat(const Node &n)
    {
        if (n.kind == Node::Cls && n.max < 0) {
            emit(n.lazy ? Lazy : Repeat, n.min, 0, 0, n.table);
            return;
        }
        for (int k = 0; k < n.min; ++k)
            one(n);
        auto order = [&](int split, int body, int after) { // greedy: the body first
            out.program[size_t(split)].a = body;
            out.program[size_t(split)].b = after;
        };
        if (n.max < 0) {
            const int split = emit(Split);
            one(n);
            emit(Jump, split);
            order(split, split + 1, here());
            return;
        }
        std::vector<int> splits;
        for (int k = n.min; k < n.max; ++k) {
            splits.push_back(emit(Split));
            one(n);
        }
        for (int split : splits)
            order(split, split + 1, here());
    }

    void one(const Node &n)
    {
        switch (n.kind) {
        case Node::Cls: emit(Class, 0, 0, 0, n.table); break;
        case Node::Dot: emit(Any); break;
        case Node::Assert: emit(n.assertion); break;
        case Node::Group: alternatives(n.alternatives); break;
        case Node::Look:
            if (n.behind) {
                const int first = int(out.behind.size());
                for (size_t k = 0; k < n.alternatives.size(); ++k)
                    out.behind.push_back({0, fixedLength(n.alternatives[k])});
                pending.push_back({emit(Behind, first, int(n.alternatives.size()), n.negative), &n.alternatives, true});
            } else {
                pending.push_back({emit(Ahead, 0, n.negative), &n.alternatives, false});
            }
            break;
        }
    }

    void alternatives(const std::vector<std::vector<Node>> &branches)
    {
        std::vector<int> jumps;
        for (size_t k = 0; k + 1 < branches.size(); ++k) {
            const int split = emit(Split, 0, 0);
            out.program[size_t(split)].a = split + 1;
            sequence(branches[k]);
            jumps.push_back(emit(Jump));
            out.program[size_t(split)].b = here();
        }
        sequence(branches.back());
        for (int j : jumps)
            out.program[size_t(j)].a = here();
    }

    // Adds the characters below 128 that a way from pc can take first; false when it may end the match
    // or meet an assertion before it takes one (nothing is then known).
    bool first(int pc, quint64 *bits)
    {
        std::vector<char> seen(out.program.size(), 0);
        return firstFrom(pc, bits, seen);
    }
    bool firstFrom(int pc, quint64 *bits, std::vector<char> &seen)
    {
        if (seen[size_t(pc)])
            return true; // back round a repeat, whose turn takes a character
        seen[size_t(pc)] = 1;
        const Op &op = out.program[size_t(pc)];
        switch (op.code) {
        case Class:
        case Repeat:
        case Lazy:
            bits[0] |= op.table[0];
            bits[1] |= op.table[1];
            return op.code == Class || op.a > 0 || firstFrom(pc + 1, bits, seen);
        case Ahead: // a way past a lookahead takes first what the lookahead takes first
            return !op.b && firstFrom(op.a, bits, seen);
        case Any:
            bits[0] = bits[1] = ~quint64(0);
            return true;
        case Split: {
            const bool a = firstFrom(op.a, bits, seen);
            return firstFrom(op.b, bits, seen) && a;
        }
        case Jump:
            return firstFrom(op.a, bits, seen);
        default:
            return false;
        }
    }

    bool compile()
    {
        std::vector<std::vector<Node>> top;
        if (!alternation(top, false) || i != s.size())
            return false;
        alternatives(top);
        mainEnd = emit(Match);
        // Lookarounds' programs, each ending in Match (those inside them are added as they are written).
        for (size_t k = 0; k < pending.size(); ++k) {
            const Pending p = pending[k];
            if (p.behind) {
                const Op op = out.program[size_t(p.op)]; // a copy: the program grows below
                for (int b = 0; b < op.b; ++b) {
                    out.behind[size_t(op.a + b)].pc = here();
                    sequence((*p.alternatives)[size_t(b)]);
                    emit(Match);
                }
            } else {
                out.program[size_t(p.op)].a = here();
                alternatives(*p.alternatives);
                emit(Match);
            }
            if (here() > kMaxProgram)
                return false;
        }
        if (here() > kMaxProgram)
            return false;
        findGates();
        if (loose)
            return false;
        for (Op &op : out.program) {
            if (op.code == Split) {
                op.guards = quint8((first(op.a, op.table) ? 1 : 0) | (first(op.b, op.next) ? 2 : 0));
            } else if (op.code == Repeat || op.code == Lazy) {
                const int pc = int(&op - out.program.data());
                if (first(pc + 1, op.next))
                    op.guards = 2;
            } else if (op.code == Ahead && out.program[size_t(op.a)].code == Class
                       && out.program[size_t(op.a) + 1].code == Match) {
                // A lookahead of one class, as "(?=[A-Za-z_:])": its character is looked at here.
                op.guards = 4;
                op.table[0] = out.program[size_t(op.a)].table[0];
                op.table[1] = out.program[size_t(op.a)].table[1];
            } else if (op.code == Ahead && out.program[size_t(op.a)].code == Repeat
                       && out.program[size_t(op.a) + 1].code == Class && out.program[size_t(op.a) + 2].code == Match) {
                // A run of one class, then one character of another, as "(?=\s*\()": where no character
                // is in both, only the run's end may hold that character, so it is looked at in place.
                const Op &run = out.program[size_t(op.a)], &last = out.program[size_t(op.a) + 1];
                if (!(run.table[0] & last.table[0]) && !(run.table[1] & last.table[1])) {
                    op.guards = 8;
                    op.c = run.a;
                    op.table[0] = run.table[0];
                    op.table[1] = run.table[1];
                    op.next[0] = last.table[0];
                    op.next[1] = last.table[1];
                }
            }
        }
        // Each way tried costs a few steps: with many, the engine's compiled code is quicker. Unless no
        // way is tried in vain for long: each must take a character first, which is looked at before
        // it is tried, and no repeat gives characters back (what follows it cannot begin with one of
        // them, may end the match at once, or is the line's end), as in "[0-9]+([uU](ll|l)?|(ll|l)[uU]?)?"
        // or "(?<=[=:] )(on|off)(?=[ \t]*$)". No lazy repeat: it tries what follows again and again.
        const auto splits = std::count_if(out.program.begin(), out.program.end(), [](const Op &op) { return op.code == Split; });
        if (here() > kMaxProgram || splits > kMaxGuardedSplits)
            return false;
        if (splits <= kMaxSplits)
            return true;
        for (const Op &op : out.program) {
            const int pc = int(&op - out.program.data());
            if (op.code == Split && !(op.guards & 1))
                return false;
            if (op.code == Repeat && !keepsAll(op)
                && !mayEnd(pc + 1) && !endsLine(op, pc + 1))
                return false;
            if (op.code == Lazy)
                return false;
        }
        return true;
    }

    // Gates (see Gate): a class `stop` of which every way through the pattern takes a character (each
    // way meets a step that takes one character of it, or more); `scan` holds what the steps before
    // the first such one may take, less `stop`.
    void findGates()
    {
        struct Found {
            Gate gate;
            int before; // steps that take characters before it
            int scanned;
        };
        std::vector<Found> found;
        auto takesOne = [&](const Op &op) { return op.code == Class || ((op.code == Repeat || op.code == Lazy) && op.a > 0); };
        for (int k = 0; k < mainEnd; ++k) {
            const Op &g = out.program[size_t(k)];
            if (!takesOne(g) || std::any_of(found.begin(), found.end(), [&](const Found &f) {
                    return f.gate.stop[0] == g.table[0] && f.gate.stop[1] == g.table[1];
                }))
                continue;
            auto blocks = [&](const Op &op) {
                return takesOne(op) && !(op.table[0] & ~g.table[0]) && !(op.table[1] & ~g.table[1]);
            };
            quint64 scan[2] = {0, 0};
            int before = 0;
            bool through = false; // a way reaches the end without a step of the class
            bool loops = false;   // the steps before it may take a run of any length
            int splits = 0;       // or part ways
            walk(0, [&](int at, const Op &op, std::vector<int> &todo) {
                if (blocks(op))
                    return true;
                switch (op.code) {
                case Match: through = true; break;
                case Jump:
                    loops = loops || op.a < at;
                    todo.push_back(op.a);
                    break;
                case Split:
                    ++splits;
                    todo.insert(todo.end(), {op.a, op.b});
                    break;
                case Any:
                    scan[0] = scan[1] = ~quint64(0);
                    ++before;
                    todo.push_back(at + 1);
                    break;
                case Class:
                case Repeat:
                case Lazy:
                    scan[0] |= op.table[0];
                    scan[1] |= op.table[1];
                    loops = loops || op.code != Class;
                    ++before;
                    todo.push_back(at + 1);
                    break;
                default: todo.push_back(at + 1); break; // assertions and lookarounds take no character
                }
                return !through;
            });
            Found f{{{scan[0] & ~g.table[0], scan[1] & ~g.table[1]}, {g.table[0], g.table[1]}}, before, 0};
            f.scanned = std::popcount(f.gate.scan[0]) + std::popcount(f.gate.scan[1]);
            // After a few characters in one or two ways, or before one of many, a gate tells little more
            // than trying the pattern there.
            if (!through && (loops || splits > 1) && f.scanned > 0 && std::popcount(g.table[0]) + std::popcount(g.table[1]) <= kMaxGateStops)
                found.push_back(f);
        }
        if (found.empty())
            return;
        // The first gate settles most places at once; the last sees furthest.
        auto earlier = [](const Found &a, const Found &b) { return a.before < b.before || (a.before == b.before && a.scanned < b.scanned); };
        const auto first = std::min_element(found.begin(), found.end(), earlier);
        const auto last = std::max_element(found.begin(), found.end(), [](const Found &a, const Found &b) {
            return a.before < b.before || (a.before == b.before && a.scanned < b.scanned);
        });
        gates.push_back(first->gate);
        if (last != first)
            gates.push_back(last->gate);
    }

    // Whether the repeat at pc - 1 is followed by the line's end, and holds no line break: a character
    // given back would stand before that end, so none is.
    bool endsLine(const Op &op, int pc) const
    {
        const Code next = out.program[size_t(pc)].code;
        return (next == End || next == EndOnly) && !((op.table[0] >> 10) & 0xF);
    }

    // Whether the match may end at pc without taking a character or meeting an assertion.
    bool mayEnd(int pc)
    {
        bool ends = false;
        walk(pc, [&](int, const Op &op, std::vector<int> &todo) {
            if (op.code == Jump)
                todo.push_back(op.a);
            else if (op.code == Split)
                todo.insert(todo.end(), {op.a, op.b});
            return !(ends = op.code == Match);
        });
        return ends;
    }

    // Visits the steps reachable from pc, each once: `visit(at, op, todo)` adds the steps that follow
    // where it goes on, and returns false to end the walk.
    template <typename Visit>
    void walk(int pc, Visit visit) const
    {
        std::vector<char> seen(out.program.size(), 0);
        std::vector<int> todo{pc};
        while (!todo.empty()) {
            const int at = todo.back();
            todo.pop_back();
            if (seen[size_t(at)])
                continue;
            seen[size_t(at)] = 1;
            if (!visit(at, out.program[size_t(at)], todo))
                return;
        }
    }
};

NativePattern::Analysis NativePattern::analyse(const QString &pattern, bool caseless)
{
    Compiler c{pattern, caseless};
    Analysis a;
    if (c.compile()) {
        a.native = std::move(c.out);
        a.native->findWays();
    }
    a.gates = std::move(c.gates);
    return a;
}

std::optional<NativePattern> NativePattern::compile(const QString &pattern, bool caseless)
{
    return analyse(pattern, caseless).native;
}

// The ways through a program of classes, choices, forward jumps and lookaheads of one class, in the
// order the matcher tries them; none when there are more than a few, or a way takes no character.
void NativePattern::findWays()
{
    constexpr size_t kMaxWays = 8, kMaxSteps = 8;
    std::vector<Step> way;
    bool ok = true;
    auto visit = [&](auto &self, int pc) -> void {
        while (ok) {
            const Op &op = program[size_t(pc)];
            switch (op.code) {
            case Class:
            case Ahead:
                if (way.size() == kMaxSteps || (op.code == Ahead && !(op.guards & 4))) {
                    ok = false;
                    return;
                }
                way.push_back({op.code == Class ? Step::Take : op.b ? Step::NotAhead : Step::Ahead, 0, {op.table[0], op.table[1]}});
                self(self, pc + 1);
                way.pop_back();
                return;
            case Repeat:
                if (way.size() == kMaxSteps || !keepsAll(op) || op.a > 255) {
                    ok = false;
                    return;
                }
                way.push_back({Step::Run, quint8(op.a), {op.table[0], op.table[1]}});
                self(self, pc + 1);
                way.pop_back();
                return;
            case Split:
                self(self, op.a);
                pc = op.b;
                continue;
            case Jump:
                ok = op.a > pc;
                pc = op.a;
                continue;
            case Match:
                ok = ways.size() < kMaxWays && std::any_of(way.begin(), way.end(), [](const Step &s) { return s.kind == Step::Take; });
                if (ok) {
                    int taken = 0;
                    for (Step s : way) {
                        const bool negated = s.kind == Step::NotAhead;
                        s.pass[0] = negated ? ~s.table[0] : s.table[0];
                        s.pass[1] = negated ? ~s.table[1] : s.table[1];
                        s.offset = taken;
                        s.endPass = negated;
                        taken += s.kind == Step::Take;
                        waySteps.push_back(s);
                    }
                    ways.push_back({int(waySteps.size() - way.size()), int(way.size()), taken});
                }
                return;
            default:
                ok = false;
                return;
            }
        }
    };
    visit(visit, 0);
    if (!ok) {
        ways.clear();
        waySteps.clear();
    }
}

bool NativePattern::fixedRuns() const
{
    return std::any_of(waySteps.begin(), waySteps.end(), [](const Step &s) { return s.kind == Step::Run; });
}

int NativePattern::matchWays(const char16_t *text, int n, int p) const
{
    auto in = [](const quint64 *table, char16_t u) { return (table[u >> 6] >> (u & 63)) & 1; };
    for (const Way &way : ways) {
        int q = p;
        const Step *step = waySteps.data() + way.first, *const end = step + way.count;
        for (; step != end; ++step) {
            if (q < n && text[q] >= 128)
                return kUnknown;
            if (step->kind == Step::Run) {
                const int from = q;
                while (q < n && text[q] < 128 && in(step->table, text[q]))
                    ++q;
                if (q - from < step->least)
                    break;
                continue;
            }
            const bool here = q < n && in(step->table, text[q]);
            if (step->kind == Step::Take) {
                if (!here)
                    break;
                ++q;
            } else if (here != (step->kind == Step::Ahead)) {
                break;
            }
        }
        if (step == end)
            return q - p;
    }
    return 0;
}

bool NativePattern::endsWords(const quint64 *word, quint64 *after) const
{
    if (!fixed())
        return false;
    quint64 found[2] = {0, 0};
    for (const Way &way : ways) {
        const Step *step = waySteps.data() + way.first, *const end = step + way.count;
        while (step != end && step->kind == Step::Take && !(step->table[0] & ~word[0]) && !(step->table[1] & ~word[1]))
            ++step;
        if (step == end || step->kind != Step::Take || (step->table[0] & word[0]) || (step->table[1] & word[1]))
            return false;
        found[0] |= step->table[0];
        found[1] |= step->table[1];
    }
    after[0] |= found[0];
    after[1] |= found[1];
    return true;
}

bool NativePattern::mayBacktrack() const
{
    return std::any_of(program.begin(), program.end(), [](const Op &op) {
        return op.code == Split || op.code == Lazy
               || (op.code == Repeat && !keepsAll(op));
    });
}

bool NativePattern::hasLazy() const
{
    return std::any_of(program.begin(), program.end(), [](const Op &op) { return op.code == Lazy; });
}

int NativePattern::matchAt(const char16_t *text, int n, int p, int &steps) const
{
    if (fixed())
        if (const int length = matchWays(text, n, p); length != kUnknown)
            return length;
    const int end = run(0, p, text, n, steps);
    return end == kEngine ? kUnknown : end == kFailed ? 0 : end - p;
}

// A turn of a Lazy from pos: a fresh one takes the least, one taken up again (`more`) one more. The
// rest is tried only where it may begin: before a character it may take first, when that is known.
// Returns twice where the turn ends, plus 1 when the rest may be tried there; -1 when the engine must
// answer. Out of line, so that run() keeps its registers for the other steps.
Q_NEVER_INLINE int NativePattern::lazyTurn(const Op &op, bool more, const char16_t *text, int n, int pos) const
{
    auto in = [](const quint64 *table, char16_t u) { return (table[u >> 6] >> (u & 63)) & 1; };
    int take = more ? 1 : op.a;
    // Where the run cannot simply go on: what the rest may begin with, or what the repeat cannot take.
    const bool guarded = op.guards & 2;
    const quint64 stops[2] = {op.next[0] | ~op.table[0], op.next[1] | ~op.table[1]};
    for (;; ++pos) {
        if (guarded && take == 0)
            while (pos < n && text[pos] < 128 && !in(stops, text[pos]))
                ++pos;
        if (pos < n && text[pos] >= 128)
            return -1;
        if (take > 0)
            --take;
        else if (!(op.guards & 2) || (pos < n && in(op.next, text[pos])))
            return 2 * pos + 1;
        if (pos == n || !in(op.table, text[pos]))
            return 2 * pos;
    }
}

int NativePattern::run(int pc, int pos, const char16_t *text, int n, int &stepsLeft) const
{
    constexpr int kStack = 128; // ways back; a match that needs more is left to the engine
    Backtrack stack[kStack];
    int depth = 0, steps = stepsLeft;
    bool more = false; // a Lazy taken up again
    auto give = [&](int result) {
        stepsLeft = steps;
        return result;
    };
    for (;;) {
        if (--steps < 0)
            return give(kEngine);
        const Op &op = program[size_t(pc)];
        bool ok = false;
        switch (op.code) {
        case Class:
            if (pos < n) {
                const char16_t u = text[pos];
                if (u >= 128)
                    return give(kEngine);
                ok = (op.table[u >> 6] >> (u & 63)) & 1;
                pos += ok;
            }
            break;
        case Repeat: {
            const int from = pos;
            for (; pos < n && text[pos] < 128 && ((op.table[text[pos] >> 6] >> (text[pos] & 63)) & 1); ++pos) {
            }
            steps -= pos - from; // a step a character
            if ((pos < n && text[pos] >= 128) || steps < 0)
                return give(kEngine);
            ok = pos - from >= op.a;
            // Giving back is of no use when what follows cannot begin with a character of the class.
            if (ok && pos - from > op.a && !keepsAll(op)) {
                if (depth == kStack)
                    return give(kEngine);
                stack[depth++] = {pc + 1, pos - 1, from + op.a};
            }
            break;
        }
        case Lazy: {
            const int from = pos;
            const int turn = lazyTurn(op, more, text, n, pos);
            more = false;
            if (turn < 0)
                return give(kEngine);
            pos = turn >> 1;
            ok = turn & 1;
            steps -= pos - from;
            if (steps < 0)
                return give(kEngine);
            if (ok) {
                if (depth == kStack)
                    return give(kEngine);
                stack[depth++] = {pc, pos, -1, true};
            }
            break;
        }
        case Any:
            if (pos < n) {
                const char16_t u = text[pos];
                if (u >= 128 || u == u'\n' || u == u'\r')
                    return give(kEngine);
                ok = true;
                ++pos;
            }
            break;
        case Split:
            if (pos == n || text[pos] < 128) {
                // A way that must take a character first, and cannot take this one (or none is left),
                // is not tried.
                const char16_t u = pos < n ? text[pos] : 0;
                const bool a = !(op.guards & 1) || (pos < n && ((op.table[u >> 6] >> (u & 63)) & 1));
                const bool b = !(op.guards & 2) || (pos < n && ((op.next[u >> 6] >> (u & 63)) & 1));
                if (!a || !b) {
                    if (!a && !b)
                        break;
                    pc = a ? op.a : op.b;
                    continue;
                }
            }
            if (depth == kStack)
                return give(kEngine);
            stack[depth++] = {op.b, pos, -1};
            pc = op.a;
            continue;
        case Jump:
            pc = op.a;
            continue;
        case Match:
            return give(pos);
        case Start:
            ok = pos == 0;
            break;
        case End:
            if (pos < n && ((text[pos] >= 0x0A && text[pos] <= 0x0D) || text[pos] >= 128))
                return give(kEngine); // before a line break the engine's newline convention decides
            ok = pos == n;
            break;
        case EndOnly:
            ok = pos == n;
            break;
        case Boundary:
        case NotBoundary: {
            const char16_t before = pos > 0 ? text[pos - 1] : u' ', after = pos < n ? text[pos] : u' ';
            if (before >= 128 || after >= 128)
                return give(kEngine);
            ok = (isAsciiWord(before) != isAsciiWord(after)) == (op.code == Boundary);
            break;
        }
        case Ahead: {
            if (op.guards & 4) {
                if (pos < n && text[pos] >= 128)
                    return give(kEngine);
                ok = (pos < n && ((op.table[text[pos] >> 6] >> (text[pos] & 63)) & 1)) != (op.b != 0);
                break;
            }
            if (op.guards & 8) {
                int q = pos;
                while (q < n && text[q] < 128 && ((op.table[text[q] >> 6] >> (text[q] & 63)) & 1))
                    ++q;
                steps -= q - pos;
                if ((q < n && text[q] >= 128) || steps < 0)
                    return give(kEngine);
                ok = (q - pos >= op.c && q < n && ((op.next[text[q] >> 6] >> (text[q] & 63)) & 1)) != (op.b != 0);
                break;
            }
            int sub = steps; // a copy: `steps` itself stays in a register
            const int r = run(op.a, pos, text, n, sub);
            steps = sub;
            if (r == kEngine)
                return give(kEngine);
            ok = (r >= 0) != (op.b != 0);
            break;
        }
        case Behind: {
            bool found = false;
            for (int b = 0; b < op.b && !found; ++b) {
                const BehindBranch &branch = behind[size_t(op.a + b)];
                if (pos < branch.length)
                    continue;
                int sub = steps;
                const int r = run(branch.pc, pos - branch.length, text, n, sub);
                steps = sub;
                if (r == kEngine)
                    return give(kEngine);
                found = r >= 0;
            }
            ok = found != (op.c != 0);
            break;
        }
        }
        if (ok) {
            ++pc;
            continue;
        }
        if (depth == 0)
            return give(kFailed);
        Backtrack &b = stack[depth - 1];
        pc = b.pc;
        pos = b.pos;
        if (b.lazy) {
            more = true;
            --depth;
            continue;
        }
        if (b.floor >= 0 && pos > b.floor)
            --b.pos; // the next place to give back to
        else
            --depth;
    }
}
