#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/output.h"
#include "import/kdeexport.h"
#include "model/textescape.h"
#include "xmlgen/languageexport.h"
#include "xmlgen/outputfile.h"

#include <QDir>
#include <QHash>

namespace {

// Every language, or one, as a KDE syntax definition.
int exportKde(const Cli::Arguments &args, XmlWriter &writer, const QString &folder, bool all, int index)
{
    const QString extensions = args.value("extensions");
    QList<int> chosen;
    for (int i = all ? 0 : index; i <= (all ? writer.database().upperIndex() : index); ++i)
        chosen += i;
    QHash<QString, int> writtenBy;
    bool failed = false;
    for (const int i : chosen) {
        const KdeExport::Outcome outcome = KdeExport::exportLanguage(writer, i, folder, extensions);
        for (const QString &note : outcome.notes)
            Cli::warn(QStringLiteral("export: note: ") + note);
        if (!outcome.ok()) {
            failed = true;
            Cli::fail(Cli::CheckFailed, QStringLiteral("export: ") + outcome.error);
            continue;
        }
        Cli::outLine(TextEscape::oneLine(QDir::toNativeSeparators(outcome.file)));
        if (const int earlier = writtenBy.value(outcome.file, -1); earlier >= 0) {
            failed = true;
            Cli::fail(Cli::CheckFailed, QStringLiteral("export: the languages \"%1\" (index %2) and \"%3\" (index %4) are "
                                                       "both exported as \"%5\", which now holds the later one")
                                            .arg(writer.database().languages[earlier].name).arg(earlier)
                                            .arg(writer.database().languages[i].name).arg(i)
                                            .arg(QDir::toNativeSeparators(outcome.file)));
        }
        writtenBy.insert(outcome.file, i);
    }
    return failed ? Cli::CheckFailed : Cli::Ok;
}

int run(const Cli::Arguments &args)
{
    const bool all = args.has("all");
    if (all && (args.has(Cli::kIndexOption.name) || args.has(Cli::kNameOption.name)))
        return args.usage(QStringLiteral("choose either --all or one language, not both"));
    if (args.has("output") && args.has("to"))
        return args.usage(QStringLiteral("give the export folder once, with --output or --to"));
    if (!all && !args.has(Cli::kIndexOption.name) && !args.has(Cli::kNameOption.name))
        return args.usage(QStringLiteral("choose a language with --index N or --name NAME, or --all"));
    const QString format = args.has("format") ? args.value("format") : QStringLiteral("lng");
    if (format != QLatin1String("lng") && format != QLatin1String("kde"))
        return args.usage(QStringLiteral("unknown format '%1' (lng or kde)").arg(format));
    const bool kde = format == QLatin1String("kde");
    if (args.has("extensions") && !kde)
        return args.usage(QStringLiteral("--extensions goes with --format kde"));
    Cli::CliWriterHost host(args);
    Database db;
    const FileResult loaded = Cli::loadDatabase(db);
    if (!loaded.ok())
        return Cli::fail(Cli::BadInput, loaded.message + QStringLiteral(" Nothing was exported."));
    int index = -1;
    if (!all) {
        if (const int code = Cli::chooseLanguage(args, db, true, index))
            return code;
    }
    // A folder that cannot be made fails every language alike: say so once.
    if (const QString problem = OutputFile::ensureFolder(host.exportFolder()); !problem.isEmpty())
        return Cli::fail(Cli::CheckFailed, QStringLiteral("export: ") + problem);
    Cli::loadMemberLists(host.globals);

    XmlWriter writer(db, host);
    if (kde)
        return exportKde(args, writer, host.exportFolder(), all, index);
    QStringList written;
    QStringList failures;
    if (all) {
        const LanguageExport::Report report = LanguageExport::exportAll(writer);
        written = report.files;
        failures = report.failures + report.clashes;
    } else {
        db.currentLanguage = index;
        const WriteResult r = LanguageExport::exportCurrent(writer);
        if (r.written())
            written += r.file;
        else
            failures += r.error;
    }
    for (const QString &file : written)
        Cli::outLine(TextEscape::oneLine(QDir::toNativeSeparators(file)));
    for (const QString &failure : failures)
        Cli::fail(Cli::CheckFailed, QStringLiteral("export: ") + failure);
    return failures.isEmpty() ? Cli::Ok : Cli::CheckFailed;
}

const Cli::Command kCommand{
    "export", "write languages as .lng files into the export folder",
    "(--index N | --name NAME | --all) [--output DIR] [--hide-defaults] [--easyread]\n"
    "       [--format lng|kde] [--extensions PATTERNS]",
    "Writes the language, or every language in database order, as NAME.lng into the export folder: DIR,\n"
    "else the export folder of the Varlex settings, else language_def in the program folder. The folder\n"
    "is created when its parent exists. Prints each file written, one a line (backslashes, TABs and line\n"
    "breaks in it written as \\\\, \\t, \\r and \\n). A language whose name cannot be a file name, or whose\n"
    "file cannot be written, is reported and the others are still written; the exit status is then 1, as\n"
    "it is when two languages of one name were written to one file (which keeps the later one).\n"
    "A damaged database is not exported (exit 3).\n"
    "--format kde writes KDE syntax definitions instead (NAME.xml, the name in lower case with any\n"
    "character other than a letter, a digit, +, - or _ made _), for Kate, KWrite and\n"
    "kate-syntax-highlighter; --extensions gives their file patterns (\"*.c;*.h\"). What such a\n"
    "definition colours only approximately is noted on standard error.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"all", nullptr, "every language"},
     {"output", "DIR", "the export folder", false, 'o'},
     {"to", "DIR", "the same as --output"},
     {Cli::kHideDefaults, nullptr, "leave out attributes that hold their default value"},
     {Cli::kEasyRead, nullptr, "every attribute on a line of its own"},
     {"format", "FORMAT", "lng (language files, the default) or kde (KDE syntax definitions)"},
     {"extensions", "PATTERNS", "with --format kde: the file patterns of the definitions"}},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
