#include "cli/clifolder.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// Demo languages named and inheriting as given, using the member list "Api"; a broken list beside it.
void withLists(CliFolder &f, std::initializer_list<std::pair<const char *, const char *>> nameAndInherit)
{
    for (const auto &[name, inherit] : nameAndInherit) {
        Language &lang = f.languages.emplace_back(demoLanguage());
        lang.name = QString::fromUtf8(name);
        lang.memberlist = QStringLiteral("Api");
        lang.tokensets[0].inheritfrom = QString::fromUtf8(inherit);
        lang.tokensets[0].tokens = QStringLiteral("if\r\nthen :::: ListMembers");
    }
    f.write();
    f.folder.write(QStringLiteral("language_mem/api.mbr"), "<memberlist name=\"Api\"><member name=\"x\"/></memberlist>");
    f.folder.write(QStringLiteral("language_mem/broken.mbr"), "<memberlist");
}

TEST(CliXml, XmlWritesTheBytesOfTheWorkingFile)
{
    CliFolder f({});
    withLists(f, {{"A", "<none>"}, {"Caf\xc3\xa9", "Keywords"}});
    for (const QStringList &options : {QStringList{}, QStringList{"--hide-defaults"}, QStringList{"--easyread", "--hide-defaults"}}) {
        TestUtil::TempFolder working; // what the window writes for language 1 in mode 1
        Database db;
        db.languages = f.languages;
        RecordingHost host;
        host.folder = working.path();
        host.hide = options.contains(QStringLiteral("--hide-defaults"));
        host.easyRead = options.contains(QStringLiteral("--easyread"));
        host.lists.names = {QStringLiteral("Api")};
        XmlWriter writer(db, host);
        ASSERT_TRUE(writer.WriteXML(1, true, 1).written());

        const auto r = f.run(QStringList{"xml", "--index", "1"} + options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, working.read(QStringLiteral("varlex.lng")));
        EXPECT_TRUE(r.err.contains("broken.mbr")) << r.err.toStdString(); // reported and left out
    }
}

TEST(CliXml, ValidateAndExport)
{
    CliFolder f({});
    withLists(f, {{"One", "<none>"}, {"a/b", "Gone"}, {"Two", "<none>"}});
    auto r = f.run({"validate"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "One (index 0): No validscope/inheritfrom error found!\n"
                     "a/b (index 1): a/b : Keywords : Inherit:  Gone\n"
                     "Two (index 2): No validscope/inheritfrom error found!\n");
    r = f.run({"validate", "--index=2"});
    EXPECT_EQ(r.exitCode, 0);

    const QString to = f.folder.file(QStringLiteral("out"));
    r = f.run({"export", "--all", "--to", to});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, (QDir(to).filePath("One.lng") + u'\n' + QDir(to).filePath("Two.lng") + u'\n').toUtf8());
    EXPECT_TRUE(r.err.contains("\"a/b\" (index 1)")) << r.err.toStdString();
    EXPECT_EQ(QDir(to).entryList(QDir::Files), (QStringList{"One.lng", "Two.lng"}));
    // Without --to: language_def in the program folder (the settings name none here).
    r = f.run({"export", "--index", "2", "--easyread"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(f.folder.read(QStringLiteral("language_def/Two.lng")).startsWith("<language\r\nname=\"Two\""));
}

} // namespace
