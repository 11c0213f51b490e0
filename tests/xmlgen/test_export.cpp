#include "fakehost.h"

#include "common/testutil.h"
#include "xmlgen/languageexport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

struct ExportFixture {
    TestUtil::TempFolder folder;
    Database db;
    RecordingHost host;
    XmlWriter writer{db, host};

    explicit ExportFixture(const QStringList &names)
    {
        for (const QString &name : names) {
            db.languages += demoLanguage();
            db.languages.last().name = name;
        }
        host.folder = folder.path();
        host.exportTo = folder.file(QStringLiteral("language_def"));
    }
    QStringList exported() const { return QDir(host.exportTo).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

TEST(Export, AllLanguagesInOrderEveryTokensetRebuiltFailuresReportedTogether)
{
    const QStringList bad = {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escape"),
                             QStringLiteral("a/b"), QStringLiteral("nul") + QChar(0), QString(300, u'x')};
    ExportFixture f(QStringList{QStringLiteral("Good")} + bad + QStringList{QStringLiteral("Also good"), QStringLiteral("Good")});
    f.db.languages.last().tokensets[0].forecolor = 77;
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    EXPECT_EQ(report.files, (QStringList{f.folder.file("language_def/Good.lng"), f.folder.file("language_def/Also good.lng"),
                                         f.folder.file("language_def/Good.lng")}));
    // Two languages of one name: the file holds the later one, and the clash is reported.
    EXPECT_TRUE(TestUtil::readFile(report.files[0]).contains("forecolor=\"77\""));
    EXPECT_EQ(report.clashes, QStringList{QStringLiteral("The languages \"Good\" (index 0) and \"Good\" (index 9) are both "
                                                         "exported as \"%1\", which now holds the later one.")
                                              .arg(report.files[0])});
    EXPECT_TRUE(report.message().endsWith(report.clashes[0]));
    ASSERT_EQ(report.failures.size(), bad.size());
    for (int i = 0; i < bad.size(); ++i)
        EXPECT_TRUE(report.failures[i].contains(QStringLiteral("\"%1\" (index %2)").arg(bad[i]).arg(i + 1)));
    EXPECT_TRUE(report.message().startsWith(QStringLiteral("7 languages were not exported:\n")));
    // Nothing lands beside the export folder.
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"language_def"});
}

// Places that cannot take an exported or working file: each run fails naming it; what was there stays.
TEST(Export, FolderFileAndLinkProblems)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    f.folder.write(QStringLiteral("plain"), "x");
    QDir().mkpath(f.folder.file(QStringLiteral("dir/varlex.lng/inside")));
    const struct {
        bool working;
        QString folder;
        const char *error;
    } cases[] = {{false, f.folder.file(QStringLiteral("missing/language_def")), "its parent folder"},
                 {false, f.folder.file(QStringLiteral("plain")), "is a file"}, {false, QString(), "No export folder"},
                 {true, f.folder.file(QStringLiteral("missing")), "/varlex.lng"},
                 {true, f.folder.file(QStringLiteral("plain")), "/varlex.lng"},
                 {true, f.folder.file(QStringLiteral("dir")), "/varlex.lng"}};
    for (const auto &c : cases) {
        (c.working ? f.host.folder : f.host.exportTo) = c.folder;
        const WriteResult r = f.writer.WriteXML(0, c.working, 1);
        EXPECT_TRUE(!r.written() && r.error.contains(c.folder) && r.error.contains(QLatin1String(c.error)))
            << r.error.toStdString();
    }
    EXPECT_FALSE(f.folder.exists(QStringLiteral("missing")));
    EXPECT_TRUE(f.folder.read(QStringLiteral("plain")) == "x" && f.folder.exists(QStringLiteral("dir/varlex.lng/inside")));

    // A folder in a file's place fails alone; a symbolic link is replaced, never written through, and so
    // is a pipe, never opened (it would wait for a writer).
    f.host.exportTo = f.folder.file(QStringLiteral("language_def"));
    QDir().mkpath(f.folder.file(QStringLiteral("language_def/A.lng/inside")));
    f.folder.write(QStringLiteral("outside.lng"), "keep");
    ASSERT_TRUE(QFile::link(f.folder.file(QStringLiteral("outside.lng")), f.host.exportTo + QStringLiteral("/B.lng")));
    ASSERT_TRUE(QFile::link(f.folder.file(QStringLiteral("created.lng")), f.host.exportTo + QStringLiteral("/C.lng")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(f.host.exportTo + QStringLiteral("/D.lng")).constData(), 0600), 0);
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    ASSERT_EQ(report.failures.size(), 1);
    EXPECT_TRUE(report.failures[0].startsWith(QStringLiteral("Cannot write \"%1\": ").arg(f.folder.file("language_def/A.lng"))));
    EXPECT_TRUE(f.folder.exists(QStringLiteral("language_def/A.lng/inside")));
    EXPECT_EQ(report.files, (QStringList{f.folder.file("language_def/B.lng"), f.folder.file("language_def/C.lng"),
                                         f.folder.file("language_def/D.lng")}));
    EXPECT_EQ(std::pair(f.folder.read(QStringLiteral("outside.lng")), f.folder.exists(QStringLiteral("created.lng"))),
              std::pair(QByteArray("keep"), false));
    for (const QString &file : report.files)
        EXPECT_FALSE(QFileInfo(file).isSymbolicLink() || !TestUtil::readFile(file).startsWith("<language")) << file.toStdString();
    f.host.apply = true; // keeping the manual changes of the XML pane stops export of all languages
    f.host.answerOk = false;
    EXPECT_TRUE(LanguageExport::exportAll(f.writer).cancelled && f.host.questions.size() == 1);
}

// The working file and an exported file, both written once, then written again after an edit onto a
// file system that refuses: a full disk, then the same disk read-only. Every refused write (one file or
// all of them) names its file; the old files stay as they were, and no half-written file is left. Runs
// in a private user and mount namespace over a 64 KB tmpfs.
TEST(WriteFaults, FullAndReadOnlyDisksKeepTheOldFiles)
{
    ExportFixture f({u"Demo"_s});
    const QString folder = f.folder.path();
    if (!TestUtil::inTmpfsChild(u"WriteFaults.*"_s, folder))
        return;
    ASSERT_TRUE(f.writer.WriteXML(0, true, 1).written());
    ASSERT_TRUE(LanguageExport::exportCurrent(f.writer).written());
    const QString working = f.folder.file(u"varlex.lng"_s), exported = f.folder.file(u"language_def/Demo.lng"_s);
    const auto old = std::pair(TestUtil::readFile(working), TestUtil::readFile(exported));

    TestUtil::fillDisk(folder);
    // An edit that makes every file longer than the room left.
    f.db.languages[0].tokensets[0].tokens = QString(16000, u't');

    for (const char *fault : {"full", "read-only"}) {
        if (QByteArray(fault) == "read-only")
            ASSERT_EQ(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, folder}), 0);
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        const WriteResult local = f.writer.WriteXML(0, true, 1), out = LanguageExport::exportCurrent(f.writer);
        EXPECT_TRUE(!local.written() && local.error.contains(working)) << fault << local.error.toStdString();
        EXPECT_TRUE(!out.written() && out.error.contains(exported)) << fault << out.error.toStdString();
        const LanguageExport::Report all = LanguageExport::exportAll(f.writer); // staged, then put in place
        EXPECT_TRUE(all.files.isEmpty() && all.failures.size() == 1 && all.failures[0].contains(exported)) << fault;
        if (QByteArray(fault) == "full") // the system's reason, not "Unknown error"
            EXPECT_TRUE(local.error.contains(u"No space left on device") && out.error.contains(u"No space left on device"))
                << local.error.toStdString() << out.error.toStdString();
        EXPECT_EQ(std::pair(TestUtil::readFile(working), TestUtil::readFile(exported)), old) << fault;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), files) << fault;
        EXPECT_EQ(f.exported(), QStringList{u"Demo.lng"_s}) << fault;
    }
    QProcess::execute(u"umount"_s, {folder});
}

} // namespace
