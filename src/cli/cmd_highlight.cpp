// varlex-cli highlight: colours a text with a language definition, as HTML, ANSI or a list of runs.
#include "cli/command.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/definitionreader.h"
#include "editorcontrol/highlighter.h"
#include "editorcontrol/textrenderer.h"
#include "model/ansicodec.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cstdio>

namespace {

const char *const kHelp =
    "Usage: varlex-cli highlight --lng FILE [--format html|ansi|spans] [TEXTFILE|-]\n"
    "Colours a text (standard input when TEXTFILE is - or missing) with the language of FILE.\n\n"
    "  --lng FILE       the language definition (.lng)\n"
    "  --format html    a complete HTML page (the default)\n"
    "  --format ansi    the text with terminal colour escapes\n"
    "  --format spans   one line per run of one tokenset: start, TAB, length, TAB, tokenset name\n"
    "                   (offsets in characters; plain text is listed under the language's\n"
    "                   text tokenset, or not at all when it has none)\n\n"
    "The text is read as UTF-8 when it is valid UTF-8, else as ANSI text; output is UTF-8.\n"
    "Exit status: 0 ok, 2 usage error, 3 a definition or text that cannot be read.\n";

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
    return AnsiCodec::decode(bytes);
}

bool readAll(const QString &path, QByteArray &bytes, QString &problem)
{
    QFile file;
    const bool stdinput = path == QLatin1String("-");
    const bool opened = stdinput ? file.open(stdin, QIODevice::ReadOnly) : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!opened) {
        problem = QStringLiteral("%1: %2").arg(stdinput ? QStringLiteral("(standard input)") : path, file.errorString());
        return false;
    }
    // Offsets are 32-bit character counts: far beyond any text worth colouring, refused rather than
    // wrapped.
    constexpr qint64 kMaxBytes = qint64(1) << 30;
    if (!stdinput && file.size() > kMaxBytes) {
        problem = QStringLiteral("%1: too large to colour (more than 1 GB)").arg(path);
        return false;
    }
    bytes.clear();
    while (bytes.size() <= kMaxBytes) {
        const QByteArray chunk = file.read(1 << 20);
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (bytes.size() > kMaxBytes) {
        problem = QStringLiteral("%1: too large to colour (more than 1 GB)").arg(stdinput ? QStringLiteral("(standard input)") : path);
        return false;
    }
    return true;
}

int run(const QStringList &args)
{
    QString lng, format = QStringLiteral("html"), input;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(kHelp, stdout);
            return Cli::Ok;
        }
        if (a == QLatin1String("--lng") || a == QLatin1String("--format")) {
            if (i + 1 >= args.size())
                return Cli::fail(Cli::Usage, QStringLiteral("highlight: %1 needs a value").arg(a));
            (a == QLatin1String("--lng") ? lng : format) = args[++i];
        } else if (a.startsWith(QLatin1String("--lng="))) {
            lng = a.mid(6);
        } else if (a.startsWith(QLatin1String("--format="))) {
            format = a.mid(9);
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            return Cli::fail(Cli::Usage, QStringLiteral("highlight: unknown option '%1'").arg(a));
        } else if (input.isEmpty()) {
            input = a;
        } else {
            return Cli::fail(Cli::Usage, QStringLiteral("highlight: only one text file may be given"));
        }
    }
    if (lng.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("highlight: --lng FILE is required"));
    if (format != QLatin1String("html") && format != QLatin1String("ansi") && format != QLatin1String("spans"))
        return Cli::fail(Cli::Usage, QStringLiteral("highlight: unknown format '%1' (html, ansi or spans)").arg(format));
    if (input.isEmpty())
        input = QStringLiteral("-");

    LanguageDefinition definition;
    DefinitionError error;
    if (!DefinitionReader::readFile(lng, definition, error))
        return Cli::fail(Cli::BadInput, error.toString());
    QByteArray bytes;
    QString problem;
    if (!readAll(input, bytes, problem))
        return Cli::fail(Cli::BadInput, problem);
    const QString text = decodeText(bytes);

    const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
    Highlighter highlighter(language);
    const QVector<StyleRun> runs = highlighter.highlightText(text, true);

    if (format == QLatin1String("spans")) {
        QByteArray out;
        for (const StyleRun &r : runs) {
            if (r.tokenset < 0)
                continue;
            out += QByteArray::number(r.start) + '\t' + QByteArray::number(r.length) + '\t'
                + language->tokensetName(r.tokenset).toUtf8() + '\n';
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

const Cli::Register reg({"highlight", "colour a text with a language definition (HTML, ANSI or runs)", run});

} // namespace
