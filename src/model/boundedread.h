#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reading a file whole when it may be anything a user or a script names: a FIFO that never ends,
// /dev/zero, a folder, a file far too big for what it is read into.
namespace BoundedRead {

// Reads the regular file path whole when it holds at most maxBytes bytes. Anything else is refused
// before it is opened (missing, a folder, a FIFO, a device) or as soon as the bytes cannot fit;
// cause then says why ("not a regular file: ...", "cannot read: ...", "longer than N bytes, ..."),
// for a message that names the file.
bool file(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &cause);

// Reads an open, blocking device (standard input) to its end, stopping as soon as more than
// maxBytes arrive.
bool device(QIODevice &in, qint64 maxBytes, QByteArray &bytes, QString &cause);

} // namespace BoundedRead
