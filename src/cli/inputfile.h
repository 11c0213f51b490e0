#pragma once

#include <QByteArray>
#include <QString>

// Reading what a command is given to read: a named regular file, or standard input for "-".
namespace Cli {

// How a file is named in messages: the name given, or "(standard input)" for "-".
QString inputName(const QString &name);

// Reads the whole input, at most limit bytes. Refuses, with one line in problem naming the input: a
// file that cannot be opened, anything that is not a regular file (a folder, a FIFO, a device such
// as /dev/zero), and an input longer than limit (reading stops there, so endless input ends too).
bool readInput(const QString &name, qint64 limit, QByteArray &bytes, QString &problem);

// Text read as UTF-8 when it is valid UTF-8 (a byte order mark dropped), else as ANSI text.
QString decodeText(const QByteArray &bytes);

} // namespace Cli
