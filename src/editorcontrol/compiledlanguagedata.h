#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/patternanalysis.h"

#include <QRegularExpression>
#include <QVector>

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
};

// Where a match came from; lower keys win ties between matches of equal length.
// End tokens of open scopes rank before every other token.
using MatchKey = quint64;

enum class TokenKind : quint8 { List, ScopeStart };

// A literal token of the hash table.
struct LiteralToken {
    QString text;
    bool caseSensitive = false;
    int tokenset = -1;
    int token = -1;
    int rule = 0;          // index into CompiledLanguageData::rules
    TokenKind kind = TokenKind::List;
    MatchKey key = 0;
};

// A regexp token of a tokens list.
struct RegexpToken {
    int regexp = -1;       // index into CompiledLanguageData::regexps
    int tokenset = -1;
    int token = -1;
    int rule = 0;
    TokenKind kind = TokenKind::List;
    MatchKey key = 0;
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

// Open-addressing hash table of literal token texts, keyed by the case-folded text; each slot lists
// every literal with that folded text in priority order.
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
    std::vector<int> entries; // indices into CompiledLanguageData::literals
    quint32 mask = 0;
    int maxLength = 0;

    const Slot *find(quint32 hash, const char16_t *folded, int length) const;
};

// What can match inside one context (the outermost level or one scope tokenset).
struct ContextData {
    std::vector<char> valid; // per tokenset: its tokens may match here
    // Literal lengths by the folded first character (0..127; 128 for every other character), longest
    // first; and whether every literal of that bucket must begin at a word start.
    std::vector<int> lengths[129];
    bool literalsAtWordStart[129] = {};
    // Regexp tokens (indices into CompiledLanguageData::regexpTokens, by priority) whose match may
    // begin with a character, by that character (0..127; 128 for every other character).
    std::vector<int> regexpsByFirst[129];
    // Per raw character below 128: no token of this context can begin with the character.
    bool nothingStarts[129] = {};
    // Per bucket: every token that can begin with this (word) character must begin at a word start,
    // so nothing starts inside a word.
    bool wordStartsOnly[129] = {};
};

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

struct CompiledLanguageData {
    LanguageDefinition definition;
    QStringList problems;
    QVector<TokensetStyle> styles;
    TokensetStyle defaultStyle;
    int textTokenset = -1;

    std::vector<CompiledTokenset> tokensets;
    std::vector<TokenRule> rules; // rules[0] is "no condition"
    std::vector<QRegularExpression> regexps;
    // Per regexp: a native matcher when the pattern is that simple, else the characters a match
    // can begin with when they are known.
    std::vector<std::optional<PatternAnalysis::SimplePattern>> simple;
    std::vector<std::optional<PatternAnalysis::FirstChars>> firstChars;
    // Per regexp of a token with rule word: the pattern constrained to end where a word may end.
    std::vector<QRegularExpression> wordEndRetry;
    std::vector<char> hasWordEndRetry;
    std::vector<LiteralToken> literals;
    std::vector<RegexpToken> regexpTokens;
    LiteralTable table;
    std::vector<ContextData> contexts; // [0] outermost; [1 + t] inside scope tokenset t
    // One bit per BMP character (8192 bytes), shared by languages with the same wordchars.
    std::shared_ptr<const std::vector<quint8>> wordChars;

    bool isWord(char16_t c) const { return (*wordChars)[c >> 3] & (1u << (c & 7)); }
    const ContextData &context(int innermostTokenset) const { return contexts[size_t(innermostTokenset + 1)]; }
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
