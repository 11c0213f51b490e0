#include "mainwindow/updateinfo.h"

#include <QDir>
#include <QSaveFile>

namespace {

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    return QString();
}

} // namespace

namespace UpdateInfo {

QString versionLine(const QString &version, qint64 executableSize)
{
    return version + QLatin1Char('.') + QString::number(executableSize < 0 ? 0 : executableSize);
}

QString write(const QString &folder, const QString &version, qint64 executableSize)
{
    const QByteArray line = versionLine(version, executableSize).toLatin1();
    const QDir dir(folder);
    QString error = writeFile(dir.filePath(QStringLiteral("divozara.dat")), "Varlex\r\nVarlex\r\n" + line);
    if (error.isEmpty())
        error = writeFile(dir.filePath(QStringLiteral("varlex.ver")), line);
    return error;
}

} // namespace UpdateInfo
