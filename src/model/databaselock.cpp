#include "model/databaselock.h"

#include "model/databasestore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

// What a lock file says of its holder: "pid\nprogram\nhost\n", the layout QLockFile writes too.
struct Holder {
    bool named = false;
    qint64 pid = 0;
    QString program;
    QString host;
    qint64 ageSeconds = 0;

    bool local() const { return host.isEmpty() || host == QSysInfo::machineHostName(); }
    QString describe() const
    {
        if (!named)
            return QStringLiteral("a program that did not name itself");
        QString text = QStringLiteral("%1, process %2")
                           .arg(program.isEmpty() ? QStringLiteral("unknown program") : program)
                           .arg(pid);
        if (!local())
            text += QStringLiteral(" on host \"%1\"").arg(host);
        return text;
    }
};

Holder readHolder(int fd)
{
    Holder holder;
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        holder.ageSeconds = qint64(::time(nullptr)) - qint64(st.st_mtime);
    char buffer[512];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    if (n <= 0)
        return holder;
    const QList<QByteArray> lines = QByteArray(buffer, n).split('\n');
    bool ok = false;
    holder.pid = lines.value(0).toLongLong(&ok);
    holder.named = ok && holder.pid > 0;
    holder.program = QString::fromUtf8(lines.value(1));
    holder.host = QString::fromUtf8(lines.value(2));
    return holder;
}

bool processRuns(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

// True when the file open as fd is still the one at path: a holder that releases removes the file,
// so a waiter that locked the removed file must start again.
bool stillAtPath(int fd, const QByteArray &path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
        && opened.st_ino == named.st_ino;
}

bool writeHolder(int fd, QString &problem)
{
    const QByteArray text = QByteArray::number(QCoreApplication::applicationPid()) + '\n'
        + QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, text.constData(), size_t(text.size()), 0) != text.size()
        || ::fsync(fd) != 0) {
        problem = systemReason(errno == 0 ? EIO : errno);
        return false;
    }
    return true;
}

// Follows symbolic links (also dangling ones) to the file a path finally names, and resolves its
// folder, so that every path to one database finds the same lock.
QString resolvedFile(const QString &path)
{
    QString p = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo info(p);
        if (!info.isSymLink())
            break;
        p = info.symLinkTarget();
    }
    const QFileInfo info(p);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? p : QDir(folder).filePath(info.fileName());
}

} // namespace

DatabaseLock::DatabaseLock(const QString &folder)
    : folder_(folder)
    , path_(lockPath(folder))
{
}

DatabaseLock::~DatabaseLock()
{
    release();
}

QString DatabaseLock::lockPath(const QString &folder)
{
    return resolvedFile(DatabaseStore::databasePath(folder)) + QLatin1String(".lock");
}

DatabaseLock::Attempt DatabaseLock::tryOnce(QString &problem)
{
    const QByteArray native = QFile::encodeName(path_);
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        const int error = errno;
        if (error == EISDIR && ::rmdir(native.constData()) == 0)
            return tryOnce(problem); // an empty folder in the lock's place holds nothing
        if (error == EISDIR)
            problem = QStringLiteral("%1 is a folder, not a lock file; nothing was changed. Remove that folder")
                          .arg(quoted(path_));
        else if (error == ELOOP)
            problem = QStringLiteral("%1 is a symbolic link, not a lock file; nothing was changed. Remove that link")
                          .arg(quoted(path_));
        else
            problem = QStringLiteral("the lock file %1 cannot be made or opened: %2").arg(quoted(path_), systemReason(error));
        return Attempt::Failed;
    }
    const auto busy = [&](const Holder &holder) {
        ::close(fd);
        if (holder.local() || !holder.named)
            problem = QStringLiteral("is being changed by another program (%1); nothing was changed, try again. Its lock "
                                     "is %2: if that program hangs, end it, or remove the lock file")
                          .arg(holder.describe(), quoted(path_));
        else
            problem = QStringLiteral("is locked by another computer (%1) since %2 minutes; nothing was changed. Such a "
                                     "lock counts as abandoned %3 minutes after it was made; if no program there "
                                     "changes the database, remove the lock file %4")
                          .arg(holder.describe())
                          .arg(holder.ageSeconds / 60)
                          .arg(kForeignStale.count() / 60)
                          .arg(quoted(path_));
        return Attempt::Busy;
    };
    const bool osLocks = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const int lockError = osLocks ? 0 : errno;
    if (lockError == EWOULDBLOCK || lockError == EINTR)
        return busy(readHolder(fd));
    if (!stillAtPath(fd, native)) {
        ::close(fd);
        return tryOnce(problem); // the holder released and removed the file meanwhile
    }
    const Holder holder = readHolder(fd);
    if (holder.named && !holder.local() && holder.ageSeconds < kForeignStale.count())
        return busy(holder);
    // Without operating-system locks the file alone tells: a local holder that runs, or a file
    // too young to be a leftover (a writer between making it and naming itself), keeps it.
    if (!osLocks
        && ((holder.named && holder.local() && processRuns(holder.pid) && holder.pid != QCoreApplication::applicationPid())
            || (!holder.named && holder.ageSeconds < kEmptyStale.count() && holder.ageSeconds >= 0)))
        return busy(holder);
    QString cause;
    if (!writeHolder(fd, cause)) {
        ::unlink(native.constData());
        ::close(fd);
        problem = QStringLiteral("the lock file %1 cannot be written: %2").arg(quoted(path_), cause);
        return Attempt::Failed;
    }
    fd_ = fd;
    return Attempt::Held;
}

bool DatabaseLock::acquire(std::chrono::milliseconds wait, QString *error)
{
    if (isHeld())
        return true;
    // Polls at a short, even pace, so the lock never stays idle while writers queue behind it.
    const QDeadlineTimer deadline(wait);
    QString problem;
    for (;;) {
        const Attempt attempt = tryOnce(problem);
        if (attempt == Attempt::Held)
            return true;
        if (attempt == Attempt::Failed || deadline.hasExpired())
            break;
        QThread::msleep(std::min<qint64>(20, std::max<qint64>(1, deadline.remainingTime())));
    }
    if (error) {
        const QString file = quoted(DatabaseStore::databasePath(folder_));
        *error = problem.startsWith(QLatin1String("is ")) ? file + QLatin1Char(' ') + problem
                                                          : QStringLiteral("cannot lock %1: %2").arg(file, problem);
    }
    return false;
}

void DatabaseLock::release()
{
    if (fd_ < 0)
        return;
    // Removed while still locked: a waiter that opened this file finds it gone and starts again.
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
    fd_ = -1;
}
