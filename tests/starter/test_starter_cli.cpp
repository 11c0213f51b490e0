#include "common/testutil.h"
#include "model/databasestore.h"

#include <QDir>

#include <gtest/gtest.h>

// varlex-cli sample and delete, the two commands the starter database is finished with.

namespace {

using TestUtil::runCli;

QByteArray starterBytes()
{
    return TestUtil::readFile(QDir(TestUtil::binPath(QString())).filePath(QStringLiteral("../starter/varlex.dat")));
}

QStringList namesIn(const TestUtil::TempFolder &folder)
{
    Database db;
    DatabaseStore::LoadFileData(db, folder.path());
    QStringList names;
    for (const Language &l : db.languages)
        names << l.name;
    return names;
}

QStringList withFolder(const TestUtil::TempFolder &folder, QStringList args)
{
    args.prepend(folder.path());
    args.prepend(QStringLiteral("--folder"));
    return args;
}

TEST(StarterCli, SampleTextIsPrintedAndReplacedAsUnicode)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"), starterBytes());

    const auto shown = runCli(withFolder(folder, {"sample", "--index", "2"}));
    EXPECT_EQ(shown.exitCode, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.startsWith("#!/usr/bin/env python3\r\n"));

    // UTF-8 from a file; the database keeps it in its ANSI code page.
    folder.write(QStringLiteral("new.txt"), "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac 5\r\n");
    const auto set = runCli(withFolder(folder, {"sample", "--index", "2", "--set", folder.file("new.txt")}));
    EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(runCli(withFolder(folder, {"sample", "--index", "2"})).out, "Gr\xc3\xbc\xc3\x9f" "e \xe2\x82\xac 5\r\n");
    EXPECT_TRUE(folder.read(QStringLiteral("varlex.dat")).contains("Gr\xfc\xdf" "e \x80 5\r\n"));

    // Standard input; bytes that are not UTF-8 are read as ANSI text.
    const auto piped = runCli(withFolder(folder, {"sample", "--index", "0", "--set", "-"}), "caf\xe9");
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(runCli(withFolder(folder, {"sample", "--index", "0"})).out, "caf\xc3\xa9");
    EXPECT_EQ(namesIn(folder).size(), 9);
}

TEST(StarterCli, DeleteRemovesOneLanguageButNeverTheLast)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"), starterBytes());
    const auto removed = runCli(withFolder(folder, {"delete", "--index", "1"}));
    EXPECT_EQ(removed.exitCode, 0) << removed.err.toStdString();
    EXPECT_EQ(namesIn(folder), QStringList({"C", "Python", "JavaScript", "SQL", "HTML", "XML", "Shell", "INI"}));

    for (int i = 0; i < 7; ++i)
        ASSERT_EQ(runCli(withFolder(folder, {"delete", "--index", "0"})).exitCode, 0);
    EXPECT_EQ(namesIn(folder), QStringList({"INI"}));
    const QByteArray lastOne = folder.read(QStringLiteral("varlex.dat"));
    const auto refused = runCli(withFolder(folder, {"delete", "--index", "0"}));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("Cannot delete last language!"));
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), lastOne);
}

// Bad calls change nothing and say what is wrong in one line.
TEST(StarterCli, BadCallsAreRefusedAndChangeNothing)
{
    TestUtil::TempFolder folder;
    const QByteArray starter = starterBytes();
    folder.write(QStringLiteral("varlex.dat"), starter);
    folder.write(QStringLiteral("huge.txt"), QByteArray(70000, 'x'));
    struct Case {
        QStringList args;
        int exitCode;
        const char *message;
    };
    const Case cases[] = {
        {{"sample"}, 2, "choose a language with --index N or --name NAME"},
        {{"sample", "--index", "9"}, 2, "no such language: index 9 (the database holds 0 to 8)"},
        {{"sample", "--index", "0", "--bogus"}, 2, "unknown option '--bogus'"},
        {{"sample", "--index", "0", "--set", folder.file("missing.txt")}, 3, "missing.txt: cannot read"},
        {{"sample", "--index", "0", "--set", folder.file("huge.txt")}, 1, "65535"},
        {{"delete", "--index", "-1"}, 2, "not '-1'"},
        {{"delete", "--index", "9"}, 2, "no such language: index 9"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        const auto r = runCli(withFolder(folder, c.args));
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1);
        EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), starter);
    }

    // A damaged database is not written over.
    const QByteArray damaged = starter.left(9000);
    folder.write(QStringLiteral("varlex.dat"), damaged);
    EXPECT_EQ(runCli(withFolder(folder, {"delete", "--index", "0"})).exitCode, 3);
    EXPECT_EQ(runCli(withFolder(folder, {"sample", "--index", "0", "--set", "-"}), "x").exitCode, 3);
    EXPECT_EQ(folder.read(QStringLiteral("varlex.dat")), damaged);
}

TEST(StarterCli, EveryStarterLanguageValidates)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("varlex.dat"), starterBytes());
    const auto r = runCli(withFolder(folder, {"validate"}));
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_EQ(r.out.count("): No validscope/inheritfrom error found!\r\n"), 9) << r.out.toStdString();
}

} // namespace
