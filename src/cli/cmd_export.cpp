#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/command.h"
#include "xmlgen/languageexport.h"

#include <QDir>

namespace {

const char kUsage[] =
    "Usage: varlex-cli export (--index N | --all) [--to DIR] [--hide-defaults] [--easyread]\n"
    "Writes language N, or every language in database order, as NAME.lng into the export folder: DIR,\n"
    "else the export folder of the Varlex settings, else language_def in the program folder. The\n"
    "folder is created when its parent exists. Prints each file written. A language whose name cannot\n"
    "be a file name, or whose file cannot be written, is reported and the others are still written;\n"
    "the exit status is then 1.\n"
    "  --hide-defaults  leave out attributes that hold their default value\n"
    "  --easyread       every attribute on a line of its own\n";

int run(const QStringList &args)
{
    if (Cli::wantsHelp(args.mid(1), kUsage))
        return Cli::Ok;
    Cli::CliWriterHost host;
    const QString problem = Cli::parseXmlOptions(args.mid(1),
                                                 {QStringLiteral("--index"), QStringLiteral("--all"), QStringLiteral("--to"),
                                                  QStringLiteral("--hide-defaults"), QStringLiteral("--easyread")},
                                                 host.options);
    if (!problem.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("export: %1 (see varlex-cli export --help)").arg(problem));
    if ((host.options.index >= 0) == host.options.all)
        return Cli::fail(Cli::Usage, QStringLiteral("export needs either --index N or --all (see varlex-cli export --help)"));

    Database db;
    bool damaged = false;
    if (const int code = Cli::loadForXml(db, host, damaged))
        return code;
    if (damaged)
        return Cli::fail(Cli::BadInput, QStringLiteral("export: nothing was written from a damaged database"));
    XmlWriter writer(db, host);
    QStringList failures;
    QStringList written;
    if (host.options.all) {
        const LanguageExport::Report report = LanguageExport::exportAll(writer);
        failures = report.failures;
        written = report.files;
    } else {
        if (const int code = Cli::checkIndex(db, host.options.index, "export"))
            return code;
        db.currentLanguage = host.options.index;
        const WriteResult r = LanguageExport::exportCurrent(writer);
        if (r.written())
            written += r.file;
        else
            failures += r.error;
    }
    for (const QString &file : written)
        Cli::outLine(QDir::toNativeSeparators(file));
    for (const QString &failure : failures)
        Cli::fail(Cli::CheckFailed, QStringLiteral("export: ") + failure);
    return failures.isEmpty() ? Cli::Ok : Cli::CheckFailed;
}

const Cli::Register reg({"export", "write languages as .lng files into the export folder", run});

} // namespace
