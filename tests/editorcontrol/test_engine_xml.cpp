// The definition that colours the XML pane (data/xml.lng) on the kind of text the XML writer produces.
#include "test_engine_support.h"

#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "xmlgen/fakehost.h"
#include "xmlgen/xmlwriter.h"

#include <tuple>

#include <gtest/gtest.h>

using namespace EngineTest;

TEST(EngineXmlPane, ColoursGeneratedDefinitions)
{
    LanguageDefinition xml;
    DefinitionError error;
    ASSERT_TRUE(DefinitionReader::readFile(TestUtil::sourcePath("data/xml.lng"), xml, error))
        << error.toString().toStdString();
    EXPECT_TRUE(CompiledLanguage::compile(xml)->problems().isEmpty());

    expectMarked({
        {"tag with attributes", xml, R"(<tokens regexp="true" rule="">)",
         R"([Tags:<][Element Names:tokens][Tags: ][Attribute Names:regexp][Tags:=][Attribute Values:"true"][Tags: ][Attribute Names:rule][Tags:=][Attribute Values:""][Tags:>])"},
        {"token text and entities", xml, R"(<token  rule="leadwith[&amp;]">a&lt;b</token>)",
         R"([Tags:<][Element Names:token][Tags:  ][Attribute Names:rule][Tags:=][Attribute Values:"leadwith[][Entities:&amp;][Attribute Values:]"][Tags:>][Element Text:a][Entities:&lt;][Element Text:b][Tags:</][Element Names:token][Tags:>])"},
        {"empty element", xml, R"(<validscope name=""/>)",
         R"([Tags:<][Element Names:validscope][Tags: ][Attribute Names:name][Tags:=][Attribute Values:""][Tags:/>])"},
        {"comment, CDATA and declaration", xml, "<!-- a <b> -->\n<![CDATA[<x>]]><?xml version=\"1.0\"?>",
         "[Comments:<!-- a <b> -->]\n[CDATA:<![CDATA[<x>]]>][Tags:<?][Element Names:xml][Tags: ][Attribute Names:version][Tags:=][Attribute Values:\"1.0\"][Tags:?>]"},
        {"one attribute a line", xml, "<language\r\nname=\"Demo\"\r\n>",
         "[Tags:<][Element Names:language][Tags:\r\n][Attribute Names:name][Tags:=][Attribute Values:\"Demo\"][Tags:\r\n>]"},
        {"an open quote ends with its line", xml, "<a b=\"x\n<c>",
         "[Tags:<][Element Names:a][Tags: ][Attribute Names:b][Tags:=][Attribute Values:\"x][Tags:\n<][Element Names:c][Tags:>]"},
    });
}

namespace {

class NoWindows : public WriterHost {
public:
    QString programFolder() const override { return QString(); }
};

} // namespace

// The largest language a record holds, 51 tokensets of 10,000 tokens, goes through the writer, the
// reader and the engine whole, and a sample of 100,000 lines is coloured with it.
TEST(EngineXmlPane, LargestLanguageAndALongSample)
{
    Database db;
    db.languages = {demoLanguage()};
    Language &language = db.languages[0];
    for (int slot = 0; slot < Language::kSlots; ++slot) {
        Tokenset &ts = language.tokensets[size_t(slot)] = makeTokenset(QStringLiteral("Set %1").arg(slot));
        ts.regexp = 0;
        ts.enabled = 1;
        QStringList tokens;
        for (int i = 0; i < 10000; ++i)
            tokens += QStringLiteral("w%1_%2").arg(slot).arg(i);
        ts.tokens = tokens.join(u"\r\n");
    }
    NoWindows host;
    XmlWriter writer(db, host);
    const QByteArray bytes = XmlWriter::fileBytes(writer.generate(0, 1, true, false));
    LanguageDefinition def;
    DefinitionError error;
    ASSERT_TRUE(DefinitionReader::read(bytes, QStringLiteral("big.lng"), def, error)) << error.toString().toStdString();
    ASSERT_EQ(def.tokensets.size(), Language::kSlots);
    for (const TokensetDefinition &ts : def.tokensets)
        EXPECT_EQ(ts.tokens.tokens.size(), 10000) << ts.name.toStdString();

    Highlighter highlighter(CompiledLanguage::compile(def));
    EXPECT_TRUE(highlighter.language()->problems().isEmpty());
    const QString line = QStringLiteral("w50_9999 w0_0 w7_10000 x");
    const QVector<StyleRun> runs = highlighter.highlightText(QStringList(100000, line).join(u'\n'));
    const int lineLength = int(line.size()) + 1;
    int tokens = 0;
    for (const StyleRun &run : runs)
        tokens += run.kind == StyleRun::Token;
    EXPECT_EQ(tokens, 200000); // w7_10000 is no token
    ASSERT_FALSE(runs.isEmpty());
    EXPECT_EQ(runs.last().start + runs.last().length, 100000 * lineLength - 1);
    const StyleRun first = runs.first();
    EXPECT_EQ(std::tuple(first.start, first.length, first.tokenset, first.token), std::tuple(0, 8, 50, 9999));
}
