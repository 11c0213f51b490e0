// What a script relies on: no file made behind its back, LF output, short options, help and the
// reference for every command, terminal colours that suit a dark terminal.
#include "cli/clifolder.h"
#include "editorcontrol/textrenderer.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using TestUtil::CliResult;
using TestUtil::TempFolder;

QStringList entries(const TempFolder &folder)
{
    return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(CliScripts, ReadingCommandsNeverMakeADatabase)
{
    TempFolder empty;
    const QString folder = QDir::toNativeSeparators(empty.path());
    const QList<QStringList> reading = {{"list"}, {"show"}, {"xml", "-i", "0"}, {"validate"}, {"lint"},
                                        {"sample", "-i", "0"}, {"export", "--all"}, {"backup"}};
    for (const QStringList &args : reading) {
        const CliResult r = TestUtil::runCli(QStringList{"--folder", empty.path()} + args);
        EXPECT_EQ(r.exitCode, 3) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty() && r.err.contains("no database in " + folder.toUtf8())) << r.err.toStdString();
        EXPECT_EQ(entries(empty), QStringList()) << args.join(' ').toStdString();
    }
    // A refused change makes nothing either; the first change says where the database now is.
    EXPECT_EQ(TestUtil::runCli({"--folder", empty.path(), "set", "-i", "0", "bogus=1"}).exitCode, 2);
    EXPECT_FALSE(empty.exists("varlex.dat"));
    const CliResult made = TestUtil::runCli({"--folder", empty.path(), "new", "Tiny"});
    EXPECT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.err.contains("created " + QDir(folder).filePath("varlex.dat").toUtf8())) << made.err.toStdString();
    const CliResult second = TestUtil::runCli({"--folder", empty.path(), "rename", "-n", "Tiny", "Small"});
    EXPECT_TRUE(second.exitCode == 0 && second.err.isEmpty()) << second.err.toStdString();
    EXPECT_EQ(TestUtil::runCli({"--folder", empty.path(), "list"}).out, "0\t\t0\n1\tSmall\t14\n");
}

TEST(CliScripts, PipeOutputEndsLinesWithLineFeeds)
{
    CliFolder f({"C"});
    f.languages[0].tokensets[0].inheritfrom = "Gone";
    f.write();
    const CliResult validate = f.run({"validate"});
    EXPECT_EQ(validate.exitCode, 1);
    EXPECT_TRUE(validate.out.contains("Gone") && validate.out.endsWith('\n') && !validate.out.contains('\r'))
        << validate.out.toStdString();

    // The sample text goes out with LF and comes back with the CR LF the window keeps.
    const QByteArray text = "line 1\nline 2\n\nend";
    EXPECT_EQ(f.run({"sample", "-i", "0", "--set", "-"}, text).exitCode, 0);
    EXPECT_EQ(f.run({"sample", "-i", "0"}).out, text);
    EXPECT_EQ(f.run({"show", "-i", "0", "--field", "sampletext"}).out, text + '\n');
    EXPECT_TRUE(f.folder.read("varlex.dat").contains("line 1\r\nline 2\r\n\r\nend"));
    // The definition keeps the bytes of the file, CR LF included.
    EXPECT_TRUE(f.run({"xml", "-i", "0"}).out.contains("\r\n"));
}

TEST(CliScripts, ShortOptionsAndOutputFiles)
{
    CliFolder f({"C", "B"});
    const QByteArray xml = f.run({"xml", "--name", "B"}).out;
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_EQ(f.run({"xml", "-n", "B"}).out, xml);
    EXPECT_EQ(f.run({"xml", "-i1"}).out, xml);
    EXPECT_EQ(f.run({"xml", "-i", "1", "-o", "-"}).out, xml);
    const CliResult toFile = f.run({"xml", "-i", "1", "-o", f.folder.file("B.lng")});
    EXPECT_TRUE(toFile.exitCode == 0 && toFile.out.isEmpty()) << toFile.err.toStdString();
    EXPECT_EQ(f.folder.read("B.lng"), xml);
    // A command that fails leaves the file as it was and no temporary file beside it.
    f.folder.write("list.txt", "old");
    const QStringList before = entries(f.folder);
    EXPECT_EQ(f.run({"xml", "-i", "7", "--output", f.folder.file("list.txt")}).exitCode, 2);
    EXPECT_EQ(f.folder.read("list.txt"), "old");
    EXPECT_EQ(entries(f.folder), before);
    EXPECT_EQ(f.run({"list", "-o", f.folder.file("list.txt")}).exitCode, 0);
    EXPECT_EQ(f.folder.read("list.txt"), "0\tC\t1\n1\tB\t1\n");
    const CliResult toFolder = f.run({"list", "-o", f.folder.path()});
    EXPECT_TRUE(toFolder.exitCode == 1 && toFolder.err.contains("cannot write")) << toFolder.err.toStdString();
    EXPECT_EQ(entries(f.folder), before);

    const CliResult exported = f.run({"export", "-n", "C", "-o", f.folder.file("out")});
    EXPECT_EQ(exported.out, QDir::toNativeSeparators(f.folder.file("out/C.lng")).toUtf8() + '\n') << exported.err.toStdString();
    EXPECT_EQ(f.run({"list", "-x"}).exitCode, 2);
    EXPECT_TRUE(f.run({"list", "-ofile", "-i", "0"}).err.contains("unknown option '-i'"));
}

TEST(CliScripts, EveryCommandHasHelpAndASectionInTheReference)
{
    const CliResult general = TestUtil::runCli({"--help"});
    const QString doc = QString::fromUtf8(TestUtil::readFile(TestUtil::sourcePath("docs/cli.md")));
    static const QRegularExpression line(QStringLiteral("^  (\\S+(?: [a-z]+)?)  +\\S"), QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = line.globalMatch(QString::fromUtf8(general.out.mid(general.out.indexOf("Commands:")))); it.hasNext();)
        names << it.next().captured(1);
    EXPECT_TRUE(names.contains("tokenset new") && names.contains("set") && names.size() > 20) << names.join(',').toStdString();
    for (const QString &name : names) {
        EXPECT_TRUE(doc.contains("\n### " + name + '\n')) << "docs/cli.md has no section for " << name.toStdString();
        QStringList args = QStringList{"help"} + name.split(' ');
        const CliResult help = TestUtil::runCli(args);
        EXPECT_EQ(help.exitCode, 0) << name.toStdString();
        EXPECT_TRUE(name == "help" || help.out.startsWith("Usage: varlex-cli " + name.toUtf8() + ' ')) << help.out.toStdString();
    }
    // A group lists its actions; an action is needed to run one.
    EXPECT_TRUE(TestUtil::runCli({"help", "tokenset"}).out.contains("varlex-cli tokenset move (--index N"));
    const CliResult bare = TestUtil::runCli({"tokenset"});
    EXPECT_TRUE(bare.exitCode == 2 && bare.err.contains("tokenset: an action is missing (delete, move, new, rename"));
    EXPECT_TRUE(TestUtil::runCli({"tokenset", "delete", "-i", "0"}).err.contains("--tokenset NAME|SLOT is required"));
    EXPECT_TRUE(TestUtil::runCli({"tokenset", "new", "--help"}).out.contains("-i, --index N"));
}

TEST(CliScripts, TerminalColoursLeaveTheBackgroundToTheTerminal)
{
    TempFolder folder;
    folder.write("t.lng", R"(<language name="T"><tokenset name="K" forecolor="255" backcolor="16777215">
<tokens><token>if</token></tokens></tokenset></language>)");
    const QStringList args = {"highlight", "--lng", folder.file("t.lng"), "--format", "ansi", "-"};
    qputenv("COLORTERM", "truecolor");
    EXPECT_EQ(TestUtil::runCli(args, "if").out, "\x1b[0;38;2;255;0;0mif\x1b[0m");
    EXPECT_EQ(TestUtil::runCli(args + QStringList{"--background"}, "if").out, "\x1b[0;38;2;255;0;0;48;2;255;255;255mif\x1b[0m");
    EXPECT_EQ(TestUtil::runCli(args + QStringList{"--colors", "256"}, "if").out, "\x1b[0;38;5;196mif\x1b[0m");
    qunsetenv("COLORTERM");
    EXPECT_EQ(TestUtil::runCli(args + QStringList{"--background"}, "if").out, "\x1b[0;38;5;196;48;5;231mif\x1b[0m");
    EXPECT_EQ(TestUtil::runCli(args + QStringList{"--colors", "truecolor"}, "if").out, "\x1b[0;38;2;255;0;0mif\x1b[0m");
    EXPECT_EQ(TestUtil::runCli(args + QStringList{"--colors", "16"}, "if").exitCode, 2);
    // Greys go to the grey ramp, colours to the nearest corner of the cube.
    EXPECT_EQ(TextRenderer::paletteIndex(0x000000), 16);
    EXPECT_EQ(TextRenderer::paletteIndex(0x808080), 244);
    EXPECT_EQ(TextRenderer::paletteIndex(0xEEEEEE), 255);
    EXPECT_EQ(TextRenderer::paletteIndex(0x00A0FF), 214); // orange: R 255, G 160 -> 175, B 0
}

TEST(CliScripts, NamesAreTakenBackAsTheyArePrinted)
{
    CliFolder f({"Tab\there", "Tab\\there", "Dotted"});
    f.languages[2].tokensets[1] = makeTokenset("Key.words");
    f.languages[2].tokensets[2] = makeTokenset("Line\nbreak");
    f.languages[2].tokensets[2].forecolor = 0x00A0FF;
    f.write();
    const QByteArray listed = f.run({"list"}).out;
    EXPECT_TRUE(listed.startsWith("0\tTab\\there\t1\n1\tTab\\\\there\t1\n")) << listed.toStdString();
    // Each printed form names its own language; a raw name still works when no printed form matches.
    EXPECT_EQ(f.run({"show", "-n", "Tab\\there", "--field", "index"}).out, "0\n");
    EXPECT_EQ(f.run({"show", "-n", "Tab\\\\there", "--field", "index"}).out, "1\n");
    EXPECT_EQ(f.run({"show", "-n", "Tab\there", "--field", "index"}).out, "0\n");
    // Tokensets by name in a path (dots in the name included) and in --tokenset, as printed.
    EXPECT_EQ(f.run({"show", "-n", "Dotted", "--field", "tokensets.Keywords.forecolor"}).out, "#0000FF\n");
    EXPECT_EQ(f.run({"show", "-n", "Dotted", "--field", "tokensets.Key.words.slot"}).out, "1\n");
    EXPECT_EQ(f.run({"show", "-n", "Dotted", "--field", "tokensets.Line\\nbreak.forecolor"}).out, "#FFA000\n");
    EXPECT_EQ(f.run({"set", "-n", "Dotted", "--tokenset", "Line\\nbreak", "hidden=true"}).exitCode, 0);
    EXPECT_EQ(f.run({"show", "-i", "2", "--field", "tokensets.2.hidden"}).out, "true\n");
    const CliResult missing = f.run({"show", "-n", "a\"b"});
    EXPECT_TRUE(missing.exitCode == 2 && missing.err.contains("no such language: \"a\\\"b\"")) << missing.err.toStdString();

    // highlight colours with a language of the database as well as with a file.
    const CliResult spans = f.run({"highlight", "-n", "Dotted", "--format", "spans"}, "x if");
    EXPECT_EQ(spans.exitCode, 0) << spans.err.toStdString();
    const QByteArray xml = f.run({"xml", "-n", "Dotted"}).out;
    f.folder.write("d.lng", xml);
    EXPECT_EQ(spans.out, f.run({"highlight", "--lng", f.folder.file("d.lng"), "--format", "spans"}, "x if").out);
    EXPECT_EQ(f.run({"highlight", "-n", "Dotted", "--lng", f.folder.file("d.lng")}, "x").exitCode, 2);
}

TEST(CliScripts, SecondLanguagesAndTokensetsOfOneNameAreRefused)
{
    struct Row {
        QStringList args;
        int exitCode;
        const char *message;
    };
    const Row rows[] = {
        {{"new", "B"}, 1, "new: a language \"B\" already exists (index 1); give --allow-duplicate"},
        {{"duplicate", "-n", "C", "B"}, 1, "already exists (index 1)"},
        {{"rename", "-n", "C", "B"}, 1, "already exists (index 1)"},
        {{"set", "-n", "C", "name=B"}, 1, "already exists (index 1)"},
        {{"tokenset", "new", "-n", "C", "Strings"}, 1, "C (index 0): a tokenset \"Strings\" already exists (slot 1)"},
        {{"tokenset", "rename", "-n", "C", "--tokenset", "Strings", "Keywords"}, 1, "a tokenset \"Keywords\" already exists (slot 0)"},
        {{"set", "-n", "C", "--tokenset", "1", "name=Keywords"}, 1, "already exists (slot 0)"},
        {{"import", "b.lng"}, 1, "import: b.lng: a language \"B\" already exists (index 1)"},
        {{"rename", "-n", "C", "C"}, 0, ""},
        {{"set", "-n", "C", "--tokenset", "1", "name=Strings"}, 0, ""},
        {{"new", "--allow-duplicate", "B"}, 0, ""},
        {{"tokenset", "new", "-n", "C", "--allow-duplicate", "Strings"}, 0, ""},
        {{"import", "--allow-duplicate", "b.lng"}, 0, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.args.join(' ').toStdString());
        CliFolder f({"C", "B"});
        f.languages[0].tokensets[1] = makeTokenset("Strings");
        f.write();
        f.folder.write("b.lng", "<language name=\"B\"><tokenset name=\"K\"><tokens><token>x</token></tokens></tokenset></language>");
        QStringList args = row.args;
        args.replaceInStrings("b.lng", f.folder.file("b.lng"));
        const CliResult r = f.run(args);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString();
        if (row.exitCode != 0) {
            EXPECT_TRUE(r.err.contains(QString(row.message).replace("b.lng", f.folder.file("b.lng")).toUtf8())) << r.err.toStdString();
            EXPECT_EQ(f.folder.read("varlex.dat"), f.bytes);
        }
    }
}

TEST(CliScripts, MessagesAboutAFilePointIntoItAsCompilersDo)
{
    TempFolder folder;
    folder.write("broken.lng", "<language name=\"x\">\n<tokenset name=\"a\"></language>");
    folder.write("bad.lng", "<language name=\"x\">\n<tokenset name=\"K\">\n<tokens regexp=\"true\"><token>\"(</token></tokens>\n"
                            "</tokenset></language>");
    const QString broken = folder.file("broken.lng");
    for (const QStringList &args : {QStringList{"highlight", "--lng", broken, "-"}, QStringList{"lint", "--lng", broken},
                                    QStringList{"--folder", folder.path(), "import", broken}}) {
        const CliResult r = TestUtil::runCli(args, "x");
        EXPECT_EQ(r.exitCode, 3);
        EXPECT_TRUE(r.err.startsWith(broken.toUtf8() + ":2:")) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(": error: ")) << r.err.toStdString();
    }
    // A token is quoted with its quote escaped; the warning points at the token's line.
    const CliResult lint = TestUtil::runCli({"lint", "--lng", folder.file("bad.lng")});
    EXPECT_TRUE(lint.out.startsWith(folder.file("bad.lng").toUtf8() + ": error: tokenset \"K\", token \"\\\"(\": ")) << lint.out.toStdString();
    const CliResult warned = TestUtil::runCli({"highlight", "--lng", folder.file("bad.lng"), "--format", "spans", "-"}, "x");
    EXPECT_TRUE(warned.err.startsWith(folder.file("bad.lng").toUtf8() + ":3:")) << warned.err.toStdString();
    EXPECT_TRUE(warned.err.contains(": warning: tokenset \"K\", token \"\\\"(\": invalid regular expression")) << warned.err.toStdString();
}

TEST(CliScripts, JsonGivesEachKeyOneMeaningAndSetTakesItBack)
{
    CliFolder f({"C"});
    Tokenset &k = f.languages[0].tokensets[0];
    k.forecolor = 0x0080FF;
    k.included = 1;
    k.inheritfrom = "<none>";
    k.tmemberlist = "";
    k.tokens = "if\r\n\r\n  Foo :::: ListMembers :::: False :::: col 3\r\nx ::::\r\na :::: b :::: c :::: d :::: e";
    f.languages[0].memberlist = "<none>";
    f.write();
    const QJsonObject shown = QJsonDocument::fromJson(f.run({"show", "-i", "0"}).out).object();
    EXPECT_EQ(shown["schema"], 2);
    EXPECT_EQ(shown["index"], 0);
    EXPECT_TRUE(shown["memberlist"].isNull() && shown["casesensitive"].isBool());
    const QJsonArray slots = shown["tokensets"].toArray();
    ASSERT_EQ(slots.size(), 1);
    const QJsonObject t = slots[0].toObject();
    EXPECT_EQ(t["slot"], 0);
    EXPECT_EQ(t["forecolor"], "#FF8000");
    EXPECT_TRUE(t["included"] == true && t["inheritfrom"].isNull() && t["tmemberlist"].isNull());
    const QByteArray tokens = QJsonDocument(t["tokens"].toArray()).toJson(QJsonDocument::Compact);
    EXPECT_EQ(tokens, R"([{"action":null,"regexp":null,"rule":null,"text":"if"},)"
                      R"({"action":"ListMembers","regexp":false,"rule":"col 3","text":"Foo"},)"
                      R"({"action":"","regexp":null,"rule":null,"text":"x"},)"
                      R"({"action":null,"regexp":null,"rule":null,"text":"a"}])");
    const QJsonObject all = QJsonDocument::fromJson(f.run({"show"}).out).object();
    EXPECT_TRUE(all["schema"] == 2 && all["languages"].toArray().size() == 1);
    const QJsonObject listed = QJsonDocument::fromJson(f.run({"list", "--json"}).out).object();
    EXPECT_EQ(QJsonDocument(listed).toJson(QJsonDocument::Compact),
              R"({"languages":[{"index":0,"name":"C","tokensets":[{"name":"Keywords","slot":0}]}],"schema":2})");

    // Every value goes back through set, and the definition stays the same.
    const QByteArray xml = f.run({"xml", "-i", "0"}).out;
    QStringList assignments;
    for (const QString &key : t.keys()) {
        if (key == "slot" || key == "validscope")
            continue;
        const QJsonValue v = t[key];
        const QString text = v.isString() ? v.toString() : v.isBool() ? (v.toBool() ? "true" : "false")
                           : v.isNull() ? "null" : QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
        assignments << key + '=' + text;
    }
    const CliResult set = f.run(QStringList{"set", "-i", "0", "--tokenset", "0"} + assignments);
    EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(f.run({"xml", "-i", "0"}).out, xml);
    EXPECT_EQ(f.run({"set", "-i", "0", "memberlist=null"}).exitCode, 0);
    EXPECT_EQ(f.run({"show", "-i", "0", "--field", "tokensets.Keywords.tokens.1.rule"}).out, "col 3\n");
}

} // namespace
