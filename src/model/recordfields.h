#pragma once

#include "model/language.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// Every field of a language record that a window user can change, with the value rules of the
// window's control for it: the one table behind each "set a field" operation, so that every editor
// accepts and refuses the same values.
namespace RecordFields {

enum class Owner { Language, Tokenset };

enum class Kind {
    Text,   // a one-line text box: any text without line breaks
    Lines,  // a token box or the sample pane: any text; line breaks are stored as CR LF
    Name,   // a name: one line, not blank
    Flag,   // a check box: 0 or 1, given as 0, 1, true or false
    Colour, // a colour label: 0x00BBGGRR, given as a number from 0 to 16777215 or as #RRGGBB
    Choice, // a pick-only list: exactly one of its entries
};

struct Field {
    const char *name; // as in the record; validscope elements are "validscope.0" .. "validscope.9"
    Owner owner;
    Kind kind;
};

// The entries of the lists that do not come from the record itself.
struct Lists {
    QStringList ids = defaultIds(); // tokenset ids (the id list)
    QStringList memberLists;        // registered member lists; "<none>" is always offered

    // The 31 tokenset ids the window offers until a new language reads IDList.txt.
    static QStringList defaultIds();
};

const std::vector<Field> &fields();
const Field *find(Owner owner, QStringView name);

// The entries a Choice field offers for tokenset `slot` of language (slot is ignored for language
// fields): inheritfrom offers "<none>" and the other tokensets' names, a valid scope "<none>", "NULL"
// and the scope tokensets' names.
QStringList choices(const Field &field, const Language &language, int slot, const Lists &lists);

// The value as text; numbers in decimal.
QString get(const Field &field, const Language &language, int slot);

// Parses text by the field's rules and stores it in language (tokenset fields in used slot `slot`).
// Returns an empty string, or one line saying what the field takes; then nothing has changed.
QString set(const Field &field, Language &language, int slot, const QString &text, const Lists &lists);

// Empty when the language fits a database record; otherwise names the field that does not fit, where
// it is, and its size (a text holds at most 65535 bytes in ANSI form).
QString sizeProblem(const Language &language);

} // namespace RecordFields
