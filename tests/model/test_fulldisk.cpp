#include "model/testrecords.h"

#include "common/testutil.h"
#include "model/databaselock.h"
#include "model/databasestore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A real full disk: the test runs itself again in a private user and mount namespace, where a 64 KB
// tmpfs is mounted over its temporary folder. Nothing of it outlives the child process. Every
// failure names the system's reason, also when a write got part of its bytes onto the disk.
TEST(FullDisk, SaveBackupAndRestoreKeepTheOldFiles)
{
    TestUtil::TempFolder folder;
    if (!TestUtil::inTmpfsChild(u"FullDisk.*"_s, folder.path()))
        return;
    Database db;
    db.languages.resize(1);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    TestUtil::fillDisk(folder.path());

    QRandomGenerator rng(5);
    for (int i = 0; i < 3; ++i)
        db.languages.append(TestRecords::randomLanguage(rng));
    db.dirty = true;
    const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    const auto expectNoSpace = [](const FileResult &r) {
        EXPECT_EQ(r.status, FileResult::Failed);
        EXPECT_TRUE(r.message.contains(u"varlex.dat"_s) && r.message.contains(u"No space left on device"_s))
            << r.message.toStdString();
    };
    expectNoSpace(DatabaseStore::SaveChanges(db, folder.path()));
    QString lockError;
    EXPECT_FALSE(DatabaseLock(folder.path()).acquire(std::chrono::milliseconds(0), &lockError));
    EXPECT_TRUE(lockError.contains(u"varlex.dat.lock"_s) && lockError.contains(u"No space left on device"_s))
        << lockError.toStdString();
    expectNoSpace(DatabaseStore::Backup(folder.path()));
    expectNoSpace(DatabaseStore::Restore(db, folder.path()));
    // Room for part of the new file only: the write stops halfway, and still says why.
    QFile filler(folder.file(u"filler"_s));
    ASSERT_TRUE(filler.resize(filler.size() - 8192));
    expectNoSpace(DatabaseStore::SaveChanges(db, folder.path()));
    EXPECT_TRUE(db.dirty && db.languages.size() == 4);
    for (const QString &name : {u"varlex.dat"_s, u"varlex.dat.old"_s})
        EXPECT_EQ(folder.read(name), QByteArray(4920, '\0')) << name.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), files); // no half-written files left
    QProcess::execute(u"umount"_s, {folder.path()});
}
