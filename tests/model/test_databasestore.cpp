#include "model/testrecords.h"

#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/trace.h"

#include <gtest/gtest.h>

using TestUtil::TempFolder;

namespace {

const QString kDat = QStringLiteral("varlex.dat");
const QString kOld = QStringLiteral("varlex.dat.old");
const QString kDamaged = QStringLiteral("varlex.dat.damaged");

Database sampleDatabase(int languages = 3)
{
    QRandomGenerator rng(7);
    Database db;
    for (int i = 0; i < languages; ++i)
        db.languages.append(TestRecords::randomLanguage(rng));
    return db;
}

QByteArray imageOf(const Database &db)
{
    QByteArray bytes;
    DatabaseFile::encode(db.languages, bytes);
    return bytes;
}

} // namespace

TEST(DatabaseStore, MissingFileIsCreatedEmptyAndLoadsOneEmptyLanguage)
{
    TempFolder folder;
    Database db = sampleDatabase();
    db.currentLanguage = 2;
    QStringList traced;
    Trace::setSink([&traced](const QString &, const QString &label) { traced << label; });
    const FileResult r = DatabaseStore::LoadFileData(db, folder.path());
    Trace::setSink({});
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(traced, QStringList{QStringLiteral("LoadFileData")});
    EXPECT_TRUE(folder.exists(kDat));
    EXPECT_EQ(folder.read(kDat).size(), 0);
    ASSERT_EQ(db.languages.size(), 1);
    EXPECT_EQ(db.languages[0], Language());
    EXPECT_EQ(db.currentLanguage, 0);
}

TEST(DatabaseStore, SaveAndLoadRoundTrip)
{
    TempFolder folder;
    Database db = sampleDatabase();
    db.dirty = true;
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_FALSE(db.dirty);
    EXPECT_EQ(folder.read(kDat), imageOf(db));

    // Fewer languages give a file exactly as long as the remaining records.
    db.languages.removeLast();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDat), imageOf(db));

    Database back;
    EXPECT_TRUE(DatabaseStore::LoadFileData(back, folder.path()).ok());
    EXPECT_EQ(back.languages, db.languages);
    EXPECT_FALSE(back.fileDamaged);
}

TEST(DatabaseStore, DamagedFileIsKeptByTheFirstSave)
{
    TempFolder folder;
    const QByteArray good = imageOf(sampleDatabase(2));
    const QByteArray damaged = good.left(good.size() - 1000);
    folder.write(kDat, damaged);

    Database db;
    const FileResult r = DatabaseStore::LoadFileData(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Damaged);
    EXPECT_TRUE(r.message.contains(folder.file(kDat))) << r.message.toStdString();
    EXPECT_EQ(db.languages.size(), 2);

    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDamaged), damaged);
    EXPECT_EQ(folder.read(kDat), imageOf(db));

    // Later saves write over the repaired file and keep no further copy.
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_FALSE(folder.exists(kDamaged + QStringLiteral(".2")));

    // A second damaged file does not replace the first copy.
    folder.write(kDat, QByteArray("\xff\xff"));
    DatabaseStore::LoadFileData(db, folder.path());
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDamaged), damaged);
    EXPECT_EQ(folder.read(kDamaged + QStringLiteral(".2")), QByteArray("\xff\xff"));
}

TEST(DatabaseStore, TooLongTextRefusesTheWholeSave)
{
    TempFolder folder;
    Database db = sampleDatabase();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QByteArray before = folder.read(kDat);

    db.languages[1].name = QStringLiteral("Big");
    db.languages[1].sampletext = QString(65536, QLatin1Char('s'));
    db.dirty = true;
    const Database memory = db;
    const FileResult r = DatabaseStore::SaveChanges(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    for (const char *part : {"varlex.dat", "\"Big\"", "sampletext"})
        EXPECT_TRUE(r.message.contains(QLatin1String(part))) << r.message.toStdString();
    EXPECT_EQ(folder.read(kDat), before);
    EXPECT_TRUE(db.dirty);
    EXPECT_EQ(db.languages, memory.languages);
}

TEST(DatabaseStore, ReadOnlyFolderChangesNothing)
{
    TempFolder folder;
    Database db = sampleDatabase();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    const QByteArray saved = folder.read(kDat);
    db.languages[0].name = QStringLiteral("changed");
    db.dirty = true;

    TestRecords::ReadOnlyFolder lock(folder.path());
    if (!lock.holds())
        GTEST_SKIP() << "cannot make a read-only folder here";

    FileResult r = DatabaseStore::SaveChanges(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kDat))) << r.message.toStdString();
    EXPECT_TRUE(db.dirty);

    r = DatabaseStore::Backup(folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kOld))) << r.message.toStdString();

    r = DatabaseStore::Restore(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_EQ(db.languages[0].name, QStringLiteral("changed"));
    EXPECT_TRUE(db.dirty);

    EXPECT_EQ(folder.read(kDat), saved);
    EXPECT_EQ(folder.read(kOld), saved);
}

TEST(DatabaseStore, BackupAndRestore)
{
    TempFolder folder;
    Database db = sampleDatabase();

    // Nothing to back up, nothing to restore: an error naming the file, and no change.
    FileResult r = DatabaseStore::Backup(folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kDat))) << r.message.toStdString();
    EXPECT_FALSE(folder.exists(kOld));
    r = DatabaseStore::Restore(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kOld))) << r.message.toStdString();
    EXPECT_FALSE(folder.exists(kDat));
    EXPECT_EQ(db.languages.size(), 3);

    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QByteArray first = folder.read(kDat);
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    EXPECT_EQ(folder.read(kOld), first);

    // A second backup replaces the first silently; unsaved changes are not in it.
    db.languages.removeLast();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    EXPECT_EQ(folder.read(kOld), folder.read(kDat));
    db.languages[0].name = QStringLiteral("unsaved");
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    EXPECT_EQ(folder.read(kOld), folder.read(kDat));

    folder.write(kOld, first);
    db.dirty = true;
    db.loading = true;
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDat), first);
    EXPECT_EQ(db.languages.size(), 3);
    EXPECT_FALSE(db.dirty);
    EXPECT_FALSE(db.loading);
}

TEST(DatabaseStore, RestoreOverADamagedFileKeepsIt)
{
    TempFolder folder;
    folder.write(kOld, imageOf(sampleDatabase(1)));
    folder.write(kDat, QByteArray("\x05\0\0\0junk", 8));
    Database db;
    EXPECT_EQ(DatabaseStore::LoadFileData(db, folder.path()).status, FileResult::Damaged);
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDamaged), QByteArray("\x05\0\0\0junk", 8));
    EXPECT_FALSE(db.fileDamaged);
}

TEST(DatabaseStore, ReloadDiscardsUnsavedChanges)
{
    TempFolder folder;
    Database db = sampleDatabase();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QVector<Language> saved = db.languages;
    db.languages.append(Language());
    db.languages[0].name = QStringLiteral("edited");
    db.dirty = true;
    ASSERT_TRUE(DatabaseStore::Reload(db, folder.path()).ok());
    EXPECT_EQ(db.languages, saved);
    EXPECT_FALSE(db.dirty);
}

TEST(DatabaseStore, DatabaseReplacedByAFolder)
{
    TempFolder folder;
    QDir(folder.path()).mkdir(kDat);
    Database db = sampleDatabase();
    db.dirty = true;

    FileResult r = DatabaseStore::Reload(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kDat))) << r.message.toStdString();
    EXPECT_EQ(db.languages.size(), 3); // kept, and still unsaved
    EXPECT_TRUE(db.dirty);

    r = DatabaseStore::SaveChanges(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(QFileInfo(folder.file(kDat)).isDir());
    EXPECT_TRUE(db.dirty);

    r = DatabaseStore::Backup(folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);

    Database fresh;
    r = DatabaseStore::LoadFileData(fresh, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_EQ(fresh.languages.size(), 1);
}

TEST(DatabaseStore, MissingFolder)
{
    TempFolder folder;
    const QString gone = folder.file(QStringLiteral("no/such/folder"));
    Database db = sampleDatabase();
    db.dirty = true;
    FileResult r = DatabaseStore::SaveChanges(db, gone);
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(gone)) << r.message.toStdString();
    EXPECT_TRUE(db.dirty);
    EXPECT_EQ(DatabaseStore::Backup(gone).status, FileResult::Failed);
    EXPECT_EQ(DatabaseStore::Restore(db, gone).status, FileResult::Failed);
    EXPECT_EQ(db.languages.size(), 3);
    EXPECT_FALSE(QFileInfo::exists(gone));
}
