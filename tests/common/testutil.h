#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Helpers shared by every test program.
namespace TestUtil {

// A temporary program folder, removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    QString file(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    QByteArray read(const QString &name) const;
    bool exists(const QString &name) const;

private:
    QTemporaryDir dir_;
};

struct CliResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs the built varlex-cli with the given arguments and standard input.
CliResult runCli(const QStringList &args, const QByteArray &input = QByteArray());

// Tests of a real full or read-only disk run themselves again in a private user and mount namespace,
// where a 64 KB tmpfs is mounted over a temporary folder; nothing of it outlives the child. In the test
// process this runs the child for `test` (a test filter), reports its result and returns false (the
// test is skipped when no such namespace is available); in the child it mounts the tmpfs over folder
// and returns true. fillDisk then fills that file system to the last byte.
bool inTmpfsChild(const QString &test, const QString &folder);
void fillDisk(const QString &folder);

QString sourcePath(const QString &relative); // a file of the source tree
QString binPath(const QString &relative);    // a file of the build tree's program folder
QByteArray readFile(const QString &path);

} // namespace TestUtil
