// varlex-cli highlight: the three output forms, streamed from a file or standard input, and refusals.
#include "test_engine_support.h"

#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/textrenderer.h"
#include "model/ansicodec.h"

#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace TestUtil;

namespace {

const QByteArray kDefinition = R"(<language name="Mini" wordchars="[\w]">
<tokenset name="Keywords" id="keywords" forecolor="255" fontstyle="bold">
     <tokens regexp="false"><token>if</token><token>else</token></tokens>
</tokenset>
<tokenset name="Comments" id="blockcomments" type="scope" singlelinescope="false" forecolor="32768" backcolor="16777215">
     <tokens regexp="false" rule=""><token>/*</token></tokens>
     <tokens2 regexp="false" rule=""><token>*/</token></tokens2>
</tokenset>
<tokenset name="Slow" id="identifiers"><tokens regexp="true" rule=""><token>(a+)+$</token></tokens></tokenset>
</language>
)";

} // namespace

TEST(EngineCli, HighlightWritesSpansHtmlAndAnsi)
{
    TempFolder folder;
    folder.write("mini.lng", kDefinition);
    folder.write("t<1>.txt", "if <&\"> /* a\r\nb */ else é\n");
    const QString lng = folder.file("mini.lng");

    const CliResult spans = runCli({"highlight", "--lng", lng, "--format", "spans", folder.file("t<1>.txt")});
    ASSERT_EQ(spans.exitCode, 0) << spans.err.constData();
    EXPECT_EQ(spans.out, "0\t2\tKeywords\n8\t10\tComments\n19\t4\tKeywords\n");

    // Standard input, "-" or nothing; UTF-8 in, UTF-8 out; offsets count characters.
    for (const QStringList &tail : {QStringList{"-"}, QStringList{}})
        EXPECT_EQ(runCli(QStringList{"highlight", "--lng", lng, "--format", "spans"} + tail, "é if\n").out, "2\t2\tKeywords\n");
    // Text that is not UTF-8 is read as ANSI.
    const CliResult ansiText = runCli({"highlight", "--lng", lng, "--format", "html", "-"}, "\xe9 if");
    EXPECT_TRUE(ansiText.out.contains("é <span class=\"t0\">if</span>")) << ansiText.out.constData();

    // A page with the file's name, one class per coloured tokenset, the text escaped, line breaks LF.
    const CliResult html = runCli({"highlight", "--lng", lng, folder.file("t<1>.txt")});
    EXPECT_TRUE(html.exitCode == 0 && html.out.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(html.out.contains("<title>t&lt;1&gt;.txt</title>\n<style>\npre { }\n.t0 { color:#ff0000;font-weight:bold;}"));
    EXPECT_TRUE(html.out.contains("<pre><span class=\"t0\">if</span> &lt;&amp;&quot;&gt; <span class=\"t1\">/* a\nb */</span> "
                                  "<span class=\"t0\">else</span> é\n</pre>"));

    // Escapes reset before each line break, which stays as it is.
    const CliResult ansi = runCli({"highlight", "--lng", lng, "--format", "ansi", "--colors", "truecolor", "-"}, "if x\r\n/*");
    EXPECT_EQ(ansi.out, "\x1b[0;1;38;2;255;0;0mif\x1b[0m x\r\n\x1b[0;38;2;0;128;0m/*\x1b[0m");
    // Long plain text, written eight characters at a time up to one beyond ASCII.
    EXPECT_EQ(runCli({"highlight", "--lng", lng, "--format", "ansi", "--colors", "truecolor", "-"}, "if abcdefghijklmnop\u00e9\u20acqrstuvwxyz\r\nif").out,
              "\x1b[0;1;38;2;255;0;0mif\x1b[0m abcdefghijklmnop\u00e9\u20acqrstuvwxyz\r\n\x1b[0;1;38;2;255;0;0mif\x1b[0m");
    // With the back colours, an escape longer than most.
    const CliResult painted = runCli({"highlight", "--lng", lng, "--format", "ansi", "--background", "--colors", "truecolor", "-"}, "if /* x */");
    EXPECT_EQ(painted.out, "\x1b[0;1;38;2;255;0;0mif\x1b[0m \x1b[0;38;2;0;128;0;48;2;255;255;255m/* x */\x1b[0m");
}

// A file is read as UTF-8 only when all of it is: a sequence cut by ASCII makes it ANSI, far from any
// other byte beyond ASCII, and across the boundary of the blocks it is read in (256 KB) too. An encoded
// surrogate is no UTF-8 either (a line read as UTF-8 is not checked again for broken pairs).
TEST(EngineCli, HighlightReadsUtf8OnlyWhenAllOfItIs)
{
    TempFolder folder;
    folder.write("mini.lng", kDefinition);
    const QByteArray edge(256 * 1024 - 2, 'x'), gap(300, 'y');
    const struct {
        QByteArray text;
        bool ansi; // \xe4 is "ä" in the code page
    } cases[] = {{edge + "\xe4\xb8\xad if\n", false}, {edge + "\xe4\xb8" + gap + "\xad if\n", true}, {"\xe4\xb8" + gap + "\xad if\n", true},
                 {"\xc3\xa9" + gap + "\xe4\xb8\xad if\n", false}, {gap + "\xe4\xb8\xad" + gap + "\xe4\xb8 if\n", true},
                 {"\xe4\xb8\xad\xed\xa0\x80 if\n", true}};
    for (const auto &c : cases) {
        folder.write("t.txt", c.text);
        const QByteArray out = runCli({"highlight", "--lng", folder.file("mini.lng"), "--format", "html", folder.file("t.txt")}).out;
        EXPECT_EQ(out.contains("\xc3\xa4"), c.ansi) << c.text.right(320).toHex().constData();
        EXPECT_EQ(out.contains("\xe4\xb8\xad"), !c.ansi) << c.text.right(320).toHex().constData();
    }
}

// A large text streams out as the whole text colours at once, whatever falls on the boundaries of the
// blocks it is read in (CR LF, a character of several bytes, a comment), from a file or a pipe.
TEST(EngineCli, HighlightStreamsLargeTextsAsTheWholeTextColours)
{
    TempFolder folder;
    folder.write("mini.lng", kDefinition);
    LanguageDefinition def;
    DefinitionError error;
    ASSERT_TRUE(DefinitionReader::read(kDefinition, "mini.lng", def, error));
    const CompiledLanguagePtr language = CompiledLanguage::compile(def);

    // Lines with every kind of line break, up to a block boundary; then something that straddles it.
    // Markup characters, DEL, units whose low byte is a CR or LF (č, ਊ: ending no line, so the "a"
    // before it is no "Slow" run), plain runs of every length up to 50 around them, and empty lines
    // inside a comment and outside.
    QByteArray utf8;
    auto fillTo = [&utf8](qsizetype size) {
        for (int i = 0; utf8.size() < size - 100; ++i)
            utf8 += "if é中😀čaਊ /* comment " + QByteArray::number(i) + (i % 3 ? "\r\n" : "\r") + (i % 7 ? "" : "\r\n")
                + "else */ x" + QByteArray(i % 50, 'y') + QByteArray(1, "<\"&>"[i % 4]) + QByteArray(i % 17, 'z')
                + (i % 5 == 1 ? "\x7f\n" : "\n") + (i % 11 ? "" : "\n");
        utf8 += QByteArray(size - utf8.size(), 'x');
    };
    fillTo(256 * 1024 - 1);
    utf8 += "\r\n";
    fillTo(512 * 1024 - 2);
    utf8 += "😀";
    fillTo(600 * 1024);
    for (const bool isAnsi : {false, true}) {
        const QByteArray bytes = isAnsi ? utf8 + "\xff" : utf8;
        folder.write("big.txt", bytes);
        const QString text = isAnsi ? AnsiCodec::decode(bytes) : QString::fromUtf8(bytes);
        const QVector<StyleRun> runs = Highlighter(language).highlightText(text, true);
        // The spans list gives the runs' own offsets, through every count of digits.
        QByteArray listed;
        for (const StyleRun &r : runs)
            if (r.tokenset >= 0)
                listed += QByteArray::number(r.start) + '\t' + QByteArray::number(r.length) + '\t'
                    + language->tokensetName(r.tokenset).toUtf8() + '\n';
        EXPECT_EQ(runCli({"highlight", "--lng", folder.file("mini.lng"), "--format", "spans", folder.file("big.txt")}).out, listed);
        if (!isAnsi) { // a name longer than the room kept after an output block
            const QByteArray name(5000, 'C');
            folder.write("long.lng", QByteArray(kDefinition).replace("\"Comments\"", "\"" + name + "\""));
            EXPECT_EQ(runCli({"highlight", "--lng", folder.file("long.lng"), "--format", "spans", folder.file("big.txt")}).out,
                      listed.replace("\tComments\n", "\t" + name + "\n"));
        }
        for (const auto &[format, kind] : {std::pair("spans", TextRenderer::Format::Spans),
                                          std::pair("html", TextRenderer::Format::Html),
                                          std::pair("ansi", TextRenderer::Format::Ansi)}) {
            const QByteArray whole = TextRenderer::render(text, runs, *language, kind, "big.txt");
            const QStringList depth = kind == TextRenderer::Format::Ansi ? QStringList{"--colors", "truecolor"} : QStringList();
            const CliResult fromFile = runCli(QStringList{"highlight", "--lng", folder.file("mini.lng"), "--format", format, folder.file("big.txt")} + depth);
            EXPECT_TRUE(fromFile.exitCode == 0 && fromFile.out == whole) << format;
            // A pipe is read as UTF-8 up to its last line, which is not.
            const QString piped = isAnsi ? QString::fromUtf8(utf8) + AnsiCodec::decode("\xff") : text;
            const QByteArray wholePiped = TextRenderer::render(piped, Highlighter(language).highlightText(piped, true),
                                                               *language, kind, "big.txt");
            const CliResult fromPipe = runCli(QStringList{"highlight", "--lng", folder.file("mini.lng"), "--format", format} + depth, bytes);
            if (kind != TextRenderer::Format::Html) // the page's title names the language here
                EXPECT_TRUE(fromPipe.exitCode == 0 && fromPipe.out == wholePiped) << format;
            EXPECT_EQ(fromPipe.err.contains("is not UTF-8"), isAnsi);
        }
    }
}

// Standard input from a pipe is coloured as it arrives: each line's output comes before the next
// line is written, and a line that is not UTF-8 switches to ANSI text from there on, said once.
TEST(EngineCli, HighlightFromAPipeAnswersLineByLine)
{
    TempFolder folder;
    folder.write("mini.lng", kDefinition);
    QProcess cli;
    cli.start(QStringLiteral(VARLEX_CLI_PATH), {"highlight", "--lng", folder.file("mini.lng"), "--format", "spans"});
    ASSERT_TRUE(cli.waitForStarted());
    const std::pair<QByteArray, QByteArray> lines[] = {
        {"é if\n", "2\t2\tKeywords\n"}, {"\xe9 else\r\n", "7\t4\tKeywords\n"}, {"中 if\n", "17\t2\tKeywords\n"}};
    for (const auto &[line, spans] : lines) {
        cli.write(line);
        QByteArray out;
        while (!out.endsWith('\n') && cli.waitForReadyRead(10000))
            out += cli.readAllStandardOutput();
        EXPECT_EQ(out, spans);
    }
    cli.closeWriteChannel();
    ASSERT_TRUE(cli.waitForFinished(10000));
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_EQ(cli.readAllStandardError(),
              "varlex-cli: highlight: (standard input): line 2 is not UTF-8: it and the lines after it are read as windows-1252\n");
}

TEST(EngineCli, HighlightReportsWhatFails)
{
    TempFolder folder;
    folder.write("broken.lng", "<language name=\"x\"><tokenset name=\"a\"></language>");
    folder.write("mini.lng", kDefinition);
    const QString mini = folder.file("mini.lng");

    // Unreadable input: exit 3 and one line naming the file.
    const QList<std::pair<QStringList, QString>> unreadable = {
        {{folder.file("broken.lng"), "-"}, "broken.lng"}, {{folder.file("nowhere.lng"), "-"}, "nowhere.lng"},
        {{mini, folder.file("nowhere.txt")}, "nowhere.txt"}, {{mini, folder.path()}, folder.path()}};
    for (const auto &[args, named] : unreadable) {
        const CliResult r = runCli(QStringList{"highlight", "--lng"} + args, "x");
        EXPECT_EQ(std::tuple(r.exitCode, r.out, r.err.count('\n')), std::tuple(3, QByteArray(), qsizetype(1)));
        EXPECT_TRUE(r.err.contains(named.toUtf8())) << r.err.constData();
    }

    // A regexp that backtracks without end is named once and fails only where it runs out.
    const CliResult slow = runCli({"highlight", "--lng", mini, "--format", "spans", "-"},
                                  (QByteArray(60, 'a') + "!\n").repeated(20) + "aa");
    EXPECT_EQ(std::tuple(slow.exitCode, slow.err.count('\n')), std::tuple(0, qsizetype(1))) << slow.err.constData();
    EXPECT_TRUE(slow.err.contains("token \"(a+)+$\"") && slow.err.contains("line 1 of (standard input)"));
    EXPECT_TRUE(slow.out.endsWith(QByteArray::number(20 * 62) + "\t2\tSlow\n")) << slow.out.right(40).constData();

    // Output that cannot be written: exit 1 with the cause.
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QStringLiteral(VARLEX_CLI_PATH), {"highlight", "--lng", mini, folder.file("mini.lng")});
    ASSERT_TRUE(full.waitForFinished(60000));
    EXPECT_EQ(full.exitCode(), 1);
    EXPECT_TRUE(full.readAllStandardError().contains("No space left on device"));
}
