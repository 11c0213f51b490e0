#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// Writing a whole file so that it is either replaced completely or left as it was. Every failure
// comes back with the operating system's reason ("No space left on device", "Permission denied").
namespace AtomicFile {

// Writes bytes beside path and renames the result over it once every byte is on disk. On failure
// (a read-only or missing folder, a full disk, a folder in the way) the old file is untouched, no
// temporary file is left, and error holds the cause. Use this rather than a buffered QSaveFile:
// Qt 6.4's QSaveFile does not notice a buffered tail that fails to reach the disk when it closes,
// and then renames a short file over the old one.
bool write(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Fills the file piece by piece through writeAll() (or refuses, with problem set): a large file is
// never held in memory whole. beforeCommit runs once every byte is on disk, just before the new
// file replaces the old one; returning false (with problem set) keeps the old file.
using Producer = std::function<bool(QIODevice &out, QString &problem)>;
using Check = std::function<bool(QString &problem)>;
bool write(const QString &path, const Producer &produce, QString *error = nullptr, const Check &beforeCommit = {});

// The same, except that a symbolic link at path is replaced by the new file, never written through
// (a copy that must stay beside its original, such as a backup).
bool replace(const QString &path, const Producer &produce, QString *error = nullptr, const Check &beforeCommit = {});

// Writes every byte to device; a short write goes on until the device refuses, so that the failure
// carries its reason rather than "Unknown error".
bool writeAll(QIODevice &device, QByteArrayView bytes, QString &error);

} // namespace AtomicFile
