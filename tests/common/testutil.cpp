#include "common/testutil.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

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

bool inTmpfsChild(const QString &test, const QString &folder)
{
    if (!qEnvironmentVariableIsSet("VARLEX_TMPFS_CHILD")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VARLEX_TMPFS_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QStringLiteral("unshare"), {QStringLiteral("-r"), QStringLiteral("-m"),
                                                QCoreApplication::applicationFilePath(), QStringLiteral("--gtest_filter=") + test});
        child.waitForFinished(60000);
        const QByteArray out = child.readAllStandardOutput() + child.readAllStandardError();
        if (child.exitStatus() != QProcess::NormalExit || out.contains("unshare:") || out.contains("[  SKIPPED ]"))
            [] { GTEST_SKIP() << "no private mount namespace with a tmpfs here"; }();
        else
            EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        return false;
    }
    const QStringList mount = {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=64k"),
                               QStringLiteral("tmpfs"), folder};
    if (QProcess::execute(QStringLiteral("mount"), mount) == 0)
        return true;
    [] { GTEST_SKIP(); }();
    return false;
}

void fillDisk(const QString &folder)
{
    QFile filler(QDir(folder).filePath(QStringLiteral("filler")));
    if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        while (filler.write(QByteArray(4096, 'x')) == 4096) {
        }
    }
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
