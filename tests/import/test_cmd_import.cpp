#include "common/testutil.h"
#include "model/databasestore.h"

#include <gtest/gtest.h>

using TestUtil::runCli;

namespace {

Database loadFolder(const TestUtil::TempFolder &folder)
{
    Database db;
    EXPECT_TRUE(DatabaseStore::LoadFileData(db, folder.path()).ok());
    return db;
}

} // namespace

TEST(CliImport, AppendsWhatLoadsAndReportsEachFailure)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("sample.txt"), "int main() {}");
    folder.write(QStringLiteral("a.lng"), "<language name=\"Alpha\"><tokenset name=\"K\" id=\"keywords\"/></language>");
    folder.write(QStringLiteral("bad.lng"), "<language name=\"Bad\">\r\n<tokenset name=\"K\" inheritfrom=\"Q\"/></language>");
    folder.write(QStringLiteral("b.lng"), "<language name=\"Beta\"/>");

    const TestUtil::CliResult r = runCli({QStringLiteral("--folder"), folder.path(), QStringLiteral("import"),
                                          folder.file(QStringLiteral("a.lng")), folder.file(QStringLiteral("bad.lng")),
                                          folder.file(QStringLiteral("missing.lng")), folder.file(QStringLiteral("b.lng"))});
    EXPECT_EQ(r.exitCode, 3);
    const QStringList errors = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("bad.lng, line 2, column ")) && errors[0].contains(QStringLiteral("\"Q\"")))
        << errors[0].toStdString();
    EXPECT_TRUE(errors[1].contains(QStringLiteral("missing.lng: file not found"))) << errors[1].toStdString();

    const Database db = loadFolder(folder);
    ASSERT_EQ(db.languages.size(), 3); // the empty language of a new database, then the two that loaded
    EXPECT_EQ(db.languages[1].name, "Alpha");
    EXPECT_EQ(db.languages[1].sampletext, "int main() {}");
    EXPECT_EQ(db.languages[1].tokensets[0].included, 1);
    EXPECT_EQ(db.languages[2].name, "Beta");
}

TEST(CliImport, OptionsAndUsage)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("a.lng"), "<language name=\"Alpha\"><tokenset name=\"K\"/></language>");
    const QString lng = folder.file(QStringLiteral("a.lng"));
    const QString dir = folder.path();

    EXPECT_EQ(runCli({"--folder", dir, "import", lng, "--no-auto-include"}).exitCode, 0);
    EXPECT_EQ(loadFolder(folder).languages.last().tokensets[0].included, 0);

    struct Case {
        QStringList args;
        int exit;
    } cases[] = {
        {{"import"}, 2},
        {{"import", "--frobnicate", lng}, 2},
        {{"import", "--help"}, 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(runCli(QStringList{"--folder", dir} + c.args).exitCode, c.exit) << c.args.join(u' ').toStdString();
    EXPECT_EQ(loadFolder(folder).languages.size(), 2); // none of these changed the database

    // A folder that does not exist is refused without creating anything.
    const QString gone = folder.file(QStringLiteral("gone"));
    EXPECT_EQ(runCli({"--folder", gone, "import", lng}).exitCode, 3);
    EXPECT_FALSE(folder.exists(QStringLiteral("gone")));
}
