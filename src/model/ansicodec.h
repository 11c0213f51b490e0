#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of the database and the .lng files. Linux has none, so the program fixes one
// (windows-1252 by default, settings key CodePage) and converts through Qt's encoders.
namespace AnsiCodec {

inline constexpr const char *kDefaultCodePage = "windows-1252";

// Selects the code page by name. Only a single-byte code page that keeps ASCII as it is can hold
// the texts of varlex.dat byte for byte; any other (UTF-8, Shift_JIS, GB18030, UTF-7, EBCDIC) and a
// name Qt does not know are refused: returns false, keeps the old one and sets why.
bool setCodePage(const QString &name, QString *why = nullptr);
QString codePage();
// Selects the default code page, known to be usable; the bytes it maps to no character are worked
// out when first asked for.
void useDefaultCodePage();

// Byte values to which the code page gives no character (windows-1253 has 0xAA and 0xD2, for
// example); such a byte decodes to U+FFFD and cannot come back. Returns -1 when bytes has none.
int firstUnmappedByte(QByteArrayView bytes);

// Characters that the code page cannot hold become '?', as the platform's own conversion does.
QByteArray encode(const QString &text);
QString decode(QByteArrayView bytes);

// Number of bytes the text takes in ANSI form.
qsizetype encodedSize(const QString &text);

} // namespace AnsiCodec
