// Converting GtkSourceView language files: each construct on a small file written here, converted by
// varlex-cli and coloured by the engine from the definition it wrote.

#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/languageobject.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// A scheme and a def.lang of our own, so the tests do not depend on what is installed.
const QByteArray kScheme = R"(<style-scheme id="test" name="Test" version="1.0">
  <color name="blue" value="#0000FF"/>
  <style name="text" foreground="#000000" background="#FFFFFF"/>
  <style name="def:comment" foreground="blue"/>
  <style name="def:string" foreground="#FF0000"/>
  <style name="def:keyword" foreground="#008000" bold="true"/>
  <style name="def:number" foreground="#800080"/>
  <style name="def:special-char" foreground="#FF8000"/>
  <style name="def:preprocessor" foreground="#00A0A0"/>
  <style name="t:label" use-style="def:number"/>
</style-scheme>
)";

const QByteArray kDef = R"(<language id="def" name="Defaults" version="2.0" hidden="true">
  <styles>
    <style id="comment" name="Comment"/>
    <style id="string" name="String"/>
    <style id="keyword" name="Keyword"/>
    <style id="number" name="Number"/>
    <style id="special-char" name="Special Character"/>
    <style id="preprocessor" name="Preprocessor"/>
  </styles>
  <definitions>
    <define-regex id="digits">[0-9]+</define-regex>
    <define-regex id="always-match"></define-regex>
    <context id="escape" style-ref="special-char"><match>\\.</match></context>
  </definitions>
</language>
)";

// A language file "t" with these styles and definitions; its main context holds `main`.
QByteArray langFile(const QByteArray &definitions, const QByteArray &main, const QByteArray &options = {})
{
    return R"(<?xml version="1.0"?>
<language id="t" name="Test Lang" version="2.0" _section="Source">
  <styles>
    <style id="comment" name="Comment" map-to="def:comment"/>
    <style id="string" name="String" map-to="def:string"/>
    <style id="keyword" name="Keyword" map-to="def:keyword"/>
    <style id="number" name="Number" map-to="def:number"/>
    <style id="label" name="Label" map-to="def:keyword"/>
    <style id="preprocessor" name="Directive" map-to="def:preprocessor"/>
  </styles>
)" + options + R"(
  <definitions>
)" + definitions + R"(
    <context id="t"><include>
)" + main + R"(
    </include></context>
  </definitions>
</language>
)";
}

struct Converted {
    int exitCode = -1;
    QString report; // standard error
    QByteArray xml;

    // The text as the converted language colours it: [Tokenset:text] for each run not plain.
    QString colour(const QString &text) const
    {
        LanguageObject object;
        if (!object.loadData(xml, QStringLiteral("converted.lng")))
            return QStringLiteral("(does not load: %1)").arg(object.error().toString());
        Highlighter highlighter(CompiledLanguage::compile(*object.definition()));
        const CompiledLanguagePtr &language = highlighter.language();
        QString out;
        for (const StyleRun &r : highlighter.highlightText(text, true)) {
            const QString piece = text.mid(r.start, r.length);
            out += r.tokenset < 0 ? piece : u'[' + language->tokensetName(r.tokenset) + u':' + piece + u']';
        }
        return out;
    }
};

// Converts with the test scheme, or with the scheme named `scheme`; `others` are language files beside it.
Converted convert(const QByteArray &file, const QString &scheme = QString(), const QHash<QString, QByteArray> &others = {})
{
    TestUtil::TempFolder dir;
    dir.write(QStringLiteral("t.lang"), file);
    for (auto it = others.cbegin(); it != others.cend(); ++it)
        dir.write(it.key(), it.value());
    dir.write(QStringLiteral("def.lang"), kDef);
    dir.write(QStringLiteral("test.xml"), kScheme);
    const TestUtil::CliResult r = TestUtil::runCli(
        {QStringLiteral("convert"), dir.file(QStringLiteral("t.lang")), QStringLiteral("--scheme"),
         scheme.isEmpty() ? dir.file(QStringLiteral("test.xml")) : scheme});
    return {r.exitCode, QString::fromUtf8(r.err), r.out};
}

} // namespace

TEST(Conversion, KeywordsTakeTheirBoundariesPrefixAndCase)
{
    const Converted c = convert(langFile(R"(
    <context id="kw" style-ref="keyword"><keyword>if</keyword><keyword>else</keyword></context>
    <context id="dir" style-ref="preprocessor"><prefix>^#\s*</prefix><keyword>define</keyword></context>
    <context id="label" style-ref="label"><prefix>@</prefix><suffix></suffix><keyword>lab</keyword></context>)",
                                     R"(<context ref="kw"/><context ref="dir"/><context ref="label"/>)",
                                     R"(<default-regex-options case-sensitive="false"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("if iffy ELSE x_if")), QStringLiteral("[Keyword:if] iffy [Keyword:ELSE] x_if"));
    // def:preprocessor has no id of its own: a keywords tokenset that says "Preprocessor".
    EXPECT_EQ(c.colour(QStringLiteral("# define x")), QStringLiteral("[Preprocessor Directive:# define] x"));
    EXPECT_TRUE(c.xml.contains(R"(name="Preprocessor Directive" id="keywords")"));
    EXPECT_EQ(c.colour(QStringLiteral("@labx lab")), QStringLiteral("[Label:@lab]x lab"));
    // The colours come from the scheme, through use-style and map-to: bold green keywords.
    EXPECT_TRUE(c.xml.contains(R"(name="Keyword" id="keywords" type="list" autoindent="false" backcolor="16777215" casesensitive="true" chain="false" enabled="true" forecolor="32768" fontstyle="bold")"));
    EXPECT_TRUE(c.report.endsWith(QStringLiteral("Test Lang: 3 tokensets; 0 approximated, 0 merged, 0 dropped\n")))
        << c.report.toStdString();
}

TEST(Conversion, KeywordCharClassDecidesWhereAWordEnds)
{
    const Converted c = convert(langFile(R"(<context id="kw" style-ref="keyword"><keyword>set</keyword></context>)",
                                     R"(<context ref="kw"/>)", R"(<keyword-char-class>[\w-]</keyword-char-class>)"));
    EXPECT_EQ(c.colour(QStringLiteral("set set-x x-set")), QStringLiteral("[Keyword:set] set-x x-set"));
    EXPECT_TRUE(c.xml.contains(R"(wordchars="[\w-]")"));
}

TEST(Conversion, RegexDefinitionsAndExtendedPatternsExpand)
{
    const Converted c = convert(langFile(R"(
    <define-regex id="hex" extended="true">
      0x [0-9a-f]+   # hexadecimal
    </define-regex>
    <context id="num" style-ref="number"><match extended="true">\%{hex} | \%{def:digits} \#</match></context>)",
                                     R"(<context ref="num"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("0x1f 12# 12 x")), QStringLiteral("[Number:0x1f] [Number:12#] 12 x"));
}

TEST(Conversion, ScopesNestByWhatTheyInclude)
{
    const Converted c = convert(langFile(R"(
    <context id="string" style-ref="string" end-at-line-end="true">
      <start>"</start><end>"</end>
      <include><context ref="def:escape"/></include>
    </context>
    <context id="comment" style-ref="comment"><start>/\*</start><end>\*/</end></context>
    <context id="kw" style-ref="keyword"><keyword>if</keyword></context>)",
                                     R"(<context ref="string"/><context ref="comment"/><context ref="kw"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("if \"a\\\"if\" /* if\nif */ if")),
              QStringLiteral("[Keyword:if] [String:\"a][Special Character:\\\"][String:if\"] [Comment:/* if\nif */] [Keyword:if]"));
    // end-at-line-end: the string closes with its line.
    EXPECT_EQ(c.colour(QStringLiteral("\"open\nif")), QStringLiteral("[String:\"open]\n[Keyword:if]"));
    EXPECT_TRUE(c.xml.contains(R"(id="blockcomments")"));
    EXPECT_TRUE(c.xml.contains("<validscope name=\"String\"/>"));
}

TEST(Conversion, TheFirstAlternativeWinsAsInGtkSourceView)
{
    // "a" comes first, so "abb" is "a" and plain "bb", also where "a" is listed again after "ab+" (its first
    // place counts); and the scope's end wins over a longer child.
    // An end that repeats the start's delimiter stands for any delimiter, so a variable beginning with
    // one of them is still a variable, inside the quote and out.
    const Converted c = convert(langFile(R"(
    <context id="short" style-ref="keyword"><match>a</match></context>
    <context id="long" style-ref="number"><match>ab+</match></context>
    <context id="paren" style-ref="string">
      <start>\(</start><end>\)</end>
      <include><context id="inner" style-ref="number"><match>\)\)+</match></context></include>
    </context>
    <context id="var" style-ref="label"><match>[@$][xyz]+</match></context>
    <context id="quote" style-ref="string">
      <start>q([@/])</start><end>\%{1@start}</end>
      <include><context ref="var"/></include>
    </context>
    <context id="bracket" style-ref="comment"><start>#\[(=*)\[</start><end>\]\%{1@start}\]</end></context>
    <context id="again"><include><context ref="short"/></include></context>)",
                                     R"(<context ref="short"/><context ref="long"/><context ref="paren"/><context ref="quote"/><context ref="bracket"/><context ref="var"/><context ref="again"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("abb bb")), QStringLiteral("[Keyword:a]bb bb"));
    EXPECT_EQ(c.colour(QStringLiteral("(x)) a")), QStringLiteral("[String:(x)]) [Keyword:a]"));
    EXPECT_EQ(c.colour(QStringLiteral("q/ @x/ @y")).toStdString(), "[String (2):q/ ][Label:@x][String (2):/] [Label:@y]");
    // A delimiter group that may be empty: an end without it closes only a start without it.
    EXPECT_EQ(c.colour(QStringLiteral("#[=[ ]] ]==] a #[[ ]=] ]] a")).toStdString(),
              "[Comment:#[=[ ]] ]==]] [Keyword:a] [Comment:#[[ ]=] ]]] [Keyword:a]");
}

TEST(Conversion, TokensWhoseOrderDiffersByPlaceDoNotBothGiveWay)
{
    // "a" comes first at the outermost level and "ab+" first inside the quote: each giving way to the other,
    // neither would match "abb" anywhere. The longer match wins in both places instead.
    const Converted c = convert(langFile(R"(
    <context id="short" style-ref="keyword"><match>a</match></context>
    <context id="long" style-ref="number"><match>ab+</match></context>
    <context id="quote" style-ref="string">
      <start>"</start><end>"</end>
      <include><context ref="long"/><context ref="short"/></include>
    </context>)",
                                     R"(<context ref="short"/><context ref="long"/><context ref="quote"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("abb a")).toStdString(), "[Number:abb] [Keyword:a]");
    EXPECT_EQ(c.colour(QStringLiteral("\"abb a\"")).toStdString(), "[String:\"][Number:abb][String: ][Keyword:a][String:\"]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("the longer match wins"))) << c.report.toStdString();

    // Where "sub" comes first, it always matches where "var" would ("$(" before "$(name)"): "var" is left out
    // there, and holds "sub" back nowhere; in the quote, where it comes first, it still wins.
    const Converted hidden = convert(langFile(R"(
    <context id="var" style-ref="number"><match>\$\([a-z]+\)</match></context>
    <context id="sub" style-ref="keyword"><start>\$\(</start><end>\)</end></context>
    <context id="quote" style-ref="string">
      <start>"</start><end>"</end>
      <include><context ref="var"/><context ref="sub"/></include>
    </context>)",
                                          R"(<context ref="sub"/><context ref="var"/><context ref="quote"/>)"));
    ASSERT_EQ(hidden.exitCode, 0) << hidden.report.toStdString();
    EXPECT_EQ(hidden.colour(QStringLiteral("$(ab) \"$(ab)\"")).toStdString(), "[Keyword:$(ab)] [String:\"][Number:$(ab)][String:\"]");
    EXPECT_TRUE(hidden.report.contains(QStringLiteral("is left out of 1 scopes where patterns before it always match first")))
        << hidden.report.toStdString();

    // A variable whose name alone is coloured (`$(` and `)` plain) is still hidden behind "sub" as a whole; in the
    // quote, where it comes first, "mark" gives way to its whole match, and it to nothing.
    const Converted name = convert(langFile(R"(
    <context id="var"><match>\$\(([a-z]+)\)</match><include><context sub-pattern="1" style-ref="number"/></include></context>
    <context id="sub" style-ref="keyword"><start>\$\(</start><end>\)</end></context>
    <context id="mark" style-ref="keyword"><match>\$\(a</match></context>
    <context id="quote" style-ref="string">
      <start>"</start><end>"</end>
      <include><context ref="var"/><context ref="mark"/></include>
    </context>
    <context id="line" end-at-line-end="true"><start>=</start><include><context ref="mark"/><context ref="var"/></include></context>)",
                                        R"(<context ref="sub"/><context ref="var"/><context ref="quote"/><context ref="line"/>)"));
    ASSERT_EQ(name.exitCode, 0) << name.report.toStdString();
    EXPECT_EQ(name.colour(QStringLiteral("$(ab) \"$(ab) $(b)\"")).toStdString(),
              "[Keyword:$(ab)] [String:\"$(][Number:ab][String:) $(][Number:b][String:)\"]");
    EXPECT_TRUE(name.report.contains(QStringLiteral("t:var: approximated: sub-pattern 1 alone is coloured"))) << name.report.toStdString();
    EXPECT_TRUE(name.report.contains(QStringLiteral("\"Keyword (2)\" gives way to the whole match of \"Number\""))) << name.report.toStdString();
}

TEST(Conversion, AnEndThatMatchesNoTextHoldsBackNothing)
{
    // GtkSourceView leaves "stmt" before the next character that is not blank (an end that takes no
    // text, written beyond what the pattern analysis reads) and the comment starts there; the end
    // must not stand as an earlier alternative in front of the comment.
    const Converted c = convert(langFile(R"(
    <context id="comment" style-ref="comment" end-at-line-end="true"><start>//</start></context>
    <context id="stmt">
      <start>let</start><end>(?=[^\s\p{Zs}])</end>
      <include><context ref="comment"/></include>
    </context>)",
                                     R"(<context ref="stmt"/><context ref="comment"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("let // note")), QStringLiteral("[stmt:let ][Comment:// note]"));
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:stmt: approximated: the end can be empty"))) << c.report.toStdString();

    // An end that always matches closes the context right after its start: the name is one match, and
    // the "}" after it still closes the expansion. Unless what the context holds ends it: that is tried first
    // (a name after `:`). Both in a caseless language, where the empty definition is `(?-i:)`.
    const Converted always = convert(langFile(R"(
    <context id="expansion" style-ref="label">
      <start>\$\{</start><end>\}</end>
      <include>
        <context id="name" style-ref="number">
          <start>(?&lt;=\$\{)[a-z]+</start><end>\%{def:always-match}</end>
          <include><context id="index" style-ref="string"><start>\[</start><end>\]</end></context></include>
        </context>
      </include>
    </context>
    <context id="names"><include><context style-ref="keyword" end-parent="true"><keyword>hover</keyword></context></include></context>
    <context id="pseudo"><start>:</start><end>\%{def:always-match}</end><include><context ref="names"/></include></context>)",
                                              R"(<context ref="expansion"/><context ref="pseudo"/>)",
                                              R"(<default-regex-options case-sensitive="false"/>)"));
    ASSERT_EQ(always.exitCode, 0) << always.report.toStdString();
    EXPECT_EQ(always.colour(QStringLiteral("${ab} x")), QStringLiteral("[Label:${][Number:ab][Label:}] x"));
    EXPECT_TRUE(always.report.contains(QStringLiteral("t:name: approximated: the end always matches"))) << always.report.toStdString();
    EXPECT_EQ(always.colour(QStringLiteral("a:hover b")).toStdString(), "a[pseudo::][Keyword:hover][pseudo: b]");

    // So does an end at the next word after a start that stops before the blank, and an end the start looks
    // ahead at; each is a match in its start's style. A delimiter a scope's end only looks ahead at still
    // starts what it starts elsewhere (a backtick after `export`).
    const Converted shell = convert(langFile(R"(
    <context id="for">
      <start>for(?=\s)</start><end>(?=\S)</end>
      <include>
        <context sub-pattern="0" where="start" style-ref="keyword"/>
        <context style-ref="number" once-only="true"><match>[a-z]+</match></context>
      </include>
    </context>
    <context id="assign">
      <start>[a-z]+(?=(\[.*\])?=)</start><end>=</end>
      <include>
        <context sub-pattern="0" where="start" style-ref="label"/>
        <context id="index" style-ref="string"><start>\[</start><end>\]</end></context>
      </include>
    </context>
    <context id="export" end-at-line-end="true">
      <start>export</start><end>(?=[;`])</end>
      <include><context ref="assign"/><context ref="tick"/></include>
    </context>
    <context id="tick" style-ref="string"><start>`</start><end>`</end></context>)",
                                             R"(<context ref="for"/><context ref="export"/><context ref="assign"/><context ref="tick"/>)"));
    ASSERT_EQ(shell.exitCode, 0) << shell.report.toStdString();
    EXPECT_EQ(shell.colour(QStringLiteral("for x in y")), QStringLiteral("[Keyword:for] x in y"));
    EXPECT_EQ(shell.colour(QStringLiteral("ab=1")), QStringLiteral("[Label:ab]=1"));
    EXPECT_EQ(shell.colour(QStringLiteral("`a`")), QStringLiteral("[String:`a`]"));
    EXPECT_TRUE(shell.report.contains(QStringLiteral("t:for: approximated: the end matches at the next word"))) << shell.report.toStdString();
    EXPECT_TRUE(shell.report.contains(QStringLiteral("t:assign: approximated: the start looks ahead at the end")));

    // A keyword list that ends the scope around it (`esac`) closes it.
    const Converted cases = convert(langFile(R"(
    <context id="case">
      <start>case</start>
      <include><context style-ref="keyword" end-parent="true"><keyword>esac</keyword></context><context ref="var"/></include>
    </context>
    <context id="var" style-ref="number"><match>\$[a-z]+</match></context>)",
                                             R"(<context ref="case"/>)"));
    ASSERT_EQ(cases.exitCode, 0) << cases.report.toStdString();
    EXPECT_EQ(cases.colour(QStringLiteral("case $a esac $b")).toStdString(), "[case:case ][Number:$a][case: esac] $b");

    // A here-document: its end stands for the words its start's group could take, not for a `}` line, and
    // what its text (a context started at each line's start) holds is valid in it.
    const Converted here = convert(langFile(R"(
    <context id="heredoc" style-ref="comment">
      <start>&lt;&lt;(?P&lt;W&gt;[^\s;]+)</start><end>^\%{W@start}$</end>
      <include><context><start>^</start><include><context ref="var"/></include></context></include>
    </context>
    <context id="var" style-ref="number"><match>\$[a-z]+</match></context>
    <context id="str" style-ref="string"><start>"</start><end>"</end></context>)",
                                            R"(<context ref="heredoc"/><context ref="str"/>)"));
    ASSERT_EQ(here.exitCode, 0) << here.report.toStdString();
    EXPECT_EQ(here.colour(QStringLiteral("<<EOF\n{\n\"a\" $x\n}\nEOF\n\"b\"")).toStdString(),
              "[Comment:<<EOF\n{\n\"a\" ][Number:$x][Comment:\n}\nEOF]\n[String:\"b\"]");
}

TEST(Conversion, StartsThatMatchNoTextColourARunOrGroupWhatTheyHold)
{
    // A coloured context entered by a look-ahead (an unquoted value) is the run up to its end; an
    // empty start only groups: what it holds stays valid in the list (GtkSourceView enters it
    // wherever nothing else matches). A look-ahead at the end's own text colours nothing.
    const Converted c = convert(langFile(R"(
    <context id="bare" style-ref="string" end-at-line-end="true">
      <start>(?=[a-z])</start><end>(?=:\s|\s#)</end>
    </context>
    <context id="semi" style-ref="keyword"><start>(?=;)</start><end>;</end></context>
    <context id="list">
      <start>\[</start><end>\]</end>
      <include>
        <context><start></start><end>,</end><include><context ref="num"/></include></context>
      </include>
    </context>
    <context id="num" style-ref="number"><match>[0-9]+</match></context>
    <context id="doc" style-ref="comment">
      <start>^(?=(=[a-z]))</start><end>^=cut$</end>
      <include><context ref="num"/></include>
    </context>)",
                                     R"(<context ref="list"/><context ref="semi"/><context ref="doc"/><context ref="bare"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("key: some value # 9")).toStdString(), "[String:key]: [String:some value] # 9");
    EXPECT_EQ(c.colour(QStringLiteral("[1, 22]")).toStdString(), "[list:[][Number:1][list:, ][Number:22][list:]]");
    EXPECT_EQ(c.colour(QStringLiteral(";")).toStdString(), ";");
    // A coloured context that holds others, entered by a look-ahead: the start takes the text looked at.
    EXPECT_EQ(c.colour(QStringLiteral("=head 1\n=cut\n2")).toStdString(), "[Comment:=head ][Number:1][Comment:\n=cut]\n2");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:doc: approximated: the start only looks ahead")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:bare: approximated: the start can be empty: the context is one match")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:semi: dropped: the start can be empty"))) << c.report.toStdString();

    // A command entered by a look-ahead at its name is dropped, but the names it colours on entering stay
    // coloured where it stands (not the words after them, nor its other matches).
    const Converted command = convert(langFile(R"(
    <define-regex id="always-match"></define-regex>
    <context id="command" end-at-line-end="true">
      <start>(?=[a-z]+\b)</start><end>;</end>
      <include>
        <context once-only="true">
          <start>\%{always-match}</start>
          <include>
            <context style-ref="keyword" end-parent="true"><keyword>echo</keyword></context>
            <context style-ref="number" end-parent="true"><match>[0-9]+</match></context>
          </include>
        </context>
        <context ref="redirect"/>
      </include>
    </context>
    <context id="redirect" style-ref="keyword"><prefix></prefix><suffix></suffix><keyword>&gt;</keyword></context>)",
                                               R"(<context ref="redirect"/><context ref="command"/>)"));
    ASSERT_EQ(command.exitCode, 0) << command.report.toStdString();
    EXPECT_EQ(command.colour(QStringLiteral("echo 12 echo; x")).toStdString(), "[Keyword:echo] 12 [Keyword:echo]; x");
    // A list listed twice in one place (itself, and where the command stands) does not give way to itself.
    EXPECT_EQ(command.colour(QStringLiteral(">x")).toStdString(), "[Keyword:>]x");

    // A context entered once right where its scope starts (an empty start), up to its end: a heading's
    // attributes up to its `>`. What it holds is valid in the scope.
    const Converted heading = convert(langFile(R"(
    <context id="head">
      <start>&lt;h\b</start><end>&lt;/h&gt;</end>
      <include>
        <context sub-pattern="0" where="start" style-ref="keyword"/>
        <context once-only="true">
          <start>\%{def:always-match}</start><end>&gt;</end>
          <include><context id="attr" style-ref="string"><match>[a-z]+="[^"]*"</match></context></include>
        </context>
      </include>
    </context>)",
                                               R"(<context ref="head"/>)"));
    ASSERT_EQ(heading.exitCode, 0) << heading.report.toStdString();
    EXPECT_EQ(heading.colour(QStringLiteral("<h a=\"1\">x</h> a=\"2\"")).toStdString(),
              "[head:<h ][String:a=\"1\"][Plain text:>x][head:</h>] a=\"2\"");
    // With a coloured text beside it, whose start takes no text: the heading takes the text's colour, what the
    // text holds is valid in it, and a name alone is no attribute there (the heading's words would take its look).
    const Converted text = convert(langFile(R"(
    <context id="head">
      <start>&lt;h\b</start>
      <include>
        <context once-only="true">
          <start>\%{def:always-match}</start><end>&gt;</end>
          <include><context ref="attr"/><context id="name" style-ref="keyword"><match>[a-z]+</match></context></include>
        </context>
        <context style-ref="preprocessor">
          <start>(?!&lt;/h&gt;)</start>
          <include><context end-parent="true"><match>(?=&lt;/h&gt;)</match></context><context ref="attr"/></include>
        </context>
        <context end-parent="true"><match>&lt;/h&gt;</match></context>
      </include>
    </context>
    <context id="attr" style-ref="string"><match>[a-z]+="[^"]*"</match></context>)",
                                            R"(<context ref="head"/><context ref="name"/>)"));
    ASSERT_EQ(text.exitCode, 0) << text.report.toStdString();
    EXPECT_EQ(text.colour(QStringLiteral("<h a=\"1\">x b=\"2\" y</h> z")).toStdString(),
              "[Preprocessor Directive:<h ][String:a=\"1\"][Preprocessor Directive:>x ][String:b=\"2\"][Preprocessor Directive: y</h>] [Keyword:z]");
}

TEST(Conversion, APartInAHiddenLanguageColoursItsLiteralsWhereItsExpressionsStand)
{
    // A language written in hidden parts of its own: expressions are entered by a look-ahead, in a style
    // that colours nothing, and a number is a look-ahead start with the number as its end (its definition
    // standing among the contexts). Strings, numbers and words stay coloured where the expression stands,
    // and a property's name right after its `.`, where no other word is; a reserved word (an error where a
    // name is expected) does not.
    const QByteArray part = R"(<?xml version="1.0"?>
<language id="tp" name="Test Part" version="2.0" hidden="true">
  <styles><style id="error" name="Error" map-to="def:error"/></styles>
  <definitions>
    <context id="expression" style-ref="t:expression" once-only="true">
      <start>(?=\S)</start><end>(?=;)</end>
      <include>
        <context>
          <include>
            <define-regex id="n">[0-9]+</define-regex>
            <context id="number" style-ref="t:number" end-parent="true">
              <start>(?&lt;![a-z0-9])(?=\%{n}\b)</start><end>\%{n}</end>
            </context>
          </include>
        </context>
        <context id="str" style-ref="t:string"><start>"</start><end>"</end></context>
        <context style-ref="t:keyword"><keyword>true</keyword></context>
        <context style-ref="error"><keyword>const</keyword></context>
        <context id="new" style-ref="t:expression">
          <start>\bnew\b</start><end>(?=[^ \t])</end>
          <include><context sub-pattern="0" where="start" style-ref="t:keyword"/></include>
        </context>
        <context id="template">
          <start>`</start><end>`</end>
          <include>
            <context sub-pattern="0" where="start" style-ref="t:string"/>
            <context sub-pattern="0" where="end" style-ref="t:string"/>
            <context>
              <include>
                <context style-ref="t:string" once-only="true"><start>(?&lt;=`)</start><end>(?=`|\$\{)</end></context>
                <context id="hole">
                  <start>\$\{</start><end>\}</end>
                  <include>
                    <context sub-pattern="0" where="start" style-ref="t:preprocessor"/>
                    <context sub-pattern="0" where="end" style-ref="t:preprocessor"/>
                    <context ref="expression"/>
                  </include>
                </context>
              </include>
            </context>
          </include>
        </context>
        <context id="member"><start>\.</start><end>(?=\S)</end>
          <include><context style-ref="t:keyword"><keyword>length</keyword></context></include>
        </context>
      </include>
    </context>
    <context id="if" style-ref="t:expression">
      <start>\bif\b</start><end>;|(?=[^ \t])</end>
      <include>
        <context sub-pattern="0" where="start" style-ref="t:keyword"/>
        <context ref="expression"/>
      </include>
    </context>
  </definitions>
</language>
)";
    QByteArray file = langFile(R"(
    <context id="statement"><start>(?=\S)</start><end>;</end>
      <include><context ref="tp:expression"/></include>
    </context>)",
                               R"(<context ref="tp:if"/><context ref="statement"/>)");
    file.replace(R"(<style id="label")", R"(<style id="expression" name="Expression"/><style id="label")");
    const Converted c = convert(file, QString(), {{QStringLiteral("tp.lang"), part}});
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("x(\"a\", 12, a12, true, const, s.length, length, s.true);")).toStdString(),
              "x([String:\"a\"], [Number:12], a12, [Keyword (2):true], const, s.[Keyword (2):length], length, s.true);");
    EXPECT_TRUE(c.report.contains(QStringLiteral("tp:str: approximated: valid where"))) << c.report.toStdString();
    // A statement's keyword, whose context ends before the next token: one match, in its start's look.
    EXPECT_EQ(c.colour(QStringLiteral("if (\"a\");")).toStdString(), "[Keyword:if] ([String:\"a\"]);");
    // One whose start has a look of its own: `new` is a keyword; a template literal is a string around its
    // placeholders, whose code keeps its colours.
    EXPECT_EQ(c.colour(QStringLiteral("new X(`a ${1+y} b`);")).toStdString(),
              "[Keyword (2):new] X([String (2):`][String (3):a ][Preprocessor hole:${][Number:1][Plain text:+y][Preprocessor hole:}]"
              "[String (2): b`]);");

    // A command of a language embedded (in a recipe's line) is entered after a blank: its names stay coloured
    // only where one begins anew, after the line's start, a `;` or a word listed before it there, and blanks; not
    // among its arguments.
    const QByteArray shell = R"(<?xml version="1.0"?>
<language id="sx" name="Shell X" version="2.0">
  <styles><style id="keyword" name="Keyword" map-to="def:keyword"/></styles>
  <definitions>
    <context id="command" end-at-line-end="true">
      <start>(?&lt;=\s|;|^)(?=[a-z]+\b)</start><end>(?=;)</end>
      <include>
        <context once-only="true">
          <start>\%{def:always-match}</start>
          <include><context style-ref="keyword" end-parent="true"><keyword>rm</keyword></context></include>
        </context>
      </include>
    </context>
    <context id="reserved" style-ref="keyword"><prefix>(?&lt;=\s|;|^)</prefix><keyword>then</keyword></context>
    <context id="sx"><include><context ref="reserved"/><context ref="command"/></include></context>
  </definitions>
</language>
)";
    const Converted recipe = convert(langFile(R"(<context id="recipe" end-at-line-end="true"><start>^\t</start>
      <include><context ref="sx:sx"/></include></context>)",
                                              R"(<context ref="recipe"/>)"),
                                     QString(), {{QStringLiteral("sx.lang"), shell}});
    ASSERT_EQ(recipe.exitCode, 0) << recipe.report.toStdString();
    EXPECT_EQ(recipe.colour(QStringLiteral("\trm a rm;  rm\nrm")).toStdString(), "[recipe:\t][Keyword:rm][recipe: a rm;  ][Keyword:rm]\nrm");
    EXPECT_EQ(recipe.colour(QStringLiteral("\tthen rm")).toStdString(), "[recipe:\t][Keyword:then][recipe: ][Keyword:rm]");

    // The same contexts in a language that is not hidden (one embedded in another) stay as they were.
    QByteArray shown = part;
    shown.replace(R"(hidden="true")", "");
    const Converted embedded = convert(file, QString(), {{QStringLiteral("tp.lang"), shown}});
    ASSERT_EQ(embedded.exitCode, 0) << embedded.report.toStdString();
    EXPECT_EQ(embedded.colour(QStringLiteral("x(\"a\", 12);")).toStdString(), "x(\"a\", 12);");
}

TEST(Conversion, StartsKeepTheLooksOfTheirSubPatterns)
{
    // A context that colours nothing but the keyword that opens it: the keyword is coloured, the
    // words after it plain, and what the statement holds takes its own colours. A start's leading
    // optional group in a style of its own (a key's language tag) is coloured, and the rest opens the scope.
    const Converted c = convert(langFile(R"(
    <context id="str" style-ref="string"><start>'</start><end>'</end></context>
    <context id="stmt">
      <start>\blet\b</start><end>;</end>
      <include>
        <context sub-pattern="0" where="start" style-ref="keyword"/>
        <context ref="str"/>
      </include>
    </context>
    <context id="value" end-at-line-end="true">
      <start>(\[[a-z]+\])?\s*=</start>
      <include>
        <context sub-pattern="1" where="start" style-ref="label"/>
        <context ref="str"/>
      </include>
    </context>
    <context id="assign">
      <start>\bset\s*\(\s*([a-z]+)</start><end>\)</end>
      <include>
        <context sub-pattern="1" where="start" style-ref="keyword"/>
        <context ref="str"/>
      </include>
    </context>
    <context id="call">
      <start>\b(AC_[A-Z]+)\s*(\()</start><end>\)</end>
      <include>
        <context sub-pattern="1" where="start" style-ref="keyword"/>
        <context sub-pattern="2" where="start" style-ref="keyword"/>
        <context ref="str"/>
      </include>
    </context>)",
                                     R"(<context ref="stmt"/><context ref="value"/><context ref="assign"/><context ref="call"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("let x = 'a';")).toStdString(), "[stmt:let ][Plain text:x][stmt: ][Plain text:=][stmt: ][String:'a'][stmt:;]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:stmt: approximated: scope \"stmt\" takes the look of its start")));
    EXPECT_EQ(c.colour(QStringLiteral("Name[de] = 'x' [y]\nName = [z]")).toStdString(),
              "Name[Label:[de]][value: = ][String:'x'][value: [y]]\nName[value: = [z]]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:value: approximated: sub-pattern 1 of the start is a match of its own")));
    // A start's trailing group in a style of its own (the name a command sets) is coloured where it
    // follows the scope's start, and only there.
    EXPECT_EQ(c.colour(QStringLiteral("set( x 'a' y)")).toStdString(), "[assign:set(][Keyword: x][assign: ][String:'a'][assign: y)]");
    // Groups in one style with only blanks between them colour the start as a whole (a macro's name and `(`);
    // the scope is then alike to "stmt" and one with it.
    EXPECT_EQ(c.colour(QStringLiteral("AC_X (y)")).toStdString(), "[stmt:AC_X (][Plain text:y][stmt:)]");
}

TEST(Conversion, AScopeIsOneWithTheContextThatEndsItRightAfterItsStart)
{
    // An attribute's value: the scope has no end of its own, and what it holds right after its start (a start
    // that always matches) ends it. The name before the quote keeps its look; the quote opens the value only
    // after the `=`. In a caseless language, where the empty definition is `(?-i:)`.
    const Converted c = convert(langFile(R"(
    <context id="tag">
      <start>&lt;[a-z]+</start><end>&gt;</end>
      <include>
        <context id="attr">
          <start>([a-z]+\s*=\s*)(")</start>
          <include>
            <context sub-pattern="1" where="start" style-ref="keyword"/>
            <context id="value" style-ref="string" end-parent="true">
              <start>\%{def:always-match}</start><end>"</end>
              <include><context ref="def:escape"/></include>
            </context>
          </include>
        </context>
      </include>
    </context>)",
                                     R"(<context ref="tag"/>)", R"(<default-regex-options case-sensitive="false"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("<a href = \"x\\\"y\" \"z> b=\"c\"")).toStdString(),
              "[tag:<a ][Keyword:href = ][String:\"x][Special Character:\\\"][String:y\"][tag: \"z>] b=\"c\"");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:attr: approximated: \"t:value\", entered right after the start, ends it")));
}

TEST(Conversion, ScopesEndByMatchesTheyHoldAndWithTheScopeAroundThem)
{
    // A list closes on a match it holds (end-parent); a member ends at "," or before the "}" that
    // closes the object around it, which then closes both; a block that everything in it ends lasts
    // its line.
    const Converted c = convert(langFile(R"(
    <context id="num" style-ref="number"><match>[0-9]+</match></context>
    <context id="list">
      <start>\[</start>
      <include><context ref="num"/><context end-parent="true"><match>\]</match></context></include>
    </context>
    <context id="obj">
      <start>\{</start><end>\}</end>
      <include>
        <context id="member"><start>:</start><end>,|\s*(?=\})</end><include><context ref="obj"/><context ref="num"/></include></context>
      </include>
    </context>
    <context id="block">
      <start>\|$</start>
      <include><context end-parent="true" style-ref="string"><start>^\s+</start><end>$</end></context></include>
    </context>
    <context id="directive" style-ref="preprocessor" end-at-line-end="true">
      <start>^#define\b</start>
      <include><context ignore-style="true"><start>\\$</start><end>^</end></context><context ref="num"/></include>
    </context>
    <context id="assign" end-at-line-end="true">
      <start>^[a-z]+ =</start>
      <include><context id="rhs" end-at-line-end="true"><start></start><include><context ref="directive-continue"/><context ref="num"/></include></context></include>
    </context>
    <context id="directive-continue" style-ref="preprocessor"><start>\\$</start><end>^</end></context>
    <context id="media">
      <start>@media</start>
      <include><context id="rules" end-parent="true"><start>\{</start><end>\}</end><include><context ref="obj"/></include></context></include>
    </context>
    <context id="import">
      <start>@import</start>
      <include><context style-ref="keyword" end-parent="true"><start>(?=;)</start><end>;</end></context></include>
    </context>
    <context id="target">
      <start>^[a-z]+:</start><end>^(?!\t)</end>
      <include>
        <context id="prereq" end-at-line-end="true"><start>(?&lt;=:)(?=.)</start><include><context ref="num"/></include></context>
        <context style-ref="keyword"><keyword>echo</keyword></context>
      </include>
    </context>
    <context id="title">
      <start>&lt;title</start>
      <include><context style-ref="string" end-parent="true"><start>&gt;</start><end>&lt;/title&gt;</end></context></include>
    </context>
    <context id="sheet">
      <start>&lt;style</start>
      <include>
        <context end-parent="true"><match>/&gt;</match></context>
        <context id="sheet-code" end-parent="true"><start>&gt;</start><end>&lt;/style&gt;</end><include><context ref="obj"/></include></context>
      </include>
    </context>
    <context id="doc" style-ref="comment">
      <start>/\*\*</start><end>\*/</end>
      <include><context extend-parent="false"><start>[a-z]+:$</start><include><context ref="num"/></include></context></include>
    </context>
    <context id="style">
      <start>&lt;</start><end>&gt;</end>
      <include>
        <context id="value"><start>=</start><end>(?=[;&gt;])</end><include><context ref="num"/></include></context>
        <context id="surplus" style-ref="def:error"><start>,</start><end>(?=&gt;)</end></context>
      </include>
    </context>)",
                                     R"(<context ref="list"/><context ref="obj"/><context ref="block"/><context ref="directive"/><context ref="assign"/><context ref="media"/>
                                        <context ref="import"/><context ref="title"/><context ref="sheet"/><context ref="style"/><context ref="target"/><context ref="doc"/><context ref="num"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    EXPECT_EQ(c.colour(QStringLiteral("[1] 2")).toStdString(), "[list:[][Number:1][list:]] [Number:2]");
    EXPECT_EQ(c.colour(QStringLiteral("{a:{b:1}, c:2} 3")).toStdString(),
              "[obj:{a][member::][obj:{b][member::][Number:1][obj:}][member:,][obj: c][member::][Number:2][obj:}] [Number:3]");
    EXPECT_EQ(c.colour(QStringLiteral("|\n4")).toStdString(), "[block:|]\n[Number:4]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:member: approximated: the end can be empty; its other alternatives end the scope")));
    // A block that ends the rule around it closes both, also past blocks nested in it; a delimiter entered
    // by a look-ahead at it ends its statement.
    EXPECT_EQ(c.colour(QStringLiteral("@media 1 { {a:2} 3 } 4")).toStdString(),
              "[media:@media 1 ][rules:{ ][obj:{a][member::][Number:2][obj:}][rules: 3 ][media:}] [Number:4]");
    EXPECT_EQ(c.colour(QStringLiteral("@import 1; 2")).toStdString(), "[import:@import 1;] [Number:2]");
    // A value that ends before the delimiter after it ends at a ";", and the ">" after it closes both.
    EXPECT_EQ(c.colour(QStringLiteral("<a=1; b=2> 3")).toStdString(),
              "[style:<a][value:=][Number:1][value:;][style: b][value:=][Number:2][style:>] [Number:3]");
    // An error up to the delimiter that closes the scope around it is left out: at its line end it would take
    // that delimiter, and the scope around would not close.
    EXPECT_EQ(c.colour(QStringLiteral("<a, b> 3")).toStdString(), "[style:<a, b>] [Number:3]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:surplus: dropped: an error up to a delimiter the scope around takes")));
    // A coloured text that ends the scope around it ends at the first character of its end; the rest closes the scope.
    EXPECT_EQ(c.colour(QStringLiteral("<title>1</title> 2")).toStdString(), "[title:<title][String (2):>1<][title:/title>] [Number:2]");
    // A sheet's code that ends the tag around it, a tag that `/>` ends too: its end closes both, also past an
    // object left open in it.
    EXPECT_EQ(c.colour(QStringLiteral("<style>{a:1 </style> 2 <style/> 3")).toStdString(),
              "[sheet:<style][sheet-code:>][obj:{a][member::][Number:1][member: ][sheet:</style>] [Number:2] [sheet:<style/>] [Number:3]");
    // What a doc comment's heading line opens without an end of its own (extend-parent="false") ends with the comment.
    EXPECT_EQ(c.colour(QStringLiteral("/** a:\n1 */ 2")).toStdString(),
              "[Comment:/** ][Comment (2):a:][Comment:\n][Number:1][Comment: */] [Number:2]");
    // A rule goes on over the tab-indented lines after it, and only those. Its first line holds what holds the
    // rest of the line right after its start (the prerequisites), and nothing after that.
    EXPECT_EQ(c.colour(QStringLiteral("all: 2 echo\n\techo 1\necho")).toStdString(),
              "[target:all: ][Number:2][target: echo]\n[target (continued):\t][Keyword:echo][target (continued): 1]\necho");
    // A backslash at the line end carries a directive to the next line, up to a line without one.
    const QString cont = QStringLiteral("Preprocessor Directive (continued):");
    EXPECT_EQ(c.colour(QStringLiteral("#define A 1 \\\n  2 \\\n  3\n4\n#define B\n5")).toStdString(),
              (u'[' + cont + QStringLiteral("#define A ][Number:1][") + cont + QStringLiteral(" ][Preprocessor Directive (2):\\][") + cont
                  + QStringLiteral("\n  ][Number:2][") + cont + QStringLiteral(" ][Preprocessor Directive (2):\\][") + cont
                  + QStringLiteral("\n  3]\n[Number:4]\n[Preprocessor Directive:#define B]\n[Number:5]")).toStdString());
    // So it does where the continuation stands in a context with an empty start (an assignment's value).
    EXPECT_EQ(c.colour(QStringLiteral("a = 1 \\\n 2\n3")).toStdString(),
              "[assign (continued):a = ][Number:1][assign (continued): ][Preprocessor Directive (3):\\][assign (continued):\n 2]\n[Number:3]");
}

TEST(Conversion, ApproximationsAreReportedByContext)
{
    const Converted c = convert(langFile(R"(
    <context id="quoted" style-ref="string">
      <start>([`'])</start><end>\%{1@start}</end>
    </context>
    <context id="whole" style-ref="string"><start>"</start><end>\%{0@start}</end></context>
    <context id="call">
      <match>(?&lt;![.])(\w+)\(</match>
      <include><context sub-pattern="1" style-ref="keyword"/></include>
    </context>
    <context id="sized">
      <match>#(\d+)</match>
      <include><context sub-pattern="1" style-ref="keyword"/></include>
    </context>
    <context id="lookahead" style-ref="number"><match>(?=x)</match></context>)",
                                     R"(<context ref="quoted"/><context ref="whole"/><context ref="call"/><context ref="sized"/><context ref="lookahead"/><context ref="nowhere:ctx"/>)"));
    ASSERT_EQ(c.exitCode, 0) << c.report.toStdString();
    // A back-reference to the start becomes what the start's group may match.
    EXPECT_EQ(c.colour(QStringLiteral("`a` f( .g(")), QStringLiteral("[String:`a`] [Keyword:f]( .g("));
    EXPECT_EQ(c.colour(QStringLiteral("\"a b\" #12")).toStdString(), "[String:\"a b\"] [Keyword:#12]");
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:quoted: approximated: \\%{1@start}"))) << c.report.toStdString();
    // A styled leading group is the token; any other styled group colours the whole match.
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:call: approximated: sub-pattern 1 is the token")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:sized: approximated: the whole match takes the style of sub-pattern 1")));
    EXPECT_TRUE(c.report.contains(QStringLiteral("t:lookahead: dropped: the match can be empty")));
    // A reference that resolves nowhere is reported, and the rest still converts.
    EXPECT_TRUE(c.report.contains(QStringLiteral("dropped: language \"nowhere\" was not found")));
}

TEST(Conversion, ExitStatusSaysWhatWentWrong)
{
    const Converted garbage = convert("this is not a language");
    EXPECT_EQ(garbage.exitCode, 3);
    EXPECT_EQ(garbage.report.count(u'\n'), 1);
    // Read as a GtkSourceView file, but without its main context.
    const Converted noMain = convert(R"(<language id="t" name="T" version="2.0"><definitions>
      <context id="other"><match>x</match></context></definitions></language>)");
    EXPECT_EQ(noMain.exitCode, 1);
    EXPECT_TRUE(noMain.report.contains(QStringLiteral("no main context"))) << noMain.report.toStdString();
    const Converted noScheme = convert(langFile("", ""), QStringLiteral("no-such-scheme"));
    EXPECT_EQ(noScheme.exitCode, 1);
    // Styles that map to each other in a loop: the file still converts, in the colours the loop reaches.
    QByteArray looping = langFile(R"(<context id="w" style-ref="a"><match>w</match></context>
      <context id="k" style-ref="b"><match>k</match></context>)",
                                  R"(<context ref="w"/><context ref="k"/>)");
    looping.replace("</styles>", R"(<style id="a" name="A" map-to="t:b"/><style id="b" name="B" map-to="t:a"/></styles>)");
    const Converted loop = convert(looping);
    EXPECT_EQ(loop.exitCode, 0) << loop.report.toStdString();
}

TEST(Conversion, ConvertImportExportIsStable)
{
    const Converted c = convert(langFile(R"(<context id="kw" style-ref="keyword"><keyword>if</keyword></context>
      <context id="s" style-ref="string"><start>'</start><end>'</end></context>)",
                                     R"(<context ref="kw"/><context ref="s"/>)"));
    ASSERT_EQ(c.exitCode, 0);
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("t.lng"), c.xml);
    const QString dir = QDir(folder.path()).filePath(QStringLiteral("out"));
    ASSERT_EQ(TestUtil::runCli({QStringLiteral("--folder"), folder.path(), QStringLiteral("import"), folder.file(QStringLiteral("t.lng"))}).exitCode, 0);
    const TestUtil::CliResult list = TestUtil::runCli({QStringLiteral("--folder"), folder.path(), QStringLiteral("export"),
                                                      QStringLiteral("--name"), QStringLiteral("Test Lang"), QStringLiteral("--to"), dir});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(folder.read(QStringLiteral("out/Test Lang.lng")), c.xml);
    // A .lng given to convert passes through the reader and the writer unchanged.
    TestUtil::TempFolder again;
    again.write(QStringLiteral("t.lng"), c.xml);
    const TestUtil::CliResult pass = TestUtil::runCli({QStringLiteral("convert"), again.file(QStringLiteral("t.lng"))});
    EXPECT_EQ(pass.exitCode, 0);
    EXPECT_EQ(pass.out, c.xml);
}
