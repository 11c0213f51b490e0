#include "model/filestamp.h"

#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>

#include <algorithm>
#include <cstring>
#include <memory>

void StampHasher::hashBlock(const char *data, qsizetype size)
{
    hash_ = qHashBits(data, size_t(size), hash_ ^ size_t(size));
}

void StampHasher::add(QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    while (n > 0) {
        if (filled_ == 0 && n >= kBlock) {
            hashBlock(p, kBlock); // whole blocks straight from the caller's buffer
            p += kBlock;
            n -= kBlock;
            continue;
        }
        const qsizetype take = std::min(n, kBlock - filled_);
        std::memcpy(block_ + filled_, p, size_t(take));
        filled_ += take;
        p += take;
        n -= take;
        if (filled_ == kBlock) {
            hashBlock(block_, kBlock);
            filled_ = 0;
        }
    }
}

size_t StampHasher::result()
{
    if (filled_ > 0) {
        hashBlock(block_, filled_);
        filled_ = 0;
    }
    return hash_;
}

FileStamp FileStamp::of(const QString &path, bool withHash)
{
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified();
    if (!withHash || !info.isFile())
        return stamp;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return stamp;
    auto hasher = std::make_unique<StampHasher>();
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (qint64 n; (n = f.read(buffer.data(), buffer.size())) > 0;)
        hasher->add(QByteArrayView(buffer.constData(), n));
    stamp.hash = hasher->result();
    return stamp;
}

bool FileStamp::changedOnDisk(const QString &path) const
{
    const FileStamp now = of(path, false);
    if (now.exists != exists || now.size != size)
        return true;
    if (!exists || (now.modified == modified && modified.msecsTo(taken) > 2000))
        return false;
    return of(path, true).hash != hash;
}
