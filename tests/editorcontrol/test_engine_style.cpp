// Styles: colours inherited along inheritfrom, then from the text tokenset, then the pane's
// default; font styles; hyperlinks; and the HTML and ANSI renderers.
#include "test_engine_support.h"

#include "editorcontrol/textrenderer.h"

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
        EXPECT_EQ(s.fore, e.fore) << e.name;
        EXPECT_EQ(s.back, e.back) << e.name;
        EXPECT_EQ(s.bold, e.bold) << e.name;
        EXPECT_EQ(s.italic, e.italic) << e.name;
        EXPECT_EQ(s.underline, e.underline) << e.name;
    }
    EXPECT_EQ(lang->textTokenset(), lang->indexOf("Text"));
    EXPECT_EQ(lang->defaultStyle().fore, 0x123456);
    EXPECT_EQ(lang->problems().size(), 1); // the inheritfrom naming no tokenset

    // Without a text tokenset an unset colour stays unset: the pane's default.
    const CompiledLanguagePtr bare = CompiledLanguage::compile(language({listSet("K", {"k"})}));
    EXPECT_EQ(std::tuple(bare->textTokenset(), bare->style(0).fore, bare->style(0).back), std::tuple(-1, -1, -1));
}

TEST(EngineStyle, RenderersWriteColoursAndEscapeTheText)
{
    const LanguageDefinition d = language({
        coloured(listSet("K", {"if"}), 0x0000FF, -1, QString(), 1),
        coloured(listSet("Text", {}, false, QString(), TokensetIds::Text), 0x808080, -1),
    });
    const CompiledLanguagePtr lang = CompiledLanguage::compile(d);
    Highlighter h(lang);
    const QString text = QStringLiteral("if a<b & \"c\"\r\nif");
    const QVector<StyleRun> runs = h.highlightText(text);

    const QString html = QString::fromUtf8(TextRenderer::render(text, runs, *lang, TextRenderer::Format::Html, "T<1>"));
    EXPECT_TRUE(html.contains(QLatin1String("<title>T&lt;1&gt;</title>")));
    EXPECT_TRUE(html.contains(QLatin1String(".t0 { color:#ff0000;font-weight:bold;}")));
    EXPECT_TRUE(html.contains(QLatin1String("pre { color:#808080;}")));
    EXPECT_TRUE(html.contains(QLatin1String(
        "<pre><span class=\"t0\">if</span> a&lt;b &amp; &quot;c&quot;\n<span class=\"t0\">if</span></pre>")));

    EXPECT_EQ(TextRenderer::render(text, runs, *lang, TextRenderer::Format::Ansi),
              "\x1b[0;1;38;2;255;0;0mif\x1b[0;38;2;128;128;128m a<b & \"c\"\x1b[0m\r\n"
              "\x1b[0;1;38;2;255;0;0mif\x1b[0m");
}
