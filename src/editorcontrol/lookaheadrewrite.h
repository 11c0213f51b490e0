#pragma once

#include <QString>

#include <optional>
#include <vector>

// Lookaheads that look to the line end, "(?=.*T)" and "(?!.*T)", give one answer for every position up
// to the last place T matches on the line and the other answer after it. So each is replaced by a
// callout that compares the position with that place, found once per line, instead of scanning to the
// line end from every position the pattern is tried at (which costs the square of a long line).
namespace LookaheadRewrite {

struct Lookahead {
    QString body;      // T
    bool negative = false;
    bool skipsOne = false; // ".+T": T must match after at least one character
};

struct Rewrite {
    QString pattern; // the pattern with the callouts "(?C1)", "(?C2)", ... in place of the lookaheads
    std::vector<Lookahead> lookaheads; // callout n is lookaheads[n - 1]
};

// nullopt when the pattern holds no such lookahead, or holds anything that could make T depend on
// more than the line and the place it is tried at (back references, recursion, conditions, option
// settings, verbs, callouts, quoting), so that it is matched as written.
std::optional<Rewrite> rewrite(const QString &pattern);

} // namespace LookaheadRewrite
