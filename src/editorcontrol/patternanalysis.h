#pragma once

#include <QString>

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

    bool contains(char16_t c, bool caseless) const;
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

    // Length of the longest match at p (the regexp engine's greedy match), 0 for none.
    int matchAt(const char16_t *text, int p, int n) const;
};

std::optional<FirstChars> firstChars(const QString &pattern, bool caseless);
std::optional<SimplePattern> simplePattern(const QString &pattern, bool caseless);

} // namespace PatternAnalysis
