#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole file so that it is either replaced completely or left as it was.
namespace AtomicFile {

// Writes bytes beside path and renames the result over it once every byte is on disk. On failure
// (a read-only or missing folder, a full disk, a folder in the way) the old file is untouched, no
// temporary file is left, and error holds the cause. Use this rather than a buffered QSaveFile:
// Qt 6.4's QSaveFile does not notice a buffered tail that fails to reach the disk when it closes,
// and then renames a short file over the old one.
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace AtomicFile
