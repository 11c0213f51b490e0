#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/languageobject.h"

#include <gtest/gtest.h>

namespace {

LanguageDefinition readOk(const QByteArray &xml)
{
    LanguageDefinition def;
    DefinitionError error;
    EXPECT_TRUE(DefinitionReader::read(xml, QStringLiteral("t.lng"), def, error)) << error.toString().toStdString();
    return def;
}

DefinitionError readFail(const QByteArray &xml)
{
    LanguageDefinition def;
    DefinitionError error;
    EXPECT_FALSE(DefinitionReader::read(xml, QStringLiteral("t.lng"), def, error)) << xml.left(200).toStdString();
    return error;
}

const QByteArray kFull =
    "<language name=\"Demo\" casesensitive=\"true\" whitespaceasparamblock=\"false\" wordchars=\"[\\w&amp;&lt;]\" memberlist=\"C Library\">\r\n"
    "<tokenset name=\"Keywords\" id=\"keywords\" type=\"scope\" autoindent=\"false\" backcolor=\"16777215\" casesensitive=\"true\" "
    "chain=\"false\" enabled=\"true\" forecolor=\"-16777216\" fontstyle=\"bolditalic\" hidden=\"false\" memberlist=\"Members\" "
    "inheritfrom=\"Text\" matchbraces=\"true\" normalizecase=\"true\" singlelinescope=\"false\" symmetrical=\"true\" >\r\n"
    "     <validscope name=\"\"/>\r\n"
    "     <validscope name=\"Text\"/>\r\n"
    "     <tokens regexp=\"false\" rule=\"leadwith[(]\">\r\n"
    "          <token >if</token>\r\n"
    "          <token  action=\"ListMembers\" regexp=\"true\" rule=\"col3\">a&lt;b&amp;c</token>\r\n"
    "          <token  action=\"\" regexp=\"false\" rule=\"\">x</token>\r\n"
    "     </tokens>\r\n"
    "     <tokens2 rule=\"\">\r\n"
    "          <token >end</token>\r\n"
    "     </tokens2>\r\n"
    "</tokenset>\r\n"
    "<tokenset name=\"Text\" id=\"text\" backcolor=\"0\" forecolor=\"4294967295\" >\r\n"
    "</tokenset>\r\n"
    "</language>\r\n";

// One line per tokenset: name, id, type, the flags autoindent casesensitive chain enabled hidden
// matchbraces normalizecase singlelinescope symmetrical as 0/1, colours, font style, member list,
// inheritfrom, valid scopes; then each list and token as text/action/regexp/rule.
std::string describe(const TokensetDefinition &t)
{
    QString s = QStringLiteral("%1 %2 %3 ").arg(t.name).arg(t.id).arg(t.scope ? "scope" : "list");
    for (bool f : {t.autoindent, t.casesensitive, t.chain, t.enabled, t.hidden, t.matchbraces, t.normalizecase,
                   t.singlelinescope, t.symmetrical})
        s += f ? u'1' : u'0';
    s += QStringLiteral(" %1 %2 %3 [%4] [%5] [%6]").arg(t.forecolor).arg(t.backcolor).arg(t.fontstyle)
             .arg(t.memberlist, t.inheritfrom, t.validscopes.join(u','));
    for (const TokenListDefinition *l : {&t.tokens, &t.tokens2}) {
        if (!l->present)
            continue;
        s += QStringLiteral(" {%1 %2:").arg(int(l->regexp)).arg(l->rule);
        for (const TokenDefinition &k : l->tokens)
            s += QStringLiteral(" %1/%2/%3/%4").arg(k.text, k.action).arg(int(k.regexp)).arg(k.rule);
        s += u'}';
    }
    return s.toStdString();
}

} // namespace

TEST(DefinitionReader, ReadsEveryWrittenAttributeAndTheHiddenDefaults)
{
    const LanguageDefinition def = readOk(kFull);
    EXPECT_EQ(def.fileName, "t.lng");
    EXPECT_EQ(std::tuple(def.name, def.casesensitive, def.whitespaceasparamblock, def.wordchars, def.memberlist),
              std::tuple(QString("Demo"), true, false, QString("[\\w&<]"), QString("C Library")));
    ASSERT_EQ(def.tokensets.size(), 2);
    // A bare token takes its list's regexp and rule; a list without them has true and word.
    EXPECT_EQ(describe(def.tokensets[0]),
              "Keywords 3 scope 010101101 -16777216 16777215 3 [Members] [Text] [,Text]"
              " {0 leadwith[(]: if//0/leadwith[(] a<b&c/ListMembers/1/col3 x//0/}"
              " {1 : end//1/}");
    // A colour written unsigned is the same 32 bits: -1, "not set".
    EXPECT_EQ(describe(def.tokensets[1]), "Text 1 list 101010010 -1 0 0 [] [] []");

    const LanguageDefinition hidden = readOk("<language name=\"Demo\">\r\n<tokenset name=\"K\" id=\"keywords\" >\r\n"
                                             "     <tokens>\r\n          <token >if</token>\r\n     </tokens>\r\n"
                                             "</tokenset>\r\n</language>\r\n");
    EXPECT_EQ(std::tuple(hidden.casesensitive, hidden.whitespaceasparamblock, hidden.wordchars, hidden.memberlist),
              std::tuple(false, true, QString("[\\w]"), QString()));
    EXPECT_EQ(describe(hidden.tokensets.at(0)), "K 3 list 101010010 -1 -1 0 [] [] [] {1 word: if//1/word}");

    // Ids, font styles and types by name (any case) or number; outside their tables as the import
    // reads them (an id's absolute value, else text; normal; list).
    const LanguageDefinition named = readOk("<language name=\"L\">"
                                            "<tokenset name=\"A\" id=\"Strings\" fontstyle=\"Bold\" type=\"Scope\"/>"
                                            "<tokenset name=\"B\" id=\"-5\" fontstyle=\"7\" type=\"tree\"/>"
                                            "<tokenset name=\"C\" id=\"nosuchid\" fontstyle=\"heavy\"/>"
                                            "<tokenset name=\"D\" id=\"99\" fontstyle=\"underline\"/></language>");
    EXPECT_EQ(describe(named.tokensets[0]) + describe(named.tokensets[1]) + describe(named.tokensets[2]) + describe(named.tokensets[3]),
              "A 8 scope 101010010 -1 -1 1 [] [] []B 5 list 101010010 -1 -1 0 [] [] []C 1 list 101010010 -1 -1 0 [] [] []"
              "D 1 list 101010010 -1 -1 4 [] [] []");
}

// Inheritance cycles and regexps that do not compile load: the colouring stops where a chain
// repeats, and such a token never matches; it is listed with its place.
TEST(DefinitionReader, LoadsCyclesAndRegexpsThatDoNotCompile)
{
    const LanguageDefinition def = readOk("<language name=\"L\">\n<tokenset name=\"A\" inheritfrom=\"B\">\n"
                                          "<tokens regexp=\"true\">\n<token>ok</token>\n<token>a(b</token>\n</tokens></tokenset>\n"
                                          "<tokenset name=\"B\" inheritfrom=\"A\"/><tokenset name=\"C\" inheritfrom=\"C\"/></language>");
    EXPECT_EQ(def.tokensets.size(), 3);
    EXPECT_EQ(def.tokensets[0].tokens.tokens.size(), 2);
    ASSERT_EQ(def.badRegexps.size(), 1);
    EXPECT_EQ(DefinitionReader::describe(def, def.badRegexps[0]).toStdString(),
              "t.lng, line 5, column 8: tokenset \"A\", token \"a(b\": invalid regular expression: missing closing "
              "parenthesis at offset 3; the token never matches");
}

TEST(DefinitionReader, ErrorsNameFileLineColumnAndProblem)
{
    struct Case {
        const char *what;
        QByteArray xml;
        qint64 line;
        const char *problemPart;
    } cases[] = {
        {"unclosed element", "<language name=\"L\">\r\n<tokenset name=\"T\">\r\n</language>", 3, ""},
        {"empty file", "", 1, ""},
        {"unescaped quote in a value", "<language name=\"a\"b\"></language>", 1, ""},
        {"other root", "<?xml version=\"1.0\"?>\n<lang name=\"L\"/>", 2, "<lang>, not <language>"},
        {"inheritfrom to nothing", "<language name=\"L\">\n<tokenset name=\"A\" inheritfrom=\"Nope\"></tokenset></language>", 2,
         "inheritfrom names no tokenset of the file: \"Nope\""},
        {"validscope to nothing", "<language name=\"L\">\n<tokenset name=\"A\">\n<validscope name=\"A\"/>\n"
                                  "<validscope name=\"B \"/></tokenset></language>",
         4, "validscope names no tokenset of the file: \"B \""},
        {"bad flag", "<language name=\"L\"><tokenset name=\"A\" hidden=\"maybe\"/></language>", 1,
         "tokenset \"A\": hidden=\"maybe\" is not true or false"},
        {"bad colour", "<language name=\"L\"><tokenset name=\"A\" forecolor=\"red\"/></language>", 1, "not a colour number"},
        {"tokenset without name", "<language name=\"L\"><tokenset id=\"text\"/></language>", 1, "without a name"},
        {"element inside a token", "<language name=\"L\"><tokenset name=\"A\"><tokens><token>a<b/></token></tokens></tokenset></language>", 1, ""},
        {"document type", "<!DOCTYPE language [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><language name=\"&x;\"/>", 1,
         "document type declarations are not accepted"},
        {"second root", "<language name=\"L\"/>\n<language name=\"M\"/>", 2, ""},
        {"not XML: a picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20), 1, ""},
        {"billion laughs", "<?xml version=\"1.0\"?>\n<!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                           "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
                           "<language name=\"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"/>",
         2, "document type declarations are not accepted"},
    };
    for (const Case &c : cases) {
        const DefinitionError e = readFail(c.xml);
        EXPECT_EQ(std::tuple(e.file, e.line), std::tuple(QString("t.lng"), c.line)) << c.what;
        EXPECT_GE(e.column, 1) << c.what;
        EXPECT_FALSE(e.problem.isEmpty()) << c.what;
        EXPECT_TRUE(e.problem.contains(QString::fromUtf8(c.problemPart))) << c.what << ": " << e.problem.toStdString();
        EXPECT_TRUE(e.toString().startsWith(QStringLiteral("t.lng, line %1, column ").arg(c.line))) << c.what;
    }
}

TEST(DefinitionReader, RefusesWhatARecordCannotHoldAndHostileInput)
{
    // 51 tokensets and 11 valid scopes fit a language record; one more is refused with the limit.
    auto build = [](int tokensets, int scopes) {
        QByteArray xml = "<language name=\"L\">";
        for (int i = 0; i < tokensets; ++i)
            xml += "<tokenset name=\"T" + QByteArray::number(i) + "\">" + QByteArray("<validscope name=\"T0\"/>").repeated(scopes)
                + "</tokenset>\n";
        return xml + "</language>";
    };
    EXPECT_EQ(readOk(build(51, 11)).tokensets.size(), 51);
    const DefinitionError many = readFail(build(52, 0));
    EXPECT_EQ(many.line, 52);
    EXPECT_TRUE(many.problem.contains(QStringLiteral("at most 51"))) << many.problem.toStdString();
    EXPECT_TRUE(readFail(build(1, 12)).problem.contains(QStringLiteral("at most 11")));

    // More than any record can be written as is refused before it is read.
    const QByteArray huge = "<language name=\"L\">" + QByteArray(DefinitionReader::kMaxDefinitionBytes, ' ') + "</language>";
    EXPECT_EQ(readFail(huge).problem, QStringLiteral("the file is larger than the limit of 40 MiB"));

    // Deep nesting of unknown elements is bounded.
    const QByteArray deep = "<language name=\"L\">" + QByteArray("<x>").repeated(100000) + QByteArray("</x>").repeated(100000) + "</language>";
    EXPECT_TRUE(readFail(deep).problem.contains(QStringLiteral("nested")));
}

TEST(DefinitionReader, DecodesAnsiUnlessTheFileSaysOtherwise)
{
    EXPECT_EQ(readOk("<language name=\"Caf\xE9\"/>").name, QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(readOk("\xEF\xBB\xBF<language name=\"Caf\xC3\xA9\"/>").name, QStringLiteral("Caf\u00E9"));
    EXPECT_EQ(readOk("<?xml version=\"1.0\" encoding=\"UTF-8\"?><language name=\"Caf\xC3\xA9\"/>").name,
              QStringLiteral("Caf\u00E9"));
}

TEST(DefinitionReader, FilesAndLanguageObjects)
{
    TestUtil::TempFolder folder;
    LanguageObject object;
    EXPECT_FALSE(object.load(folder.file(QStringLiteral("missing.lng"))));
    EXPECT_TRUE(object.error().toString().contains(QStringLiteral("missing.lng: cannot read: it does not exist")));

    ASSERT_TRUE(object.load(TestUtil::sourcePath(QStringLiteral("data/xml.lng")))) << object.error().toString().toStdString();
    EXPECT_EQ(object.name(), "XML");
    EXPECT_GT(object.tokensetCount(), 3);
    const std::shared_ptr<const LanguageDefinition> before = object.definition();

    // A failed reload keeps the language that was loaded; a pane holding it is not disturbed.
    folder.write(QStringLiteral("bad.lng"), "<language name=\"X\">");
    EXPECT_FALSE(object.load(folder.file(QStringLiteral("bad.lng"))));
    EXPECT_TRUE(object.isLoaded());
    EXPECT_EQ(object.definition(), before);
    EXPECT_EQ(object.error().line, 1);
}
