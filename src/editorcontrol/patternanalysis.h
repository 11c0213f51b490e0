#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <utility>
#include <vector>

// Cheap views of a token's regular expression that spare the regexp engine most calls: the characters
// a match can begin with, and a native matcher for the simplest patterns ("[ \t]+", "\w+",
// "[A-Za-z_]\w*"). Both follow the engine's rules for Unicode classes and case-insensitive matching.
namespace PatternAnalysis {

// A character class: "[...]", "\w", a literal character.
struct CharClass {
    quint64 ascii[2] = {0, 0};        // positive members below 128 (escapes already expanded)
    bool word = false, digit = false, space = false;          // \w \d \s beyond ASCII
    bool notWord = false, notDigit = false, notSpace = false; // \W \D \S beyond ASCII
    std::vector<std::pair<char16_t, char16_t>> ranges;        // members from 128 up
    bool negated = false;

    bool contains(char32_t c, bool caseless) const;
    // Whether a character from 128 up may be a member.
    bool takesBeyondAscii(bool caseless) const;
};

// The characters from 128 up whose lower, upper or folded case is below 128 (İ, ı, ſ and the Kelvin
// sign): without case, an ASCII letter matches them too.
inline constexpr char16_t kFoldsToAscii[] = {0x0130, 0x0131, 0x017F, 0x212A};

// Answers of CharClass::contains() for characters from 128 up, as one caller (one thread) met them:
// text in one script meets the same few characters again and again.
struct ClassCache {
    struct Entry {
        const CharClass *cls = nullptr;
        char16_t unit = 0;
        bool in = false;
    };
    std::array<Entry, 256> entries;
};

// The characters a match may begin with; test() never says no to a character that can begin one.
struct FirstChars {
    quint64 ascii[2] = {0, 0};
    bool nonAscii = false;
    bool test(char16_t c) const { return c < 128 ? (ascii[c >> 6] >> (c & 63)) & 1 : nonAscii; }
};

// A pattern of one class, optionally followed by a repeated class: "A", "A+", "A*", "AB*", "AB+".
struct SimplePattern {
    CharClass first;
    CharClass rest;
    int restMinimum = -1; // -1: no second part; 0: "*"; 1: "+"
    bool caseless = false;
    // contains() of each class for the characters below 128, worked out once: most text is ASCII.
    quint64 firstAscii[2] = {0, 0};
    quint64 restAscii[2] = {0, 0};
    quint8 restByte[128] = {}; // restAscii a byte a character: one load per character of a long run

    // Length of the longest match at p (the regexp engine's greedy match), 0 for none. Steps by whole
    // characters, as the regexp engine does; p must not split a surrogate pair. `cache` may keep the
    // answers for characters from 128 up.
    int matchAt(const char16_t *text, int p, int n, ClassCache *cache = nullptr) const;
};

// The characters a match may begin with, or nullopt when they are not known. A pattern that may match
// empty gives nullopt, unless `mayBeEmpty` is given to be told so.
std::optional<FirstChars> firstChars(const QString &pattern, bool caseless, bool *mayBeEmpty = nullptr);
std::optional<SimplePattern> simplePattern(const QString &pattern, bool caseless);
// The characters a match may hold (those its lookarounds only look at aside), or nullopt when they
// are not known; test() never says no to one of them.
std::optional<FirstChars> matchChars(const QString &pattern, bool caseless);

// The text a pattern matches when it holds no operator at all ("kw1", "a\.b"), else nullopt.
std::optional<QString> plainText(const QString &pattern);
// The text every match begins with (folded when caseless, and then stopping before a character beyond
// ASCII), at most `maxLength` characters; and what may follow it in a match.
struct Prefix {
    QString text;                   // empty when no prefix is sure
    std::optional<FirstChars> next; // what the rest of a match may begin with, when known
    bool restMayBeEmpty = false;    // (when `next` is known) a match may end right after the prefix
};
Prefix literalPrefix(const QString &pattern, bool caseless, int maxLength);
// One class atom at pattern[i] ("[...]", "\w", "\.", a plain character): stepping i past it, or false
// for anything else (and for the escapes not modelled here).
bool classAtom(const QString &pattern, qsizetype &i, CharClass &out);
// Index just past the class "[...]" that opens at pattern[i] ("]" first, escapes and "[:name:]"
// inside taken as members), or -1 when it does not end.
qsizetype classEnd(const QString &pattern, qsizetype i);
// A text of at most `maxLength` characters that every match holds somewhere (the longest such run of
// plain characters at the pattern's top level), or an empty string when none is sure. A line without
// it holds no match. Beyond ASCII, caseless patterns take no characters. With `ahead`, the texts that
// the lookaheads at the top level require are added to it, and every text given lies at or after the
// match's start (none is given for a pattern with \K): where one is not ahead, no match begins.
QString requiredText(const QString &pattern, bool caseless, int maxLength, QStringList *ahead = nullptr);
// A class of which every match holds a character at or after its start, or which a lookahead at the
// top level needs there ("[=:]" in "\w+?(?=[ \t]*[=:])"): the one with the fewest members below 128,
// not negated; nullopt when none is sure. A line that holds none from a place on holds no match there.
std::optional<FirstChars> requiredChars(const QString &pattern, bool caseless);
// The characters that may stand just before a match, when the pattern begins with a lookbehind each
// of whose branches ends in one character of a class (none stands before the line's start); else nullopt.
std::optional<FirstChars> charsBefore(const QString &pattern, bool caseless);
// The class C when the pattern ends, at its top level, in the lookahead "(?=C*$)" (one class, no option
// settings anywhere): every match ends in the run of C that closes the line. Exact below 128; nullopt
// for any other pattern.
std::optional<FirstChars> endRun(const QString &pattern, bool caseless);
// Whether the pattern holds \G, so that a match depends on where the search starts.
bool usesSearchStart(const QString &pattern);

} // namespace PatternAnalysis
