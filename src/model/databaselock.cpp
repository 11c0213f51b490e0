#include "model/databaselock.h"

#include "model/databasefile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QThread>

#include <algorithm>

DatabaseLock::DatabaseLock(const QString &folder)
    : folder_(folder)
    , lock_(lockPath(folder))
{
    // Only a holder that no longer runs makes a lock stale: a slow save must never be taken over.
    lock_.setStaleLockTime(std::chrono::milliseconds(0));
}

QString DatabaseLock::lockPath(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(DatabaseFile::kFileName) + QLatin1String(".lock"));
}

bool DatabaseLock::acquire(std::chrono::milliseconds wait, QString *error)
{
    // Polls at a short, even pace: QLockFile's own wait doubles its pauses up to seconds, which
    // leaves the lock idle while writers queue behind it.
    const QDeadlineTimer deadline(wait);
    while (!lock_.isLocked() && !lock_.tryLock(0)) {
        if (lock_.error() != QLockFile::LockFailedError || deadline.hasExpired())
            break;
        QThread::msleep(std::min<qint64>(20, std::max<qint64>(1, deadline.remainingTime())));
    }
    if (lock_.isLocked())
        return true;
    if (!error)
        return false;
    const QString file = QDir::toNativeSeparators(QDir(folder_).filePath(QLatin1String(DatabaseFile::kFileName)));
    qint64 pid = 0;
    QString host, program;
    switch (lock_.error()) {
    case QLockFile::LockFailedError:
        if (lock_.getLockInfo(&pid, &host, &program))
            *error = QStringLiteral("\"%1\" is being changed by another program (%2, process %3); nothing was changed, try again")
                         .arg(file, program.isEmpty() ? QStringLiteral("unknown") : program)
                         .arg(pid);
        else
            *error = QStringLiteral("\"%1\" is being changed by another program; nothing was changed, try again").arg(file);
        break;
    case QLockFile::PermissionError:
        *error = QStringLiteral("cannot lock \"%1\": the folder does not let this program create %2")
                     .arg(file, QDir::toNativeSeparators(lockPath(folder_)));
        break;
    default:
        *error = QStringLiteral("cannot lock \"%1\": the lock file cannot be made").arg(file);
        break;
    }
    return false;
}

void DatabaseLock::release()
{
    lock_.unlock();
}
