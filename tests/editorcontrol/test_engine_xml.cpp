// The largest language a record holds, 51 tokensets of 10,000 tokens, goes through the writer, the
// reader and the engine whole, and a sample of 100,000 lines is coloured with it.
#include "test_engine_support.h"

#include "editorcontrol/definitionreader.h"
#include "xmlgen/fakehost.h"
#include "xmlgen/xmlwriter.h"

#include <gtest/gtest.h>

namespace {

class NoWindows : public WriterHost {
public:
    QString programFolder() const override { return QString(); }
};

} // namespace

TEST(EngineXml, LargestLanguageAndALongSample)
{
    Database db;
    db.languages = {demoLanguage()};
    for (int slot = 0; slot < Language::kSlots; ++slot) {
        Tokenset &ts = db.languages[0].tokensets[size_t(slot)] = makeTokenset(QStringLiteral("Set %1").arg(slot));
        ts.regexp = 0;
        ts.enabled = 1;
        QStringList tokens;
        for (int i = 0; i < 10000; ++i)
            tokens += QStringLiteral("w%1_%2").arg(slot).arg(i);
        ts.tokens = tokens.join(u"\r\n");
    }
    NoWindows host;
    XmlWriter writer(db, host);
    LanguageDefinition def;
    DefinitionError error;
    ASSERT_TRUE(DefinitionReader::read(XmlWriter::fileBytes(writer.generate(0, 1, true, false)), "big.lng", def, error))
        << error.toString().toStdString();
    ASSERT_EQ(def.tokensets.size(), Language::kSlots);
    EXPECT_EQ(def.tokensets.last().tokens.tokens.size(), 10000);

    Highlighter highlighter(CompiledLanguage::compile(def));
    EXPECT_TRUE(highlighter.language()->problems().isEmpty());
    const QVector<StyleRun> runs = highlighter.highlightText(QStringList(100000, "w50_9999 w0_0 w7_10000 x").join(u'\n'));
    const auto tokens = std::count_if(runs.begin(), runs.end(), [](const StyleRun &r) { return r.kind == StyleRun::Token; });
    EXPECT_EQ(tokens, 200000); // w7_10000 is no token
    EXPECT_EQ(std::tuple(runs.first().length, runs.first().tokenset, runs.first().token), std::tuple(8, 50, 9999));
}
