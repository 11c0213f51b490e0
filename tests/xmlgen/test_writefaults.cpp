#include "fakehost.h"

#include "common/testutil.h"
#include "model/databasestore.h"
#include "xmlgen/languageexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The working file and an exported file, both written once, then written again after an edit onto a
// file system that refuses: a full disk, then the same disk read-only. Every refused write names its
// file; the old files, the database beside them and its dirty flag stay as they were, and no
// half-written file is left. Runs in a private user and mount namespace over a 64 KB tmpfs.
TEST(WriteFaults, FullAndReadOnlyDisksKeepTheOldFiles)
{
    if (!qEnvironmentVariableIsSet("VARLEX_WRITE_FAULTS_CHILD")) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"VARLEX_WRITE_FAULTS_CHILD"_s, u"1"_s);
        child.setProcessEnvironment(env);
        child.start(u"unshare"_s, {u"-r"_s, u"-m"_s, QCoreApplication::applicationFilePath(),
                                   u"--gtest_filter=WriteFaults.FullAndReadOnly*"_s});
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
    db.languages = {demoLanguage()};
    RecordingHost host;
    host.folder = folder.path();
    host.exportTo = folder.file(u"language_def"_s);
    XmlWriter writer(db, host);
    ASSERT_TRUE(DatabaseStore::SaveChanges(db, folder.path()).ok());
    ASSERT_TRUE(writer.WriteXML(0, true, 1).written());
    ASSERT_TRUE(LanguageExport::exportCurrent(writer).written());
    const QString working = folder.file(u"varlex.lng"_s), exported = folder.file(u"language_def/Demo.lng"_s);
    const QByteArray oldDat = folder.read(u"varlex.dat"_s), oldLng = TestUtil::readFile(working),
                     oldExport = TestUtil::readFile(exported);

    QFile filler(folder.file(u"filler"_s));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) == 4096) {
    }
    filler.close();
    // An edit that makes every file longer than the room left.
    db.languages[0].sampletext = QString(16000, u's');
    db.languages[0].tokensets[0].tokens = QString(16000, u't');
    db.dirty = true;

    for (const char *fault : {"full", "read-only"}) {
        if (QByteArray(fault) == "read-only")
            ASSERT_EQ(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, folder.path()}), 0);
        const QStringList files = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
        const WriteResult local = writer.WriteXML(0, true, 1);
        EXPECT_EQ(local.status, WriteResult::Status::Failed) << fault;
        EXPECT_TRUE(local.error.contains(working)) << fault << local.error.toStdString();
        const WriteResult out = LanguageExport::exportCurrent(writer);
        EXPECT_EQ(out.status, WriteResult::Status::Failed) << fault;
        EXPECT_TRUE(out.error.contains(exported)) << fault << out.error.toStdString();
        const FileResult saved = DatabaseStore::SaveChanges(db, folder.path());
        EXPECT_EQ(saved.status, FileResult::Failed) << fault;
        EXPECT_TRUE(db.dirty) << fault;

        EXPECT_EQ(folder.read(u"varlex.dat"_s), oldDat) << fault;
        EXPECT_EQ(TestUtil::readFile(working), oldLng) << fault;
        EXPECT_EQ(TestUtil::readFile(exported), oldExport) << fault;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), files) << fault;
        EXPECT_EQ(QDir(host.exportTo).entryList(QDir::Files | QDir::Hidden), QStringList{u"Demo.lng"_s}) << fault;
    }
    QProcess::execute(u"umount"_s, {folder.path()});
}

// Without a special file system: the working file's folder missing, a plain file where the program
// folder should be, and a folder where varlex.lng should be. Each run fails naming the file and
// leaves what was there.
TEST(WriteFaults, WorkingFileInPlacesThatCannotHoldIt)
{
    TestUtil::TempFolder folder;
    Database db;
    db.languages = {demoLanguage()};
    RecordingHost host;
    XmlWriter writer(db, host);
    folder.write(u"plain"_s, "x");
    QDir().mkpath(folder.file(u"dir/varlex.lng/inside"_s));
    const struct {
        QString programFolder;
        QString check; // what must still be there afterwards
    } cases[] = {
        {folder.file(u"missing"_s), QString()},
        {folder.file(u"plain"_s), folder.file(u"plain"_s)},
        {folder.file(u"dir"_s), folder.file(u"dir/varlex.lng/inside"_s)},
    };
    for (const auto &c : cases) {
        host.folder = c.programFolder;
        const WriteResult r = writer.WriteXML(0, true, 1);
        EXPECT_EQ(r.status, WriteResult::Status::Failed) << c.programFolder.toStdString();
        EXPECT_TRUE(r.error.contains(c.programFolder + u"/varlex.lng"_s)) << r.error.toStdString();
        if (!c.check.isEmpty())
            EXPECT_TRUE(QFileInfo::exists(c.check)) << c.check.toStdString();
    }
    EXPECT_FALSE(folder.exists(u"missing"_s));
    EXPECT_EQ(folder.read(u"plain"_s), "x");
}

} // namespace
