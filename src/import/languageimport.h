#pragma once

#include "editorcontrol/languagedefinition.h"
#include "model/database.h"
#include "model/language.h"

#include <QString>

class LanguageObject;

// Turns a loaded language definition into a new Language record: the values the language object
// reports, with fixed defaults for what a definition does not hold (case sensitivity, apply case).
namespace LanguageImport {

inline constexpr const char *kTitle = "Import Language";

// Lookups with a natural default: they return it when the object has no such value.
QString GetLMemberListFromFileData(const LanguageObject &language);                  // "<none>"
QString GetInheritFromFileData(const LanguageObject &language, int k);               // "<none>"
QString GetMemberListFromFileData(const LanguageObject &language, int k);            // "<none>"
QString GetValidScopeFromFileData(const LanguageObject &language, int k, int i);     // "NULL"
// Font style name of tokenset k; false when there is no tokenset k.
bool GetFontStyleFromFileData(const LanguageObject &language, int k, QString &style);
QString GetIDName(qint64 number);   // "text" for any number outside the id table
QString GetCommandText(int number); // "" for any number outside 259..263

// The editable token list text of one token list: one line per token, each with all three fields
// ("text :::: action :::: True|False :::: rule"), CR LF between lines. A rule that sets no condition
// reads "null", so writing the text back keeps each token's meaning.
QString tokenListText(const TokenListDefinition &list);

// Fills `out` (a blank record) from a loaded language object; false with a description when the
// definition does not fit a record. Each tokenset's own regexp and rule become 1 and "Word", the
// values Hide Default Attributes leaves out, so the language written back means what the file meant
// with that option on or off.
bool fillLanguage(const LanguageObject &language, bool autoInclude, const QString &sampleText, Language &out,
                  QString &description);

struct Result {
    bool ok = false;
    int index = -1;      // index of the new language
    QString description; // why it failed
    // The text of the failure message: "Error importing language!", two CR LF, the description.
    QString messageText() const;
};

// Loads `path` into `object` (the preview language object, or any other) and appends the language to
// the database, setting the dirty flag. Nothing is appended unless the whole file has loaded and fits.
Result importFile(Database &db, LanguageObject &object, const QString &path, bool autoInclude,
                  const QString &sampleText);

} // namespace LanguageImport
