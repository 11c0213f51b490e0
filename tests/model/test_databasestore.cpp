#include "model/testrecords.h"

#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/trace.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using TestUtil::TempFolder;

namespace {

const QString kDat = u"varlex.dat"_s;
const QString kOld = u"varlex.dat.old"_s;
const QString kDamaged = u"varlex.dat.damaged"_s;

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
    EXPECT_TRUE(DatabaseStore::LoadFileData(db, folder.path()).ok());
    Trace::setSink({});
    EXPECT_EQ(traced, QStringList{u"LoadFileData"_s});
    EXPECT_TRUE(folder.exists(kDat) && folder.read(kDat).isEmpty());
    EXPECT_EQ(db.languages, QVector<Language>(1));
    EXPECT_EQ(db.currentLanguage, 0);
}

TEST(DatabaseStore, SaveLoadBackupRestoreReload)
{
    TempFolder folder;
    Database db = sampleDatabase();
    db.dirty = true;
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_FALSE(db.dirty);
    EXPECT_EQ(folder.read(kDat), imageOf(db));
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    const QByteArray first = folder.read(kDat);
    EXPECT_EQ(folder.read(kOld), first);

    // Fewer languages give a file exactly as long as the remaining records; a second backup replaces
    // the first, and holds what was saved, not what is only in memory.
    db.languages.removeLast();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDat), imageOf(db));
    db.languages[0].name = u"unsaved"_s;
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok());
    EXPECT_EQ(folder.read(kOld), folder.read(kDat));

    db.dirty = true;
    ASSERT_TRUE(DatabaseStore::Reload(db, folder.path()).ok());
    EXPECT_TRUE(db.languages == sampleDatabase(2).languages);
    EXPECT_FALSE(db.dirty);

    folder.write(kOld, first);
    db.dirty = db.loading = true;
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDat), first);
    EXPECT_TRUE(db.languages == sampleDatabase(3).languages);
    EXPECT_FALSE(db.dirty || db.loading);
}

TEST(DatabaseStore, DamagedFileIsKeptByTheFirstWriteOverIt)
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
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_FALSE(folder.exists(kDamaged + u".2"_s));

    // A second damaged file does not replace the first copy; restore keeps it too.
    folder.write(kDat, "\xff\xff");
    folder.write(kOld, good);
    EXPECT_EQ(DatabaseStore::LoadFileData(db, folder.path()).status, FileResult::Damaged);
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDamaged), damaged);
    EXPECT_EQ(folder.read(kDamaged + u".2"_s), QByteArray("\xff\xff"));
    EXPECT_FALSE(db.fileDamaged);
}

TEST(DatabaseStore, TooLongTextRefusesTheWholeSave)
{
    TempFolder folder;
    Database db = sampleDatabase();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QByteArray before = folder.read(kDat);
    db.languages[1].name = u"Big"_s;
    db.languages[1].sampletext = QString(65536, u's');
    db.dirty = true;
    const Database memory = db;
    const FileResult r = DatabaseStore::SaveChanges(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    for (const QString &part : {folder.file(kDat), u"\"Big\""_s, u"sampletext"_s})
        EXPECT_TRUE(r.message.contains(part)) << r.message.toStdString();
    EXPECT_EQ(folder.read(kDat), before);
    EXPECT_TRUE(db.dirty && db.languages == memory.languages);
}

// Save, backup and restore against folders that cannot take the file: an error naming the file,
// the old files intact, memory and the dirty flag unchanged.
TEST(DatabaseStore, FailuresChangeNothing)
{
    TempFolder folder;
    const Database saved = sampleDatabase();
    const QString missing = folder.file(u"no/such/folder"_s);
    const QString blocked = folder.file(u"blocked"_s); // its varlex.dat is a folder
    QDir().mkpath(blocked + u"/varlex.dat"_s);
    const QString readOnly = folder.file(u"readonly"_s);
    QDir().mkpath(readOnly);
    Database db = saved;
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, readOnly).ok());
    ASSERT_TRUE(DatabaseStore::Backup(readOnly).ok());
    const QByteArray onDisk = TestUtil::readFile(readOnly + u"/varlex.dat"_s);
    TestRecords::ReadOnlyFolder lock(readOnly);

    for (const QString &dir : {missing, blocked, readOnly}) {
        if (dir == readOnly && !lock.holds())
            continue;
        SCOPED_TRACE(dir.toStdString());
        db = saved;
        db.languages[0].name = u"changed"_s;
        db.dirty = true;
        FileResult r = DatabaseStore::SaveChanges(db, dir);
        EXPECT_EQ(r.status, FileResult::Failed);
        EXPECT_TRUE(r.message.contains(dir + u"/varlex.dat"_s)) << r.message.toStdString();
        r = DatabaseStore::Backup(dir);
        EXPECT_EQ(r.status, FileResult::Failed);
        EXPECT_TRUE(r.message.contains(dir + u"/varlex.dat"_s)) << r.message.toStdString();
        EXPECT_EQ(DatabaseStore::Restore(db, dir).status, FileResult::Failed);
        EXPECT_EQ(db.languages[0].name, u"changed"_s);
        EXPECT_TRUE(db.dirty);
    }
    EXPECT_EQ(DatabaseStore::Reload(db, blocked).status, FileResult::Failed);
    EXPECT_TRUE(db.dirty);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QFileInfo(blocked + u"/varlex.dat"_s).isDir());
    EXPECT_EQ(TestUtil::readFile(readOnly + u"/varlex.dat"_s), onDisk);
    EXPECT_EQ(TestUtil::readFile(readOnly + u"/varlex.dat.old"_s), onDisk);
}

TEST(DatabaseStore, NothingToBackUpOrRestore)
{
    TempFolder folder;
    Database db = sampleDatabase();
    FileResult r = DatabaseStore::Backup(folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kDat))) << r.message.toStdString();
    r = DatabaseStore::Restore(db, folder.path());
    EXPECT_EQ(r.status, FileResult::Failed);
    EXPECT_TRUE(r.message.contains(folder.file(kOld))) << r.message.toStdString();
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(db.languages.size(), 3);
}
