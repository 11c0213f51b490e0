// The colouring engine on random definitions and texts. The bytes up to the first NUL are a .lng
// definition (XML holds no NUL), the rest the text to colour as ANSI bytes; seeds are the starter
// languages with their samples. A definition the reader refuses ends the run. Every line's runs must
// cover it exactly, and colouring with and without the engine's shortcuts must agree.
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "model/ansicodec.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = bytes.indexOf('\0');
    if (cut < 0)
        return 0;
    LanguageDefinition def;
    DefinitionError error;
    if (!DefinitionReader::read(bytes.left(cut), QStringLiteral("fuzz.lng"), def, error))
        return 0;
    const QString text = AnsiCodec::decode(bytes.mid(cut + 1));

    QVector<StyleRun> whole[2];
    for (const bool shortcuts : {true, false}) {
        Highlighter highlighter(CompiledLanguage::compile(def, shortcuts));
        ScopeState state;
        QVector<StyleRun> runs;
        for (const QStringView line : QStringView(text).split(u'\n')) {
            state = highlighter.highlightLine(line, state, runs);
            int at = 0;
            for (const StyleRun &run : runs) {
                if (run.start != at || run.length <= 0)
                    std::abort();
                at += run.length;
            }
            if (at != line.size())
                std::abort();
        }
        whole[shortcuts] = highlighter.highlightText(text);
    }
    if (whole[0] != whole[1])
        std::abort();
    return 0;
}
