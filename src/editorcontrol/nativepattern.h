#pragma once

#include <QString>

#include <optional>
#include <vector>

// A token's regular expression matched without the regexp engine where the text is ASCII: classes,
// ".", groups, greedy repeats, anchors, word boundaries, lookaheads and fixed-length lookbehinds,
// tried in the engine's order (the first way that matches wins, as the engine backtracks), so the
// match is the engine's. A call into the engine costs a few hundred instructions before it looks at
// the text; a short pattern takes a few dozen here.
//
// Only short patterns are taken: at most one place where two ways part (an alternative, an optional
// or repeated group), since each way tried costs a few steps where the engine's compiled code is
// quicker. What it does not model (back references, options, atomic groups, possessive repeats, lazy
// ones but of a class, \G, a repeat of something that may match empty, a repeat of "." or a negated class inside
// a lookaround) leaves the pattern to the engine; so does, at one position, a character from 128 up, a
// line break, or a match that takes too many steps.
class NativePattern {
public:
    static std::optional<NativePattern> compile(const QString &pattern, bool caseless);

    // A test that spares the matcher (or the engine) the places where no match can begin: every match
    // takes, from its start, characters of `scan` up to one of `stop`. So where the run of `scan`
    // characters from a place ends at a character below 128 that is not one of `stop` (or at the line
    // end), no match begins there, nor anywhere inside that run.
    struct Gate {
        quint64 scan[2] = {0, 0};
        quint64 stop[2] = {0, 0};

        // Whether a match may begin at p; `end` is where the run ends, which gives the same answer
        // from every place up to it.
        bool open(const char16_t *text, int n, int p, int &end) const
        {
            auto in = [](const quint64 *table, char16_t u) { return (table[u >> 6] >> (u & 63)) & 1; };
            int q = p;
            while (q < n && text[q] < 128 && in(scan, text[q]))
                ++q;
            end = q;
            return q < n && (text[q] >= 128 || in(stop, text[q]));
        }
    };
    struct Analysis;
    static Analysis analyse(const QString &pattern, bool caseless);

    static constexpr int kUnknown = -1;

    // Length of the match that starts at p (0: none, or an empty one), or kUnknown when the engine
    // must answer. `steps` is charged what the match took.
    int matchAt(const char16_t *text, int n, int p, int &steps) const;

    // A pattern of a few ways of a few characters each ("/?>", "</?(?=[A-Za-z_:])", "(u8|[uUL])?\""):
    // the ways are compared in the engine's order, without running the program. kUnknown where a
    // character from 128 up is looked at.
    bool fixed() const { return !ways.empty(); }
    // Whether a way takes a run of a class (then matchFixed() does not answer: matchAt() does).
    bool fixedRuns() const;
    // Whether every fixed way takes characters of `word` (below 128), then one that is none of them;
    // those last characters are added to `after`. Then a match that begins at a word's start ends
    // that word, and the character after the word is one of `after`.
    bool endsWords(const quint64 *word, quint64 *after) const;
    int matchFixed(const char16_t *text, int n, int p) const
    {
        for (const Way &way : ways) {
            const Step *step = waySteps.data() + way.first, *const end = step + way.count;
            for (; step != end; ++step) {
                const int q = p + step->offset;
                if (q >= n) {
                    if (!step->endPass)
                        break;
                    continue;
                }
                const char16_t u = text[q];
                if (u >= 128)
                    return kUnknown;
                if (!((step->pass[u >> 6] >> (u & 63)) & 1))
                    break;
            }
            if (step == end)
                return way.length;
        }
        return 0;
    }

    // Whether the matcher may try more than one way: a choice, or a repeat that gives characters back.
    bool mayBacktrack() const;
    // Whether it holds a lazy repeat, which reads on and tries what follows until that matches.
    bool hasLazy() const;

private:
    struct Backtrack {
        int pc;
        int pos;
        int floor; // a Repeat's give-back: pos, then each place down to floor; else -1
        bool lazy; // a Lazy at pc takes one more character from pos
    };
    enum Code : quint8 {
        Class,     // one character of `table`
        Repeat,    // as many characters of `table` as there are, at least a; given back one by one
        Lazy,      // as few characters of `table` as the rest allows, at least a; more taken one by one
        Any,       // one character "." matches
        Split,     // try a, then b
        Jump,      // a
        Match,
        Start,     // ^ \A
        End,       // $ \Z
        EndOnly,   // \z
        Boundary,  // \b
        NotBoundary,
        Ahead,     // a: the lookahead's program; b: 1 when negative
        Behind,    // a: first of its branches in `behind`, b: their count; negative in c
    };
    struct Op {
        Code code;
        int a = 0, b = 0, c = 0;
        quint64 table[2] = {0, 0}; // Class, Repeat: the members below 128; Split: what way a begins with
        // Split: what way b begins with; Repeat, Lazy: what the rest begins with. Each only when `guards`
        // says it is known (bit 0: table, bit 1: next): a way that must take a character first.
        quint64 next[2] = {0, 0};
        quint8 guards = 0; // on an Ahead, bit 2: it is one class, held in `table`; bit 3: a run of
                           // `table` (at least c) and one of `next`, which the run cannot take
    };
    struct BehindBranch {
        int pc;
        int length;
    };
    struct Compiler;
    // A fixed way: steps that take one character of a class, look at the next one (a lookahead of
    // one class, or its negation), or take a run of a class (at least `least`) that what follows
    // cannot begin with, so it never gives one back.
    struct Step {
        enum Kind : quint8 { Take, Ahead, NotAhead, Run } kind = Take;
        quint8 least = 0;
        quint64 table[2] = {0, 0};
        // As compared: the characters below 128 that let the way on (table, or the others for
        // NotAhead), at `offset` from the start (the Takes before it); whether the line's end does.
        quint64 pass[2] = {0, 0};
        int offset = 0;
        bool endPass = false;
    };
    struct Way {
        int first = 0, count = 0; // into waySteps
        int length = 0;           // its Takes
    };
    // matchFixed() for ways that may hold Run steps.
    int matchWays(const char16_t *text, int n, int p) const;
    void findWays();

    // A Repeat after which nothing can begin with a character of its class: it never gives one back.
    static bool keepsAll(const Op &op)
    {
        return (op.guards & 2) && !(op.next[0] & op.table[0]) && !(op.next[1] & op.table[1]);
    }

    int lazyTurn(const Op &op, bool more, const char16_t *text, int n, int pos) const;
    // Where the match from pc at pos ends, -1 when it fails, -2 when the engine must answer.
    int run(int pc, int pos, const char16_t *text, int n, int &steps) const;

    std::vector<Op> program; // the pattern from 0; lookarounds' programs after it
    std::vector<BehindBranch> behind;
    std::vector<Step> waySteps;
    std::vector<Way> ways; // empty when the pattern is not of a few fixed ways
};

// A pattern's matcher, when it has one, and its gates (at most two: the first and the last a match
// passes; none when the pattern is not understood).
struct NativePattern::Analysis {
    std::optional<NativePattern> native;
    std::vector<Gate> gates;
};
