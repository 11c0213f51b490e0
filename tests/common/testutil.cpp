#include "common/testutil.h"

#include <QDir>
#include <QFile>
#include <QProcess>

namespace TestUtil {

TempFolder::TempFolder() = default;

QString TempFolder::file(const QString &name) const
{
    return QDir(dir_.path()).filePath(name);
}

void TempFolder::write(const QString &name, const QByteArray &bytes) const
{
    QFile f(file(name));
    QDir().mkpath(QFileInfo(f).absolutePath());
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray TempFolder::read(const QString &name) const
{
    return readFile(file(name));
}

bool TempFolder::exists(const QString &name) const
{
    return QFileInfo::exists(file(name));
}

CliResult runCli(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(QStringLiteral(VARLEX_CLI_PATH), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    CliResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

QString sourcePath(const QString &relative)
{
    return QDir(QStringLiteral(VARLEX_SOURCE_DIR)).filePath(relative);
}

QString binPath(const QString &relative)
{
    return QDir(QStringLiteral(VARLEX_BIN_DIR)).filePath(relative);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

} // namespace TestUtil
