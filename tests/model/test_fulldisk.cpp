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
    if (!qEnvironmentVariableIsSet("VARLEX_FULL_DISK_CHILD")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"VARLEX_FULL_DISK_CHILD"_s, u"1"_s);
        child.setProcessEnvironment(env);
        child.start(u"unshare"_s, {u"-r"_s, u"-m"_s, QCoreApplication::applicationFilePath(),
                                   u"--gtest_filter=FullDisk.*"_s});
        child.waitForFinished(60000);
        const QByteArray out = child.readAllStandardOutput() + child.readAllStandardError();
        if (child.exitStatus() != QProcess::NormalExit || out.contains("unshare:") || out.contains("[  SKIPPED ]"))
            GTEST_SKIP() << "no private mount namespace with a tmpfs here";
        EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
        return;
    }

    TestUtil::TempFolder folder;
    if (QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=64k"_s, u"tmpfs"_s, folder.path()}) != 0)
        GTEST_SKIP();
    Database db;
    db.languages.resize(1);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    QFile filler(folder.file(u"filler"_s));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) == 4096) {
    }
    filler.close();

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
