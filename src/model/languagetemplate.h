#pragma once

#include "model/database.h"

#include <QString>
#include <QStringList>

// The template a new language is made from: fourteen standard tokensets, three of whose token lists
// come from list files of the program folder, and the id list for the tokenset id choices.
namespace LanguageTemplate {

inline constexpr const char *kKeywordFile = "Keywordlist.txt";
inline constexpr const char *kOperatorFile = "Operatorlist.txt";
inline constexpr const char *kHyperlinkFile = "Hyperlinklist.txt";
inline constexpr const char *kIdFile = "IDList.txt";
inline constexpr int kTemplateSlots = 14;

// The sample text new and imported languages get: the whole of sample.txt in the folder, or a short
// built-in text when that file cannot be read.
QString defaultSampleText(const QString &folder);

// Fills language with the template (every field it sets; the others are left as they are, so pass a
// blank record). keywords, operators and hyperlinks are the token lists of slots 9, 10 and 12.
void fill(Language &language, const QString &name, const QString &sampleText, const QString &keywords,
          const QString &operators, const QString &hyperlinks);

// The lines of an id list: lines that are empty or blanks only are skipped, the others kept as they
// are. Lines end with CR LF, LF or CR.
QStringList idLines(const QString &text);

struct Result {
    int index = -1;        // the new language's index (always added)
    bool idsRead = false;  // false when IDList.txt could not be read: keep the id choices as they are
    QStringList ids;       // the items of the tokenset id choice list cmbID
    QString message;       // names every list file that could not be read; empty when all were read
};

// Appends a new language named name (as given, not trimmed) to db, filled from the template with the
// list files of folder read whole as ANSI text, with LF or CR LF line ends (the token lists keep CR
// LF). A missing or unreadable list file, or one holding a character a language file cannot hold,
// leaves its list empty; the language is made all the same. Touches neither db.dirty nor the current indices.
// Trace entry "LoadSampleData_SingleLanguage".
Result LoadSampleData_SingleLanguage(Database &db, const QString &name, const QString &folder,
                                     const QString &sampleText);

} // namespace LanguageTemplate
