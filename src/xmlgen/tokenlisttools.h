#pragma once

#include <QString>
#include <QStringList>

struct Language;

// Whole-text rewrites of the token list texts (one token per line, lines joined by CR LF) for the
// token list commands of the main window.
namespace TokenListTools {

// Lines at CR LF: an empty text has no lines; a text ending in CR LF has a last, empty line.
QStringList splitLines(const QString &text);
QString joinLines(const QStringList &lines);

enum class Order { Ascending, Descending };
enum class Case { Sensitive, Insensitive };

// Exchange sort of whole lines (fields after "::::" included) by ordinal character codes; the
// case-insensitive order compares the lines in lower case but keeps them as they are. Lines that
// compare equal may change places, as the exchange sort moves them.
QString sortLines(const QString &text, Order order, Case letterCase);

QString lowerCase(const QString &text);
// The first character of every line that is not blank becomes upper case (even when it is a blank).
QString titleCase(const QString &text);

// A line holding "::::" becomes its text before the first "::::", trimmed of blanks.
QString removeAttributesFromLine(const QString &line);
QString removeAttributes(const QString &text);
// The same for both lists of all 51 tokenset slots of a language.
void removeAttributes(Language &language);

// The token box font size after a toggle: 8, 14, 22, 32, 48 and back to 8; any other size stays.
int nextFontSize(int size);

} // namespace TokenListTools
