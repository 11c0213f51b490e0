#pragma once

#include <QString>

// The program folder holds the database and the working files. Both programs resolve it here.
namespace ProgramFolder {

// Resolves the folder once: an explicit folder when given; else the executable's folder when it
// holds xml.lng and is writable (portable mode, used in the build tree); else the per-user data
// folder, created and seeded from the installed data on first use. Returns the absolute path, or an
// empty one when the per-user folder is needed and there is no usable home (homeProblem()).
QString resolve(const QString &explicitFolder = QString());

// Why there is no per-user data folder: HOME unset, empty, relative or not a folder, with no absolute
// XDG_DATA_HOME in its place. Empty when there is one. Without this check the folder would become
// /.local/share/..., made under / for root.
QString homeProblem();

// The folder resolved last (empty before the first resolve).
QString path();

// Path of a file or folder inside the program folder.
QString file(const QString &name);

// Copies the files of a shipped data folder into target, never overwriting a file that exists.
void seed(const QString &dataFolder, const QString &target);

} // namespace ProgramFolder
