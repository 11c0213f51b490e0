#include "model/atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <filesystem>
#include <system_error>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Some file systems report a full disk only when the data is forced out; QSaveFile::commit()
// ignores that, so the data is forced out here first.
bool syncToDisk(QSaveFile &f, QString &error)
{
    const int fd = f.handle();
    if (fd < 0)
        return true;
#if defined(Q_OS_WIN)
    const int rc = ::_commit(fd);
#else
    const int rc = ::fsync(fd);
#endif
    if (rc == 0 || errno == EINVAL || errno == ENOTSUP)
        return true; // a file that cannot be synced (a pipe, some special file systems)
    error = QString::fromStdString(std::generic_category().message(errno));
    return false;
}

} // namespace

namespace AtomicFile {

bool writeAll(QIODevice &device, QByteArrayView bytes, QString &error)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            error = device.errorString();
            return false;
        }
        done += qsizetype(n);
    }
    return true;
}

bool write(const QString &path, const Producer &produce, QString *error, const Check &beforeCommit)
{
    auto fail = [error](const QString &cause) {
        if (error)
            *error = cause;
        return false;
    };
    if (QFileInfo(path).isDir())
        return fail(QStringLiteral("a folder of that name is in the way"));
    // Unbuffered, so that every write reports its own failure.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(f.errorString());
    QString cause;
    if (!produce(f, cause) || !syncToDisk(f, cause) || (beforeCommit && !beforeCommit(cause))) {
        f.cancelWriting();
        return fail(cause);
    }
    if (!f.commit())
        return fail(f.errorString());
    return true;
}

bool replace(const QString &path, const Producer &produce, QString *error, const Check &beforeCommit)
{
    if (!QFileInfo(path).isSymLink())
        return write(path, produce, error, beforeCommit);
    // The new file is made complete under a fresh name beside the link, then renamed over it.
    QTemporaryFile staged(path + QStringLiteral(".XXXXXX"));
    if (!staged.open()) {
        if (error)
            *error = staged.errorString();
        return false;
    }
    staged.close();
    if (!write(staged.fileName(), produce, error, beforeCommit))
        return false;
    QFile::setPermissions(staged.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    std::error_code failed;
    std::filesystem::rename(std::filesystem::path(staged.fileName().toStdU16String()),
                            std::filesystem::path(path.toStdU16String()), failed);
    if (failed) {
        if (error)
            *error = QString::fromLocal8Bit(failed.message());
        return false;
    }
    staged.setAutoRemove(false);
    return true;
}

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    return write(
        path, [&bytes](QIODevice &out, QString &problem) { return writeAll(out, bytes, problem); }, error);
}

} // namespace AtomicFile
