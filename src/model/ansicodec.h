#pragma once

#include <QByteArray>
#include <QString>

// The ANSI code page of the database and the .lng files. Linux has none, so the program fixes one
// (windows-1252 by default, settings key CodePage) and converts through Qt's encoders.
namespace AnsiCodec {

inline constexpr const char *kDefaultCodePage = "windows-1252";

// Selects the code page by name; returns false (and keeps the old one) when Qt does not know it.
bool setCodePage(const QString &name);
QString codePage();

// Characters that the code page cannot hold become '?', as the platform's own conversion does.
QByteArray encode(const QString &text);
QString decode(QByteArrayView bytes);

// Number of bytes the text takes in ANSI form.
qsizetype encodedSize(const QString &text);

} // namespace AnsiCodec
