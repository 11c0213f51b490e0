#include "common/testutil.h"
#include "model/databasestore.h"

#include <gtest/gtest.h>

using TestUtil::runCli;

TEST(CliImport, AppendsWhatLoadsAndReportsEachFailure)
{
    TestUtil::TempFolder folder;
    const QString dir = folder.path();
    folder.write(QStringLiteral("sample.txt"), "int main() {}");
    folder.write(QStringLiteral("a.lng"), "<language name=\"Alpha\"><tokenset name=\"K\" id=\"keywords\"/></language>");
    folder.write(QStringLiteral("bad.lng"), "<language name=\"Bad\">\r\n<tokenset name=\"K\" inheritfrom=\"Q\"/></language>");
    folder.write(QStringLiteral("b.lng"), "<language name=\"Beta\"><tokenset name=\"K\"/></language>");
    auto file = [&](const char *name) { return folder.file(QString::fromLatin1(name)); };

    const TestUtil::CliResult r =
        runCli({"--folder", dir, "import", file("a.lng"), file("bad.lng"), file("missing.lng"), file("b.lng")});
    EXPECT_EQ(r.exitCode, 3);
    const QStringList errors = QString::fromUtf8(r.err).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("bad.lng, line 2, column ")) && errors[0].contains(u"\"Q\""));
    EXPECT_TRUE(errors[1].contains(QStringLiteral("missing.lng: cannot read"))) << errors[1].toStdString();
    // No option, a bad option, help: nothing changes. --no-auto-include leaves the tokensets out.
    const std::pair<QStringList, int> calls[] = {{{"import"}, 2},
                                                 {{"import", "--frobnicate", file("a.lng")}, 2},
                                                 {{"import", "--help"}, 0},
                                                 {{"import", file("b.lng"), "--no-auto-include"}, 0}};
    for (const auto &[args, exit] : calls)
        EXPECT_EQ(runCli(QStringList{"--folder", dir} + args).exitCode, exit) << args.join(u' ').toStdString();

    Database db;
    ASSERT_TRUE(DatabaseStore::LoadFileData(db, dir).ok());
    ASSERT_EQ(db.languages.size(), 4); // the empty language of a new database, then those that loaded
    EXPECT_EQ(std::tuple(db.languages[1].name, db.languages[1].sampletext, db.languages[1].tokensets[0].included),
              std::tuple(QString("Alpha"), QString("int main() {}"), 1));
    EXPECT_EQ(std::pair(db.languages[2].name, db.languages[2].tokensets[0].included), std::pair(QString("Beta"), 1));
    EXPECT_EQ(std::pair(db.languages[3].name, db.languages[3].tokensets[0].included), std::pair(QString("Beta"), 0));

    // A folder that does not exist is refused without creating anything.
    EXPECT_EQ(runCli({"--folder", folder.file(QStringLiteral("gone")), "import", file("a.lng")}).exitCode, 3);
    EXPECT_FALSE(folder.exists(QStringLiteral("gone")));
}
