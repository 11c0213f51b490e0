// The definition that colours the XML pane (data/xml.lng) on the kind of text the XML writer produces.
#include "test_engine_support.h"

#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"

#include <gtest/gtest.h>

using namespace EngineTest;

TEST(EngineXmlPane, ColoursGeneratedDefinitions)
{
    LanguageDefinition xml;
    DefinitionError error;
    ASSERT_TRUE(DefinitionReader::readFile(TestUtil::sourcePath("data/xml.lng"), xml, error))
        << error.toString().toStdString();
    EXPECT_TRUE(CompiledLanguage::compile(xml)->problems().isEmpty());

    const struct {
        const char *name;
        QString text, expected;
    } cases[] = {
        {"tag with attributes", R"(<tokens regexp="true" rule="">)",
         R"([Tags:<][Element Names:tokens][Tags: ][Attribute Names:regexp][Tags:=][Attribute Values:"true"][Tags: ][Attribute Names:rule][Tags:=][Attribute Values:""][Tags:>])"},
        {"token text and entities", R"(<token  rule="leadwith[&amp;]">a&lt;b</token>)",
         R"([Tags:<][Element Names:token][Tags:  ][Attribute Names:rule][Tags:=][Attribute Values:"leadwith[][Entities:&amp;][Attribute Values:]"][Tags:>][Element Text:a][Entities:&lt;][Element Text:b][Tags:</][Element Names:token][Tags:>])"},
        {"empty element", R"(<validscope name=""/>)",
         R"([Tags:<][Element Names:validscope][Tags: ][Attribute Names:name][Tags:=][Attribute Values:""][Tags:/>])"},
        {"comment, CDATA and declaration", "<!-- a <b> -->\n<![CDATA[<x>]]><?xml version=\"1.0\"?>",
         "[Comments:<!-- a <b> -->]\n[CDATA:<![CDATA[<x>]]>][Tags:<?][Element Names:xml][Tags: ][Attribute Names:version][Tags:=][Attribute Values:\"1.0\"][Tags:?>]"},
        {"one attribute a line", "<language\r\nname=\"Demo\"\r\n>",
         "[Tags:<][Element Names:language][Tags:\r\n][Attribute Names:name][Tags:=][Attribute Values:\"Demo\"][Tags:\r\n>]"},
        {"an open quote ends with its line", "<a b=\"x\n<c>",
         "[Tags:<][Element Names:a][Tags: ][Attribute Names:b][Tags:=][Attribute Values:\"x][Tags:\n<][Element Names:c][Tags:>]"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(marked(xml, c.text).toStdString(), c.expected.toStdString()) << c.name;
}
