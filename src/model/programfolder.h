#pragma once

#include <QString>

// The program folder holds the database and the working files. Both programs resolve it here.
namespace ProgramFolder {

// Resolves the folder once: an explicit folder when given; else the executable's folder when it
// holds xml.lng and is writable (portable mode, used in the build tree); else the per-user data
// folder, created and seeded from the installed data on first use. Returns the absolute path.
QString resolve(const QString &explicitFolder = QString());

// The folder resolved last (empty before the first resolve).
QString path();

// Path of a file or folder inside the program folder.
QString file(const QString &name);

// Copies the files of a shipped data folder into target, never overwriting a file that exists.
void seed(const QString &dataFolder, const QString &target);

} // namespace ProgramFolder
