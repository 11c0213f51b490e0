#pragma once

#include <QByteArray>
#include <QString>

// File names as the system holds them: bytes, which need not be UTF-8 ("caf\xe9.lng" from a Latin-1
// disk). Such a name given on the command line is kept byte for byte: each byte that is not part of
// valid UTF-8 becomes one of the characters U+DC80..U+DCFF, which no valid text holds, and turns back
// into that byte when the file is opened.
namespace NativeName {

QString fromBytes(const QByteArray &bytes);
QByteArray toBytes(const QString &name);

// The name for a message: kept bytes written as \xHH, the rest as it is.
QString shown(const QString &name);

} // namespace NativeName
