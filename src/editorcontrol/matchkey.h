#pragma once

#include "editorcontrol/compiledlanguagedata.h"

// The key of the index-th candidate of a group (a tokenset, or the closers at one stack level): the
// group in the high bits, so that it decides a tie before the index. An index stays below 2^21.
constexpr MatchKey matchKey(quint64 group, int index)
{
    return (group << 21) | MatchKey(index);
}
