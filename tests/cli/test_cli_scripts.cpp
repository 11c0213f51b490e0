// What a script relies on: no file made behind its back, LF output, short options, help and the
// reference for every command, terminal colours that suit a dark terminal.
#include "cli/clifolder.h"
#include "editorcontrol/textrenderer.h"

#include <QDir>
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

} // namespace
