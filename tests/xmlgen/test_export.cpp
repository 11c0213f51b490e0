#include "fakehost.h"

#include "common/testutil.h"
#include "xmlgen/languageexport.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using TestUtil::TempFolder;

Language named(const QString &name)
{
    Language lang = demoLanguage();
    lang.name = name;
    return lang;
}

struct ExportFixture {
    TempFolder folder;
    Database db;
    RecordingHost host;
    XmlWriter writer{db, host};

    explicit ExportFixture(const QStringList &names)
    {
        for (const QString &name : names)
            db.languages += named(name);
        db.currentTokenset = 0;
        host.folder = folder.path();
        host.exportTo = folder.file(QStringLiteral("language_def"));
    }
    QStringList exported() const
    {
        return QDir(host.exportTo).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

TEST(Export, CurrentLanguageCreatesTheFolderAndWritesNamePlusLng)
{
    ExportFixture f({QStringLiteral("Other"), QStringLiteral("Basic Plus")});
    f.db.currentLanguage = 1;
    const WriteResult r = LanguageExport::exportCurrent(f.writer);
    ASSERT_TRUE(r.written()) << r.error.toStdString();
    EXPECT_EQ(f.exported(), QStringList{QStringLiteral("Basic Plus.lng")});
    EXPECT_EQ(TestUtil::readFile(r.file), XmlWriter::fileBytes(f.writer.generate(1, 1, false, false)));
    EXPECT_FALSE(f.folder.exists(QStringLiteral("varlex.lng")));
}

TEST(Export, AllLanguagesAreWrittenInOrderWithEveryTokensetRebuilt)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    f.writer.WriteXML(0, true, 1).written();
    f.db.languages[0].tokensets[0].forecolor = 77; // the cache of A is stale now
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    EXPECT_TRUE(report.ok());
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(f.exported(), (QStringList{"A.lng", "B.lng", "C.lng"}));
    EXPECT_TRUE(TestUtil::readFile(f.folder.file(QStringLiteral("language_def/A.lng"))).contains("forecolor=\"77\""));
    EXPECT_EQ(f.writer.cacheLanguage(), 2);
}

TEST(Export, NamesThatCannotBeFileNamesAreRefusedAndTheRestIsWritten)
{
    const QStringList bad = {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escape"),
                             QStringLiteral("a/b"), QStringLiteral("nul") + QChar(0) + QStringLiteral("x"),
                             QString(300, u'x')};
    ExportFixture f(QStringList{QStringLiteral("Good")} + bad + QStringList{QStringLiteral("Also good")});
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    EXPECT_EQ(report.written, 2);
    ASSERT_EQ(report.failures.size(), bad.size());
    for (int i = 0; i < bad.size(); ++i) {
        EXPECT_TRUE(report.failures[i].contains(QStringLiteral("\"%1\" (index %2)").arg(bad[i]).arg(i + 1)))
            << report.failures[i].toStdString();
    }
    EXPECT_TRUE(report.message().startsWith(QStringLiteral("7 languages were not exported:\n")));
    EXPECT_EQ(f.exported(), (QStringList{"Also good.lng", "Good.lng"}));
    // Nothing lands beside the export folder or in the program folder.
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("language_def")});
}

TEST(Export, FolderProblemsNameTheFolder)
{
    ExportFixture f({QStringLiteral("A")});
    f.host.exportTo = f.folder.file(QStringLiteral("missing/language_def"));
    WriteResult r = LanguageExport::exportCurrent(f.writer);
    EXPECT_EQ(r.status, WriteResult::Status::Failed);
    EXPECT_TRUE(r.error.contains(f.host.exportTo) && r.error.contains(QStringLiteral("parent folder")))
        << r.error.toStdString();
    EXPECT_FALSE(f.folder.exists(QStringLiteral("missing")));

    f.folder.write(QStringLiteral("plain"), "x");
    f.host.exportTo = f.folder.file(QStringLiteral("plain"));
    r = LanguageExport::exportCurrent(f.writer);
    EXPECT_TRUE(r.error.contains(QStringLiteral("is a file"))) << r.error.toStdString();

    f.host.exportTo.clear();
    EXPECT_EQ(LanguageExport::exportCurrent(f.writer).status, WriteResult::Status::Failed);
}

TEST(Export, AWriteProtectedFileIsReportedAndKept)
{
    ExportFixture f({QStringLiteral("A")});
    QDir().mkdir(f.host.exportTo);
    const QString file = f.folder.file(QStringLiteral("language_def/A.lng"));
    f.folder.write(QStringLiteral("language_def/A.lng"), "old");
    QFile::setPermissions(f.host.exportTo, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(f.folder.file(QStringLiteral("language_def/probe")));
    if (probe.open(QIODevice::WriteOnly)) { // running as root: permissions do not bind
        QFile::setPermissions(f.host.exportTo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "file permissions are not enforced here";
    }
    const WriteResult r = LanguageExport::exportCurrent(f.writer);
    QFile::setPermissions(f.host.exportTo, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(r.status, WriteResult::Status::Failed);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Cannot write \"%1\": ").arg(file))) << r.error.toStdString();
    EXPECT_EQ(TestUtil::readFile(file), QByteArray("old"));
}

TEST(Export, AFileThatCannotBeReplacedIsReported)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B")});
    QDir().mkpath(f.folder.file(QStringLiteral("language_def/A.lng/inside")));
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    ASSERT_EQ(report.failures.size(), 1);
    EXPECT_TRUE(report.failures[0].startsWith(
        QStringLiteral("Cannot write \"%1\": ").arg(f.folder.file(QStringLiteral("language_def/A.lng")))))
        << report.failures[0].toStdString();
    EXPECT_TRUE(QFileInfo(f.folder.file(QStringLiteral("language_def/A.lng/inside"))).isDir());
    EXPECT_TRUE(f.folder.exists(QStringLiteral("language_def/B.lng")));
}

TEST(Export, CancellingManualChangesStopsExportOfAllLanguages)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B")});
    f.host.apply = true;
    f.host.answerOk = false;
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(f.host.questions.size(), 1);
    EXPECT_TRUE(f.exported().isEmpty());
}

} // namespace
