#include "fakehost.h"

#include "common/testutil.h"
#include "xmlgen/languageexport.h"

#include <QDir>
#include <gtest/gtest.h>

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

TEST(Export, AllLanguagesInOrderEveryTokensetRebuiltFailuresReportedTogether)
{
    const QStringList bad = {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../escape"),
                             QStringLiteral("a/b"), QStringLiteral("nul") + QChar(0), QString(300, u'x')};
    ExportFixture f(QStringList{QStringLiteral("Good")} + bad + QStringList{QStringLiteral("Also good")});
    (void)f.writer.WriteXML(0, true, 1);
    f.db.languages[0].tokensets[0].forecolor = 77; // the cached text of Good is stale now
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    EXPECT_EQ(report.written, 2);
    EXPECT_EQ(report.files, (QStringList{f.folder.file("language_def/Good.lng"), f.folder.file("language_def/Also good.lng")}));
    EXPECT_TRUE(TestUtil::readFile(report.files[0]).contains("forecolor=\"77\""));
    ASSERT_EQ(report.failures.size(), bad.size());
    for (int i = 0; i < bad.size(); ++i)
        EXPECT_TRUE(report.failures[i].contains(QStringLiteral("\"%1\" (index %2)").arg(bad[i]).arg(i + 1)));
    EXPECT_TRUE(report.message().startsWith(QStringLiteral("7 languages were not exported:\n")));
    // Nothing lands beside the export folder.
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"language_def", "varlex.lng"}));
}

TEST(Export, FolderAndFileProblemsAreReportedWithTheirNames)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B")});
    const QString missing = f.folder.file(QStringLiteral("missing/language_def"));
    const QString plain = f.folder.file(QStringLiteral("plain"));
    f.folder.write(QStringLiteral("plain"), "x");
    const struct {
        QString folder;
        const char *error;
    } cases[] = {{missing, "its parent folder"}, {plain, "is a file"}, {QString(), "No export folder"}};
    for (const auto &c : cases) {
        f.host.exportTo = c.folder;
        const WriteResult r = LanguageExport::exportCurrent(f.writer);
        EXPECT_TRUE(r.error.contains(c.folder) && r.error.contains(QLatin1String(c.error))) << r.error.toStdString();
    }
    EXPECT_FALSE(f.folder.exists(QStringLiteral("missing")));

    // A file that cannot be replaced (here a folder in its place) fails alone.
    f.host.exportTo = f.folder.file(QStringLiteral("language_def"));
    QDir().mkpath(f.folder.file(QStringLiteral("language_def/A.lng/inside")));
    const LanguageExport::Report report = LanguageExport::exportAll(f.writer);
    ASSERT_EQ(report.failures.size(), 1);
    EXPECT_TRUE(report.failures[0].startsWith(QStringLiteral("Cannot write \"%1\": ").arg(f.folder.file("language_def/A.lng"))));
    EXPECT_TRUE(f.folder.exists(QStringLiteral("language_def/A.lng/inside")));
    EXPECT_EQ(report.files, QStringList{f.folder.file(QStringLiteral("language_def/B.lng"))});
}

TEST(Export, CancellingManualChangesStopsExportOfAllLanguages)
{
    ExportFixture f({QStringLiteral("A"), QStringLiteral("B")});
    f.host.apply = true;
    f.host.answerOk = false;
    EXPECT_TRUE(LanguageExport::exportAll(f.writer).cancelled);
    EXPECT_EQ(f.host.questions.size(), 1);
    EXPECT_TRUE(f.exported().isEmpty());
}

} // namespace
