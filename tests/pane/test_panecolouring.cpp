// The pane coloured by a language: styles, re-styling, hyperlinks, member lists, braces and folding.
#include "editorcontrol/editorglobals.h"
#include "editorcontrol/languageobject.h"
#include "widgets/panelexer.h"
#include "widgets/readablecolour.h"
#include "pane/panetest.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include <algorithm>

namespace {

using Sci = QsciScintillaBase;
using PaneTest::putCaret;
using PaneTest::settle;

// A small C-like language: keywords, comments, braces that fold and match, links, member lists.
const QByteArray kSample = R"lng(<language name="Sample">
<tokenset name="Keywords" id="keywords" forecolor="16711680" fontstyle="bold">
<tokens regexp="false" rule="word"><token>if</token><token>else</token></tokens></tokenset>
<tokenset name="Comments" id="blockcomments" type="scope" singlelinescope="false" forecolor="32768" backcolor="14737632">
<tokens regexp="false" rule=""><token>/*</token></tokens><tokens2 regexp="false" rule=""><token>*/</token></tokens2></tokenset>
<tokenset name="Braces" id="scopekeywords" type="scope" singlelinescope="false" matchbraces="true">
<tokens regexp="false" rule=""><token>{</token></tokens><tokens2 regexp="false" rule=""><token>}</token></tokens2></tokenset>
<tokenset name="Links" id="hyperlinks"><tokens regexp="true" rule=""><token>https?://[A-Za-z0-9./_-]+</token></tokens></tokenset>
<tokenset name="Dot" id="operators" memberlist="objects">
<tokens regexp="false" rule=""><token action="ListMembers">.</token></tokens></tokenset>
<tokenset name="Call" id="operators" memberlist="objects">
<tokens regexp="false" rule=""><token action="ParameterInfo">(</token></tokens></tokenset>
</language>)lng";

enum { Keywords, Comments, Braces, Links };

CompiledLanguagePtr sampleLanguage()
{
    LanguageObject object;
    EXPECT_TRUE(object.loadData(kSample, QStringLiteral("sample.lng"))) << object.error().toString().toStdString();
    return CompiledLanguage::compile(*object.definition());
}

int style(int tokenset) { return PaneLexer::styleForTokenset(tokenset); }

int styleAt(EditorPane &pane, int line, int column)
{
    return int(pane.SendScintilla(Sci::SCI_GETSTYLEAT, pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, line) + column));
}

// Styles what is not styled yet, as painting the whole text would.
void styleAll(EditorPane &pane)
{
    pane.SendScintilla(Sci::SCI_COLOURISE, pane.SendScintilla(Sci::SCI_GETENDSTYLED), -1L);
}

} // namespace

TEST(PaneColouring, TokensetsTakeTheirColoursAndFontStyle)
{
    // Style numbers never take the editor's own styles 32..39.
    for (int ts = 0; ts < PaneLexer::kMaxTokensets; ++ts)
        EXPECT_TRUE(PaneLexer::tokensetForStyle(style(ts)) == ts && (style(ts) < 32 || style(ts) > 39)) << ts;
    EXPECT_EQ(style(51), PaneLexer::kPlainStyle);

    // The text first: giving a language re-styles the text in place; non-ASCII text keeps the
    // styles on the right characters (2 + 3 + 4 bytes before the comment).
    EditorPane pane;
    pane.setText(QStringLiteral("if x /* \u00e9\u4e2d\U0001F600 */ else"));
    styleAll(pane);
    pane.setLanguage(sampleLanguage());
    styleAll(pane);
    EXPECT_EQ(std::tuple(styleAt(pane, 0, 1), styleAt(pane, 0, 3), styleAt(pane, 0, 21)),
              std::tuple(style(Keywords), int(PaneLexer::kPlainStyle), style(Keywords)));
    for (int col = 5; col < 20; ++col)
        EXPECT_EQ(styleAt(pane, 0, col), style(Comments)) << col;

    // 0x00BBGGRR: the low byte is red. Colours not set take the pane's own.
    const PaneLexer *lexer = pane.paneLexer();
    EXPECT_EQ(std::tuple(lexer->color(style(Keywords)), lexer->font(style(Keywords)).bold(), lexer->color(style(Comments)),
                         lexer->paper(style(Comments)), lexer->paper(style(Keywords)), lexer->color(style(Braces))),
              std::tuple(QColor(0, 0, 255), true, QColor(0, 128, 0), QColor(0xE0, 0xE0, 0xE0), QColor(Qt::white),
                         QColor(Qt::black)));

    // A language object works too; one that loaded nothing, or none, leaves the text plain.
    LanguageObject object, empty;
    ASSERT_TRUE(object.loadData("<language name=\"L\"><tokenset name=\"K\" id=\"keywords\" forecolor=\"255\">"
                                "<tokens regexp=\"false\"><token>if</token></tokens></tokenset></language>", "l.lng"));
    for (const LanguageObject *o : {&object, &empty}) {
        pane.setLanguage(o);
        styleAll(pane);
        EXPECT_EQ(std::tuple(styleAt(pane, 0, 0), pane.paneLexer()->color(style(0))),
                  o == &object ? std::tuple(style(0), QColor(255, 0, 0)) : std::tuple(int(PaneLexer::kPlainStyle), QColor(Qt::black)));
    }
    pane.setLanguage(static_cast<const LanguageObject *>(nullptr));
    EXPECT_EQ(pane.language(), nullptr);
}

// A keystroke styles its line and perhaps one more, or on to where the state repeats; whatever the
// edits, incremental styling leaves exactly the styles of a fresh styling.
TEST(PaneColouring, IncrementalStylingCostsLittleAndEqualsAFreshStyling)
{
    const CompiledLanguagePtr language = sampleLanguage();
    EditorPane pane;
    pane.setLanguage(language);
    pane.setText(QStringLiteral("if x { y } else z\n").repeated(400));
    styleAll(pane);
    PaneLexer *lexer = pane.paneLexer();
    auto styled = [&](auto edit) {
        lexer->resetLinesStyled();
        edit();
        styleAll(pane);
        return lexer->linesStyled();
    };
    auto type = [&](int line, int column, const QString &text) {
        return styled([&] {
            putCaret(pane, line, column);
            QTest::keyClicks(&pane, text);
        });
    };
    EXPECT_LE(type(200, 3, "q"), 2);
    EXPECT_EQ(styleAt(pane, 200, 1), style(Keywords));
    EXPECT_GE(type(200, 0, "/*"), 200);
    EXPECT_EQ(styleAt(pane, 399, 0), style(Comments));
    EXPECT_GE(styled([&] { pane.undo(); }), 200);
    EXPECT_EQ(styleAt(pane, 399, 0), style(Keywords));
    // Edits far apart before the next styling: each edited line is styled again, even when styling
    // is asked for from the top.
    EXPECT_LE(styled([&] {
                  pane.insertAt(QStringLiteral("if "), 100, 0);
                  pane.insertAt(QStringLiteral("else "), 300, 0);
                  pane.SendScintilla(Sci::SCI_COLOURISE, 0L, -1L);
              }),
              6);
    EXPECT_EQ(styleAt(pane, 300, 5), style(Keywords));

    auto styles = [](EditorPane &p) {
        QByteArray out;
        for (long pos = 0, length = p.SendScintilla(Sci::SCI_GETLENGTH); pos < length; ++pos)
            out.append(char(p.SendScintilla(Sci::SCI_GETSTYLEAT, pos)));
        return out;
    };
    auto sameAsFresh = [&] {
        styleAll(pane);
        EditorPane fresh;
        fresh.setLanguage(language);
        fresh.setText(pane.text());
        styleAll(fresh);
        return styles(pane) == styles(fresh);
    };
    // A new language where only the first lines have been styled since: an edit among them must
    // not take the older lines' states for valid.
    pane.setText(QStringLiteral("if a { b } /* c */ else\n").repeated(40));
    styleAll(pane);
    pane.setLanguage(sampleLanguage());
    pane.SendScintilla(Sci::SCI_COLOURISE, 0L, pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 5));
    pane.insertAt(QStringLiteral("x"), 2, 0);
    EXPECT_TRUE(sameAsFresh());

    const QStringList pieces = {"x", "if ", "/*", "*/", "{", "}", "\n", "\u00e9", "a /* b\n c */ {\n}\n",
                                "http://x.org ", "{ if\n{ {\n"};
    quint32 seed = 12345;
    auto next = [&seed](int bound) {
        seed = seed * 1664525u + 1013904223u;
        return int((seed >> 8) % quint32(bound));
    };
    for (int round = 0; round < 300; ++round) {
        const long length = pane.SendScintilla(Sci::SCI_GETLENGTH);
        long pos = length > 0 ? next(int(length)) : 0;
        pos = pane.SendScintilla(Sci::SCI_POSITIONBEFORE, pos + 1) == pos ? pos : pane.SendScintilla(Sci::SCI_POSITIONBEFORE, pos);
        if (next(3) == 0 && length > 0) {
            const long end = pane.SendScintilla(Sci::SCI_POSITIONRELATIVE, pos, long(1 + next(12)));
            pane.SendScintilla(Sci::SCI_DELETERANGE, pos, (end > pos ? end : length) - pos);
        } else {
            pane.SendScintilla(Sci::SCI_INSERTTEXT, pos, pieces.at(next(int(pieces.size()))).toUtf8().constData());
        }
        if (next(4) != 0) // sometimes several edits before the next styling
            ASSERT_TRUE(sameAsFresh()) << "round " << round;
    }
}

TEST(PaneColouring, HyperlinksAreHotSpotsThatOpen)
{
    EditorPane pane;
    QList<QUrl> opened;
    pane.setLinkOpener([&](const QUrl &url) { opened.append(url); });
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("see http://example.org/a.html now"));
    styleAll(pane);
    EXPECT_TRUE(styleAt(pane, 0, 10) == style(Links) && pane.SendScintilla(Sci::SCI_STYLEGETHOTSPOT, style(Links))
                && !pane.SendScintilla(Sci::SCI_STYLEGETHOTSPOT, style(Keywords)));

    // A click anywhere on the link opens all of it; a click elsewhere does nothing.
    Q_EMIT pane.SCN_HOTSPOTCLICK(12, 0);
    for (int at : {1, -5, 1000})
        EXPECT_FALSE(pane.openLinkAt(at)) << at;
    EXPECT_EQ(opened, QList<QUrl>{QUrl(QStringLiteral("http://example.org/a.html"))});
}

TEST(PaneColouring, MemberListsAndTipsFromTheRegistry)
{
    EditorGlobals globals;
    auto list = std::make_shared<MemberListObject>();
    ASSERT_TRUE(list->loadData("<memberlist name=\"objects\">"
                               "<member name=\"beta\" tip=\"int beta(int n)\"/><member name=\"alpha\"/></memberlist>",
                               QStringLiteral("objects.mbr")));
    globals.registerMemberList(list);

    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setMemberLookup(EditorPane::registryLookup(&globals));
    pane.setText(QStringLiteral("obj"));
    settle(pane);
    putCaret(pane, 0, 3);

    // ListMembers: the list opens after the token and the chosen member is inserted.
    QTest::keyClicks(&pane, QStringLiteral("."));
    EXPECT_TRUE(pane.isListActive());
    pane.SendScintilla(Sci::SCI_AUTOCSELECT, 0UL, "beta");
    pane.SendScintilla(Sci::SCI_AUTOCCOMPLETE);
    EXPECT_EQ(pane.text(), QStringLiteral("obj.beta"));

    // ParameterInfo: the tip of the member named before the token, none for another name. Other
    // characters open nothing; nor does a list that is not registered.
    QTest::keyClicks(&pane, QStringLiteral("("));
    EXPECT_TRUE(pane.isCallTipActive());
    pane.SendScintilla(Sci::SCI_CALLTIPCANCEL);
    QTest::keyClicks(&pane, QStringLiteral(" gamma( x"));
    EXPECT_FALSE(pane.isCallTipActive() || pane.isListActive());
    globals.clearMemberLists();
    QTest::keyClicks(&pane, QStringLiteral("."));
    EXPECT_FALSE(pane.isListActive());
}

TEST(PaneColouring, MatchingBracesAreHighlightedAndScopesFold)
{
    constexpr int kBrace = 9, kBad = 10;
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("{ a\n  { b }\n}\n{ open"));
    auto start = [&](int line) { return int(pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, line)); };
    const int line1 = start(1), line2 = start(2), line3 = start(3);
    const struct {
        int line, column;
        std::vector<int> brace, bad; // positions marked as matched or unmatched
    } cases[] = {
        {0, 0, {0, line2}, {}},             // on the outer opening brace
        {1, 7, {line1 + 2, line1 + 6}, {}}, // after the inner closing brace
        {3, 0, {}, {line3}},                // a brace never closed
        {0, 2, {}, {}},                     // away from braces
    };
    for (const auto &c : cases) {
        putCaret(pane, c.line, c.column);
        settle(pane);
        for (int pos : {0, line1 + 2, line1 + 6, line2, line3}) {
            const long brace = std::count(c.brace.begin(), c.brace.end(), pos) > 0;
            const long bad = std::count(c.bad.begin(), c.bad.end(), pos) > 0;
            EXPECT_EQ(std::tuple(pane.SendScintilla(Sci::SCI_INDICATORVALUEAT, kBrace, pos),
                                 pane.SendScintilla(Sci::SCI_INDICATORVALUEAT, kBad, pos)),
                      std::tuple(brace, bad))
                << c.line << ":" << c.column << " @" << pos;
        }
    }
    // Printed pages leave the highlight out; the screen gets it back.
    struct PagePrinter : QsciPrinter {
        EditorPane *pane;
        std::vector<long> marks;
        void formatPage(QPainter &, bool, QRect &, int) override
        {
            marks.push_back(pane->SendScintilla(Sci::SCI_INDICATORVALUEAT, kBrace, 0L));
        }
    } printer;
    printer.pane = &pane;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::temp().filePath(QStringLiteral("varlex-brace-%1.pdf").arg(QCoreApplication::applicationPid())));
    putCaret(pane, 0, 0);
    settle(pane);
    ASSERT_TRUE(pane.print(printer));
    QFile::remove(printer.outputFileName());
    EXPECT_EQ(printer.marks, std::vector<long>{0});
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_INDICATORVALUEAT, kBrace, 0L), 1);

    pane.setText(QStringLiteral("if {\n  a\n  /* x\n  y */\n}\nz"));
    styleAll(pane);
    auto level = [&](int line) { return int(pane.SendScintilla(Sci::SCI_GETFOLDLEVEL, line)); };
    const int base = Sci::SC_FOLDLEVELBASE, header = Sci::SC_FOLDLEVELHEADERFLAG, number = Sci::SC_FOLDLEVELNUMBERMASK;
    EXPECT_EQ(std::tuple(level(0), level(1) & number, level(2) & header, level(3) & number, level(5)),
              std::tuple(base | header, base + 1, header, base + 2, base));
    pane.foldAll(false);
    EXPECT_TRUE(!pane.SendScintilla(Sci::SCI_GETLINEVISIBLE, 1) && pane.SendScintilla(Sci::SCI_GETLINEVISIBLE, 5));

    // Deep nesting: every line opens a scope that never closes; keywords stay valid inside.
    pane.setText(QStringLiteral("{ if\n").repeated(2000) + QStringLiteral("if"));
    styleAll(pane);
    EXPECT_EQ(std::tuple(styleAt(pane, 2000, 0), level(10) & number), std::tuple(style(Keywords), base + 10));
}

// Under a dark palette a pane that shows a file follows it and keeps the language's colours readable;
// the sample pane keeps black on white and the colours exactly as the language gives them.
TEST(PaneColouring, FilePanesFollowADarkPaletteAndTheSampleKeepsTheLanguage)
{
    const QColor base(30, 30, 30), text(230, 230, 230);
    QPalette dark;
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Window, QColor(45, 45, 45));
    LanguageObject object;
    ASSERT_TRUE(object.loadData("<language name=\"L\">"
                                "<tokenset name=\"Navy\" id=\"keywords\" forecolor=\"8388608\"><tokens regexp=\"false\"><token>a</token></tokens></tokenset>"
                                "<tokenset name=\"Gold\" id=\"keywords\" forecolor=\"55295\"><tokens regexp=\"false\"><token>b</token></tokens></tokenset>"
                                "<tokenset name=\"Boxed\" id=\"keywords\" forecolor=\"8388608\" backcolor=\"16777215\"><tokens regexp=\"false\"><token>c</token></tokens></tokenset>"
                                "</language>",
                                "l.lng"));
    EditorPane file, sample;
    sample.setFollowsPalette(false);
    for (EditorPane *pane : {&file, &sample}) {
        pane->setLanguage(&object);
        pane->setPalette(dark); // as a theme changed while the window is open
    }
    const PaneLexer *lexer = file.paneLexer();
    EXPECT_EQ(std::tuple(lexer->paper(PaneLexer::kPlainStyle), lexer->color(PaneLexer::kPlainStyle), lexer->paper(style(0))),
              std::tuple(base, text, base));
    const QColor navy = lexer->color(style(0));
    EXPECT_GE(ReadableColour::contrast(navy, base), 3.0) << navy.name().toStdString();
    EXPECT_TRUE(navy.blue() > navy.red() && navy.blue() > navy.green()) << navy.name().toStdString(); // still blue
    EXPECT_EQ(lexer->color(style(1)), QColor(255, 215, 0));                        // gold reads as it is
    EXPECT_EQ(std::tuple(lexer->color(style(2)), lexer->paper(style(2))),           // a box of its own stays
              std::tuple(QColor(0, 0, 128), QColor(Qt::white)));
    EXPECT_EQ(file.SendScintilla(Sci::SCI_GETCARETFORE), long(text.red() | text.green() << 8 | text.blue() << 16));

    const PaneLexer *designed = sample.paneLexer();
    EXPECT_EQ(std::tuple(designed->paper(PaneLexer::kPlainStyle), designed->color(PaneLexer::kPlainStyle), designed->color(style(0))),
              std::tuple(QColor(Qt::white), QColor(Qt::black), QColor(0, 0, 128)));
}
