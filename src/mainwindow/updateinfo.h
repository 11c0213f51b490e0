#pragma once

#include <QString>

// The update information files written at every start for the online updater: "divozara.dat" holds
// the product name twice and the version line, "varlex.ver" the version line alone. The version line
// is major.minor.revision.size, the size being that of the running executable.
namespace UpdateInfo {

QString versionLine(const QString &version, qint64 executableSize);

// Writes both files into folder, replacing earlier ones. Returns an empty string on success, else a
// description naming the file that could not be written.
QString write(const QString &folder, const QString &version, qint64 executableSize);

} // namespace UpdateInfo
