#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <cstddef>

// What a program knew of a file when it read or wrote it: whether it was there, its size, its
// modification time and a cheap hash of its bytes. Two stamps of one file tell whether someone else
// changed it in between.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    size_t hash = 0;
    // When the stamp was taken. A file written in the same clock tick as the stamp keeps its time,
    // so a time that close to it proves nothing and the bytes decide.
    QDateTime taken = QDateTime::currentDateTimeUtc();

    // The file as it is now; hashing reads it whole (in blocks). A file that cannot be read hashes
    // to 0.
    static FileStamp of(const QString &path, bool withHash = true);

    // True when the file now differs from this stamp: it appeared, went, or has another size; or
    // its bytes differ (read only when the time differs or is too close to when the stamp was
    // taken to tell; a file only touched has not changed).
    bool changedOnDisk(const QString &path) const;
};

// Hashes bytes that arrive in pieces of any size; the result depends on the bytes alone.
class StampHasher {
public:
    void add(QByteArrayView bytes);
    size_t result();

private:
    void hashBlock(const char *data, qsizetype size);

    static constexpr qsizetype kBlock = 64 * 1024;
    char block_[kBlock];
    qsizetype filled_ = 0;
    size_t hash_ = 0;
};
