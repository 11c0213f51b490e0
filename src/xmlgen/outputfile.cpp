#include "xmlgen/outputfile.h"

#include "model/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>

namespace OutputFile {

QString cannotWrite(const QString &path, const QString &cause)
{
    return QStringLiteral("Cannot write \"%1\": %2").arg(QDir::toNativeSeparators(path), cause);
}

QString writeBeside(QTemporaryFile &file, const QString &path, const QByteArray &bytes)
{
    file.setFileTemplate(path + QStringLiteral(".XXXXXX"));
    if (!file.open())
        return cannotWrite(path, file.errorString());
    if (QString cause; !AtomicFile::writeAll(file, bytes, cause) || !file.flush())
        return cannotWrite(path, cause.isEmpty() ? file.errorString() : cause);
    const QFileInfo old(path);
    if (old.isDir())
        return cannotWrite(path, QStringLiteral("a folder has that name"));
    file.setPermissions(old.exists() ? old.permissions()
                                     : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    file.close();
    return QString();
}

QString moveOver(QTemporaryFile &file, const QString &path)
{
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(file.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), error);
    if (error)
        return cannotWrite(path, QString::fromLocal8Bit(error.message()));
    file.setAutoRemove(false);
    return QString();
}

namespace {

QString writeReplaceable(const QString &path, const QByteArray &bytes)
{
    QTemporaryFile file;
    if (QString problem = writeBeside(file, path, bytes); !problem.isEmpty())
        return problem;
    return moveOver(file, path);
}

} // namespace

QString write(const QString &path, const QByteArray &bytes, Sync sync)
{
    if (sync == Sync::Replaceable)
        return writeReplaceable(path, bytes);
    // A symbolic link is replaced the way any file is, never written through.
    QString cause;
    const auto produce = [&bytes](QIODevice &out, QString &problem) { return AtomicFile::writeAll(out, bytes, problem); };
    if (!AtomicFile::replace(path, produce, &cause))
        return cannotWrite(path, cause);
    return QString();
}

QString exportNameProblem(const QString &languageName)
{
    if (languageName.isEmpty())
        return QStringLiteral("the name is empty");
    if (languageName == u"." || languageName == u"..")
        return QStringLiteral("the name \"%1\" cannot be a file name").arg(languageName);
    if (languageName.contains(u'/'))
        return QStringLiteral("a file name cannot contain \"/\"");
    if (languageName.contains(QChar(0)))
        return QStringLiteral("a file name cannot contain a NUL character");
    // 255 bytes is the longest file name the usual file systems take.
    if (QFile::encodeName(languageName + QStringLiteral(".lng")).size() > 255)
        return QStringLiteral("the name is too long for a file name");
    return QString();
}

QString languageFile(const QString &folder, const QString &languageName, QString *problem)
{
    QString why = exportNameProblem(languageName);
    const QString file = QDir(folder).absoluteFilePath(languageName + QStringLiteral(".lng"));
    if (why.isEmpty() && QFileInfo(file).absolutePath() != QDir(folder).absolutePath())
        why = QStringLiteral("the name leads out of the folder");
    if (problem)
        *problem = why;
    return why.isEmpty() ? file : QString();
}

QString ensureFolder(const QString &folder)
{
    if (folder.isEmpty())
        return QStringLiteral("No export folder is set.");
    const QString native = QDir::toNativeSeparators(folder);
    const QFileInfo info(folder);
    if (info.isDir())
        return QString();
    if (info.exists())
        return QStringLiteral("The export folder \"%1\" is a file, not a folder.").arg(native);
    const QString absolute = QDir::cleanPath(QDir(folder).absolutePath());
    const QString parent = QFileInfo(absolute).absolutePath();
    if (!QFileInfo(parent).isDir()) {
        return QStringLiteral("Cannot create the export folder \"%1\": its parent folder \"%2\" does not exist.")
            .arg(native, QDir::toNativeSeparators(parent));
    }
    if (!QDir().mkdir(absolute))
        return QStringLiteral("Cannot create the export folder \"%1\".").arg(native);
    return QString();
}

} // namespace OutputFile
