#include "cli/output.h"

#include "cli/command.h"
#include "model/textescape.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {

int outputError = 0; // errno of the first write to standard output that failed

// --output FILE: the file standard output goes to until finish() renames it over target.
QByteArray redirectTarget;
QByteArray redirectTemporary;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Puts the redirected output in its place, or removes it; returns code, or CheckFailed when the
// file could not be put in place.
int commit(int code)
{
    const bool keep = !outputError && (code == Ok || code == CheckFailed);
    if (keep && ::fsync(STDOUT_FILENO) != 0 && errno != EINVAL)
        outputError = errno;
    if (!keep || outputError || std::rename(redirectTemporary.constData(), redirectTarget.constData()) != 0) {
        const int error = outputError ? 0 : errno;
        ::unlink(redirectTemporary.constData());
        if (keep && error) {
            fail(CheckFailed, QStringLiteral("cannot write %1: %2").arg(QFile::decodeName(redirectTarget), systemError(error)));
            return code == Ok ? CheckFailed : code;
        }
    }
    return code;
}

} // namespace

QString redirectOutput(const QString &file)
{
    QByteArray pattern = QFile::encodeName(file) + ".XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return QStringLiteral("cannot write %1: %2").arg(file, systemError(errno));
    // A file of the permissions a new file gets, not mkstemp's owner-only ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    std::fflush(stdout);
    if (::dup2(fd, STDOUT_FILENO) < 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(pattern.constData());
        return QStringLiteral("cannot write %1: %2").arg(file, systemError(error));
    }
    ::close(fd);
    redirectTarget = QFile::encodeName(file);
    redirectTemporary = pattern;
    return QString();
}

void out(QByteArrayView bytes)
{
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) && !outputError)
        outputError = errno ? errno : EIO;
}

void outLine(const QString &line)
{
    out(line.toUtf8() + '\n');
}

void warn(const QString &message)
{
    std::fputs(("varlex-cli: " + TextEscape::controls(message) + '\n').toUtf8().constData(), stderr);
}

void warnAt(const QString &compilerLine)
{
    std::fputs((TextEscape::controls(compilerLine) + '\n').toUtf8().constData(), stderr);
}

int failAt(int code, const QString &compilerLine)
{
    warnAt(compilerLine);
    return code;
}

int fail(int code, const QString &message)
{
    warn(message);
    return code;
}

QString withLineFeeds(const QString &text)
{
    QString lines = text;
    return lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

int finish(int code)
{
    if (std::fflush(stdout) != 0 && !outputError)
        outputError = errno ? errno : EIO;
    if (std::ferror(stdout) && !outputError)
        outputError = EIO;
    if (!redirectTarget.isEmpty())
        code = commit(code);
    if (!outputError)
        return code;
    fail(CheckFailed, QStringLiteral("cannot write to standard output: %1").arg(QString::fromLocal8Bit(std::strerror(outputError))));
    return code == Ok ? CheckFailed : code;
}

} // namespace Cli
