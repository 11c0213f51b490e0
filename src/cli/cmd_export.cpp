#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/output.h"
#include "model/textescape.h"
#include "xmlgen/languageexport.h"
#include "xmlgen/outputfile.h"

#include <QDir>

namespace {

int run(const Cli::Arguments &args)
{
    const bool all = args.has("all");
    if (all && (args.has(Cli::kIndexOption.name) || args.has(Cli::kNameOption.name)))
        return args.usage(QStringLiteral("choose either --all or one language, not both"));
    if (args.has("output") && args.has("to"))
        return args.usage(QStringLiteral("give the export folder once, with --output or --to"));
    if (!all && !args.has(Cli::kIndexOption.name) && !args.has(Cli::kNameOption.name))
        return args.usage(QStringLiteral("choose a language with --index N or --name NAME, or --all"));
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
    "(--index N | --name NAME | --all) [--output DIR] [--hide-defaults] [--easyread]",
    "Writes the language, or every language in database order, as NAME.lng into the export folder: DIR,\n"
    "else the export folder of the Varlex settings, else language_def in the program folder. The folder\n"
    "is created when its parent exists. Prints each file written, one a line (backslashes, TABs and line\n"
    "breaks in it written as \\\\, \\t, \\r and \\n). A language whose name cannot be a file name, or whose\n"
    "file cannot be written, is reported and the others are still written; the exit status is then 1, as\n"
    "it is when two languages of one name were written to one file (which keeps the later one).\n"
    "A damaged database is not exported (exit 3).\n",
    {Cli::kIndexOption, Cli::kNameOption, {"all", nullptr, "every language"},
     {"output", "DIR", "the export folder", false, 'o'},
     {"to", "DIR", "the same as --output"},
     {Cli::kHideDefaults, nullptr, "leave out attributes that hold their default value"},
     {Cli::kEasyRead, nullptr, "every attribute on a line of its own"}},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
