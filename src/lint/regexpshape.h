#pragma once

#include <QString>

namespace Lint {

// What the structure of a regular expression says about it as a token, worked out from the pattern
// text (a pattern that compiles). Parts of the syntax the analysis does not model (back references,
// recursion, \Q..\E) leave `parsed` false and every property at its harmless value.
struct RegexpShape {
    bool parsed = false;
    bool literal = false;        // no character with a special meaning: a literal token would do
    bool matchesEmpty = false;   // some match is the empty string
    bool onlyEmpty = false;      // every match is the empty string
    bool needsLineBreak = false; // every match holds CR or LF, which a line never does
    QString backtracking;        // why a failing match may take exponential time, or empty
    bool tooComplex = false;     // the backtracking analysis gave up: the pattern is too large to judge

    static RegexpShape of(const QString &pattern, bool caseless);
};

} // namespace Lint
