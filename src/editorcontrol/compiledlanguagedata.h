#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/nativepattern.h"
#include "editorcontrol/patternanalysis.h"
#include "editorcontrol/wordchars.h"

#include <QMutex>
#include <QVector>

#include <atomic>
#include <climits>
#include <vector>

// Internals of CompiledLanguage, read by the highlighter's scanner.

// The conditions a token's match must meet, all of them.
struct TokenRule {
    bool word = false;     // must not touch a word character where it begins/ends with one
    int column = 0;        // 0: any; else the 1-based column the match starts in
    bool hasLead = false;  // the character before must be in `lead` (a line start counts as a blank)
    bool hasTrail = false; // the character after must be in `trail` (a line end counts as a blank)
    QString lead;
    QString trail;
    quint64 leadAscii[2] = {0, 0};  // the characters of `lead` below 128
    quint64 trailAscii[2] = {0, 0};

    // Whether c is one of `set`, whose characters below 128 are `ascii`.
    static bool holds(const quint64 *ascii, const QString &set, char16_t c)
    {
        return c < 128 ? (ascii[c >> 6] >> (c & 63)) & 1 : set.contains(QChar(c));
    }
};

// Where a match came from; lower keys win ties between matches of equal length.
// End tokens of open scopes rank before every other token.
using MatchKey = quint64;

enum class TokenKind : quint8 { List, ScopeStart };

// A literal token of the hash table (also a regexp token that is plain text, such as "kw1").
struct LiteralToken {
    QString text;
    bool caseSensitive = false;
    int tokenset = -1;
    int token = -1;
    int rule = 0;          // index into CompiledLanguageData::rules
    TokenKind kind = TokenKind::List;
    MatchKey key = 0;
};

// A text a regexp's matches need, found by its unit at `anchor` (one that no other character folds
// to), or by all of it when -1.
struct RequiredText {
    QString text;
    int anchor = -1;
};

// A compiled regular expression of a token or an end token, with the shortcuts that spare the
// regexp engine most calls.
struct Regexp {
    CompiledPatternPtr pattern;
    std::optional<PatternAnalysis::SimplePattern> simple;   // matched natively, never by the engine
    std::optional<PatternAnalysis::FirstChars> firstChars;  // what a match may begin with, when known
    std::optional<PatternAnalysis::FirstChars> charsBefore; // what may stand just before a match, when known
    std::optional<NativePattern> native; // matched without the engine where the text lets it
    // Places where no match can begin, told apart cheaply: indices into CompiledLanguageData::gates,
    // which regexps alike share (so a run is read once for them all).
    int gates[2] = {-1, -1};
    int gateCount = 0;
    // The gates are also tried before a search: where the regexp is tried at its literal prefix only.
    // (Where it is tried at common characters, one search tells more than a gate at each of them.)
    bool gateSearch = false;
    // matchChars lacks a word character below 128 (a number's): where a match of some length is
    // already found, the run of them from a place may say that none as long begins there.
    bool narrowMatch = false;
    // With rule word: the characters a match may hold, when known (a match ends before the first
    // character that is not one of them).
    std::optional<PatternAnalysis::FirstChars> matchChars;
    // When every match ends where the run of `endRun` characters that closes the line begins, and holds
    // only `endMatch` characters, none of which the run may hold ("\d+(?=[ \t]*$)"): a match begins
    // only within the run of `endMatch` characters just before it.
    std::optional<PatternAnalysis::FirstChars> endRun, endMatch;
    // Texts every match needs at or after its start: the line is not searched where one is not ahead.
    std::vector<RequiredText> required;
    Qt::CaseSensitivity requiredCase = Qt::CaseSensitive;
    // Without such a text: a class of which a match needs a character at or after its start, when
    // its first character cannot be one.
    std::optional<PatternAnalysis::FirstChars> requiredChars;
    // Its members below 128 when there are at most four (looked for eight units at a time), else 5.
    char16_t requiredUnits[4] = {0, 0, 0, 0};
    int requiredUnitCount = 5;
    // Looked for before the native matcher too, where that reads far (a lazy repeat) before it fails.
    bool requiredCharsFirst = false;
    bool nativeFirst = false; // requiredCharsFirst, or endRun known
    // Answered at once: 1 simple, 2 by the native matcher's fixed ways (NativePattern::fixed); else 0.
    quint8 direct = 0;
    bool searchStart = false; // holds \G: tried at each position, never searched ahead
    bool wordRule = false;    // its token has rule word: may be retried held to word ends
    int tokenset = -1;        // for messages
    int token = -1;
    bool endToken = false;
};

// A regexp token of a tokens list.
struct RegexpToken {
    int regexp = -1;       // index into CompiledLanguageData::regexps
    int tokenset = -1;
    int token = -1;
    int rule = 0;
    TokenKind kind = TokenKind::List;
    MatchKey key = 0;
    QString prefix;        // text every match begins with (folded when not case sensitive), or empty
    bool caseSensitive = false;
    bool ruleAtStart = false; // its rule asks for a column or a character before: looked at first
    // What may follow the prefix in a match (when known), and whether a match may end right after it,
    // which rule word forbids when the prefix ends in a word character and one follows.
    std::optional<PatternAnalysis::FirstChars> afterPrefix;
    bool mayEndAfterPrefix = false;
    bool wordEndAfterPrefix = false;
    // Without a prefix: a text every match holds, when the language has so many such tokens that they
    // are tried only on lines that hold it (see CompiledLanguageData::requiredTable).
    QString required;
};

// A token that can close a scope (tokens2, or a start token of a symmetrical scope).
struct EndToken {
    bool isRegexp = false;
    int regexp = -1;
    QString text;          // literal, folded when not case sensitive
    bool caseSensitive = false;
    int rule = 0;
    int token = -1;        // index in its list
};

// Open-addressing hash table keyed by case-folded texts; each slot lists every entry with that folded
// text in priority order. Holds the literal tokens, and separately the literal prefixes of regexps.
struct LiteralTable {
    struct Slot {
        quint32 hash = 0;
        int keyLength = -1; // -1: empty slot
        int keyStart = 0;   // into keys
        int first = 0;      // into entries
        int count = 0;
    };
    std::vector<Slot> slots;
    std::vector<char16_t> keys;
    std::vector<int> entries; // indices into CompiledLanguageData::literals (or ::regexpTokens)
    quint32 mask = 0;
    int maxLength = 0;

    const Slot *find(quint32 hash, const char16_t *folded, int length) const;
};

// Buckets of the first character of a token: 0..127 for ASCII (folded for literals, raw for regexps),
// 128 for every other character.
constexpr int kBuckets = 129;

// What can match inside one context (the outermost level or one scope tokenset). Contexts with the
// same valid tokensets share one.
struct ContextData {
    std::vector<char> valid; // per tokenset: its tokens may match here
    // Literal lengths by folded first character, longest first; and whether every literal of that
    // bucket must begin at a word start.
    std::vector<int> lengths[kBuckets];
    bool literalsAtWordStart[kBuckets] = {};
    // Every literal of that bucket is word characters only, folded: where the word that begins at a
    // place is followed by a character that folds to no word character, only that word's length
    // can match there.
    bool literalsAllWord[kBuckets] = {};
    // Lengths of the literal prefixes of regexp tokens valid here, by folded first character.
    std::vector<int> prefixLengths[kBuckets];
    // By folded first character: the characters below 128 that the second character of a literal or
    // prefix of two characters or more may be (as the text has it), when worth a look before the
    // table's (not for words, whose length says more).
    quint64 seconds[kBuckets][2] = {};
    bool secondsFilter[kBuckets] = {};
    // The other regexp tokens valid here (indices into CompiledLanguageData::regexpTokens): those whose
    // match may begin with a character, by the raw character (byFirst[byFirstStart[b] ..
    // byFirstStart[b + 1]]), and those that may begin anywhere.
    std::vector<int> byFirst;
    int byFirstStart[kBuckets + 1] = {};
    std::vector<int> anyFirst;
    // Regexp tokens with a required text are valid here: the line's candidates are tried too.
    bool required = false;
    // Per raw character below 128: no token of this context can begin with the character.
    bool nothingStarts[kBuckets] = {};
    // Per raw character below 128: every token that can begin with this word character must begin at
    // a word start, so nothing starts inside a word.
    bool wordStartsOnly[kBuckets] = {};
    // Per raw character below 128: the one token that can begin with it, when that is a regexp token
    // matched natively (see Regexp::simple); else -1. Or, when only literals of one character begin
    // with it, the one that matches it first and holds to no rule (an index into literals); else -1.
    int soleSimple[kBuckets];
    int soleLiteral[kBuckets];
    // Per raw character below 128 that begins no literal, prefix or required text: the one simple
    // regexp token that may begin with it wherever the character before is none of `soleAfter`
    // (every other token that may begin with it asks for one of those before it: a lookbehind, or
    // leadwith). Stored as -2 - token in soleSimple; -1 there means no sole token.
    quint64 soleAfter[kBuckets][2] = {};
    // Per raw character below 128 that begins literals and prefixes of two characters or more, looked
    // for by their second character (secondsFilter), and one regexp token of that prefix alone, held
    // to no rule and of fixed ways (NativePattern::matchFixed): that token, which is the sole one
    // wherever the next character is below 128 and none of `seconds`, or the line ends there (XML's
    // tags at "<"); else -1. Marked by kSoleSecond in soleSimple.
    int soleSecond[kBuckets];
    // Where the character before is one of soleLeadBefore (of soleAfter): the token that is then sole
    // (a simple token held to that leadwith alone, whose matches are as long as the other's and win),
    // or -1.
    int soleLead[kBuckets];
    quint64 soleLeadBefore[kBuckets][2] = {};
    // Per raw character below 128: its sole token (soleSimple) matches this one character alone,
    // held to no rule and opening no scope (INI's value text, "\S").
    bool soleOneChar[kBuckets] = {};
    // Per raw character below 128: a word character with which only literals can begin, each of word
    // characters alone and held to word ends, so at a word start only the whole word can match.
    // (Regexps may begin with it too where each ends the word it begins at, as C's (u8|[uUL])?": only
    // where the character after the word is one of wordRegexpsAfter.)
    bool wordLiteralsOnly[kBuckets] = {};
    quint64 wordRegexpsAfter[2] = {};
    bool wordRegexps = false; // wordRegexpsAfter holds any
    // Per raw character below 128: only regexp tokens can begin with it (no literal, prefix or text
    // the line is searched for), none of them answered at once at each place (Regexp::direct), so
    // where each of them can no longer match on the line, nothing can.
    bool regexpsOnly[kBuckets] = {};
    // No token can begin with a character from 128 up.
    bool nothingBeyondAscii = false;
    // Per such character: the characters below 128 with the same regexp tokens (regexpsOnly too), all
    // of which can no longer match on a line once those of the character cannot.
    quint64 sameRegexps[kBuckets][2] = {};
};

constexpr int kSoleSecond = INT_MIN;

struct CompiledTokenset {
    QString name;
    int id = 1;
    bool scope = false;
    bool caseSensitive = false;
    bool singleLine = true;
    bool chain = true;
    bool symmetrical = false;
    bool transparent = false; // scopekeywords or parameterblocks: code goes on inside
    std::vector<EndToken> ends;   // tokens2
    std::vector<EndToken> starts; // tokens, as closers of a symmetrical scope
    PatternAnalysis::FirstChars closerChars; // what any closer of the scope may begin with
};

// Scopes nest at most this deep; a start token beyond it is coloured but opens nothing, so a
// pathological text cannot make every line carry an ever longer state.
constexpr int MaxScopeDepth = 200;

// Longest literal prefix of a regexp that goes into the prefix table.
constexpr int kMaxRegexpPrefix = 8;
// Required texts: from this many tokens with one on, they are looked for once per line rather than
// each token tried at every position it may begin at; the shortest and longest text used.
constexpr int kMinRequiredTokens = 16;
constexpr int kMinRequiredText = 2;
constexpr int kMaxRequiredText = 8;

struct CompiledLanguageData {
    LanguageDefinition definition;
    QStringList problems;
    QVector<TokensetStyle> styles;
    TokensetStyle defaultStyle;
    int textTokenset = -1;

    std::vector<CompiledTokenset> tokensets;
    std::vector<TokenRule> rules; // rules[0] is "no condition"
    std::vector<Regexp> regexps;
    std::vector<LiteralToken> literals;
    std::vector<RegexpToken> regexpTokens;
    LiteralTable table;
    LiteralTable prefixTable;
    // The required texts of regexp tokens (RegexpToken::required): a line is searched for them once,
    // and only the tokens whose text it holds are tried on it.
    LiteralTable requiredTable;
    PatternAnalysis::FirstChars requiredFirst; // what the (folded) required texts begin with
    std::vector<NativePattern::Gate> gates;
    std::vector<ContextData> contexts;
    std::vector<int> contextOf; // [0] outermost; [1 + t] inside scope tokenset t: index into contexts
    std::shared_ptr<const WordChars> wordChars;

    // Regexps that ran out of steps somewhere, each reported once.
    mutable QMutex limitMutex;
    mutable std::vector<char> limitReported;
    mutable QStringList limitProblems;

    bool isWordUnit(char16_t c) const { return wordChars->containsUnit(c); }
    const ContextData &context(int innermostTokenset) const
    {
        return contexts[size_t(contextOf[size_t(innermostTokenset + 1)])];
    }
    // By context number: 0 the outermost level, 1 + t inside scope tokenset t.
    size_t contextCount() const { return contextOf.size(); }
    const ContextData &contextAt(size_t c) const { return contexts[size_t(contextOf[c])]; }
    // Records that a regexp ran out of steps; returns the message when this is its first time.
    QString noteLimitHit(int regexp) const;
};

// Case folding of one UTF-16 unit, fast for ASCII.
inline char16_t foldChar(char16_t c)
{
    if (c < 128)
        return (c >= 'A' && c <= 'Z') ? char16_t(c + 32) : c;
    return char16_t(QChar::toCaseFolded(c));
}

// FNV-1a, fed one unit at a time so that prefixes hash incrementally.
constexpr quint32 HashSeed = 2166136261u;
inline quint32 hashStep(quint32 h, char16_t c)
{
    return (h ^ c) * 16777619u;
}
