#include "model/atomicfile.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
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

bool write(const QString &path, const QByteArray &bytes, QString *error)
{
    return write(
        path, [&bytes](QIODevice &out, QString &problem) { return writeAll(out, bytes, problem); }, error);
}

} // namespace AtomicFile
