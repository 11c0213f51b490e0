// varlex-cli highlight: colours a text with a language definition, as HTML, ANSI or a list of runs.
// The text streams through: read in blocks, coloured line by line, written as it goes.
#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlightstream.h"
#include "model/textescape.h"

#include <QFileInfo>

#include <cstdio>

namespace {

int run(const Cli::Arguments &args)
{
    const QString lng = args.value("lng");
    const QString format = args.has("format") ? args.value("format") : QStringLiteral("html");
    const QString input = args.operands().isEmpty() ? QStringLiteral("-") : args.operands().at(0);
    const bool fromDatabase = args.has(Cli::kIndexOption.name) || args.has(Cli::kNameOption.name);
    if (lng.isEmpty() == !fromDatabase)
        return args.usage(QStringLiteral("give the definition with --lng FILE, or a language of the database with --index N or --name NAME"));
    if (format != QLatin1String("html") && format != QLatin1String("ansi") && format != QLatin1String("spans"))
        return args.usage(QStringLiteral("unknown format '%1' (html, ansi or spans)").arg(format));
    const QString colours = args.has("colors") ? args.value("colors")
                            : qgetenv("COLORTERM") == "truecolor" || qgetenv("COLORTERM") == "24bit" ? QStringLiteral("truecolor")
                                                                                                     : QStringLiteral("256");
    if (colours != QLatin1String("256") && colours != QLatin1String("truecolor"))
        return args.usage(QStringLiteral("unknown colour depth '%1' (256 or truecolor)").arg(colours));
    if ((args.has("background") || args.has("colors")) && format != QLatin1String("ansi"))
        return args.usage(QStringLiteral("--background and --colors belong to --format ansi"));
    if (lng == QLatin1String("-") && input == QLatin1String("-"))
        return args.usage(QStringLiteral("standard input can be read only once: give TEXTFILE when --lng is -"));

    QByteArray bytes;
    QString problem;
    QString definitionName = Cli::inputName(lng);
    if (fromDatabase) {
        // The definition the language writes, as xml prints it.
        Cli::CliWriterHost host(args);
        Database db;
        bool damaged = false;
        int index = -1;
        if (int code = Cli::loadForXml(db, host, damaged); code || (code = Cli::chooseLanguage(args, db, true, index)))
            return code;
        if (damaged)
            return Cli::BadInput;
        XmlWriter writer(db, host);
        bytes = XmlWriter::fileBytes(writer.generate(index, 1, false, false));
        definitionName = db.languages[index].name + QStringLiteral(".lng");
    } else if (!Cli::readInput(lng, DefinitionReader::kMaxDefinitionBytes, bytes, problem)) {
        return Cli::fail(Cli::BadInput, problem);
    }
    LanguageDefinition definition;
    DefinitionError error;
    if (!DefinitionReader::read(bytes, definitionName, definition, error))
        return Cli::failAt(Cli::BadInput, error.compilerLine());
    for (const BadRegexp &bad : definition.badRegexps)
        Cli::warnAt(DefinitionReader::badRegexpError(definition, bad).compilerLine("warning"));
    TextSource source;
    if (!source.open(input))
        return Cli::fail(Cli::BadInput, source.problem());

    const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
    Highlighter highlighter(language);
    highlighter.setLimitNotice([&source](const QString &message) {
        Cli::warn(QStringLiteral("%1 (first at line %2 of %3)").arg(message).arg(source.lineNumber()).arg(source.displayName()));
    });
    const TextRenderer::Format kind = format == QLatin1String("spans") ? TextRenderer::Format::Spans
                                      : format == QLatin1String("ansi") ? TextRenderer::Format::Ansi
                                                                         : TextRenderer::Format::Html;
    const QString title = input == QLatin1String("-") ? definition.name : QFileInfo(input).fileName();
    // A write that fails stops the colouring; the command's end reports it (exit 1).
    TextRenderer renderer(*language, kind, [](QByteArrayView block) {
        Cli::out(block);
        return !std::ferror(stdout);
    }, title, {args.has("background"), colours == QLatin1String("truecolor")});
    // Streamed input: what is coloured reaches the reader before the program waits for more.
    source.setBeforeWait([&renderer] {
        renderer.flush();
        std::fflush(stdout);
    });
    source.setNotice([](const QString &notice) { Cli::warn(QStringLiteral("highlight: ") + notice); });
    QStringList names;
    for (int t = 0; t < language->tokensetCount(); ++t)
        names << TextEscape::oneLine(language->tokensetName(t));
    renderer.setSpanNames(names);
    if (!HighlightStream::run(source, highlighter, renderer) && !renderer.failed())
        return Cli::fail(Cli::BadInput, source.problem());
    return Cli::Ok;
}

const Cli::Command kCommand{
    "highlight", "colour a text with a language definition (HTML, ANSI or runs)",
    "(--lng FILE|- | --index N | --name NAME) [--format html|ansi|spans] [--background] [--colors 256|truecolor] [--output FILE] [TEXTFILE|-]",
    "Colours a text (standard input when TEXTFILE is - or missing) with the language of the definition\n"
    "FILE (standard input for -, then TEXTFILE must be named), or with the definition a language of the\n"
    "database writes (--index or --name; a database that is damaged or missing is exit 3).\n"
    "  --format html    a complete HTML page (the default)\n"
    "  --format ansi    the text with terminal colour escapes: the foreground colours and font styles,\n"
    "                   so the terminal's own background stays; --background adds the back colours.\n"
    "                   24-bit colours when COLORTERM is truecolor (or 24bit), else the nearest of the\n"
    "                   256-colour palette; --colors chooses\n"
    "  --format spans   one line per run of one tokenset: start, TAB, length, TAB, tokenset name\n"
    "                   (offsets in characters; backslashes, TABs and line breaks of the name written\n"
    "                   as \\\\, \\t, \\r and \\n; plain text is listed under the language's text\n"
    "                   tokenset, or not at all when it has none)\n"
    "A file is read as UTF-8 when it is valid UTF-8, else as ANSI text. Standard input that is a pipe\n"
    "or a terminal is coloured line by line as it arrives, read as UTF-8 until a line is not, from\n"
    "which line on as ANSI text (said once on standard error). Output is UTF-8. Texts of any size\n"
    "stream through; a line may hold up to 268,435,456 characters. A regexp token that does not\n"
    "compile never matches, and one that needs too many steps to match (it backtracks without end)\n"
    "counts as no match there; each is named once on standard error.\n"
    "Exit status: 0 ok, 1 the output could not be written, 2 usage error, 3 a definition or text that\n"
    "cannot be read.\n",
    {{"lng", "FILE", "the language definition (.lng); - for standard input"}, Cli::kIndexOption, Cli::kNameOption,
     {"format", "FORMAT", "html, ansi or spans"},
     {"background", nullptr, "ansi: paint the back colours too"},
     {"colors", "256|truecolor", "ansi: the colour depth (default: truecolor when COLORTERM says so, else 256)"}, Cli::kOutputOption},
    0, 1, "TEXTFILE", run};
const Cli::Register reg(kCommand);

} // namespace
