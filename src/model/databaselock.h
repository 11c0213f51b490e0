#pragma once

#include <QLockFile>
#include <QString>

#include <chrono>

// Keeps two programs from changing one varlex.dat at the same time: a lock file beside it
// (varlex.dat.lock), held around every load-change-save, so that no program saves over a change it
// never loaded. The file names the holder's process; a lock left behind by a program that ended
// without releasing it is taken over.
class DatabaseLock {
public:
    static constexpr std::chrono::milliseconds kDefaultWait{10000};

    explicit DatabaseLock(const QString &folder);

    static QString lockPath(const QString &folder);

    // Waits at most `wait` for the lock. On failure error names the database and the reason (the
    // process holding it, or why the lock file cannot be made).
    bool acquire(std::chrono::milliseconds wait = kDefaultWait, QString *error = nullptr);
    void release();
    bool isHeld() const { return lock_.isLocked(); }

private:
    QString folder_;
    QLockFile lock_;
};
