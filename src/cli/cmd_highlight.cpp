// varlex-cli highlight: colours a text with a language definition, as HTML, ANSI or a list of runs.
#include "cli/arguments.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textrenderer.h"

#include <QFileInfo>

namespace {

// Offsets are 32-bit character counts: far beyond any text worth colouring, refused rather than
// wrapped.
constexpr qint64 kMaxTextBytes = qint64(1) << 30;
constexpr qint64 kMaxDefinitionBytes = qint64(64) << 20;

int run(const Cli::Arguments &args)
{
    const QString lng = args.value("lng");
    const QString format = args.has("format") ? args.value("format") : QStringLiteral("html");
    const QString input = args.operands().isEmpty() ? QStringLiteral("-") : args.operands().at(0);
    if (lng.isEmpty())
        return args.usage(QStringLiteral("--lng FILE is required"));
    if (format != QLatin1String("html") && format != QLatin1String("ansi") && format != QLatin1String("spans"))
        return args.usage(QStringLiteral("unknown format '%1' (html, ansi or spans)").arg(format));
    if (lng == QLatin1String("-") && input == QLatin1String("-"))
        return args.usage(QStringLiteral("standard input can be read only once: give TEXTFILE when --lng is -"));

    QByteArray bytes;
    QString problem;
    if (!Cli::readInput(lng, kMaxDefinitionBytes, bytes, problem))
        return Cli::fail(Cli::BadInput, problem);
    LanguageDefinition definition;
    DefinitionError error;
    if (!DefinitionReader::read(bytes, Cli::inputName(lng), definition, error))
        return Cli::fail(Cli::BadInput, error.toString());
    for (const BadRegexp &bad : definition.badRegexps)
        Cli::fail(Cli::Ok, QStringLiteral("highlight: warning: ") + DefinitionReader::describe(definition, bad));
    if (!Cli::readInput(input, kMaxTextBytes, bytes, problem))
        return Cli::fail(Cli::BadInput, problem);
    const QString text = Cli::decodeText(bytes);
    bytes = QByteArray();

    const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
    Highlighter highlighter(language);
    const QVector<StyleRun> runs = highlighter.highlightText(text, true);

    if (format == QLatin1String("spans")) {
        QByteArray out;
        for (const StyleRun &r : runs) {
            if (r.tokenset < 0)
                continue;
            out += QByteArray::number(r.start) + '\t' + QByteArray::number(r.length) + '\t'
                + Cli::oneLine(language->tokensetName(r.tokenset)).toUtf8() + '\n';
        }
        Cli::out(out);
    } else if (format == QLatin1String("ansi")) {
        Cli::out(TextRenderer::toAnsiUtf8(text, runs, *language));
    } else {
        const QString title = input == QLatin1String("-") ? definition.name : QFileInfo(input).fileName();
        Cli::out(TextRenderer::toHtmlUtf8(text, runs, *language, title));
    }
    return Cli::Ok;
}

const Cli::Command kCommand{
    "highlight", "colour a text with a language definition (HTML, ANSI or runs)",
    "--lng FILE|- [--format html|ansi|spans] [TEXTFILE|-]",
    "Colours a text (standard input when TEXTFILE is - or missing) with the language of the definition\n"
    "FILE (standard input for -, then TEXTFILE must be named).\n"
    "  --format html    a complete HTML page (the default)\n"
    "  --format ansi    the text with terminal colour escapes\n"
    "  --format spans   one line per run of one tokenset: start, TAB, length, TAB, tokenset name\n"
    "                   (offsets in characters; backslashes, TABs and line breaks of the name written\n"
    "                   as \\\\, \\t, \\r and \\n; plain text is listed under the language's text\n"
    "                   tokenset, or not at all when it has none)\n"
    "The text is read as UTF-8 when it is valid UTF-8, else as ANSI text; output is UTF-8. A regexp\n"
    "token that does not compile never matches; each is named on standard error.\n"
    "Exit status: 0 ok, 2 usage error, 3 a definition or text that cannot be read.\n",
    {{"lng", "FILE", "the language definition (.lng); - for standard input"},
     {"format", "FORMAT", "html, ansi or spans"}},
    0, 1, "TEXTFILE", run};
const Cli::Register reg(kCommand);

} // namespace
