#pragma once

#include "model/language.h"

#include <QVariant>

// The fields of a language record that the window edits one at a time: the language-wide fields and
// the fields of the current tokenset, each with the caption its undo step shows and the writer mode
// that regenerates it (1 rebuilds every tokenset, 0 only the current one).
namespace RecordField {

enum class Field {
    // language
    CaseSensitive, ApplyCase, WhiteSpace, WordChars, MemberList, SampleText,
    // tokenset
    Name, Id, Type, ForeColor, FontStyle, InheritFrom, BackColor, TokensetCase, NormalizeCase,
    MatchBraces, AutoIndent, Enabled, Included, Hidden, SingleLineScope, Chain, Symmetrical,
    TMemberList, Tokens, Tokens2, RegExp, Rule, Lead, Trail,
    ValidScope0, ValidScope1, ValidScope2, ValidScope3, ValidScope4, ValidScope5, ValidScope6,
    ValidScope7, ValidScope8, ValidScope9,
};

bool isLanguageField(Field field);
// A text the user types that the XML writer puts into the file (so it must be able to stand there).
bool writtenText(Field field);
Field validScope(int index);

// "Hidden", "Tokens", "Valid Scope 3", ...
QString caption(Field field);
int writerMode(Field field);

// The value of a field (a QString or a qint32); slot is ignored for language fields.
QVariant get(const Language &language, int slot, Field field);
void put(Language &language, int slot, Field field, const QVariant &value);

} // namespace RecordField
