#include "model/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &current()
{
    static QString folder;
    return folder;
}

bool isWritableFolder(const QString &folder)
{
    QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// Where an installed program keeps its shipped data: ../share/varlex beside the executable.
QString installedDataFolder()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString candidate = QDir(appDir).absoluteFilePath(QStringLiteral("../share/varlex"));
    if (QFileInfo::exists(candidate))
        return QDir(candidate).canonicalPath();
    return QString();
}

} // namespace

namespace ProgramFolder {

void seed(const QString &dataFolder, const QString &target)
{
    QDir().mkpath(target);
    for (const char *sub : {"language_def", "language_mem", "margin_images"})
        QDir(target).mkpath(QString::fromLatin1(sub));
    if (dataFolder.isEmpty())
        return;
    QDirIterator it(dataFolder, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = QDir(dataFolder).relativeFilePath(source);
        if (QFileInfo(source).fileName() == QLatin1String(".keep"))
            continue;
        const QString dest = QDir(target).filePath(relative);
        if (QFileInfo::exists(dest))
            continue;
        QDir().mkpath(QFileInfo(dest).absolutePath());
        QFile::copy(source, dest);
        QFile(dest).setPermissions(QFile(dest).permissions() | QFileDevice::WriteOwner);
    }
}

QString homeProblem()
{
    if (QDir::isAbsolutePath(qEnvironmentVariable("XDG_DATA_HOME")))
        return QString();
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        return QStringLiteral("HOME is not set");
    if (!QDir::isAbsolutePath(home))
        return QStringLiteral("HOME (%1) is not an absolute path").arg(home);
    if (!QFileInfo(home).isDir())
        return QStringLiteral("HOME (%1) is not a folder").arg(home);
    return QString();
}

QString resolve(const QString &explicitFolder)
{
    QString folder;
    if (!explicitFolder.isEmpty()) {
        folder = QDir(explicitFolder).absolutePath();
    } else {
        const QString appDir = QCoreApplication::applicationDirPath();
        if (!appDir.isEmpty() && QFileInfo::exists(QDir(appDir).filePath(QStringLiteral("xml.lng")))
            && isWritableFolder(appDir)) {
            folder = appDir;
        } else if (!homeProblem().isEmpty()) {
            current().clear();
            return QString();
        } else {
            folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            if (folder.isEmpty())
                folder = QDir::home().filePath(QStringLiteral(".varlex"));
            if (!QFileInfo::exists(QDir(folder).filePath(QStringLiteral("xml.lng"))))
                seed(installedDataFolder(), folder);
        }
    }
    current() = QDir::cleanPath(folder);
    return current();
}

QString path()
{
    return current();
}

QString file(const QString &name)
{
    return QDir(current()).filePath(name);
}

} // namespace ProgramFolder
