#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

struct Language;
struct Tokenset;

// Characters a language file cannot hold: XML 1.0 has no place for the C0 control characters other
// than TAB, LF and CR, not even as character references, so a name or token holding one (a BEL, a
// form feed) would make the whole file unreadable. They are refused where text enters a language and
// reported where an older database already holds them.
namespace XmlChars {

// Position of the first such character in text, or -1.
qsizetype firstBad(QStringView text);

// "U+0007 (BEL)".
QString describe(QChar c);

// Empty when text can stand in a language file; otherwise one sentence naming the field and the
// first character it cannot hold.
QString problem(QStringView text, const QString &field);

// The fields the XML writer puts into the file that hold such a character, one entry each in
// writing order, as "FIELD holds U+0007 (BEL)": of the language itself (name, wordchars, memberlist),
// and of one of its tokensets.
QStringList languageFields(const Language &language);
QStringList tokensetFields(const Tokenset &tokenset);

} // namespace XmlChars
