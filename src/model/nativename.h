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

// A path a file dialog gave back. A dialog reads a name that is not UTF-8 with U+FFFD for each byte
// it cannot read, so that name names no file: each part of the path that holds U+FFFD and does not
// exist is matched against its folder's names as the system holds them, and the one name that reads
// the same way takes its place, bytes kept. Anything else comes back as it is.
QString fromDialog(const QString &path);

} // namespace NativeName
