// Converting KDE syntax definitions: each rule kind and each way contexts switch, on small definitions
// written here, converted by varlex-cli and coloured by the engine from the definition it wrote.

#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/languageobject.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// A definition "Test KDE" whose contexts are `contexts` and whose item data are these.
QByteArray definition(const QByteArray &contexts, const QByteArray &lists = {}, const QByteArray &general = {})
{
    return R"K(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE language>
<language name="Test KDE" section="Sources" version="1" kateversion="5.0" extensions="*.tk">
  <highlighting>
)K" + lists + R"K(
    <contexts>
)K" + contexts + R"K(
    </contexts>
    <itemDatas>
      <itemData name="Normal" defStyleNum="dsNormal"/>
      <itemData name="Keyword" defStyleNum="dsKeyword"/>
      <itemData name="Type" defStyleNum="dsDataType" color="#008000" bold="0"/>
      <itemData name="Number" defStyleNum="dsDecVal"/>
      <itemData name="String" defStyleNum="dsString"/>
      <itemData name="Escape" defStyleNum="dsSpecialChar"/>
      <itemData name="Comment" defStyleNum="dsComment"/>
      <itemData name="Op" defStyleNum="dsOperator"/>
      <itemData name="Error" defStyleNum="dsError"/>
    </itemDatas>
  </highlighting>
  <general>)K" + general + R"K(</general>
</language>
)K";
}

struct Converted {
    int exitCode = -1;
    QString report; // standard error
    QByteArray xml;

    // The text as the converted language colours it: [Tokenset:text] for each run not plain text.
    std::string colour(const QString &text) const
    {
        LanguageObject object;
        if (!object.loadData(xml, QStringLiteral("converted.lng")))
            return QStringLiteral("(does not load: %1)").arg(object.error().toString()).toStdString();
        Highlighter highlighter(CompiledLanguage::compile(*object.definition()));
        const CompiledLanguagePtr &language = highlighter.language();
        QString out;
        for (const StyleRun &r : highlighter.highlightText(text, true)) {
            const QString piece = text.mid(r.start, r.length);
            const QString name = r.tokenset < 0 ? QString() : language->tokensetName(r.tokenset);
            out += name.isEmpty() || name == QLatin1String("Normal") ? piece : u'[' + name + u':' + piece + u']';
        }
        return out.toStdString();
    }
};

// Converts `file` (as t.xml), with `others` (file name -> content) beside it in the same folder, or in
// a folder given with --path when `viaPath` is set.
Converted convert(const QByteArray &file, const QList<std::pair<QString, QByteArray>> &others = {}, bool viaPath = false)
{
    TestUtil::TempFolder dir;
    TestUtil::TempFolder elsewhere;
    dir.write(QStringLiteral("t.xml"), file);
    for (const auto &[name, content] : others)
        (viaPath ? elsewhere : dir).write(name, content);
    QStringList args{QStringLiteral("convert"), dir.file(QStringLiteral("t.xml"))};
    if (viaPath)
        args << QStringLiteral("--path") << elsewhere.path();
    const TestUtil::CliResult r = TestUtil::runCli(args);
    return {r.exitCode, QString::fromUtf8(r.err), r.out};
}

// Thirty calls "c0(" to "c29(" in the normal colour, each closed by ")" and holding `rules` (%1: the
// call's number), as the openers for the outermost context and the calls' contexts: more scopes than
// a language holds tokensets for.
std::pair<QByteArray, QByteArray> thirtyCalls(const char *rules = R"K(<StringDetect attribute="Keyword" String="k%1"/>)K")
{
    QByteArray opens, calls;
    for (int i = 0; i < 30; ++i) {
        opens += QStringLiteral(R"K(<StringDetect attribute="Normal" context="C%1" String="c%1("/>)K").arg(i).toUtf8();
        calls += QStringLiteral(R"K(<context name="C%1" attribute="Normal" lineEndContext="#stay">
            <DetectChar attribute="Normal" context="#pop" char=")"/>)K").arg(i).toUtf8()
                 + QString::fromUtf8(rules).arg(i).toUtf8() + "</context>";
    }
    return {opens, calls};
}

} // namespace

TEST(KdeConversion, CharacterAndStringRules)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Op" char="-" char1="&gt;"/>
        <DetectChar attribute="Op" char=";"/>
        <AnyChar attribute="Keyword" String="@$"/>
        <StringDetect attribute="Keyword" String="BEGIN" insensitive="true"/>
        <WordDetect attribute="Type" String="int"/>
        <RangeDetect attribute="String" char="&lt;" char1="&gt;"/>
        <DetectIdentifier/>
        <DetectSpaces/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("a->b; @x begin int intx <inc> ->")),
              std::string("a[Op:->]b[Op:;] [Keyword:@]x [Keyword:begin] [Type:int] intx [String:<inc>] [Op:->]"));
    // An item's own colour and bold="0" win over its default style's.
    EXPECT_TRUE(c.xml.contains(R"K(name="Type" id="keywords" type="list" autoindent="false" backcolor="16777215" casesensitive="true" chain="false" enabled="true" forecolor="32768" fontstyle="normal")K"))
        << c.xml.toStdString();
    EXPECT_TRUE(c.report.endsWith(QStringLiteral("0 approximated, 0 merged, 0 dropped\n"))) << c.report.toStdString();
}

TEST(KdeConversion, NumbersKeywordsAndDelimiters)
{
    const Converted c = convert(
        definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <keyword attribute="Keyword" String="kw"/>
        <HlCHex attribute="Number"/>
        <HlCOct attribute="Number"/>
        <Float attribute="Number"/>
        <Int attribute="Number"><StringDetect String="UL" insensitive="true"/></Int>
        <HlCChar attribute="String"/>
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#pop">
        <HlCStringChar attribute="Escape"/>
        <LineContinue attribute="Escape"/>
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
      </context>)K",
                   R"K(<list name="words"><item>if</item><item>else</item><include>more</include></list>
                      <list name="more"><item>set-up</item></list>)K",
                   R"K(<keywords casesensitive="0" weakDeliminator="-" additionalDeliminator="#"/>)K")
            .replace("String=\"kw\"", "String=\"words\""));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // "-" is part of a word here, "#" ends one; keywords ignore case; a child rule extends its parent.
    EXPECT_EQ(c.colour(QStringLiteral("IF set-up if-x #else x1 0x1F 017 1.5e3 42ul 'a' '\\n'")),
              std::string("[Keyword:IF] [Keyword:set-up] if-x #[Keyword:else] x1 [Number:0x1F] [Number:017] "
                             "[Number:1.5e3] [Number:42ul] [String:'a'] [String:'\\n']"));
    EXPECT_EQ(c.colour(QStringLiteral("\"a\\tb\" \"open\nif")),
              std::string("[Str:\"a][Escape:\\t][Str:b\"] [Str:\"open]\n[Keyword:if]"));
    // A line that ends in "\\" goes on in the string; the next, which does not, closes it at its end.
    EXPECT_EQ(c.colour(QStringLiteral("\"a \\\nif\nif")), std::string("[Str:\"a ][Escape:\\][Str:\nif]\n[Keyword:if]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Str: approximated: LineContinue: the scope goes on"))) << c.report.toStdString();
}

TEST(KdeConversion, ContextStackBecomesScopes)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="Block" char="/" char1="*"/>
        <Detect2Chars attribute="Comment" context="Line" char="/" char1="/"/>
        <DetectChar attribute="Op" context="Paren" char="("/>
        <RegExpr attribute="Keyword" context="Def" String="\bdef\b"/>
        <RegExpr attribute="Keyword" String="\bend\b" firstNonSpace="true"/>
        <RegExpr attribute="Type" String="T" column="0"/>
      </context>
      <context name="Block" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop" char="*" char1="/"/>
      </context>
      <context name="Line" attribute="Comment" lineEndContext="#pop"/>
      <context name="Paren" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="Def" attribute="Type" lineEndContext="#pop" fallthroughContext="#pop">
        <DetectSpaces/>
        <RegExpr attribute="Type" String="\w+"/>
        <RegExpr context="#pop" String="=" lookAhead="true"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // Block and line comments; a context pushed from itself nests (a parenthesis in one).
    EXPECT_EQ(c.colour(QStringLiteral("/* a\nb */ x // c\ny")), std::string("[Block:/* a\nb */] x [Line:// c]\ny"));
    EXPECT_EQ(c.colour(QStringLiteral("((/*)*/))x")), std::string("[Op:((][Block:/*)*/][Op:))]x"));
    EXPECT_TRUE(c.xml.contains(R"K(name="Block" id="blockcomments")K"));
    EXPECT_TRUE(c.xml.contains(R"K(name="Line" id="linecomments")K"));
    // firstNonSpace and column.
    EXPECT_EQ(c.colour(QStringLiteral("  end end\nT T")), std::string("  [Keyword:end] end\n[Type:T] T"));
    // A context that falls through opens with what its first rule takes; it closes on a name no rule
    // goes on from (the "(" after it is left to open its own scope), on the first character no rule
    // takes, and a look-ahead #pop on its text.
    EXPECT_EQ(c.colour(QStringLiteral("def f(x)")), std::string("[Def:def f][Op:(]x[Op:)]"));
    EXPECT_EQ(c.colour(QStringLiteral("def f = 1")), std::string("[Def:def ][Type (2):f ][Def:=] 1"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Def: approximated: fallthroughContext \"#pop\"")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Def: approximated: <RegExpr> (line")));
}

TEST(KdeConversion, TheFirstRuleWinsAsInKde)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <StringDetect attribute="Keyword" String="a"/>
        <RegExpr attribute="Number" String="ab+"/>
        <DetectChar attribute="String" context="Str" char="'"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="'"/>
        <RegExpr attribute="Escape" String="'[a-z]+"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // "a" comes first, so "abb" is "a" and plain "bb"; the scope's end comes before a longer rule.
    EXPECT_EQ(c.colour(QStringLiteral("abb bb")), std::string("[Keyword:a]bb bb"));
    EXPECT_EQ(c.colour(QStringLiteral("'x'yz a'")), std::string("[Str:'x']yz [Keyword:a][Str:']"));
}

TEST(KdeConversion, DispatchContextsFoldAndDynamicRulesAreReported)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="String" context="Here" String="--\[(=*)\[" dynamic="true"/>
        <DetectChar attribute="Op" context="A" char="["/>
        <DetectChar context="Pick" char="'" lookAhead="true"/>
      </context>
      <context name="Here" attribute="String" lineEndContext="#stay" dynamic="true">
        <RegExpr attribute="String" context="#pop" String="\]%1\]" dynamic="true"/>
      </context>
      <context name="A" attribute="Op" lineEndContext="#stay">
        <DetectChar attribute="Op" context="B" char="{"/>
      </context>
      <context name="B" attribute="Keyword" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop" char="]"/>
        <DetectChar attribute="Op" context="#pop" char="|"/>
        <IncludeRules context="Nowhere"/>
      </context>
      <context name="Pick" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">
        <StringDetect attribute="Number" context="#pop" String="'0'"/>
        <DetectChar attribute="String" context="#pop!Str" char="'"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="String" context="#pop" char="'"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // The closing group stands for any text its group could match: "]]" closes too.
    EXPECT_EQ(c.colour(QStringLiteral("--[==[ a\n]] b ]==] c")), std::string("[Here:--[==[ a\n]]] b ]==] c"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Here: approximated: dynamic regexp \"\\]%1\\]\""))) << c.report.toStdString();
    // B only leaves: "{" and what follows it in B are one rule of A, so "{]" pops A and B at once.
    EXPECT_EQ(c.colour(QStringLiteral("[{]x [{|x")), std::string("[A:[{]]x [A:[][Op:{|][A:x]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("B: approximated: the context is folded into the rules that open it")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("B: dropped: reference to context \"Nowhere\": no such context")));
    // A look-ahead into a dispatcher: each of its rules, looked ahead at, is a rule of Main.
    EXPECT_EQ(c.colour(QStringLiteral("'0' 'ab'")), std::string("[Number:'0'] [Str:'ab']"));
}

TEST(KdeConversion, IncludedDefinitionsAreFoundBesideItAndOnThePath)
{
    const QByteArray other = R"K(<language name="Other Lang" version="1" kateversion="5.0" section="Other">
      <highlighting><list name="names"><item>TODO</item></list><contexts>
        <context name="Start" attribute="Alert" lineEndContext="#stay"><keyword attribute="Alert" String="names"/></context>
      </contexts><itemDatas><itemData name="Alert" defStyleNum="dsAlert" color="#ff00ff"/></itemDatas></highlighting>
    </language>)K";
    const QByteArray main = definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="Line" char="/" char1="/"/>
      </context>
      <context name="Line" attribute="Comment" lineEndContext="#pop">
        <IncludeRules context="##Other Lang"/>
      </context>)K");
    for (const bool viaPath : {false, true}) {
        const Converted c = convert(main, {{QStringLiteral("other.xml"), other}}, viaPath);
        ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
        EXPECT_EQ(c.colour(QStringLiteral("x // a TODO b")), std::string("x [Line:// a ][Alert:TODO][Line: b]"));
        EXPECT_TRUE(c.xml.contains(R"K(forecolor="16711935")K")) << c.xml.toStdString();
    }
    const Converted missing = convert(main);
    ASSERT_EQ(missing.exitCode, 0);
    EXPECT_TRUE(missing.report.contains(QStringLiteral("Line: dropped: definition \"Other Lang\" was not found")))
        << missing.report.toStdString();
}

TEST(KdeConversion, RefusalsSayWhy)
{
    const Converted noContexts = convert(R"K(<language name="X"><highlighting><itemDatas/></highlighting></language>)K");
    EXPECT_EQ(noContexts.exitCode, 1);
    EXPECT_TRUE(noContexts.report.contains(QStringLiteral("the definition has no contexts"))) << noContexts.report.toStdString();
    EXPECT_EQ(noContexts.report.count(u'\n'), 1);
    const Converted broken = convert(R"K(<language name="X"><highlighting><contexts><context name="a"></contexts>)K");
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_EQ(broken.report.count(u'\n'), 1);
}

TEST(KdeConversion, StringVariantsShareAScopeAndAClosingScopeOpensNothingInside)
{
    // Sixty string variants (prefix "aN'") that end in a context looking for a second string; a
    // block comment at the start of a line that a bracket's own string rule comes before.
    QByteArray main = R"K(<context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Comment" context="Doc" String="&quot;&quot;&quot;" firstNonSpace="true"/>
        <DetectChar attribute="Op" context="Bracket" char="["/>
        <DetectChar attribute="String" context="S0" char="&quot;"/>)K";
    QByteArray variants;
    for (int i = 0; i < 60; ++i) {
        main += QStringLiteral(R"K(<StringDetect attribute="String" context="S%1" String="a%1'"/>)K").arg(i).toUtf8();
        variants += QStringLiteral(R"K(<context name="S%1" attribute="String" lineEndContext="#pop">
            <DetectChar attribute="String" context="#pop!Next" char="'"/>
            <DetectChar attribute="String" context="#pop!Bang" char="!"/>
          </context>)K").arg(i).toUtf8();
    }
    const Converted c = convert(definition(main + R"K(</context>
      <context name="Doc" attribute="Comment" lineEndContext="#stay">
        <StringDetect attribute="Comment" context="#pop" String="&quot;&quot;&quot;"/>
      </context>
      <context name="Bracket" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="]"/>
        <DetectChar attribute="String" context="S0" char="&quot;"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="Next" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">
        <DetectSpaces/>
      </context>
      <context name="Bang" attribute="Keyword" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char=";"/>
      </context>)K" + variants));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // Alike string contexts are one scope (opened as the first of them) before any is cut down to a token.
    EXPECT_FALSE(c.report.contains(QStringLiteral("S1"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("a7'x'a59'y'z")), std::string("[S0:a7'x'a59'y']z"));
    // "!" closes the string and would open Bang in its place: the string closes, Bang does not open.
    EXPECT_EQ(c.colour(QStringLiteral("a1'x!y;a2'z'")), std::string("[S0:a1'x!]y;[S0:a2'z']"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("S0: approximated: \"#pop!Bang\": the scope closes; \"Bang\" does not open in its place")));
    // At the outermost level the comment comes first (in a bracket the string would).
    EXPECT_EQ(c.colour(QStringLiteral("\"\"\"d\"\"\"")), std::string("[Doc:\"\"\"d\"\"\"]"));
}

TEST(KdeConversion, ContextsThatFallThroughToAnotherGoOnInIt)
{
    const Converted c = convert(definition(R"K(
      <context name="Start" attribute="Normal" lineEndContext="#stay" fallthroughContext="Code">
        <Detect2Chars attribute="Comment" context="Shebang" char="#" char1="!" column="0"/>
      </context>
      <context name="Shebang" attribute="Comment" lineEndContext="#pop!Code"/>
      <context name="Code" attribute="Normal" lineEndContext="#stay">
        <WordDetect attribute="Keyword" String="if"/>
        <DetectChar attribute="Op" context="Paren" char="("/>
      </context>
      <context name="Paren" attribute="Op" lineEndContext="#stay" fallthroughContext="Word">
        <DetectChar attribute="Op" context="#pop" char=")"/>
      </context>
      <context name="Word" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">
        <RegExpr attribute="Type" context="#pop" String="[A-Z]\w*"/>
        <RegExpr attribute="Number" context="#pop" String="[0-9]+"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // The first context only looks for a first line of its own: the code is the outermost level. A
    // context that falls through to one that only passes on takes that one's rules after its own.
    EXPECT_EQ(c.colour(QStringLiteral("#!/bin/x\nif (T 1)")),
              std::string("[Shebang:#!/bin/x]\n[Keyword:if] [Paren:(][Type:T][Paren: ][Number:1][Paren:)]"));
    EXPECT_FALSE(c.report.contains(QStringLiteral("fallthroughContext"))) << c.report.toStdString();
}

TEST(KdeConversion, ALookAheadCloserOfTheScopeAroundChainsThroughAndAlikeContextsAreOne)
{
    // "Args" and "Args in block" differ only in the look-ahead "}" that passes the brace on to the
    // block around, which closes on it: one scope, through which the block's closer chains.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="Block" char="{"/>
        <DetectChar attribute="Op" context="Args" char="("/>
      </context>
      <context name="Block" attribute="Keyword" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="}"/>
        <DetectChar attribute="Op" context="Args in block" char="("/>
      </context>
      <context name="Args" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
        <DetectChar attribute="String" context="#stay" char="}"/>
      </context>
      <context name="Args in block" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="}" lookAhead="true"/>
        <DetectChar attribute="Op" context="#pop" char=")"/>
        <DetectChar attribute="String" context="#stay" char="}"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("{ f(x } y (}) {(})")),
              std::string("[Block:{ f][Op:(]x [Block:}] y [Op:(][String:}][Op:)] [Block:{][Op:(][Block:}])"));
    EXPECT_FALSE(c.xml.contains("Args in block")) << c.xml.toStdString();
    EXPECT_TRUE(c.report.endsWith(QStringLiteral("1 approximated, 0 merged, 0 dropped\n"))) << c.report.toStdString(); // Args takes the colour of its "("
}

TEST(KdeConversion, AContextThatOnlyWaitsForTheLineEndClosesTheBlockWithIt)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Comment" context="Doc" String="=\w+" column="0"/>
      </context>
      <context name="Doc" attribute="Comment" lineEndContext="#stay">
        <StringDetect attribute="Comment" context="DocEnd" String="=cut" column="0"/>
      </context>
      <context name="DocEnd" attribute="Comment" lineEndContext="#pop#pop"/>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("=pod\nx\n=cut y\nz")), std::string("[Doc:=pod\nx\n=cut y]\nz"));
}

TEST(KdeConversion, WhatComesAfterANameOrNumberIsFoldedWithoutEmptyMatchesOrBlanksOpeningIt)
{
    // After a name or a number "/" divides; elsewhere it opens a pattern. The number rule may match
    // nothing, which KDE does not take: a name is no number with a suffix.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectSpaces/>
        <WordDetect attribute="Keyword" String="return"/>
        <RegExpr attribute="Number" context="Suffix" String="\b[0-9]*"/>
        <DetectIdentifier context="AfterValue"/>
        <DetectChar attribute="String" context="Pattern" char="/"/>
      </context>
      <context name="Suffix" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop!AfterValue">
        <RegExpr attribute="Op" context="#pop!AfterValue" String="[a-z]+"/>
      </context>
      <context name="AfterValue" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">
        <DetectSpaces/>
        <DetectChar attribute="Op" context="#pop" char="/"/>
      </context>
      <context name="Pattern" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="String" context="#pop" char="/"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // (A folded rule takes the colour of the first that consumes text: "2 /" is the number's.)
    EXPECT_EQ(c.colour(QStringLiteral("return /x/ abc / 2 / 4u / y")),
              std::string("[Keyword:return] [Pattern:/x/] abc / [Number:2 /] [Number:4u /] y"));
    // Blanks after the name open no scope of their own.
    EXPECT_FALSE(c.xml.contains(R"(name="AfterValue")")) << c.xml.toStdString();
}

TEST(KdeConversion, ACommentInACommentThatClosesBothGoes)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="Doc" char="/" char1="*"/>
      </context>
      <context name="Doc" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop" char="*" char1="/"/>
        <RegExpr attribute="Comment" context="Tag" String="@\w+"/>
      </context>
      <context name="Tag" attribute="Comment" lineEndContext="#pop">
        <Detect2Chars attribute="Comment" context="#pop#pop" char="*" char1="/"/>
        <DetectSpaces/>
        <RegExpr attribute="Keyword" context="#pop" String="\w+"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // Kept as a scope, "*/" would close the tag only and leave the comment open.
    EXPECT_EQ(c.colour(QStringLiteral("/* @var */ x /* @a b */")), std::string("[Doc:/* @var */] x [Doc:/* @a b */]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Tag: merged: the context colours as the comment around it (its end closes that one too)")))
        << c.report.toStdString();
}

TEST(KdeConversion, AContextLookedIntoIsFoldedWhenOnlyItsLeavingRulesCanTakeWhatWasSeen)
{
    // "Pick" stays over blanks and names, but is only ever entered at a "#", which those cannot take.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Comment" context="Pick" char="#" lookAhead="true"/>
        <DetectIdentifier/>
      </context>
      <context name="Pick" attribute="Comment" lineEndContext="#pop">
        <DetectSpaces/>
        <Detect2Chars attribute="Comment" context="#pop!Block" char="#" char1="["/>
        <DetectChar attribute="Comment" context="#pop!Line" char="#"/>
        <DetectIdentifier/>
      </context>
      <context name="Line" attribute="Comment" lineEndContext="#pop"/>
      <context name="Block" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop" char="]" char1="#"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("a # x\nb #[ y\n]# c")), std::string("a [Line:# x]\nb [Block:#[ y\n]#] c"));
}

TEST(KdeConversion, ARuleThatClosesScopesAroundIsTheirCloserChainedThrough)
{
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Set" char="{"/>
        <DetectChar attribute="Comment" context="Pseudo" char=":"/>
      </context>
      <context name="Pseudo" attribute="Comment" lineEndContext="#pop">
        <RegExpr attribute="Comment" context="#pop" String="[a-z]+"/>
      </context>
      <context name="Set" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="}"/>
        <RegExpr attribute="Keyword" context="Rule" String="[a-z]+(?=\s*:)" lookAhead="true"/>
        <RegExpr attribute="Type" context="At" String="(?=@)(?&lt;![a-z])(?i)@[a-z]+"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="At" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=";"/>
      </context>
      <context name="Rule" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Values" char=":"/>
        <RegExpr attribute="Keyword" String="[a-z]+"/>
      </context>
      <context name="Values" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop" char=";"/>
        <DetectChar attribute="Op" context="#pop#pop#pop" char="}"/>
        <Int attribute="Number"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // ";" closes the values and the rule, "}" the set too: after them names are rules again. No scope
    // opens for the rule: its name is a token where the look-ahead at "name:" matches (not "b" before
    // "c:"), its ":" opens the values there, before the ":" the set shares with the outermost level, and
    // ";" shows its own colour. A block of the set whose start begins by looking ahead at another
    // character ("@") does not keep "}" from chaining.
    EXPECT_EQ(c.colour(QStringLiteral("x:y { a: 1; b c: 2 } 3")),
              std::string("x[Comment::y] [Op:{] [Keyword:a][Op (2)::] [Number:1][Op (2):;] b [Keyword:c][Op (2)::] [Number:2] [Op:}] 3"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Rule: approximated: no scope opens for the context: its rules are valid where it is looked into")))
        << c.report.toStdString();
}

TEST(KdeConversion, AValueOpenedFromARuleBlockStandsAsDeepAsItDoesInKde)
{
    // Comments stand in eleven places, one more than a tokenset holds. The value opened from the rule
    // block stands one context deeper in KDE (inside the rule looked into) than the block nested in "@":
    // the value's place goes, not the nested block's.
    QByteArray blocks, opens;
    for (const char c : QByteArray("123456")) {
        opens += QByteArray("<DetectChar context=\"B") + c + "\" char=\"" + c + "\"/>";
        blocks += QByteArray("<context name=\"B") + c + "\" attribute=\"Normal\" lineEndContext=\"#stay\"><DetectChar context=\"#pop\" char=\""
            + char(c + 'a' - '1') + "\"/><DetectChar attribute=\"Keyword\" char=\"" + char(c + 'A' - '1') + "\"/><IncludeRules context=\"Com\"/></context>";
    }
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Set" char="{"/>
        <DetectChar attribute="Type" context="At" char="@"/>
        <DetectChar context="Paren" char="("/>
        )K" + opens + R"K(
        <IncludeRules context="Com"/>
      </context>
      <context name="Paren" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="#pop" char=")"/>
        <Int attribute="Number"/>
      </context>
      <context name="Com" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="Comment" char="/" char1="*"/>
      </context>
      <context name="Comment" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop" char="*" char1="/"/>
        <DetectSpaces/>
      </context>
      <context name="At" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Nested" char="{"/>
        <DetectChar attribute="Op" context="#pop" char=";"/>
        <IncludeRules context="Com"/>
      </context>
      <context name="Nested" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop" char="}"/>
        <IncludeRules context="Com"/>
        <DetectChar attribute="String" char="$"/>
      </context>
      <context name="Set" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="}"/>
        <RegExpr attribute="Keyword" context="Rule" String="[a-z]+(?=\s*:)" lookAhead="true"/>
        <IncludeRules context="Com"/>
      </context>
      <context name="Rule" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Values" char=":"/>
        <RegExpr attribute="Keyword" String="[a-z]+"/>
      </context>
      <context name="Values" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop" char=";"/>
        <IncludeRules context="Com"/>
        <Int attribute="Number"/>
      </context>
      )K" + blocks));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("tokenset \"Comment\" is no longer valid in"))) << c.report.toStdString();
    const std::string nested = c.colour(QStringLiteral("@ { /* c */ }")), value = c.colour(QStringLiteral("{ a: 1 /* d */; }"));
    EXPECT_NE(nested.find("[Comment:/*]"), std::string::npos) << nested;
    EXPECT_EQ(value.find("[Comment:/*]"), std::string::npos) << value;
}

TEST(KdeConversion, AScopeOpenedOneWayHereAndAnotherThereIsOneScopePerPlace)
{
    // "Body" opens on "do$" in code and on "$" in a function: in code "$" opens a string.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <StringDetect attribute="Keyword" context="Body" String="do$"/>
        <WordDetect attribute="Keyword" context="Function" String="function"/>
        <DetectChar attribute="String" context="Dollar" char="$"/>
      </context>
      <context name="Function" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Body" char="$"/>
        <DetectChar attribute="Op" context="#pop" char=";"/>
      </context>
      <context name="Body" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="$"/>
        <WordDetect attribute="Keyword" String="begin"/>
      </context>
      <context name="Dollar" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="$"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("$begin$ do$ begin $ function $ begin $;")),
              std::string("[Dollar:$begin$] [Body:do$ ][Keyword:begin][Body: $] [Keyword (2):function] [Body (2):$ ][Keyword:begin][Body (2): $][Keyword (2):;]"));
}

TEST(KdeConversion, ASuffixThatFallsThroughPastItselfEndsTheNumber)
{
    // After a number its suffix, then anything wrong glued to it; at the first other character both
    // are left (the number's scope closes there).
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="Block" char="/" char1="*"/>
        <Int attribute="Number" context="Suffix"/>
      </context>
      <context name="Block" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop" char="*" char1="/"/>
      </context>
      <context name="Suffix" attribute="Number" lineEndContext="#pop#pop" fallthroughContext="Wrong">
        <DetectChar attribute="Number" char="'"/>
        <AnyChar attribute="Keyword" context="Wrong" String="uU"/>
      </context>
      <context name="Wrong" attribute="Op" lineEndContext="#pop#pop#pop" fallthroughContext="#pop#pop">
        <DetectIdentifier attribute="Op"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("10 /* c */ 12u /* d */")), std::string("[Suffix:10 ][Block:/* c */] [Suffix:12u] [Block:/* d */]"));
}

TEST(KdeConversion, ContextsThatOnlyLeadOnOpenNoScopeAndATagNameReadsItsOpenersGroup)
{
    // An attribute's name leads on to "=", that to the value, whose quote closes back to the tag; the
    // tag's name is the text the "<" looked at.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="TagName" String="&lt;(?=([a-z]+))"/>
      </context>
      <context name="TagName" attribute="Normal" lineEndContext="#pop">
        <StringDetect attribute="Keyword" context="#pop!Tag" String="%1" dynamic="true"/>
      </context>
      <context name="Tag" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="&gt;"/>
        <RegExpr attribute="Type" context="Attr" String="\s+[a-z]+"/>
        <RegExpr attribute="Op" String="\S"/>
      </context>
      <context name="Attr" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Escape" context="#pop!Value" char="="/>
        <RegExpr attribute="Op" String="\S"/>
      </context>
      <context name="Value" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="String" context="Quoted" char="&apos;"/>
        <RegExpr attribute="Op" String="\S"/>
      </context>
      <context name="Quoted" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="&apos;"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("Attr: approximated: no scope opens for the context"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("<ab x='1' y='2'> it's")),
              std::string("[Keyword:<ab][Type: x][Escape:=][Quoted:'1'][Type: y][Escape:=][Quoted:'2'][Keyword:>] it's"));
}

TEST(KdeConversion, ATagTakesItsOpenersColourAndItsClosingTagClosesItThroughTheContent)
{
    // A tag's rules take every character (an error for what they do not expect), so the tag shows the
    // colour of its "<"; the closing tag waits only for the ">" that closes the content and the tag.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="Tag" String="&lt;[a-z]+"/>
      </context>
      <context name="Tag" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Keyword" context="#pop" char="/" char1="&gt;"/>
        <DetectChar attribute="Keyword" context="Content" char="&gt;"/>
        <RegExpr attribute="Op" String="\S"/>
      </context>
      <context name="Content" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="End" String="&lt;/[a-z]+"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="End" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop#pop#pop" char="&gt;"/>
        <RegExpr attribute="Op" String="\S"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("<a><b/>x</a > y")), std::string("[Keyword:<a][Keyword (2):>][Keyword:<b/>]x[Keyword:</a >] y"));
}

TEST(KdeConversion, OneDefinitionConvertsToTheSameBytesEveryRun)
{
    // Each run of varlex-cli hashes with a seed of its own, so hashed maps walk in another order each
    // time. Two scopes opened one way in code and another in a function are split in turn, and what is
    // valid in both names the parts; a scope that passes "!" on to one whose closer it is not, inside
    // a scope that passes ";" on through an included context.
    const QList<QByteArray> contexts = {R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <StringDetect attribute="Keyword" context="Body" String="do$"/>
        <StringDetect attribute="Keyword" context="Loop" String="for%"/>
        <WordDetect attribute="Keyword" context="Function" String="function"/>
      </context>
      <context name="Function" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Body" char="$"/>
        <DetectChar attribute="Op" context="Loop" char="%"/>
        <DetectChar attribute="Op" context="#pop" char=";"/>
      </context>
      <context name="Body" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="$"/>
        <IncludeRules context="Common"/>
      </context>
      <context name="Loop" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="%"/>
        <WordDetect attribute="Type" String="end"/>
        <IncludeRules context="Common"/>
      </context>
      <context name="Common" attribute="Normal" lineEndContext="#stay">
        <WordDetect attribute="Keyword" String="begin"/>
        <DetectChar attribute="Number" context="Paren" char="("/>
      </context>
      <context name="Paren" attribute="Number" lineEndContext="#stay">
        <DetectChar attribute="Number" context="#pop" char=")"/>
      </context>)K",
                                        R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Brack" char="["/>
      </context>
      <context name="Brack" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="]"/>
        <DetectChar attribute="Op" context="Angle" char="&lt;"/>
        <IncludeRules context="Pass"/>
      </context>
      <context name="Pass" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=";" lookAhead="true"/>
      </context>
      <context name="Angle" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="&gt;"/>
        <DetectChar attribute="Op" context="#pop" char="!" lookAhead="true"/>
      </context>)K"};
    for (const QByteArray &c : contexts) {
        const Converted first = convert(definition(c));
        ASSERT_EQ(first.exitCode, 0) << first.report.toStdString();
        for (int run = 0; run < 8; ++run)
            ASSERT_EQ(convert(definition(c)).xml.toStdString(), first.xml.toStdString()) << "run " << run;
    }
}

TEST(KdeConversion, ARuleOfItsOwnColourBeforeTheRestOfTheLineIsAToken)
{
    // "[de]" and "=" both open the value (the rest of the line); "[de]" keeps its colour, "=" opens it.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Keyword" lineEndContext="#stay">
        <RegExpr attribute="Number" context="Value" String="\[.*\]"/>
        <DetectChar attribute="Normal" context="Value" char="="/>
      </context>
      <context name="Value" attribute="Normal" lineEndContext="#pop"/>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("Name[de]=Bar\nKey=x")), std::string("[Keyword:Name][Number:[de]][Value:=Bar][Keyword:\nKey][Value:=x]"));
}

TEST(KdeConversion, AListTooLargeForOneRegexpIsTakenInPartsAndStillBeatsANameRuleAfterIt)
{
    // Six thousand type names ("Taaa", "Taab", ...): more than one regexp compiles to. The names rule after
    // the list takes the same text; the list comes first, so a listed name is a type, another plain.
    QByteArray items;
    for (int i = 0; i < 6000; ++i)
        items += "<item>T" + QByteArray(1, char('a' + i / 676)) + char('a' + i / 26 % 26) + char('a' + i % 26) + "x</item>";
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectSpaces/>
        <keyword attribute="Type" String="types"/>
        <DetectIdentifier attribute="Normal"/>
      </context>)K",
                                           "<list name=\"types\">" + items + "</list>"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("the list \"types\" is too large for one regexp; it is taken in"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("Taaax Thzzx Thzzxy Tzzzx")), std::string("[Type:Taaax] [Type:Thzzx] Thzzxy Tzzzx"));
}

TEST(KdeConversion, ContextsOfManyRulesAreStillFoldedWhereAScopeWouldTakeTooMuch)
{
    // "Pick" only leaves: fifty words and a quote. Folded, its rules are more than a fold usually takes;
    // not folded, the look-ahead into it would take nothing. "Name" has the fifty words and goes back at
    // anything else: folded, the "1" after a "@" is left to Main, not taken as the character a scope
    // closes on.
    QByteArray words;
    for (int i = 1; i <= 50; ++i)
        words += "<StringDetect attribute=\"Keyword\" context=\"#pop\" String=\"k" + QByteArray::number(i) + "x\"/>";
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <AnyChar context="Pick" String="k'" lookAhead="1"/>
        <DetectChar attribute="Keyword" context="Name" char="@"/>
        <Int attribute="Number"/>
      </context>
      <context name="Pick" attribute="Normal" lineEndContext="#pop">)K" + words + R"K(
        <DetectChar attribute="String" context="#pop!Str" char="'"/>
        <DetectChar context="#pop" char="k"/>
      </context>
      <context name="Name" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">)K" + words + R"K(
      </context>
      <context name="Str" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="String" context="#pop" char="'"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("k7x 'a' k51x @k7x @1")), std::string("[Keyword:k7x] [Str:'a'] k51x [Keyword:@k7x] [Keyword:@]1"));
}

TEST(KdeConversion, ALookAheadIntoAContextThatLeadsOnAndANamePropertyOfABlock)
{
    // "Find" looks at "/*" before a comment: no scope opens for it, so a comment closes back to where it
    // opened and the next one opens again. In a block a name before ":" is looked at first; the plain name
    // rule the block shares with the outermost level gives way to that look-ahead, so the value opens.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars context="Find" char="/" char1="*" lookAhead="1"/>
        <DetectChar context="Block" char="{"/>
        <RegExpr attribute="Normal" String="[a-z]+"/>
      </context>
      <context name="Find" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="#pop" String="/\*![^*]*\*/"/>
        <Detect2Chars attribute="Comment" context="Comment" char="/" char1="*"/>
      </context>
      <context name="Comment" attribute="Comment" lineEndContext="#stay">
        <Detect2Chars attribute="Comment" context="#pop#pop" char="*" char1="/"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="#pop" char="}"/>
        <RegExpr context="Property" String="[a-z]+(?=:)" lookAhead="1"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="Property" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="Value" char=":"/>
        <RegExpr attribute="Normal" String="[a-z]+"/>
      </context>
      <context name="Value" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="#pop#pop" char=";"/>
        <Int attribute="Number"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("Find: approximated: no scope opens for the context: its rules are valid where it is looked into")))
        << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("/* a */ b /*! c */ 1 /* d */")), std::string("[Comment (2):/* a */] b [Keyword:/*! c */] 1 [Comment (2):/* d */]"));
    const std::string block = c.colour(QStringLiteral("a { b: 12; }"));
    EXPECT_NE(block.find("[Number:12]"), std::string::npos) << block;

    // So does a rule that opens a scope of code: in a block, a name before "=" is a setting, not a command.
    const Converted d = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="Block" char="{"/>
        <RegExpr attribute="Keyword" context="Command" String="[a-z]+"/>
      </context>
      <context name="Command" attribute="Normal" lineEndContext="#pop">
        <DetectChar context="#pop" char=";"/>
        <Int attribute="Number"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar context="#pop" char="}"/>
        <RegExpr context="Setting" String="[a-z]+(?==)" lookAhead="1"/>
        <IncludeRules context="Main"/>
      </context>
      <context name="Setting" attribute="Normal" lineEndContext="#pop">
        <RegExpr attribute="Type" String="[a-z]+"/>
        <DetectChar attribute="Op" context="#pop" char="="/>
      </context>)K"));
    ASSERT_EQ(d.exitCode, 0) << d.report.toStdString();
    EXPECT_EQ(d.colour(QStringLiteral("ls 1; { x=2 }")), std::string("[Keyword:ls] [Number:1][Keyword:;] [Block:{ ][Setting:x=][Block:2 }]"));
}

TEST(KdeConversion, TheCutTakesWhatStandsOnlyInCommentsBeforeCode)
{
    // Thirty calls in a block, each with a word of its own, and a tag inside comments, at the same depth:
    // over the tokensets a language holds, the tag goes first (the comment colours it) and the calls stay.
    // A pattern after "~" goes too, being deeper: "~", which only its end closes, closes where it opens.
    const auto [opens, calls] = thirtyCalls();
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Comment" context="Comment" char="#"/>
        <DetectChar attribute="Normal" context="Block" char="{"/>
      </context>
      <context name="Comment" attribute="Comment" lineEndContext="#pop">
        <DetectChar attribute="Keyword" context="Tag" char="@"/>
      </context>
      <context name="Tag" attribute="Keyword" lineEndContext="#pop">
        <Int attribute="Number"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Normal" context="#pop" char="}"/>
        <DetectChar attribute="Keyword" context="Subst" char="~"/>)K" + opens + R"K(
      </context>
      <context name="Subst" attribute="Keyword" lineEndContext="#stay">
        <DetectSpaces/>
        <DetectChar attribute="String" context="Pattern" char="/"/>
      </context>
      <context name="Pattern" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="/"/>
        <Int attribute="Number"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("Tag: merged: the context colours as the comment or string around it"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("{ c7(k7 k8) } # @1")), std::string("[Block:{ ][C7:c7(][Keyword (9):k7][C7: k8)][Block: }] [Comment:# @1]"));
    EXPECT_EQ(c.colour(QStringLiteral("{ ~/1/ c7(k7) }")), std::string("[Block:{ ][Subst:~/][Block:1/ ][C7:c7(][Keyword (9):k7][C7:)][Block: }]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Subst: approximated: scope \"Subst\" closes where \"Pattern\" would open"))) << c.report.toStdString();
}

TEST(KdeConversion, ContextsNeverGoneBackToAreFoldedAndALineEndThatNeverComesBackEndsTheScope)
{
    // "$" then "(" then a function's name or a variable: Dollar and Call are never gone back to (what they
    // open closes them too), so "$(" opens Var (in the colour of its brackets) or Func itself (the name a
    // keyword inside, right after it) and their ")" closes that scope only. A target's line opens Commands at its end, which never comes back: the
    // target ends with its line.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Dollar" char="$"/>
        <RegExpr attribute="Keyword" context="Target" String="^[a-z]+:" column="0"/>
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Dollar" attribute="Op" lineEndContext="#pop">
        <DetectChar attribute="Op" context="Call" char="("/>
        <RegExpr attribute="Op" context="#pop" String="."/>
      </context>
      <context name="Call" attribute="Type" lineEndContext="#stay" fallthroughContext="Var" fallthrough="1">
        <keyword attribute="Keyword" context="Func" String="functions"/>
      </context>
      <context name="Var" attribute="Type" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop#pop" char=")"/>
      </context>
      <context name="Func" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop#pop" char=")"/>
        <DetectChar attribute="Op" context="Dollar" char="$"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
      </context>
      <context name="Target" attribute="Keyword" lineEndContext="Commands">
        <DetectChar attribute="Op" context="Dollar" char="$"/>
      </context>
      <context name="Commands" attribute="Normal" lineEndContext="#stay">
        <RegExpr context="#pop#pop#pop" String="^[^\t]" lookAhead="1" column="0"/>
        <DetectChar attribute="Op" context="Dollar" char="$"/>
      </context>)K",
                                           R"K(<list name="functions"><item>strip</item></list>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("$(strip $(CC)) $$ \"s\"")),
              std::string("[Func:$(][Keyword:strip][Func: ][Op (4):$(][Type:CC][Op (4):)][Func:)] [Op:$$] [Str:\"s\"]"));
    EXPECT_EQ(c.colour(QStringLiteral("all: $(CC)\n\t\"x\"")), std::string("[Target:all: ][Op (4):$(][Type:CC][Op (4):)]\n\t[Str:\"x\"]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("Target: approximated: lineEndContext \"Commands\": the scope closes at the line end"))) << c.report.toStdString();
}

TEST(KdeConversion, StepsBeforeTheirContentMergeBeforeAnyIsCut)
{
    // Twenty commands, each a context that only waits for "(" to open its own arguments and for ")": over
    // the tokensets a language holds, commands become one scope first, so that the last arguments stay.
    QByteArray commands, contexts;
    for (int i = 0; i < 20; ++i) {
        commands += QStringLiteral(R"K(<WordDetect attribute="Keyword" context="Cmd%1" String="cmd%1"/>)K").arg(i).toUtf8();
        contexts += QStringLiteral(R"K(<context name="Cmd%1" attribute="Normal" lineEndContext="#stay">
            <DetectChar attribute="Op" context="Args%1" char="("/>
            <DetectChar attribute="Op" context="#pop" char=")"/>
          </context>
          <context name="Args%1" attribute="Normal" lineEndContext="#stay">
            <DetectChar attribute="Op" context="#pop" char=")" lookAhead="1"/>
            <WordDetect attribute="Type" String="opt%1"/>
          </context>)K").arg(i).toUtf8();
    }
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + commands + R"K(
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
      </context>)K" + contexts));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("scope \"Keyword (2)\" merged into \"Keyword\" (same colours and places"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("cmd19(opt19) \"s\"")), std::string("[Keyword (20):cmd19][Op (20):(][Type (20):opt19][Keyword (20):)] [Str:\"s\"]"));
}

TEST(KdeConversion, AUnitAfterANumberGoesOnTheNumberWithoutTakingWhatFollows)
{
    // Units stays over "px" and falls back at anything else: the number and its unit are one token, and
    // the ";" after them still closes the value (in the colour of the ":" that opened it).
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Value" char=":"/>
      </context>
      <context name="Value" attribute="String" lineEndContext="#pop">
        <DetectChar attribute="Op" context="#pop" char=";"/>
        <RegExpr attribute="Number" context="Units" String="[0-9]+"/>
      </context>
      <context name="Units" attribute="Normal" lineEndContext="#pop" fallthrough="1" fallthroughContext="#pop">
        <RegExpr attribute="Type" String="px|em"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("a: 12px; b")), std::string("a[Op:: ][Number:12px][Op:;] b"));
}

TEST(KdeConversion, OneCharacterOfALookAheadCloserChainsAndTheOtherEndsTheScope)
{
    // A value looks ahead to "}" and ",": the object around closes on "}" through the value (which,
    // coloured as an error, lets it through), and "," and ";" end the value alone.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="Object" char="{"/>
      </context>
      <context name="Object" attribute="Error" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="}"/>
        <DetectChar attribute="Op" context="#stay" char=","/>
        <DetectChar attribute="Op" context="Value" char=":"/>
        <DetectChar attribute="String" context="String" char="&quot;"/>
      </context>
      <context name="Value" attribute="Error" lineEndContext="#stay">
        <AnyChar context="#pop" String="},;" lookAhead="true"/>
        <DetectChar attribute="Keyword" context="Object" char="{"/>
        <DetectChar attribute="Number" context="#stay" char="1"/>
      </context>
      <context name="String" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("{:{:1},\"k\":1;} \"s\"")),
              std::string("[Object:{][Value::][Object:{][Value::][Number:1][Object:}][Value:,][String (2):\"k\"][Value::][Number:1][Value:;][Object:}] \"s\""));
}

TEST(KdeConversion, AValueAfterItsEqualsSignIsFoldedIntoItThroughBlanksAndAPlaceThatFallsThroughToIt)
{
    // A tag's attribute value as HTML writes it: "=" opens a context that waits over blanks for a quote
    // and else falls through to a bare value; the quote's end closes both. The same value is also
    // reached by falling through from another context that is folded where it opens ("type=").
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="Tag" char="&lt;"/>
      </context>
      <context name="Tag" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="&gt;"/>
        <WordDetect attribute="Type" context="Kind" String="type"/>
        <RegExpr attribute="Type" String="[a-z]+"/>
        <DetectChar attribute="Op" context="Value" char="="/>
      </context>
      <context name="Kind" attribute="Normal" lineEndContext="#stay" fallthroughContext="#pop">
        <DetectChar attribute="Op" context="#pop!KindValue" char="="/>
      </context>
      <context name="KindValue" attribute="Normal" lineEndContext="#stay" fallthroughContext="#pop!Value">
        <StringDetect attribute="Keyword" context="#pop" String="&quot;special&quot;"/>
      </context>
      <context name="Value" attribute="Normal" lineEndContext="#stay" fallthroughContext="Bare">
        <DetectSpaces/>
        <DetectChar attribute="String" context="Quoted" char="&quot;"/>
      </context>
      <context name="Quoted" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="&quot;"/>
      </context>
      <context name="Bare" attribute="Normal" lineEndContext="#pop#pop" fallthroughContext="#pop#pop">
        <RegExpr attribute="Number" String="[0-9]"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // The quoted value is a string from its "=" on, and its end closes the value only; a bare value
    // that its rules do not take ("x") goes back to the tag at once, whose names go on.
    EXPECT_EQ(c.colour(QStringLiteral("<a b=\"x y\" d = \"z\" type=\"q\"> x <e g=x h>")),
              std::string("[Keyword:<][Type:a] [Type:b][Quoted:=\"x y\"] [Type:d] [Quoted:= \"z\"] [Quoted:type=\"q\"][Keyword:>] x "
                          "[Keyword:<][Type:e] [Type:g][Op:=][Type:x] [Type:h][Keyword:>]"));
}

TEST(KdeConversion, ArgumentsThatNeverOpenAndMarkupInCommentsGoBeforeAStringIsCut)
{
    // Thirty commands merge into one scope, whose "(" then opens the first command's arguments only: the
    // others never open and go, with their options. Sixty markup words of their own colours inside a
    // comment go next (the comment colours them), so the string in the arguments stays a scope, and its
    // escaped quote, which the string's end would take, stays too.
    QByteArray commands, contexts, markup, items;
    for (int i = 0; i < 30; ++i) {
        commands += QStringLiteral(R"K(<WordDetect attribute="Keyword" context="Cmd%1" String="cmd%1"/>)K").arg(i).toUtf8();
        contexts += QStringLiteral(R"K(<context name="Cmd%1" attribute="Normal" lineEndContext="#stay">
            <DetectChar attribute="Op" context="Args%1" char="("/>
            <DetectChar attribute="Op" context="#pop" char=")"/>
          </context>
          <context name="Args%1" attribute="Normal" lineEndContext="#stay">
            <DetectChar attribute="Op" context="#pop" char=")" lookAhead="1"/>
            <WordDetect attribute="Item%1" String="opt%1"/>
            <DetectChar attribute="String" context="Str" char="&quot;"/>
          </context>)K").arg(i).toUtf8();
    }
    for (int i = 0; i < 90; ++i)
        items += QStringLiteral(R"K(<itemData name="Item%1" defStyleNum="dsKeyword" color="#%2"/>)K").arg(i).arg(0x101010 + i, 6, 16, QChar(u'0')).toUtf8();
    for (int i = 30; i < 90; ++i)
        markup += QStringLiteral(R"K(<WordDetect attribute="Item%1" String="@m%1"/>)K").arg(i).toUtf8();
    QByteArray xml = definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + commands + R"K(
        <DetectChar attribute="Comment" context="Doc" char="#"/>
      </context>
      <context name="Doc" attribute="Comment" lineEndContext="#pop">)K" + markup + R"K(
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
        <Detect2Chars attribute="Op" char="\" char1="&quot;"/>
      </context>)K" + contexts);
    xml.replace("</itemDatas>", items + "</itemDatas>");
    const Converted c = convert(xml);
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QRegularExpression(QStringLiteral("Args7: merged: scope \"[^\"]+\" never opens: \"Op \\(2\\)\" opens first"))))
        << c.report.toStdString();
    EXPECT_FALSE(c.report.contains(QStringLiteral("Str: approximated"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("cmd7(opt0 opt7 \"a\\\"b\" x) # @m30")),
              std::string("[Keyword:cmd7][Op (2):(][Item0:opt0] opt7 [Str:\"a][Op:\\\"][Str:b\"] x[Keyword:)] [Doc:# @m30]"));
}

TEST(KdeConversion, AScopeOpenedByItemsOfOneLookTakesThatLook)
{
    // "end" (a keyword) and "stop" (control flow, coloured alike) open one plain context: it takes their
    // look, under the name first in order, and what no rule takes inside stays plain.
    QByteArray xml = definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <WordDetect attribute="Keyword" context="Block" String="end"/>
        <WordDetect attribute="Flow" context="Block" String="stop"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
      </context>)K");
    xml.replace("</itemDatas>", R"K(<itemData name="Flow" defStyleNum="dsControlFlow"/></itemDatas>)K");
    const Converted c = convert(xml);
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("end(x) stop()")), std::string("[Flow (2):end](x[Flow (2):)] [Flow (2):stop]([Flow (2):)]"));
}

TEST(KdeConversion, AWordThatBeginsAsACommentIsTheCommentWhereverTheWordRuleStandsToo)
{
    // The command-name rule stands at the top, after "#" opens a comment, and inside "(...)", where no
    // comment opens: its one token still gives way to "#" at the top.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Comment" context="Comment" char="#"/>
        <DetectChar attribute="Op" context="Group" char="("/>
        <RegExpr attribute="Keyword" context="Args" String="[^\s()]+"/>
      </context>
      <context name="Group" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
        <RegExpr attribute="Keyword" context="Args" String="[^\s()]+"/>
      </context>
      <context name="Args" attribute="Normal" lineEndContext="#pop">
        <DetectChar attribute="Op" context="#pop" char=";"/>
        <DetectChar attribute="Number" char="1"/>
      </context>
      <context name="Comment" attribute="Comment" lineEndContext="#pop">
        <StringDetect attribute="Type" String="TODO"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // (The ")" stands in the arguments, which only ";" or the line end closes.)
    EXPECT_EQ(c.colour(QStringLiteral("#!run 1\nrun 1; (go 1)")),
              std::string("[Comment:#!run 1]\n[Keyword:run] [Number:1][Keyword:;] [Op:(][Keyword:go] [Number:1])"));
}

TEST(KdeConversion, AScopeCutToATokenKeepsTheColoursOfTheItemsThatOpenItAndItsPlace)
{
    // Thirty calls, each with a word of its own, open plain arguments with "run" (a keyword) or "go" (a
    // type) before a rule for any word: over the tokensets a language holds, the arguments (deepest) are
    // cut to a token where they open, which shows each opener's colour, not the plain context's, and
    // still wins over the word rule after it.
    const auto [opens, calls] = thirtyCalls(R"K(<StringDetect attribute="Number" String="k%1"/>
        <WordDetect attribute="Keyword" context="Args" String="run"/>
        <WordDetect attribute="Type" context="Args" String="go"/>
        <RegExpr attribute="Op" String="[a-z]+"/>)K");
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + opens + R"K(
      </context>
      <context name="Args" attribute="Normal" lineEndContext="#pop">
        <DetectChar attribute="Normal" context="#pop" char=";"/>
        <Int attribute="Number"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("Args: approximated: the context is coloured as one token where it opens"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("c3(run go x)")), std::string("[C3:c3(][Keyword:run][C3: ][Type:go][C3: ][Op (4):x][C3:)]"));
}

TEST(KdeConversion, ADispatcherTooLargeToFoldWholeKeepsTheRulesThatFoldToFew)
{
    // In a string, "$" looks into a dispatcher: "${" goes on to 130 words (too many to fold), "$name"
    // to a name. Folded in part, the name after "$" is a variable and "${" stays string.
    QByteArray words;
    for (int i = 1; i <= 130; ++i)
        words += "<StringDetect attribute=\"Keyword\" context=\"#pop\" String=\"w" + QByteArray::number(i) + "}\"/>";
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
        <DetectChar context="Dispatch" char="$" lookAhead="1"/>
      </context>
      <context name="Dispatch" attribute="String" lineEndContext="#pop">
        <Detect2Chars attribute="Type" context="#pop!Brace" char="$" char1="{"/>
        <RegExpr attribute="Type" context="#pop!Name" String="\$(?=[a-z])"/>
        <DetectChar attribute="String" context="#pop" char="$"/>
      </context>
      <context name="Name" attribute="Type" lineEndContext="#pop">
        <DetectIdentifier attribute="Type" context="#pop"/>
      </context>
      <context name="Brace" attribute="Type" lineEndContext="#pop">)K" + words + R"K(
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_TRUE(c.report.contains(QStringLiteral("it comes to too many rules"))) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("\"a $x ${w1} $\"")), std::string("[Str:\"a ][Type:$x][Str: ][String:$][Str:{w1} ][String:$][Str:\"]"));
}

TEST(KdeConversion, TheCutKeepsVariablesInStringsAndCountsACutScopeOnceWhereItNested)
{
    // Thirty calls, each with a word of its own and nesting in itself, and a string in which "$x" is a
    // variable: over the tokensets a language holds, calls are cut to tokens, not the string's variable
    // (which is code, unlike markup in a comment); a cut call is a token where the calls stand, not in
    // itself, so that the tokens of cut calls count as one and fewer calls are cut.
    const auto [opens, calls] = thirtyCalls(R"K(<StringDetect attribute="Normal" context="C%1" String="c%1("/>
        <StringDetect attribute="Keyword" String="k%1"/>)K");
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + opens + R"K(
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
        <RegExpr attribute="Type" String="\$[a-z]+"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("\"a $x\"")), std::string("[Str:\"a ][Type:$x][Str:\"]"));
    EXPECT_EQ(c.colour(QStringLiteral("c22(k22) c23(k23)")), std::string("[C22:c22(][Keyword (23):k22][C22:)] [C23 (2):c23(]k23)"));
}

TEST(KdeConversion, AStringWhoseEndClosesTheScopeAroundTooLetsThatEndThrough)
{
    // A selector's `[name="value"]`: the value's "]" closes the value and the brackets with #pop#pop, where
    // the brackets close on "]" alone. A "]" that another string ends on ("x" here) stays its own.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Attr" char="["/>
        <DetectChar attribute="Op" context="Block" char="{"/>
      </context>
      <context name="Attr" attribute="Keyword" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop" char="]"/>
        <DetectChar attribute="Op" context="Value" char="="/>
        <DetectIdentifier attribute="Type"/>
      </context>
      <context name="Value" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="]"/>
        <DetectIdentifier attribute="String"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="}"/>
        <DetectChar attribute="String" context="Str" char="x"/>
        <Int attribute="Number"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="]"/>
        <DetectChar attribute="String" context="#pop" char="x"/>
        <DetectIdentifier attribute="String"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // Before, the value's "]" closed the value only, and the brackets ran on over the block.
    EXPECT_EQ(c.colour(QStringLiteral("[a=\"b\"] { 1 }")),
              std::string("[Attr:[][Type:a][Value:=\"][String:b][Value:\"][Attr:]] [Op:{] [Number:1] [Op:}]"));
    EXPECT_EQ(c.colour(QStringLiteral("{ x]y 1 }")), std::string("[Op:{] [Str:x]]y [Number:1] [Op:}]"));
}

TEST(KdeConversion, ALookAheadIntoANameThenItsArgumentsOpensOnTheNameAndTheArgumentsInside)
{
    // A function looked at by `name(`: its name stays, its "(" (or "url(") opens the arguments. Opened on
    // "url(" as one start, the arguments' scope never opened and their strings showed plain.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="Func" String="[a-z]+\(" lookAhead="true"/>
      </context>
      <context name="Func" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="Args" char="("/>
        <StringDetect attribute="Keyword" context="Url" String="url("/>
        <RegExpr attribute="Keyword" context="#stay" String="[a-z]+"/>
      </context>
      <context name="Args" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop#pop" char=")"/>
        <DetectChar attribute="String" context="Str" char="&quot;"/>
        <Int attribute="Number"/>
      </context>
      <context name="Url" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Keyword" context="#pop#pop" char=")"/>
        <DetectChar attribute="String" context="Str" char="&quot;"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("url(\"a\") f(1) 2")),
              std::string("[Keyword (2):url][Keyword (3):(][Str:\"a\"][Keyword (2):)] [Keyword (2):f][Keyword (3):(][Number:1][Keyword (2):)] 2"));
}

TEST(KdeConversion, ANameThatMayBeEmptyBeforeTheScopeItLeadsToKeepsItsColour)
{
    // A name (which may be empty) looks ahead at "=", which then opens the value: the value opens on the
    // "=", and the name before it is a token of its own colour, not the value's.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Type" context="Assign" String="[a-z]*\s*(?==)"/>
      </context>
      <context name="Assign" attribute="Op" lineEndContext="#pop">
        <DetectChar attribute="Op" context="Value" char="="/>
      </context>
      <context name="Value" attribute="String" lineEndContext="#pop#pop">
        <DetectChar attribute="Keyword" char="$"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("abc = x $y")), std::string("[Type:abc ][Value:= x ][Keyword:$][Value:y]"));
}

TEST(KdeConversion, ALookAheadIntoAContextThatOnlyChoosesTheNextFoldsIntoIt)
{
    // An environment's name looked at, then taken by the rule that chooses how its body reads. Opened on the
    // name, the chooser never opened the body: its text showed in the chooser's colour.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Op" context="Begin" char="{"/>
      </context>
      <context name="Begin" attribute="Keyword" lineEndContext="#stay">
        <RegExpr attribute="Keyword" context="Choose" String="(verbatim|code)\b" lookAhead="true"/>
        <RegExpr attribute="Keyword" context="#pop" String="[a-z]+"/>
      </context>
      <context name="Choose" attribute="Keyword" lineEndContext="#stay">
        <WordDetect attribute="Keyword" context="Body" String="verbatim"/>
        <WordDetect attribute="Keyword" context="Body" String="code"/>
      </context>
      <context name="Body" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop#pop#pop" char="}"/>
        <DetectIdentifier attribute="String"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("{code a b} c")), std::string("[Begin:{][Body:code ][String:a][Body: ][String:b][Body:}][Begin: c]"));
}

TEST(KdeConversion, AVariableThatFallsBackPastAFoldedContextLeavesTheCharacterAfterIt)
{
    // "$" and "@" look into a context that picks the variable, which then falls back past it (#pop#pop)
    // at the first character its rules do not take: ";" stays plain. "@" names go on over their rules
    // as one token; "$" names, whose context also has a rule that leaves it, are a scope that closes
    // on a name no rule goes on from.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr context="Find" String="[$@][a-z]" lookAhead="1"/>
      </context>
      <context name="Find" attribute="Type" lineEndContext="#pop" fallthroughContext="#pop">
        <DetectChar attribute="Type" context="Var" char="$"/>
        <DetectChar attribute="Type" context="List" char="@"/>
      </context>
      <context name="Var" attribute="Type" lineEndContext="#pop#pop" fallthroughContext="#pop#pop">
        <RegExpr attribute="Type" String="[a-z]+"/>
        <Detect2Chars attribute="Normal" char="-" char1="&gt;"/>
        <DetectChar attribute="Normal" context="#pop" char="/"/>
      </context>
      <context name="List" attribute="Type" lineEndContext="#pop#pop" fallthroughContext="#pop#pop">
        <RegExpr attribute="Type" String="[a-z]+"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("$ab->cd; @ef; x")), std::string("[Var:$ab]->[Var:cd];[Normal (2): ][Type:@ef];[Normal (2): ]x"));
}

TEST(KdeConversion, AVariableWhoseNameEndsBeforeACharacterNoRuleTakesLeavesItToThePlaceAround)
{
    // The name's context has a rule that leaves it (`/`), so it stays a scope where something goes on
    // (`->`); a name that ends straight before a character none of its rules take (`;`, `)`) is one
    // token, and that character keeps the colour around. `::` goes on in another colour, so it is no
    // part of such a token.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr context="Find" String="[$*][a-z]" lookAhead="1"/>
      </context>
      <context name="Find" attribute="Type" lineEndContext="#pop" fallthroughContext="#pop">
        <RegExpr attribute="Type" context="Var" String="[$*]"/>
      </context>
      <context name="Var" attribute="Type" lineEndContext="#pop#pop" fallthroughContext="#pop#pop">
        <RegExpr attribute="Type" String="[a-z]+"/>
        <Detect2Chars attribute="Normal" char=":" char1=":"/>
        <DetectChar attribute="Normal" context="#pop" char="/"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("*ab; ($cd) $e::f;")), std::string("[Type:*ab];[Normal (2): ]([Type:$cd])[Normal (2): ][Var:$e]::[Var:f];"));
}

TEST(KdeConversion, AVerbatimBodyEndsOnItsWholeEndAfterTheStepsThatOpenIt)
{
    // `\begin{verbatim}`: the name is looked at, then chooses the body; the body's `\end` opens a context
    // that falls back where nothing matches and takes `{verbatim}` before the `}` that closes all. The end
    // goes on over those staying rules (before, `\end}` was the only end, so the body never closed).
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <StringDetect attribute="Keyword" context="Find" String="\begin"/>
      </context>
      <context name="Find" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Normal" context="Env" char="{"/>
        <RegExpr attribute="Normal" context="#pop" String="."/>
      </context>
      <context name="Env" attribute="Type" lineEndContext="#stay">
        <RegExpr attribute="Type" context="Choose" String="verbatim\b" lookAhead="true"/>
        <RegExpr attribute="Error" context="#pop" String="."/>
      </context>
      <context name="Choose" attribute="Type" lineEndContext="#stay">
        <WordDetect attribute="Type" context="Open" String="verbatim"/>
      </context>
      <context name="Open" attribute="Error" lineEndContext="#stay" fallthroughContext="#pop#pop#pop">
        <DetectChar attribute="Normal" context="Body" char="}"/>
      </context>
      <context name="Body" attribute="String" lineEndContext="#stay">
        <DetectIdentifier/>
        <RegExpr attribute="Keyword" context="End" String="\\end(?=\s*\{verbatim\})"/>
      </context>
      <context name="End" attribute="Normal" lineEndContext="#pop" fallthroughContext="#pop">
        <DetectSpaces/>
        <DetectChar attribute="Normal" char="{"/>
        <DetectChar attribute="Normal" context="#pop#pop#pop#pop#pop#pop" char="}"/>
        <RegExpr attribute="Type" String="verbatim"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("\\begin{verbatim} x \\end{verbatim} 1")),
              std::string("[Keyword (2):\\begin][Env:{][Body:verbatim} ][String:x][Body: \\end{verbatim}][Env: ][Keyword (2):1]"));
}

TEST(KdeConversion, AStringTheCutWouldTakeOpensWhereTheStepBeforeItStands)
{
    // Thirty calls make the cut go deep. The pattern after "~" is deepest, but "~" opens it at once: it
    // stands in the block instead, opening on "~/", and keeps its colour; "~" alone still ends on ";".
    const auto [opens, calls] = thirtyCalls();
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Normal" context="Block" char="{"/>
      </context>
      <context name="Block" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="Normal" context="#pop" char="}"/>
        <DetectChar attribute="Keyword" context="Subst" char="~"/>)K" + opens + R"K(
      </context>
      <context name="Subst" attribute="Keyword" lineEndContext="#stay">
        <DetectChar attribute="String" context="Pattern" char="/"/>
        <DetectChar attribute="Keyword" context="#pop" char=";"/>
      </context>
      <context name="Pattern" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop#pop" char="/"/>
        <Int attribute="Number"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("{ ~/1 x/ c7(k7) ~; }")),
              std::string("[Block:{ ][Pattern:~/][Number:1][Pattern: x/][Block: ][C7:c7(][Keyword (9):k7][C7:)][Block: ][Keyword:~;][Block: }]"));
}

TEST(KdeConversion, TheCutMergesNoStringThatReadsNoCodeIntoOneThatReadsVariables)
{
    // Over the tokensets a language holds, strings of other colours that stand in the same places become
    // one only where they hold the same: merged into the string that reads variables, the quote that reads
    // none would read them too, and a variable's name that may take a quote would run past its end.
    const auto [opens, calls] = thirtyCalls();
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + opens + R"K(
        <DetectChar attribute="String" context="Str" char="&quot;"/>
        <DetectChar attribute="Escape" context="Raw" char="'"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
        <RegExpr attribute="Type" String="\$[a-z']+"/>
      </context>
      <context name="Raw" attribute="Escape" lineEndContext="#stay">
        <DetectChar attribute="Escape" context="#pop" char="'"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("'$a' b \"$c\"")), std::string("[Raw:'$a'] b [Str:\"][Type:$c][Str:\"]"));
}

TEST(KdeConversion, AScopeOpenedAndClosedInOneOtherColourTakesItAndKeepsItsOwnInside)
{
    // A variable's `$(` and `)` are operators around a name in the context's colour: the scope shows the
    // brackets' colour, and what no rule takes inside keeps the context's, character by character (a
    // rule's own colour still wins there). A context closed in its own colour stays as it was.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <Detect2Chars attribute="Op" context="Var" char="$" char1="("/>
        <DetectChar attribute="Op" context="Other" char="@"/>
      </context>
      <context name="Var" attribute="Type" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
        <DetectChar attribute="Error" char="#"/>
      </context>
      <context name="Other" attribute="Type" lineEndContext="#stay">
        <DetectChar attribute="Type" context="#pop" char="@"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("$(ab#) @cd@")), std::string("[Op (2):$(][Type:ab][Error:#][Op (2):)] [Other:@cd@]"));
    EXPECT_NE(c.report.indexOf(QStringLiteral("which opens and closes it")), -1);
}

TEST(KdeConversion, AScopeOpenedInOneOtherColourAndClosedByNoneOfItsOwnTakesThatColour)
{
    // An assignment's name opens the operator's context, in which `+` is text and `=` opens the value:
    // the name keeps its colour and the `+` the operator's, as in KDE.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Type" context="Assign" String="[a-z]+\s*(?=\+?=)"/>
      </context>
      <context name="Assign" attribute="Op" lineEndContext="#pop">
        <DetectChar attribute="Op" context="Value" char="="/>
      </context>
      <context name="Value" attribute="String" lineEndContext="#pop#pop">
        <DetectChar attribute="Op" context="#pop#pop" char=";"/>
        <DetectChar attribute="Type" char="$"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("ab += c")), std::string("[Type (2):ab ][Op:+][Value (2):= c]"));
}

TEST(KdeConversion, ARuleThatMayTakeNothingWinsOverALaterRuleWhereItTakesSomething)
{
    // A name that may be empty before `:=` comes before a target's `name:`: where the name is there the
    // target gives way (it would take `ab :` in its own colour); before a `:` alone it does not.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <RegExpr attribute="Type" context="Assign" String="[a-z]*\s*(?=:?=)"/>
        <RegExpr attribute="Keyword" context="#stay" String="[^:=]*:"/>
      </context>
      <context name="Assign" attribute="Op" lineEndContext="#pop">
        <DetectChar attribute="Op" context="Value" char="="/>
      </context>
      <context name="Value" attribute="String" lineEndContext="#pop#pop">
        <DetectChar attribute="Type" char="$"/>
      </context>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("ab := c")), std::string("[Type (3):ab ][Op::][Value:= c]"));
    EXPECT_EQ(c.colour(QStringLiteral("ab: c")), std::string("[Keyword:ab:] c"));
}

TEST(KdeConversion, AStringQuotedInAnotherColourKeepsItsQuotesAndTextThroughTheCut)
{
    // Quotes in an operator's colour around a string: the scope shows the quotes' colour and its text the
    // string's. Through the cut to the tokensets a language holds, the list that keeps that text stays, and
    // the string still holds nothing of code, so it is not merged into the one that reads variables. A
    // string opened by more than one character (a raw string's delimiter) keeps its own colour.
    const auto [opens, calls] = thirtyCalls();
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + opens + R"K(
        <DetectChar attribute="String" context="Str" char="&quot;"/>
        <DetectChar attribute="Op" context="Raw" char="'"/>
        <StringDetect attribute="Op" context="Long" String="R("/>
      </context>
      <context name="Long" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char=")"/>
      </context>
      <context name="Str" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="String" context="#pop" char="&quot;"/>
        <RegExpr attribute="Type" String="\$[a-z]+"/>
      </context>
      <context name="Raw" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="'"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("'a $b' \"$c\"")), std::string("[Op (2):'][String:a][Op (2): ][String:$b][Op (2):'] [Str:\"][Type:$c][Str:\"]"));
    EXPECT_EQ(c.colour(QStringLiteral("R(a b)")), std::string("[Str:R(a b)]"));
}

TEST(KdeConversion, AVariableThatGoesBackIntoItsStringIsNoCloserOfIt)
{
    // A variable read through a look-ahead into a context that falls back into the string does not close
    // it: the string still takes the colour of the quotes that open and close it. Through the cut, it is
    // not merged with a string in the same colour that reads no variables.
    const auto [opens, calls] = thirtyCalls();
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">)K" + opens + R"K(
        <DetectChar attribute="Op" context="Ip" char="&quot;"/>
        <DetectChar attribute="Op" context="Raw" char="'"/>
      </context>
      <context name="Ip" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="&quot;"/>
        <RegExpr attribute="Normal" context="FindVar" String="\$\w" lookAhead="true"/>
      </context>
      <context name="FindVar" attribute="Type" lineEndContext="#pop" fallthrough="true" fallthroughContext="#pop">
        <DetectChar attribute="Type" context="VarName" char="$"/>
      </context>
      <context name="VarName" attribute="Type" lineEndContext="#pop#pop" fallthrough="true" fallthroughContext="#pop#pop">
        <RegExpr attribute="Type" String="\w+"/>
      </context>
      <context name="Raw" attribute="String" lineEndContext="#stay">
        <DetectChar attribute="Op" context="#pop" char="'"/>
      </context>)K" + calls));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("\"a $b c\" 'a $b'")), std::string("[Op (2):\"][String:a][Op (2): ][Type:$b][Op (2): ][String:c][Op (2):\"] [Op (3):'][String:a][Op (3): ][String:$b][Op (3):']"));
}

TEST(KdeConversion, AFunctionsNameKeepsItsColourOnlyRightAfterTheStartAndWhereNoArgumentRuleCouldTakeIt)
{
    // A name further on in the arguments is an argument. Where a rule of the arguments could begin like the
    // name (a word), the start stays whole in their colour.
    const Converted c = convert(definition(R"K(
      <context name="Main" attribute="Normal" lineEndContext="#stay">
        <DetectChar attribute="String" context="Pick" char="("/>
        <DetectChar attribute="String" context="PickWord" char="["/>
      </context>
      <context name="Pick" attribute="Normal" lineEndContext="#pop">
        <keyword attribute="Keyword" context="Args" String="names"/>
        <RegExpr attribute="String" context="#pop" String="."/>
      </context>
      <context name="PickWord" attribute="Normal" lineEndContext="#pop">
        <keyword attribute="Keyword" context="Words" String="names"/>
      </context>
      <context name="Args" attribute="String" lineEndContext="#pop#pop">
        <DetectChar attribute="String" context="#pop#pop" char=")"/>
        <DetectChar attribute="Keyword" char=","/>
      </context>
      <context name="Words" attribute="String" lineEndContext="#pop#pop">
        <DetectChar attribute="String" context="#pop#pop" char=")"/>
        <DetectIdentifier attribute="Type"/>
      </context>)K",
                                           R"K(<list name="names"><item>each</item><item>sort</item></list>)K"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("(each sort,x) (x")), std::string("[Args:(][Keyword:each][Args: sort][Keyword:,][Args:x)] [String:(x]"));
    EXPECT_EQ(c.colour(QStringLiteral("[each sort)")), std::string("[Words:[each ][Type:sort][Words:)]"));
}
