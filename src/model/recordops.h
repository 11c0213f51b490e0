#pragma once

#include "model/database.h"

#include <QString>

// Operations of the language and tokenset lists on the records alone. The main window asks its
// questions, calls one of these, then refreshes its lists and selects what the function returns.
// None of them touches db.dirty or the current indices; the caller sets them.
namespace RecordOps {

// Removes language index. Returns the index to select afterwards (the language that moved into its
// place, or the new last one), or -1 when nothing was removed: the last remaining language
// ("Cannot delete last language!") or an index out of range.
int deleteLanguage(Database &db, int index);

// Appends a whole copy of language index named name. Returns the new index, or -1 when index is out
// of range.
int duplicateLanguage(Database &db, int index, const QString &name);

// Sorts the languages by their lower-case names, comparing character codes, with an exchange sort
// (equal names keep the order that sort gives them).
void sortLanguages(Database &db);

// Fills the first free slot with a new tokenset named name: id "text", type "list", green on white,
// enabled, normalized, matching braces, not included. symmetrical and validscope 10 keep what the
// slot holds. Returns the slot, or -1 when all 51 slots are used ("Too many tokensets!").
int newTokenset(Language &language, const QString &name);

// Removes the used tokenset in slot: the following used slots move down one, and the last used slot
// is freed (empty name, included 0; its other fields stay). Returns the slot to select afterwards,
// or -1 when nothing was removed: the only tokenset ("Cannot delete last tokenset!") or a slot that
// is not in use.
int deleteTokenset(Language &language, int slot);

// Exchanges the used tokenset in slot with the one before (up) or after (down) it. Returns its new
// slot, or -1 when it cannot move (first/last, or not a used slot).
int moveTokensetUp(Language &language, int slot);
int moveTokensetDown(Language &language, int slot);

// Sets included of every used slot to 1 or 0.
void setAllIncluded(Language &language, bool included);

} // namespace RecordOps
