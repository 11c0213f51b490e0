#include "common/testutil.h"
#include "model/databaselock.h"
#include "model/databasestore.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSysInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

void backdate(const QString &path, int seconds)
{
    const time_t when = ::time(nullptr) - seconds;
    const utimbuf times{when, when};
    ::utime(QFile::encodeName(path).constData(), &times);
}

} // namespace

// What a killed writer, another host or a careless user leaves where the lock goes: taken over when
// it names no live holder, named with the way out when it does not.
TEST(DatabaseLock, LeftoversAreTakenOverOrNamedWithTheWayOut)
{
    TestUtil::TempFolder folder;
    const QString lockFile = DatabaseLock::lockPath(folder.path());
    EXPECT_EQ(lockFile, QDir(folder.path()).canonicalPath() + u"/varlex.dat.lock"_s);

    // Empty (killed between making and naming it), garbage, a process that ended.
    for (const QByteArray &leftover : {QByteArray(), QByteArray("\x01\xff garbage"), QByteArray("999999999\nvarlex-cli\n")
                                                                                       + QSysInfo::machineHostName().toUtf8()}) {
        folder.write(u"varlex.dat.lock"_s, leftover);
        DatabaseLock lock(folder.path());
        EXPECT_TRUE(lock.acquire(0ms)) << leftover.toStdString();
        lock.release();
        EXPECT_FALSE(QFileInfo::exists(lockFile)); // released locks leave no file behind
    }

    // Another host: its programs may hold the database without this host seeing their locks, so
    // it counts as abandoned only after an hour, and the message says so.
    folder.write(u"varlex.dat.lock"_s, "77\nvarlex-cli\nfar-away-host\n");
    DatabaseLock lock(folder.path());
    QString error;
    EXPECT_FALSE(lock.acquire(50ms, &error));
    for (const QString &part : {u"far-away-host"_s, u"60 minutes"_s, u"remove the lock file"_s, lockFile})
        EXPECT_TRUE(error.contains(part)) << error.toStdString();
    backdate(lockFile, 2 * 3600);
    EXPECT_TRUE(lock.acquire(0ms));
    lock.release();

    // A folder of that name: an empty one is removed, a full one is refused at once, named.
    QDir().mkpath(lockFile);
    EXPECT_TRUE(lock.acquire(0ms));
    lock.release();
    folder.write(u"varlex.dat.lock/keep"_s, "x");
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(lock.acquire(10s, &error));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(error.contains(u"is a folder, not a lock file"_s) && error.contains(lockFile)) << error.toStdString();
}

// The operating system releases a lock when its holder dies, whatever the file says; a stopped
// holder keeps it, and the message names its process and the lock file.
TEST(DatabaseLock, AKilledHolderReleasesAStoppedOneIsNamed)
{
    TestUtil::TempFolder folder;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        DatabaseLock held(folder.path());
        const char ok = held.acquire(1s) ? 'y' : 'n';
        [[maybe_unused]] const auto n = ::write(ready[1], &ok, 1);
        ::raise(SIGSTOP);
        ::pause();
        ::_exit(0);
    }
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    DatabaseLock lock(folder.path());
    QString error;
    EXPECT_FALSE(lock.acquire(100ms, &error));
    EXPECT_TRUE(error.contains(u"process %1"_s.arg(child)) && error.contains(DatabaseLock::lockPath(folder.path())))
        << error.toStdString();
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_TRUE(lock.acquire(0ms)); // the dead holder's file is still there, naming it
    ::close(ready[0]);
    ::close(ready[1]);
}

// Every path to one database, through linked files or folders, finds the same lock beside the real
// file; a save through a link writes the real file and keeps the link.
TEST(DatabaseLock, LinkedPathsShareTheLockOfTheRealFile)
{
    TestUtil::TempFolder folder;
    const QString a = folder.file(u"SA"_s), b = folder.file(u"SB"_s), c = folder.file(u"SC"_s);
    QDir().mkpath(a);
    QDir().mkpath(b);
    QFile::link(a, c); // a linked folder
    ASSERT_TRUE(QFile::link(u"../SA/varlex.dat"_s, b + u"/varlex.dat"_s)); // dangling at first
    const QString real = QDir(a).canonicalPath() + u"/varlex.dat.lock"_s;
    for (const QString &path : {a, b, c})
        EXPECT_EQ(DatabaseLock::lockPath(path), real) << path.toStdString();

    DatabaseLock viaA(a), viaB(b);
    ASSERT_TRUE(viaA.acquire(0ms));
    EXPECT_FALSE(viaB.acquire(30ms));
    viaA.release();
    ASSERT_TRUE(viaB.acquire(0ms));
    Database db;
    db.languages.resize(2);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, b).ok());
    EXPECT_TRUE(QFileInfo(b + u"/varlex.dat"_s).isSymLink());
    Database back;
    ASSERT_TRUE(DatabaseStore::LoadFileData(back, a).ok());
    EXPECT_EQ(back.languages.size(), 2);
}
