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

QString sourcePath(const QString &relative); // a file of the source tree
QString binPath(const QString &relative);    // a file of the build tree's program folder
QByteArray readFile(const QString &path);

} // namespace TestUtil
