#include "xmlgen/outputbatch.h"

#include "xmlgen/outputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <cerrno>
#include <system_error>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// A batch is committed after this many files or bytes.
constexpr int kMaxFiles = 1024;
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

QString systemError()
{
    return QString::fromStdString(std::generic_category().message(errno));
}

bool unsyncable() // a file system that cannot sync (some special ones) has nothing to wait for
{
    return errno == EINVAL || errno == ENOTSUP;
}

// Forces one file's data to the disk; an empty string or the cause.
QString syncFile(const QString &name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadWrite))
        return f.errorString();
#if defined(Q_OS_WIN)
    const int rc = ::_commit(f.handle());
#else
    const int rc = ::fsync(f.handle());
#endif
    return rc == 0 || unsyncable() ? QString() : systemError();
}

// Forces everything written to the file system that holds folder to the disk in one go, where the
// system can; false when each file has to be synced on its own.
bool syncFileSystem([[maybe_unused]] const QString &folder)
{
#if defined(Q_OS_LINUX)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
#else
    return false;
#endif
}

// Makes the renames in folder durable.
void syncFolder([[maybe_unused]] const QString &folder)
{
#if !defined(Q_OS_WIN)
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

} // namespace

OutputBatch::OutputBatch() = default;
OutputBatch::~OutputBatch() = default;

QString OutputBatch::stage(const QString &path, const QByteArray &bytes)
{
    auto file = std::make_unique<QTemporaryFile>();
    if (QString problem = OutputFile::writeBeside(*file, path, bytes); !problem.isEmpty())
        return problem;
    staged_.push_back({std::move(file), path});
    bytes_ += bytes.size();
    return QString();
}

bool OutputBatch::full() const
{
    return staged_.size() >= size_t(kMaxFiles) || bytes_ >= kMaxBytes;
}

QStringList OutputBatch::commit()
{
    QStringList results;
    QSet<QString> folders;
    for (const Staged &s : staged_)
        folders.insert(QFileInfo(s.path).absolutePath());
    bool synced = true;
    for (const QString &folder : std::as_const(folders))
        synced = syncFileSystem(folder) && synced;
    for (Staged &s : staged_) {
        QString problem;
        if (!synced) {
            if (const QString cause = syncFile(s.file->fileName()); !cause.isEmpty())
                problem = OutputFile::cannotWrite(s.path, cause);
        }
        if (problem.isEmpty())
            problem = OutputFile::moveOver(*s.file, s.path);
        results += problem;
    }
    for (const QString &folder : std::as_const(folders))
        syncFolder(folder);
    staged_.clear();
    bytes_ = 0;
    return results;
}
