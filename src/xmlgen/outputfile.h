#pragma once

#include <QByteArray>
#include <QString>

// Writing the generated files: whole, replaced atomically, and every failure reported.
namespace OutputFile {

// Writes the bytes to path through a temporary file that replaces the old one only when complete,
// so a reader never sees a partly written file. Durable waits until the data is on the disk (files
// the user takes away); Replaceable does not (the working file, rewritten after every keystroke and
// regenerated at every start). Returns an empty string, or one line naming the file and the cause.
enum class Sync { Durable, Replaceable };
QString write(const QString &path, const QByteArray &bytes, Sync sync = Sync::Durable);

// Why a language name cannot name an exported file here (empty, ".", "..", a "/" or NUL, too long),
// or an empty string when it can.
QString exportNameProblem(const QString &languageName);

// Makes sure the export folder exists, creating it when its parent does (one level only).
// Returns an empty string, or one line naming the folder and the problem.
QString ensureFolder(const QString &folder);

} // namespace OutputFile
