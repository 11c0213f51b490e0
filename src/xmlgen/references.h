#pragma once

#include <QString>

struct Language;
class MemberlistLookup;

// True when an included tokenset of the language's used slots has exactly this name
// (case-sensitive). The slot index is carried for the callers' sake and not used.
bool TokensetExists(const Language &language, int index, const QString &name);

// True when a member list of exactly this name is registered; never without a lookup.
bool MemberlistExists(const MemberlistLookup *lookup, const QString &name);
