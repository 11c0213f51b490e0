#include "model/testrecords.h"

#include "common/testutil.h"
#include "model/databasestore.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

// A real full disk: the test runs itself again in a private user and mount namespace, where a 64 KB
// tmpfs is mounted over its temporary folder. Nothing of it outlives the child process.
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
    const FileResult r = DatabaseStore::SaveChanges(db, folder.path());
    EXPECT_TRUE(r.message.contains(folder.file(u"varlex.dat"_s)) && db.dirty) << r.message.toStdString();
    EXPECT_EQ(DatabaseStore::Backup(folder.path()).status, FileResult::Failed);
    EXPECT_EQ(DatabaseStore::Restore(db, folder.path()).status, FileResult::Failed);
    EXPECT_EQ(db.languages.size(), 4);
    for (const QString &name : {u"varlex.dat"_s, u"varlex.dat.old"_s})
        EXPECT_EQ(folder.read(name), QByteArray(4920, '\0')) << name.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), files); // no half-written files left
    QProcess::execute(u"umount"_s, {folder.path()});
}
