// Styles: colours inherited along inheritfrom, then from the text tokenset, then the pane's
// default; font styles.
#include "test_engine_support.h"

#include <gtest/gtest.h>

using namespace EngineTest;

namespace {

TokensetDefinition coloured(TokensetDefinition set, qint32 fore, qint32 back, const QString &inherit = QString(),
                            int fontstyle = 0)
{
    set.forecolor = fore;
    set.backcolor = back;
    set.inheritfrom = inherit;
    set.fontstyle = fontstyle;
    return set;
}

} // namespace

TEST(EngineStyle, UnsetColoursComeFromInheritfromThenTextThenThePane)
{
    const LanguageDefinition d = language({
        coloured(listSet("Base", {"b"}), 0x0000FF, -1),
        coloured(listSet("Mid", {"m"}), -1, 0x00FF00, "Base"),
        coloured(listSet("Leaf", {"l"}), -1, -1, "Mid", 3),
        coloured(listSet("Loop1", {"x"}), -1, -1, "Loop2"),
        coloured(listSet("Loop2", {"y"}), -1, -1, "Loop1"),
        coloured(listSet("Text", {}, false, QString(), TokensetIds::Text), 0x123456, 0xFFFFFF),
        coloured(listSet("Missing", {"z"}), -1, -1, "Nowhere", 4),
    });
    const CompiledLanguagePtr lang = CompiledLanguage::compile(d);
    const struct {
        const char *name;
        qint32 fore, back;
        bool bold, italic, underline;
    } expected[] = {
        {"Base", 0x0000FF, 0xFFFFFF, false, false, false},
        {"Mid", 0x0000FF, 0x00FF00, false, false, false},
        {"Leaf", 0x0000FF, 0x00FF00, true, true, false},
        {"Loop1", 0x123456, 0xFFFFFF, false, false, false},
        {"Loop2", 0x123456, 0xFFFFFF, false, false, false},
        {"Text", 0x123456, 0xFFFFFF, false, false, false},
        {"Missing", 0x123456, 0xFFFFFF, false, false, true},
    };
    for (const auto &e : expected) {
        const TokensetStyle &s = lang->style(lang->indexOf(e.name));
        EXPECT_EQ(std::tuple(s.fore, s.back, s.bold, s.italic, s.underline),
                  std::tuple(e.fore, e.back, e.bold, e.italic, e.underline)) << e.name;
    }
    // The inheritfrom naming no tokenset is reported.
    EXPECT_EQ(std::tuple(lang->textTokenset(), lang->defaultStyle().fore, lang->problems().size()),
              std::tuple(lang->indexOf("Text"), 0x123456, qsizetype(1)));

    // Without a text tokenset an unset colour stays unset: the pane's default.
    const CompiledLanguagePtr bare = CompiledLanguage::compile(language({listSet("K", {"k"})}));
    EXPECT_EQ(std::tuple(bare->textTokenset(), bare->style(0).fore, bare->style(0).back), std::tuple(-1, -1, -1));
}
