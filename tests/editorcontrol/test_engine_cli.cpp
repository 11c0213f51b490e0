// varlex-cli highlight: the three output forms, input from a file or standard input, and refusals.
#include "common/testutil.h"

#include <QFileInfo>

#include <gtest/gtest.h>

using namespace TestUtil;

namespace {

const QByteArray kDefinition = R"(<language name="Mini" wordchars="[\w]">
<tokenset name="Keywords" id="keywords" forecolor="255" fontstyle="bold">
     <tokens regexp="false"><token>if</token><token>else</token></tokens>
</tokenset>
<tokenset name="Comments" id="blockcomments" type="scope" singlelinescope="false" forecolor="32768">
     <tokens regexp="false" rule=""><token>/*</token></tokens>
     <tokens2 regexp="false" rule=""><token>*/</token></tokens2>
</tokenset>
</language>
)";

} // namespace

TEST(EngineCli, HighlightWritesSpansHtmlAndAnsi)
{
    TempFolder folder;
    folder.write("mini.lng", kDefinition);
    folder.write("text.txt", "if x /* a\r\nb */ else é\n");
    const QString lng = folder.file("mini.lng");

    const CliResult spans = runCli({"highlight", "--lng", lng, "--format", "spans", folder.file("text.txt")});
    ASSERT_EQ(spans.exitCode, 0) << spans.err.constData();
    EXPECT_EQ(spans.out, "0\t2\tKeywords\n5\t10\tComments\n16\t4\tKeywords\n");

    // Standard input, "-" or nothing; UTF-8 in, UTF-8 out; offsets count characters.
    for (const QStringList &tail : {QStringList{"-"}, QStringList{}}) {
        const CliResult r = runCli(QStringList{"highlight", "--lng", lng, "--format", "spans"} + tail,
                                   "é if\n");
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out, "2\t2\tKeywords\n");
    }
    // Text that is not UTF-8 is read as ANSI.
    const CliResult ansiText = runCli({"highlight", "--lng", lng, "--format", "html", "-"}, "\xe9 if");
    EXPECT_TRUE(ansiText.out.contains("é <span class=\"t0\">if</span>")) << ansiText.out.constData();

    const CliResult html = runCli({"highlight", "--lng", lng, folder.file("text.txt")});
    ASSERT_EQ(html.exitCode, 0);
    EXPECT_TRUE(html.out.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(html.out.contains("<title>text.txt</title>"));
    EXPECT_TRUE(html.out.contains("<span class=\"t1\">/* a\nb */</span> <span class=\"t0\">else</span> é"));

    const CliResult ansi = runCli({"highlight", "--lng", lng, "--format", "ansi", "-"}, "if x");
    EXPECT_EQ(ansi.out, "\x1b[0;1;38;2;255;0;0mif\x1b[0m x");
}

TEST(EngineCli, HighlightRefusesBadDefinitionsAndArguments)
{
    TempFolder folder;
    folder.write("broken.lng", "<language name=\"x\"><tokenset name=\"a\"></language>");
    folder.write("mini.lng", kDefinition);

    // Unreadable input: exit 3 and one line naming the file; usage errors: exit 2.
    const QString mini = folder.file("mini.lng");
    const QList<QStringList> unreadable = {{folder.file("broken.lng"), "-"}, {folder.file("nowhere.lng"), "-"},
                                           {mini, folder.file("nowhere.txt")}};
    for (const QStringList &args : unreadable) {
        const CliResult r = runCli(QStringList{"highlight", "--lng"} + args, "x");
        EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err.count('\n')), std::tuple(3, QByteArray(), qsizetype(1)));
        EXPECT_TRUE(r.err.contains(QFileInfo(args.filter(".").last()).fileName().toUtf8())) << r.err.constData();
    }
    const QList<QStringList> usage = {{"-"}, {"--lng", mini, "--format", "pdf", "-"}, {"--lng", mini, "--bogus"},
                                      {"--lng", mini, "a", "b"}, {"--lng"}};
    for (const QStringList &args : usage)
        EXPECT_EQ(runCli(QStringList{"highlight"} + args, "x").exitCode, 2) << args.join(' ').toStdString();

    const CliResult help = runCli({"highlight", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("--format html|ansi|spans"));
}
