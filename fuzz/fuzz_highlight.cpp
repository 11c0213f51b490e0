// A definition and a text, split at the first NUL byte: a definition that reads is coloured with and
// without the scanner's shortcuts (the runs must agree and cover the text), and each output form
// comes out the same from merged and unmerged runs. Never a crash or a hang.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textrenderer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    if (split < 0)
        return 0;
    LanguageDefinition def;
    DefinitionError error;
    if (!DefinitionReader::read(bytes.left(split), QStringLiteral("fuzz.lng"), def, error))
        return 0;
    const QString text = QString::fromUtf8(bytes.mid(split + 1).left(4096));

    const CompiledLanguagePtr fastLanguage = CompiledLanguage::compile(def, true);
    Highlighter fast(fastLanguage);
    Highlighter slow(CompiledLanguage::compile(def, false));
    const QVector<StyleRun> runs = fast.highlightText(text);
    if (runs != slow.highlightText(text))
        __builtin_trap();
    int covered = 0;
    for (const StyleRun &r : runs) {
        if (r.start != covered || r.length <= 0)
            __builtin_trap();
        covered += r.length;
    }
    if (covered != text.size())
        __builtin_trap();
    // The renderers merge runs of one tokenset themselves: merged or not, the output is the same.
    const QVector<StyleRun> merged = fast.highlightText(text, true);
    for (const auto format : {TextRenderer::Format::Html, TextRenderer::Format::Ansi, TextRenderer::Format::Spans})
        if (TextRenderer::render(text, runs, *fastLanguage, format) != TextRenderer::render(text, merged, *fastLanguage, format))
            __builtin_trap();
    return 0;
}
