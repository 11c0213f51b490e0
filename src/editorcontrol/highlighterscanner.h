#pragma once

#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/highlighter.h"

#include <array>
#include <climits>
#include <functional>
#include <memory>
#include <vector>

// The per-line caches of one highlighter: the next match of every regexp from a position, so that a
// regexp is searched once per match rather than tried at every character.
struct Highlighter::Scanner {
    struct RegexpCache {
        quint32 line = 0;     // generation of the line the entry belongs to
        bool anchoredOnly = false; // tried at each position, not searched ahead (\G, or it ran out of steps)
        bool strict = false;       // it ran out of steps on this line: only what a linear match needs
        qint64 budget = 0;         // once strict: the steps it may still take on this line; then it is off
        int from = INT_MAX;   // searched from here...
        int start = -1;       // ...and the first non-empty match starts here (-1: none up to the line end)
        int length = 0;
        bool native = false;  // tried by its native matcher first (until a match there takes too many steps)
        qint64 nativeSteps = 0; // what its native tries may still take on this line
        int charsFrom = INT_MAX; // looked for its required characters from here...
        int charsAt = -1;        // ...and the first of them stands here (-1: none up to the line end)
        quint32 endLine = 0;   // on the line of this generation, a match may begin only from endFrom
        int endFrom = 0, endTo = 0; // up to endTo (Regexp::endRun)
    };
    std::vector<RegexpCache> cache;
    // Per gate (CompiledLanguageData::gates), on the line of that generation: the places from `from`
    // to `to` end their run at `to`, which lets a match through or not.
    struct GateRun {
        quint32 line = 0;
        int from = 0, to = 0;
        bool open = false;
    };
    std::vector<GateRun> gateRuns;
    quint32 generation = 0;
    std::vector<char16_t> folded;
    std::vector<quint32> prefixHash;
    std::vector<char16_t> clean;  // a line whose broken surrogates are replaced
    std::vector<StyleRun> batch;
    // What the scan does at each character below 128 (see LineScan), per context it depends on:
    // [0] the outermost level, [1 + t] inside scope tokenset t that is not transparent; each made
    // when first needed. Inside a transparent scope the closers of enclosing scopes count too: those
    // tables are kept by context and closers, a few of them.
    std::vector<std::array<quint8, 128>> skip;
    std::vector<char> skipMade;
    struct SkipTable {
        const void *context = nullptr;
        quint64 closers[2] = {0, 0};
        std::array<quint8, 128> table{};
    };
    std::vector<SkipTable> skipInside;
    // The same tables by the way the open scopes led to them, so that opening or closing a scope finds
    // its table at once: node 0 is the outermost level, and a node's child for tokenset t is the state
    // with scope t opened inside it. Up to kSkipNodes nodes; past that, tables come as above.
    struct SkipNode {
        std::array<quint8, 128> table{};
        bool closerBeyondAscii = false;
        PatternAnalysis::FirstChars chained; // closers that still count inside a transparent scope opened here
    };
    std::vector<std::unique_ptr<SkipNode>> skipNodes;
    std::vector<int> skipChild; // [node * tokensets + t]: the child, -1 not made yet
    // Per regexp of a token with rule word: the pattern held to end where a word may end, compiled
    // when first needed.
    std::vector<CompiledPatternPtr> retry;
    std::vector<char> retryTried;
    // The regexp tokens with a required text that the line holds, each once (stamped with the line).
    std::vector<int> candidates;
    std::vector<quint32> candidateLine;
    CompiledPattern::Scratch scratch;
    PatternAnalysis::ClassCache classes;
    std::function<void(const QString &)> notice;
};
