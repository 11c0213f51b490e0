#pragma once

#include <QString>

#include <chrono>

// Keeps two programs from changing one varlex.dat at the same time: a lock file beside the real
// database file (varlex.dat.lock, beside the target when varlex.dat is a symbolic link), held around
// every load-change-save, so that no program saves over a change it never loaded.
//
// The holder keeps an operating-system lock (flock) on the lock file, so its death releases the lock
// whatever the file holds: an empty lock file, one naming a process that has ended or whose number a
// new process now carries, is simply taken over. The file names the holder (process, program, host)
// for the messages. Where the file system keeps no such locks, a lock file naming a local process
// that no longer runs, or an empty one older than kEmptyStale, is stale. A lock file of another
// host, which the operating-system lock may not cover, is stale only kForeignStale after it was made.
class DatabaseLock {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{10000};
    static constexpr std::chrono::seconds kEmptyStale{5};
    static constexpr std::chrono::seconds kForeignStale{3600};

    explicit DatabaseLock(const QString &folder);
    ~DatabaseLock();
    DatabaseLock(const DatabaseLock &) = delete;
    DatabaseLock &operator=(const DatabaseLock &) = delete;

    // The lock file of the database in folder: beside the file varlex.dat resolves to.
    static QString lockPath(const QString &folder);

    // Waits at most `wait` for the lock. On failure error names the database, the lock file, the
    // reason (the holder, or the system's reason the lock file cannot be made) and how to remove it.
    bool acquire(std::chrono::milliseconds wait = kDefaultWait, QString *error = nullptr);
    void release();
    bool isHeld() const { return fd_ >= 0; }

private:
    enum class Attempt { Held, Busy, Failed };
    Attempt tryOnce(QString &problem);

    QString folder_;
    QString path_;
    int fd_ = -1;
};
