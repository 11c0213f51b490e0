#pragma once

#include <QByteArray>
#include <QString>

class QTemporaryFile;

// Writing the generated files: whole, replaced atomically, and every failure reported.
namespace OutputFile {

// Writes the bytes to path through a temporary file that replaces the old one only when complete,
// so a reader never sees a partly written file. A symbolic link at path is replaced by the file; what
// it points to is never written. Durable waits until the data is on the disk (files
// the user takes away); Replaceable does not (the working file, rewritten after every keystroke and
// regenerated at every start). Returns an empty string, or one line naming the file and the cause.
enum class Sync { Durable, Replaceable };
QString write(const QString &path, const QByteArray &bytes, Sync sync = Sync::Durable);

// Why a language name cannot name an exported file here (empty, ".", "..", a "/" or NUL, too long),
// or an empty string when it can.
QString exportNameProblem(const QString &languageName);

// The file languageName + ".lng" directly inside folder, as an absolute path; or an empty string,
// with problem set to one phrase, when the name cannot name a file there (exportNameProblem) or the
// file would land anywhere else. Export and the XML pane's Save both name their files through it.
QString languageFile(const QString &folder, const QString &languageName, QString *problem);

// Makes sure the export folder exists, creating it when its parent does (one level only).
// Returns an empty string, or one line naming the folder and the problem.
QString ensureFolder(const QString &folder);

// The pieces of a replaceable write, also used by OutputBatch: "Cannot write "PATH": CAUSE"; the
// bytes written to a closed temporary file beside path, with the permissions of the file there;
// that file renamed over path. Each returns an empty string or the line naming the cause.
QString cannotWrite(const QString &path, const QString &cause);
QString writeBeside(QTemporaryFile &file, const QString &path, const QByteArray &bytes);
QString moveOver(QTemporaryFile &file, const QString &path);

} // namespace OutputFile
