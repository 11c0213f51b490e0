// A definition and a text, split at the first NUL byte: a definition that reads is coloured with and
// without the scanner's shortcuts (the runs must agree and cover the text), and an edit in the middle
// re-coloured line by line must give what a fresh colouring gives. Never a crash or a hang.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/documenthighlighter.h"
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
    TextRenderer::render(text, runs, *fastLanguage, TextRenderer::Format::Html);
    TextRenderer::render(text, runs, *fastLanguage, TextRenderer::Format::Ansi);

    DocumentHighlighter doc(fastLanguage);
    doc.setText(text);
    const int middle = doc.lineCount() / 2;
    QString edited = doc.line(middle);
    edited.insert(edited.size() / 2, text.left(3));
    doc.replaceLines(middle, 1, {edited});
    QStringList lines;
    for (int i = 0; i < doc.lineCount(); ++i)
        lines << doc.line(i);
    DocumentHighlighter fresh(fastLanguage);
    fresh.setText(lines.join(QLatin1Char('\n')));
    if (fresh.lineCount() == doc.lineCount())
        for (int i = 0; i < doc.lineCount(); ++i)
            if (doc.runs(i) != fresh.runs(i) || !(doc.stateAtStart(i) == fresh.stateAtStart(i)))
                __builtin_trap();
    return 0;
}
