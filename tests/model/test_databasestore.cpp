#include "model/testrecords.h"

#include "common/testutil.h"
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/trace.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

#include <sys/stat.h>

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

// The command-line and window tests run these through their commands; here what lands on disk.
TEST(DatabaseStore, SaveLoadBackupRestoreReload)
{
    TempFolder folder;
    Database db = sampleDatabase();
    db.currentLanguage = 2;
    QStringList traced;
    Trace::setSink([&traced](const QString &, const QString &label) { traced << label; });
    EXPECT_TRUE(DatabaseStore::LoadFileData(db, folder.path()).ok()); // a missing file is created empty
    Trace::setSink({});
    EXPECT_EQ(traced, QStringList{u"LoadFileData"_s});
    EXPECT_TRUE(folder.exists(kDat) && folder.read(kDat).isEmpty());
    EXPECT_TRUE(db.languages == QVector<Language>(1) && db.currentLanguage == 0);

    db = sampleDatabase();
    db.dirty = true;
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_TRUE(folder.read(kDat) == imageOf(db) && !db.dirty);
    const QByteArray first = folder.read(kDat);
    db.languages.removeLast();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    db.languages[0].name = u"unsaved"_s;
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok()); // what was saved, not what is in memory
    EXPECT_EQ(folder.read(kOld), folder.read(kDat));
    ASSERT_TRUE(DatabaseStore::Reload(db, folder.path()).ok());
    EXPECT_EQ(db.languages, sampleDatabase(2).languages);
    folder.write(kOld, first);
    db.dirty = db.loading = true;
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_TRUE(folder.read(kDat) == first && db.languages == sampleDatabase(3).languages && !db.dirty && !db.loading);
}

TEST(DatabaseStore, DamagedFileIsKeptByTheFirstWriteOverIt)
{
    TempFolder folder;
    const QByteArray good = imageOf(sampleDatabase(2));
    const QByteArray damaged = good.left(good.size() - 1000);
    folder.write(kDat, damaged);
    folder.write(kOld, good);
    Database db;
    const FileResult r = DatabaseStore::LoadFileData(db, folder.path());
    EXPECT_TRUE(r.status == FileResult::Damaged && r.message.contains(folder.file(kDat))) << r.message.toStdString();
    // Backup never puts the damaged file in place of the last good backup.
    EXPECT_EQ(DatabaseStore::Backup(folder.path()).message, u"Cannot back up \"%1\": it is damaged (the file ends before the last of its 2 "
                              "languages). The backup \"%2\" is kept as it was; a save writes a sound database first."_s
                                  .arg(folder.file(kDat), folder.file(kOld)));
    EXPECT_EQ(folder.read(kOld), good);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    EXPECT_TRUE(folder.read(kDamaged) == damaged && !folder.exists(kDamaged + u".2"_s));
    ASSERT_TRUE(DatabaseStore::Backup(folder.path()).ok()); // now sound

    // A second damaged file does not replace the first copy; restore keeps it too.
    folder.write(kDat, "\xff\xff");
    folder.write(kOld, good);
    EXPECT_EQ(DatabaseStore::LoadFileData(db, folder.path()).status, FileResult::Damaged);
    ASSERT_TRUE(DatabaseStore::Restore(db, folder.path()).ok());
    EXPECT_EQ(folder.read(kDamaged), damaged);
    EXPECT_EQ(folder.read(kDamaged + u".2"_s), "\xff\xff");
}

// Each failure names the file, leaves the files on disk as they were, and memory and the dirty
// flag unchanged: a text too long, no database or backup, a missing folder, and a folder where the
// database should be. (A read-only disk: WriteFaults.FullAndReadOnlyDisksKeepTheOldFiles.)
TEST(DatabaseStore, FailuresChangeNothing)
{
    TempFolder folder;
    Database db = sampleDatabase();
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QByteArray onDisk = folder.read(kDat);
    db.languages[1].name = u"Big"_s;
    db.languages[1].sampletext = QString(65536, u's');
    db.dirty = true;
    FileResult r = DatabaseStore::SaveChanges(db, folder.path());
    for (const QString &part : {folder.file(kDat), u"\"Big\""_s, u"sampletext"_s})
        EXPECT_TRUE(r.message.contains(part)) << r.message.toStdString();
    EXPECT_EQ(folder.read(kDat), onDisk);
    db.languages[1].sampletext.clear();
    const Database changed = db;

    const QString missing = folder.file(u"no/such/folder"_s);
    const QString empty = folder.file(u"empty"_s);
    const QString blocked = folder.file(u"blocked"_s); // its varlex.dat is a folder
    QDir().mkpath(empty);
    QDir().mkpath(blocked + u"/varlex.dat"_s);
    for (const QString &dir : {missing, empty, blocked}) {
        SCOPED_TRACE(dir.toStdString());
        const auto expectFailed = [](const FileResult &r, const QString &part) {
            EXPECT_TRUE(r.status == FileResult::Failed && r.message.contains(part)) << r.message.toStdString();
        };
        expectFailed(DatabaseStore::Backup(dir), dir + u"/varlex.dat"_s);
        expectFailed(DatabaseStore::Restore(db, dir), dir);
        if (dir != empty)
            expectFailed(DatabaseStore::SaveChanges(db, dir), dir + u"/varlex.dat"_s);
        EXPECT_TRUE(db.languages == changed.languages && db.dirty);
    }
    EXPECT_EQ(DatabaseStore::Reload(db, blocked).status, FileResult::Failed);
    EXPECT_TRUE(db.languages == changed.languages && db.dirty);
    EXPECT_EQ(QDir(empty).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(QFileInfo(blocked + u"/varlex.dat"_s).isDir());
}

// The window asks before overwriting a file that another program wrote since it was loaded or saved.
TEST(DatabaseStore, TellsWhetherTheFileChangedOnDisk)
{
    TempFolder folder;
    Database db = sampleDatabase(2);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    const QByteArray saved = folder.read(kDat);
    QByteArray other = saved;
    other[6] = other[6] == 'x' ? 'y' : 'x';
    const QDateTime later = QFileInfo(folder.file(kDat)).lastModified().addSecs(5);
    const struct {
        const char *what;
        std::function<void()> change;
        bool changed;
    } cases[] = {
        {"nothing", [] {}, false},
        {"only its time", [&] { QFile(folder.file(kDat)).setFileTime(later, QFileDevice::FileModificationTime); }, false},
        {"same size, other bytes", [&] { folder.write(kDat, other); }, true},
        {"another size", [&] { folder.write(kDat, saved + "x"); }, true},
        {"removed", [&] { QFile::remove(folder.file(kDat)); }, true},
        {"another database saved there", [&] { Database second = sampleDatabase(1); DatabaseStore::SaveChanges(second, folder.path()); }, true},
    };
    for (const auto &c : cases) {
        for (const bool loaded : {false, true}) { // stamped by the save, then by a load
            folder.write(kDat, saved);
            if (loaded)
                ASSERT_TRUE(DatabaseStore::LoadFileData(db, folder.path()).ok());
            else
                ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
            c.change();
            EXPECT_EQ(DatabaseStore::changedOnDisk(db, folder.path()), c.changed) << c.what << loaded;
        }
    }
    // A file that could not be read counts as changed: the window asks before writing over it.
    QDir().mkpath(folder.file(u"fifo"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(u"fifo/varlex.dat"_s)).constData(), 0600), 0);
    EXPECT_EQ(DatabaseStore::LoadFileData(db, folder.file(u"fifo"_s)).message,
              u"Cannot read \"%1\": it is not a regular file"_s.arg(folder.file(u"fifo/varlex.dat"_s)));
    EXPECT_TRUE(DatabaseStore::changedOnDisk(db, folder.file(u"fifo"_s)));
}
