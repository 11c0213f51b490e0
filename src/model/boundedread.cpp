#include "model/boundedread.h"

#include "model/nativename.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace BoundedRead {

bool device(QIODevice &in, qint64 maxBytes, QByteArray &bytes, QString &cause)
{
    bytes.clear();
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(piece.data(), std::min(kPiece, maxBytes + 1 - bytes.size()));
        if (n < 0) {
            cause = QStringLiteral("cannot read: ") + in.errorString();
            bytes.clear();
            return false;
        }
        if (n == 0)
            return true; // the end
        bytes.append(piece.constData(), n);
        if (bytes.size() > maxBytes) {
            cause = QStringLiteral("longer than %1 bytes, more than it can use").arg(maxBytes);
            bytes.clear();
            return false;
        }
    }
}

bool file(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &cause)
{
    bytes.clear();
    // Through the name's own bytes, so that a name that is not UTF-8 is found.
    const QByteArray native = NativeName::toBytes(path);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0)
        cause = errno == ENOENT ? QStringLiteral("cannot read: it does not exist")
                                : QStringLiteral("cannot read: ") + QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(info.st_mode))
        cause = QStringLiteral("not a regular file: folders, pipes and devices are not read");
    else if (info.st_size > maxBytes)
        cause = QStringLiteral("longer than %1 bytes, more than it can use").arg(maxBytes);
    else
        cause.clear();
    if (!cause.isEmpty())
        return false;
    // Not waiting at the open if a FIFO took the file's place meanwhile; then refused as above.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        cause = fd < 0 ? QStringLiteral("cannot read: ") + QString::fromLocal8Bit(std::strerror(errno))
                       : QStringLiteral("not a regular file: folders, pipes and devices are not read");
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    QFile f;
    if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        cause = QStringLiteral("cannot read: ") + f.errorString();
        return false;
    }
    // The file may have grown since it was looked at: the bound holds all the same.
    return device(f, maxBytes, bytes, cause);
}

} // namespace BoundedRead
