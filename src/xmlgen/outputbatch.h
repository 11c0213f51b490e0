#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTemporaryFile;

// Many exported files made durable together. Each file is written whole to a temporary file beside
// its place; commit() forces them all to the disk at once, renames each over its place (a symbolic
// link there is replaced, never written through) and syncs the folders. So a reader never sees a
// partly written file, a crash leaves every file either old or new, and many files cost one wait
// for the disk rather than one each.
class OutputBatch {
public:
    OutputBatch();
    ~OutputBatch(); // what was staged and not committed is removed
    OutputBatch(const OutputBatch &) = delete;
    OutputBatch &operator=(const OutputBatch &) = delete;

    // Writes the bytes beside path. Returns an empty string, or one line naming the file and the cause.
    QString stage(const QString &path, const QByteArray &bytes);
    // Enough is staged that it should be committed before more is: a crash leaves at most this many
    // temporary files behind.
    bool full() const;
    int size() const { return int(staged_.size()); }
    // Puts every staged file in its place, in the order staged (a later file of one path wins). Returns
    // one entry per staged file, in order: empty when it is in place, else the line naming the cause.
    QStringList commit();

private:
    struct Staged {
        std::unique_ptr<QTemporaryFile> file;
        QString path;
    };
    std::vector<Staged> staged_;
    qint64 bytes_ = 0;
};
