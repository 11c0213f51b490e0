#include "common/testutil.h"
#include "editorcontrol/editorglobals.h"
#include "editorcontrol/memberlistobject.h"
#include "model/databasefile.h"
#include "xmlgen/fakehost.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <gtest/gtest.h>

using TestUtil::TempFolder;

namespace {

const QByteArray kApiList = "<memberlist name=\"Api\"><member name=\"open\"/></memberlist>";

// A program folder holding a database of the given languages and the member list "Api".
struct CliFolder {
    TempFolder folder;
    QVector<Language> languages;

    explicit CliFolder(QVector<Language> langs) : languages(std::move(langs))
    {
        QByteArray bytes;
        DatabaseFile::encode(languages, bytes);
        folder.write(QStringLiteral("varlex.dat"), bytes);
        folder.write(QStringLiteral("language_mem/api.mbr"), kApiList);
        folder.write(QStringLiteral("language_mem/broken.mbr"), "<memberlist");
    }
    TestUtil::CliResult run(const QStringList &args) const
    {
        return TestUtil::runCli(QStringList{QStringLiteral("--folder"), folder.path()} + args);
    }
};

Language withReferences(const QString &name, const QString &memberlist, const QString &inherit)
{
    Language lang = demoLanguage();
    lang.name = name;
    lang.memberlist = memberlist;
    lang.tokensets[0].inheritfrom = inherit;
    lang.tokensets[0].tokens = QStringLiteral("if\r\nthen :::: ListMembers");
    return lang;
}

TEST(CliXml, WritesTheBytesOfTheWorkingFile)
{
    const CliFolder f({withReferences(QStringLiteral("A"), QStringLiteral("Api"), QStringLiteral("<none>")),
                       withReferences(QString::fromUtf8("Caf\xc3\xa9"), QStringLiteral("Api"), QStringLiteral("Keywords"))});
    for (const QStringList &options : {QStringList{}, QStringList{QStringLiteral("--hide-defaults")},
                                       QStringList{QStringLiteral("--easyread"), QStringLiteral("--hide-defaults")}}) {
        // What the window writes to varlex.lng for language 1 in mode 1 with the same options.
        TempFolder working;
        Database db;
        db.languages = f.languages;
        RecordingHost host;
        host.folder = working.path();
        host.hide = options.contains(QStringLiteral("--hide-defaults"));
        host.easyRead = options.contains(QStringLiteral("--easyread"));
        host.lists.names = {QStringLiteral("Api")};
        XmlWriter writer(db, host);
        ASSERT_TRUE(writer.WriteXML(1, true, 1).written());

        const auto r = f.run(QStringList{QStringLiteral("xml"), QStringLiteral("--index"), QStringLiteral("1")} + options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, working.read(QStringLiteral("varlex.lng"))) << options.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains("broken.mbr")) << r.err.toStdString(); // reported, left out
    }
}

TEST(CliXml, ValidateReportsEveryLanguage)
{
    const CliFolder f({withReferences(QStringLiteral("Good"), QStringLiteral("Api"), QStringLiteral("<none>")),
                       withReferences(QStringLiteral("Bad"), QStringLiteral("Nope"), QStringLiteral("Gone"))});
    auto r = f.run({QStringLiteral("validate")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "No validscope/inheritfrom error found!\r\n"
                     "Bad : Language : Memberlist:  Nope\r\nBad : Keywords : Inherit:  Gone\r\n");
    r = f.run({QStringLiteral("validate"), QStringLiteral("--index=0")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "No validscope/inheritfrom error found!\r\n");
}

TEST(CliXml, ExportWritesFilesAndReportsRefusedNames)
{
    const CliFolder f({withReferences(QStringLiteral("One"), QStringLiteral("Api"), QStringLiteral("<none>")),
                       withReferences(QStringLiteral("a/b"), QStringLiteral("Api"), QStringLiteral("<none>")),
                       withReferences(QStringLiteral("Two"), QStringLiteral("Api"), QStringLiteral("<none>"))});
    const QString to = f.folder.file(QStringLiteral("out"));
    auto r = f.run({QStringLiteral("export"), QStringLiteral("--all"), QStringLiteral("--to"), to});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, (QDir(to).filePath(QStringLiteral("One.lng")) + u'\n' + QDir(to).filePath(QStringLiteral("Two.lng"))
                      + u'\n').toUtf8());
    EXPECT_TRUE(r.err.contains("\"a/b\" (index 1)")) << r.err.toStdString();
    EXPECT_EQ(QDir(to).entryList(QDir::Files), (QStringList{"One.lng", "Two.lng"}));

    // Without --to the export folder is language_def in the program folder.
    r = f.run({QStringLiteral("export"), QStringLiteral("--index"), QStringLiteral("2"), QStringLiteral("--easyread")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(f.folder.read(QStringLiteral("language_def/Two.lng")).startsWith("<language\r\nname=\"Two\""));
}

TEST(CliXml, UsageAndInputErrors)
{
    const CliFolder f({demoLanguage()});
    const struct {
        QStringList args;
        int exitCode;
    } cases[] = {
        {{"xml"}, 2},
        {{"xml", "--index", "1"}, 2},
        {{"xml", "--index", "x"}, 2},
        {{"xml", "--index", "0", "--all"}, 2},
        {{"validate", "--index", "-1"}, 2},
        {{"export"}, 2},
        {{"export", "--all", "--index", "0"}, 2},
        {{"export", "--all", "--to"}, 2},
        {{"xml", "--help"}, 0},
        {{"validate", "--help"}, 0},
        {{"export", "--help"}, 0},
    };
    for (const auto &c : cases) {
        const auto r = f.run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(u' ').toStdString() << "\n" << r.err.toStdString();
        if (c.exitCode != 0) // one line naming the problem, after any member-list warning
            EXPECT_TRUE(r.err.endsWith('\n') && r.err.split('\n').at(r.err.count('\n') - 1).startsWith("varlex-cli: "));
    }
    const auto r = TestUtil::runCli({QStringLiteral("--folder"), f.folder.file(QStringLiteral("none")), QStringLiteral("xml"),
                                     QStringLiteral("--index"), QStringLiteral("0")});
    EXPECT_EQ(r.exitCode, 3);
}

} // namespace
