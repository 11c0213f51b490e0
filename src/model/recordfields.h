#pragma once

#include "model/language.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

#include <vector>

// Every field of a language record that a user can change, with the value rules of the window's
// control for it: the one table behind each "set a field" operation of the window and the command
// line, so that both accept and refuse the same values, and the raw access their undo steps need.
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

// The fields by the window's name for them: the language's first, then the tokenset's.
enum class FieldId {
    // language
    LanguageName, CaseSensitive, ApplyCase, WhiteSpace, WordChars, MemberList, SampleText,
    // tokenset
    Name, Id, Type, ForeColor, FontStyle, InheritFrom, BackColor, TokensetCase, NormalizeCase,
    MatchBraces, AutoIndent, Enabled, Included, Hidden, SingleLineScope, Chain, Symmetrical,
    TMemberList, Tokens, Tokens2, RegExp, Rule, Lead, Trail,
    ValidScope0, ValidScope1, ValidScope2, ValidScope3, ValidScope4, ValidScope5, ValidScope6,
    ValidScope7, ValidScope8, ValidScope9,
};

struct Field {
    const char *name; // as in the record; validscope elements are "validscope.0" .. "validscope.9"
    Owner owner;
    Kind kind;
    FieldId id;
    const char *caption;  // the undo step's: "Hidden", "Tokens", "Valid Scope 3", ...
    bool inDefinition;    // the generated definition shows it (every field but the sample text)
    bool written;         // its text goes into a language file, so it must be able to stand there
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
const Field &field(FieldId id);
FieldId validScope(int index);

// The stored value of a field as a QString or a qint32, and its raw replacement (for undo: no rules
// apply); slot is ignored for language fields.
QVariant value(const Language &language, int slot, FieldId id);
void store(Language &language, int slot, FieldId id, const QVariant &value);

// Why the field cannot hold this text as the window and the command line give it, or an empty string:
// a blank name, a line break in one line, or a character a language file cannot hold in a text that
// goes into one (`what` names the field in the message; the field's name when empty).
QString textProblem(const Field &field, const QString &text, const QString &what = QString());

// The same rules for the name of a new language or tokenset ("language name", "tokenset name").
QString nameProblem(const QString &name, const QString &what);

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
