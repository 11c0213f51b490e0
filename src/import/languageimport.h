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
// reads "null", so writing the text back keeps each token's meaning. What a token line cannot hold is
// changed, and each change is named in `changes` (prefixed with `where`): a token holding "::::" is
// left out, blanks around a token are trimmed, a CR LF inside a token or rule becomes LF, and "::::"
// inside a rule becomes ":" (in a leadwith/trailwith rule the same set of characters).
QString tokenListText(const TokenListDefinition &list, QStringList *changes = nullptr,
                      const QString &where = QString());

// Fills `out` (a blank record) from a loaded language object; false with a description when the
// definition does not fit a record. (Characters a language file cannot hold never get this far: the
// definition reader refuses them, naming line and column.) Each tokenset's
// own regexp and rule become 1 and "Word", the values Hide Default Attributes leaves out, so the
// language written back means what the file meant with that option on or off. The language's own
// case sensitivity is not kept (it is 0); when the file's language is case sensitive, every tokenset
// is, so the language colours as before. Tokens the token list text cannot hold as they are go to
// `changes`, one line each.
bool fillLanguage(const LanguageObject &language, bool autoInclude, const QString &sampleText, Language &out,
                  QString &description, QStringList *changes = nullptr);

struct Result {
    bool ok = false;
    int index = -1;      // index of the new language
    QString description; // why it failed
    QStringList changes; // each token that could not be kept as it was, and what became of it
    // The text of the failure message: "Error importing language!", two CR LF, the description.
    QString messageText() const;
};

// Loads `path` into `object` (the preview language object, or any other) and appends the language to
// the database, setting the dirty flag. Nothing is appended unless the whole file has loaded and fits.
Result importFile(Database &db, LanguageObject &object, const QString &path, bool autoInclude,
                  const QString &sampleText);

} // namespace LanguageImport
