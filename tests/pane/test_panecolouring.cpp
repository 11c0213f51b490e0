// The pane coloured by a language: styles and colours, incremental re-styling, hyperlinks, member
// lists, brace highlighting and folding.
#include "editorcontrol/editorglobals.h"
#include "editorcontrol/languageobject.h"
#include "editorcontrol/pane/panelexer.h"
#include "pane/panetest.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

namespace {

using Sci = QsciScintillaBase;
using PaneTest::putCaret;
using PaneTest::settle;

TokenListDefinition tokens(const QStringList &texts, bool regexp = false, const QString &action = QString())
{
    TokenListDefinition list;
    list.present = true;
    list.regexp = regexp;
    list.rule = regexp ? QString() : QStringLiteral("word");
    for (const QString &t : texts)
        list.tokens.append(TokenDefinition{t, action, regexp, list.rule});
    return list;
}

TokensetDefinition listSet(const QString &name, int id, const QStringList &texts, qint32 fore = -1)
{
    TokensetDefinition ts;
    ts.name = name;
    ts.id = id;
    ts.forecolor = fore;
    ts.tokens = tokens(texts);
    return ts;
}

TokensetDefinition scopeSet(const QString &name, int id, const QString &start, const QString &end,
                            bool matchBraces = false)
{
    TokensetDefinition ts;
    ts.name = name;
    ts.id = id;
    ts.scope = true;
    ts.singlelinescope = false;
    ts.matchbraces = matchBraces;
    ts.tokens = tokens({start});
    ts.tokens.rule.clear();
    ts.tokens.tokens[0].rule.clear();
    ts.tokens2 = tokens({end});
    ts.tokens2.rule.clear();
    ts.tokens2.tokens[0].rule.clear();
    return ts;
}

// A small C-like language: keywords, block comments, braces that fold and match, hyperlinks and a
// member list after a dot.
CompiledLanguagePtr sampleLanguage()
{
    LanguageDefinition d;
    d.name = QStringLiteral("Sample");
    TokensetDefinition keywords = listSet(QStringLiteral("Keywords"), 3, {QStringLiteral("if"), QStringLiteral("else")},
                                          0x00FF0000); // blue
    keywords.fontstyle = 1;
    TokensetDefinition comments = scopeSet(QStringLiteral("Comments"), 6, QStringLiteral("/*"), QStringLiteral("*/"));
    comments.forecolor = 0x00008000; // green
    comments.backcolor = 0x00E0E0E0;
    TokensetDefinition links = listSet(QStringLiteral("Links"), 15, {});
    links.tokens = tokens({QStringLiteral("https?://[A-Za-z0-9./_-]+")}, true);
    TokensetDefinition dot = listSet(QStringLiteral("Dot"), 4, {});
    dot.tokens = tokens({QStringLiteral(".")}, false, QStringLiteral("ListMembers"));
    dot.tokens.tokens[0].rule.clear();
    dot.memberlist = QStringLiteral("objects");
    TokensetDefinition call = listSet(QStringLiteral("Call"), 4, {});
    call.tokens = tokens({QStringLiteral("(")}, false, QStringLiteral("ParameterInfo"));
    call.tokens.tokens[0].rule.clear();
    call.memberlist = QStringLiteral("objects");
    d.tokensets = {keywords, comments, scopeSet(QStringLiteral("Braces"), 5, QStringLiteral("{"), QStringLiteral("}"), true),
                   links, dot, call};
    return CompiledLanguage::compile(d);
}

int styleAt(EditorPane &pane, int line, int column)
{
    return int(pane.SendScintilla(Sci::SCI_GETSTYLEAT, pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, line) + column));
}

// Styles what is not styled yet, as painting the whole text would.
void styleAll(EditorPane &pane)
{
    pane.SendScintilla(Sci::SCI_COLOURISE, pane.SendScintilla(Sci::SCI_GETENDSTYLED), -1L);
}

int indicatorAt(EditorPane &pane, int indicator, int position)
{
    return int(pane.SendScintilla(Sci::SCI_INDICATORVALUEAT, indicator, position));
}

} // namespace

TEST(PaneColouring, StyleNumbersSkipTheEditorsOwnStyles)
{
    for (int ts = 0; ts < PaneLexer::kMaxTokensets; ++ts) {
        const int style = PaneLexer::styleForTokenset(ts);
        EXPECT_FALSE(style >= 32 && style <= 39) << ts;
        EXPECT_GT(style, PaneLexer::kPlainStyle);
        EXPECT_LE(style, PaneLexer::kLastStyle);
        EXPECT_EQ(PaneLexer::tokensetForStyle(style), ts);
    }
    EXPECT_EQ(PaneLexer::styleForTokenset(-1), PaneLexer::kPlainStyle);
    EXPECT_EQ(PaneLexer::styleForTokenset(51), PaneLexer::kPlainStyle);
    EXPECT_EQ(PaneLexer::tokensetForStyle(PaneLexer::kPlainStyle), -1);
    EXPECT_EQ(PaneLexer::tokensetForStyle(34), -1);
}

TEST(PaneColouring, TokensetsTakeTheirColoursAndFontStyle)
{
    // The text first: giving a language re-styles the text in place.
    EditorPane pane;
    pane.setText(QStringLiteral("if x /* note */ else"));
    styleAll(pane);
    pane.setLanguage(sampleLanguage());
    styleAll(pane);
    const int kw = PaneLexer::styleForTokenset(0);
    const int comment = PaneLexer::styleForTokenset(1);
    EXPECT_EQ(styleAt(pane, 0, 0), kw);
    EXPECT_EQ(styleAt(pane, 0, 1), kw);
    EXPECT_EQ(styleAt(pane, 0, 3), PaneLexer::kPlainStyle);
    for (int col = 5; col < 15; ++col)
        EXPECT_EQ(styleAt(pane, 0, col), comment) << col;
    EXPECT_EQ(styleAt(pane, 0, 16), kw);

    // 0x00BBGGRR: the low byte is red.
    PaneLexer *lexer = pane.paneLexer();
    EXPECT_EQ(lexer->color(kw), QColor(0, 0, 255));
    EXPECT_TRUE(lexer->font(kw).bold());
    EXPECT_EQ(lexer->color(comment), QColor(0, 128, 0));
    EXPECT_EQ(lexer->paper(comment), QColor(0xE0, 0xE0, 0xE0));
    // Colours not set take the pane's own.
    EXPECT_EQ(lexer->paper(kw), QColor(Qt::white));
    EXPECT_EQ(lexer->color(PaneLexer::styleForTokenset(2)), QColor(Qt::black));
    EXPECT_EQ(pane.SendScintilla(Sci::SCI_STYLEGETFORE, kw), 0x00FF0000);

    // Without a language everything is plain.
    pane.setLanguage(nullptr);
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 0, 0), PaneLexer::kPlainStyle);
    EXPECT_EQ(styleAt(pane, 0, 6), PaneLexer::kPlainStyle);
}

TEST(PaneColouring, NonAsciiTextKeepsStylesOnTheRightCharacters)
{
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("\u00e9\u4e2d\U0001F600 if"));
    styleAll(pane);
    // 2 + 3 + 4 bytes and a blank come before the keyword.
    EXPECT_EQ(styleAt(pane, 0, 9), PaneLexer::kPlainStyle);
    EXPECT_EQ(styleAt(pane, 0, 10), PaneLexer::styleForTokenset(0));
    EXPECT_EQ(styleAt(pane, 0, 11), PaneLexer::styleForTokenset(0));
}

TEST(PaneColouring, AKeystrokeReStylesOnlyUntilTheStateRepeats)
{
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    QStringList text;
    for (int i = 0; i < 400; ++i)
        text << QStringLiteral("if x%1 { y } else z").arg(i);
    pane.setText(text.join(QLatin1Char('\n')));
    styleAll(pane);
    PaneLexer *lexer = pane.paneLexer();

    // A keystroke in the middle: its line and perhaps one more.
    lexer->resetLinesStyled();
    putCaret(pane, 200, 3);
    QTest::keyClicks(&pane, QStringLiteral("q"));
    styleAll(pane);
    EXPECT_LE(lexer->linesStyled(), 2);
    EXPECT_EQ(styleAt(pane, 200, 0), PaneLexer::styleForTokenset(0));
    EXPECT_EQ(styleAt(pane, 300, 0), PaneLexer::styleForTokenset(0));

    // Opening a comment changes every following line, closing it changes them back.
    lexer->resetLinesStyled();
    putCaret(pane, 200, 0);
    QTest::keyClicks(&pane, QStringLiteral("/*"));
    styleAll(pane);
    EXPECT_GE(lexer->linesStyled(), 200);
    EXPECT_EQ(styleAt(pane, 399, 0), PaneLexer::styleForTokenset(1));
    pane.undo();
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 399, 0), PaneLexer::styleForTokenset(0));

    // Several edits far apart before the next styling: each edited line is styled again.
    styleAll(pane);
    lexer->resetLinesStyled();
    pane.insertAt(QStringLiteral("if "), 100, 0);
    pane.insertAt(QStringLiteral("else "), 300, 0);
    styleAll(pane);
    EXPECT_LE(lexer->linesStyled(), 4);
    EXPECT_EQ(styleAt(pane, 100, 0), PaneLexer::styleForTokenset(0));
    EXPECT_EQ(styleAt(pane, 300, 0), PaneLexer::styleForTokenset(0));
    EXPECT_EQ(styleAt(pane, 300, 5), PaneLexer::styleForTokenset(0));

    // Styling asked for from the top skips the unchanged lines but still reaches an edited one.
    lexer->resetLinesStyled();
    pane.insertAt(QStringLiteral("if "), 350, 0);
    pane.SendScintilla(Sci::SCI_COLOURISE, 0L, -1L);
    EXPECT_LE(lexer->linesStyled(), 3);
    EXPECT_EQ(styleAt(pane, 350, 0), PaneLexer::styleForTokenset(0));

    // Pasting several lines styles them all.
    lexer->resetLinesStyled();
    pane.insertAt(QStringLiteral("/* a\nb\nc */ if\n"), 50, 0);
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 51, 0), PaneLexer::styleForTokenset(1));
    EXPECT_EQ(styleAt(pane, 52, 5), PaneLexer::styleForTokenset(0));
    EXPECT_LE(lexer->linesStyled(), 6);
}

TEST(PaneColouring, IncrementalStylingEqualsAFreshStyling)
{
    // Random edits (single characters, scope tokens, line breaks, multi-line pieces, deletions),
    // each followed by incremental styling, must leave exactly the styles of a fresh full styling.
    const QStringList pieces = {QStringLiteral("x"), QStringLiteral("if "), QStringLiteral("/*"), QStringLiteral("*/"),
                                QStringLiteral("{"), QStringLiteral("}"), QStringLiteral("\n"), QStringLiteral("\u00e9"),
                                QStringLiteral("a /* b\n c */ {\n}\n"), QStringLiteral("http://x.org ")};
    const CompiledLanguagePtr language = sampleLanguage();
    EditorPane pane;
    pane.setLanguage(language);
    pane.setText(QString(QStringLiteral("if a { b } /* c */ else\n")).repeated(40));
    styleAll(pane);
    auto styles = [](EditorPane &p) {
        const long length = p.SendScintilla(Sci::SCI_GETLENGTH);
        QByteArray out;
        for (long pos = 0; pos < length; ++pos)
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
    pane.setLanguage(sampleLanguage());
    pane.SendScintilla(Sci::SCI_COLOURISE, 0L, pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 5));
    pane.insertAt(QStringLiteral("x"), 2, 0);
    EXPECT_TRUE(sameAsFresh());

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
        if (next(4) == 0)
            continue; // sometimes several edits before the next styling
        ASSERT_TRUE(sameAsFresh()) << "round " << round;
    }
}

TEST(PaneColouring, DeepNestingIsStyledAndUndone)
{
    // Every line opens a scope that never closes: each line ends in a deeper state.
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setText(QString(QStringLiteral("{ if\n")).repeated(2000) + QStringLiteral("if"));
    styleAll(pane);
    const int braces = PaneLexer::styleForTokenset(2);
    EXPECT_EQ(styleAt(pane, 1999, 0), braces);
    EXPECT_EQ(styleAt(pane, 2000, 0), PaneLexer::styleForTokenset(0)); // keywords stay valid inside
    auto level = [&](int line) { return pane.SendScintilla(Sci::SCI_GETFOLDLEVEL, line) & Sci::SC_FOLDLEVELNUMBERMASK; };
    EXPECT_EQ(level(10), Sci::SC_FOLDLEVELBASE + 10);
    EXPECT_GE(level(2000), level(10)); // the engine may cap the depth it keeps

    // A comment opened at the top turns everything into comment; taking it back restores the scopes.
    pane.insertAt(QStringLiteral("/*"), 0, 0);
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 2000, 0), PaneLexer::styleForTokenset(1));
    pane.undo();
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 2000, 0), PaneLexer::styleForTokenset(0));
}

TEST(PaneColouring, HyperlinksAreHotSpotsThatOpen)
{
    EditorPane pane;
    QList<QUrl> opened;
    pane.setLinkOpener([&](const QUrl &url) { opened.append(url); });
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("see http://example.org/a.html now"));
    styleAll(pane);
    const int link = PaneLexer::styleForTokenset(3);
    EXPECT_EQ(styleAt(pane, 0, 10), link);
    EXPECT_TRUE(pane.SendScintilla(Sci::SCI_STYLEGETHOTSPOT, link));
    EXPECT_FALSE(pane.SendScintilla(Sci::SCI_STYLEGETHOTSPOT, PaneLexer::styleForTokenset(0)));

    // A click anywhere on the link opens all of it; a click elsewhere does nothing.
    Q_EMIT pane.SCN_HOTSPOTCLICK(12, 0);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened.at(0), QUrl(QStringLiteral("http://example.org/a.html")));
    EXPECT_FALSE(pane.openLinkAt(1));
    EXPECT_FALSE(pane.openLinkAt(-5));
    EXPECT_FALSE(pane.openLinkAt(1000));
    EXPECT_EQ(opened.size(), 1);
}

TEST(PaneColouring, MemberListsAndTipsFromTheRegistry)
{
    EditorGlobals globals;
    auto list = std::make_shared<MemberListObject>();
    ASSERT_TRUE(list->loadData("<memberlist name=\"objects\">"
                               "<member name=\"beta\" tip=\"int beta(int n)\"/><member name=\"alpha\"/>"
                               "</memberlist>",
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
    ASSERT_TRUE(pane.isListActive());
    pane.SendScintilla(Sci::SCI_AUTOCSELECT, 0UL, "beta");
    pane.SendScintilla(Sci::SCI_AUTOCCOMPLETE);
    EXPECT_EQ(pane.text(), QStringLiteral("obj.beta"));
    EXPECT_FALSE(pane.isListActive());

    // ParameterInfo: the tip of the member named before the token.
    QTest::keyClicks(&pane, QStringLiteral("("));
    EXPECT_TRUE(pane.isCallTipActive());
    pane.SendScintilla(Sci::SCI_CALLTIPCANCEL);
    QTest::keyClicks(&pane, QStringLiteral(" gamma("));
    EXPECT_FALSE(pane.isCallTipActive()); // no such member

    // Other characters open nothing; nor does a list that is not registered.
    QTest::keyClicks(&pane, QStringLiteral(" x"));
    EXPECT_FALSE(pane.isListActive());
    globals.clearMemberLists();
    QTest::keyClicks(&pane, QStringLiteral("."));
    EXPECT_FALSE(pane.isListActive());
}

TEST(PaneColouring, LanguageFromALanguageObject)
{
    EditorPane pane;
    pane.setText(QStringLiteral("if x"));
    LanguageObject object;
    ASSERT_TRUE(object.loadData("<language name=\"L\"><tokenset name=\"K\" id=\"keywords\" forecolor=\"255\">"
                                "<tokens regexp=\"false\"><token>if</token></tokens></tokenset></language>",
                                QStringLiteral("l.lng")));
    pane.setLanguage(&object);
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 0, 0), PaneLexer::styleForTokenset(0));
    EXPECT_EQ(pane.paneLexer()->color(PaneLexer::styleForTokenset(0)), QColor(255, 0, 0));

    // An object that loaded nothing leaves the text plain.
    const LanguageObject empty;
    pane.setLanguage(&empty);
    styleAll(pane);
    EXPECT_EQ(styleAt(pane, 0, 0), PaneLexer::kPlainStyle);
    pane.setLanguage(static_cast<const LanguageObject *>(nullptr));
    EXPECT_EQ(pane.language(), nullptr);
}

TEST(PaneColouring, MatchingBracesAreHighlighted)
{
    constexpr int kBrace = 9;
    constexpr int kBad = 10;
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("{ a\n  { b }\n}\n{ open"));
    settle(pane);

    putCaret(pane, 0, 0); // on the outer opening brace
    settle(pane);
    const int close = int(pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 2));
    EXPECT_EQ(indicatorAt(pane, kBrace, 0), 1);
    EXPECT_EQ(indicatorAt(pane, kBrace, close), 1);
    EXPECT_EQ(indicatorAt(pane, kBrace, int(pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 1)) + 2), 0);

    putCaret(pane, 1, 7); // after the inner closing brace
    settle(pane);
    const int inner = int(pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 1));
    EXPECT_EQ(indicatorAt(pane, kBrace, inner + 2), 1);
    EXPECT_EQ(indicatorAt(pane, kBrace, inner + 6), 1);
    EXPECT_EQ(indicatorAt(pane, kBrace, 0), 0);

    putCaret(pane, 3, 0); // a brace never closed
    settle(pane);
    const int open = int(pane.SendScintilla(Sci::SCI_POSITIONFROMLINE, 3));
    EXPECT_EQ(indicatorAt(pane, kBad, open), 1);
    EXPECT_EQ(indicatorAt(pane, kBrace, 0), 0);

    putCaret(pane, 0, 2); // away from braces: nothing
    settle(pane);
    EXPECT_EQ(indicatorAt(pane, kBrace, 0), 0);
    EXPECT_EQ(indicatorAt(pane, kBad, open), 0);
}

TEST(PaneColouring, ScopesFold)
{
    EditorPane pane;
    pane.setLanguage(sampleLanguage());
    pane.setText(QStringLiteral("if {\n  a\n  /* x\n  y */\n}\nz"));
    styleAll(pane);
    auto level = [&](int line) { return int(pane.SendScintilla(Sci::SCI_GETFOLDLEVEL, line)); };
    const int base = Sci::SC_FOLDLEVELBASE;
    EXPECT_EQ(level(0), base | Sci::SC_FOLDLEVELHEADERFLAG);
    EXPECT_EQ(level(1) & Sci::SC_FOLDLEVELNUMBERMASK, base + 1);
    EXPECT_TRUE(level(2) & Sci::SC_FOLDLEVELHEADERFLAG);
    EXPECT_EQ(level(3) & Sci::SC_FOLDLEVELNUMBERMASK, base + 2);
    EXPECT_EQ(level(5), base);

    pane.foldAll(false);
    EXPECT_FALSE(pane.SendScintilla(Sci::SCI_GETLINEVISIBLE, 1));
    EXPECT_TRUE(pane.SendScintilla(Sci::SCI_GETLINEVISIBLE, 5));
}
