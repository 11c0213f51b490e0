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
// quicker. What it does not model (back references, options, atomic groups, lazy and possessive
// repeats, \G, a repeat of something that may match empty, a repeat of "." or a negated class inside
// a lookaround) leaves the pattern to the engine; so does, at one position, a character from 128 up, a
// line break, or a match that takes too many steps.
class NativePattern {
public:
    static std::optional<NativePattern> compile(const QString &pattern, bool caseless);

    static constexpr int kUnknown = -1;

    // Length of the match that starts at p (0: none, or an empty one), or kUnknown when the engine
    // must answer. `steps` is charged what the match took.
    int matchAt(const char16_t *text, int n, int p, int &steps) const;

private:
    struct Backtrack {
        int pc;
        int pos;
        int floor; // a Repeat's give-back: pos, then each place down to floor; else -1
    };
    enum Code : quint8 {
        Class,     // one character of `table`
        Repeat,    // as many characters of `table` as there are, at least a; given back one by one
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
        // Split: what way b begins with; Repeat: what the rest begins with. Each only when `guards`
        // says it is known (bit 0: table, bit 1: next): a way that must take a character first.
        quint64 next[2] = {0, 0};
        quint8 guards = 0;
    };
    struct BehindBranch {
        int pc;
        int length;
    };
    struct Compiler;

    // Where the match from pc at pos ends, -1 when it fails, -2 when the engine must answer.
    int run(int pc, int pos, const char16_t *text, int n, int &steps) const;

    std::vector<Op> program; // the pattern from 0; lookarounds' programs after it
    std::vector<BehindBranch> behind;
};
