#include "cli/arguments.h"
#include "cli/clixml.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "import/languageconversion.h"
#include "xmlgen/outputfile.h"

namespace {

// A grammar of another editor is far smaller; this bounds what a wrong file name can make us read.
constexpr qint64 kMaxInputBytes = qint64(64) << 20;

int run(const Cli::Arguments &args)
{
    const QString file = args.operands().front();
    QByteArray bytes;
    QString problem;
    if (!Cli::readInput(file, kMaxInputBytes, bytes, problem))
        return Cli::fail(Cli::BadInput, QStringLiteral("convert: ") + problem);
    ConversionOptions options;
    options.scheme = args.value("scheme");
    options.searchPath = args.values("path");
    const LanguageConversion::Outcome outcome =
        LanguageConversion::convert(bytes, file == QLatin1String("-") ? QString() : file, options, QString());
    if (outcome.status != LanguageConversion::Status::Converted) {
        const QString name = Cli::inputName(file);
        const QString why = outcome.problem.startsWith(name) ? outcome.problem : name + QStringLiteral(": ") + outcome.problem;
        return Cli::fail(outcome.status == LanguageConversion::Status::Unreadable ? Cli::BadInput : Cli::CheckFailed,
                         QStringLiteral("convert: ") + why);
    }
    for (const QString &line : outcome.report.text())
        Cli::warn(QStringLiteral("convert: ") + line);
    Cli::warn(QStringLiteral("convert: ") + outcome.report.summary(outcome.language.name, outcome.language.tokensetCount()));

    Cli::CliWriterHost host(args);
    Database db;
    db.languages.append(outcome.language);
    XmlWriter writer(db, host);
    const QByteArray xml = XmlWriter::fileBytes(writer.generate(0, 1, host.hideDefaultAttributes(), host.easyReadFormat()));
    const QString output = args.value("output");
    if (output.isEmpty() || output == QLatin1String("-")) {
        Cli::out(xml);
        return Cli::Ok;
    }
    if (const QString failed = OutputFile::write(output, xml); !failed.isEmpty())
        return Cli::fail(Cli::CheckFailed, QStringLiteral("convert: ") + failed);
    return Cli::Ok;
}

const Cli::Command kCommand{
    "convert", "convert another editor's grammar into a language definition",
    "FILE [--output OUT.lng] [--scheme NAME] [--path DIR]... [--hide-defaults] [--easyread]",
    "Reads FILE (- reads standard input) and writes the language it describes as a language definition:\n"
    "exactly the bytes export writes for that language, to standard output or OUT.lng. The format is\n"
    "known by content: a GtkSourceView language file (<language version=\"2.0\"> with <definitions>) or a\n"
    "KDE syntax definition (<language> with <highlighting>) is converted; a language definition is read\n"
    "and written back. Languages and definitions the file refers to are looked for in its folder, then in\n"
    "each --path DIR, then in the installed GtkSourceView folders (KDE: the user's and the system's\n"
    "org.kde.syntax-highlighting/syntax folders). GtkSourceView colours come from the style scheme NAME\n"
    "(default classic); KDE colours from the definition's item data.\n"
    "Standard error names each construct that was approximated, merged or dropped, then gives the counts.\n"
    "Exit status 3 when FILE cannot be read as either format, 1 when it was read but cannot become a\n"
    "language (or OUT.lng cannot be written).\n",
    {{"output", "OUT.lng", "write the definition into this file"},
     {"scheme", "NAME", "the GtkSourceView style scheme of the colours"},
     {"path", "DIR", "a folder of referenced language files", true},
     {Cli::kHideDefaults, nullptr, "leave out attributes that hold their default value"},
     {Cli::kEasyRead, nullptr, "every attribute on a line of its own"}},
    1, 1, "FILE", run};
const Cli::Register reg(kCommand);

} // namespace
