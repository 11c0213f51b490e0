#pragma once

#include "editorcontrol/highlighter.h"
#include "editorcontrol/matchkey.h"

// Included by highlighter.cpp alone: internal linkage lets the compiler inline the per-character
// calls as it did when these parts were one class.
namespace {

// The best token found at one place of a line so far: the longest wins, then the lower key.
struct LineMatch {
    int length = 0;
    MatchKey key = ~MatchKey(0);
    StyleRun::Kind kind = StyleRun::Plain;
    int tokenset = -1;
    int token = -1;
    int closeLevel = -1; // ScopeEnd: the stack level that closes

    bool beats(int otherLength, MatchKey otherKey) const
    {
        return length > otherLength || (length == otherLength && key < otherKey);
    }
};

} // namespace
