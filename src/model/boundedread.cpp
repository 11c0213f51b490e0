#include "model/boundedread.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

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
    const QFileInfo info(path);
    if (!info.exists())
        cause = QStringLiteral("cannot read: it does not exist");
    else if (!info.isFile())
        cause = QStringLiteral("not a regular file: folders, pipes and devices are not read");
    else if (info.size() > maxBytes)
        cause = QStringLiteral("longer than %1 bytes, more than it can use").arg(maxBytes);
    else
        cause.clear();
    if (!cause.isEmpty())
        return false;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        cause = QStringLiteral("cannot read: ") + f.errorString();
        return false;
    }
    // The file may have grown since it was looked at: the bound holds all the same.
    return device(f, maxBytes, bytes, cause);
}

} // namespace BoundedRead
