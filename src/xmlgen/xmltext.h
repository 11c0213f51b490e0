#pragma once

#include <QString>
#include <QStringView>

// Small text helpers shared by the XML writer and the token list text.
namespace XmlText {

inline constexpr QStringView kCrLf = u"\r\n";
inline constexpr QStringView kIndent = u"     "; // the indent unit: five blanks

// Removes leading and trailing blanks (spaces only; tabs and line breaks stay).
QString trimBlanks(QStringView text);
bool isBlank(QStringView text);

// "&" -> "&amp;", then "<" -> "&lt;", then ">" -> "&gt;".
QString escapeMarkup(QStringView text);
void appendEscapedMarkup(QString &out, QStringView text);

// Text whose markup is already escaped, made fit for an attribute value: the double quote (it would
// end the value early), TAB, CR and LF (a reader would turn them into blanks) as references.
QString escapeQuotes(QStringView text);

// An attribute value: "&", "<", ">", the double quote, TAB, CR and LF as references, so that any name
// or value reads back as it was written.
void appendEscapedAttribute(QString &out, QStringView text);
QString escapeAttribute(QStringView text);

// The number of a "col" rule: the decimal prefix of the text (blanks ignored; an optional sign,
// digits and one decimal point), rounded half to even and held to -32768..32767; 0 when the text
// has no such prefix.
int colNumber(QStringView text);

} // namespace XmlText

// "true" for any non-zero flag, else "false". Every flag attribute is written through it.
QString Reverse2(qint32 flag);
