#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/command.h"

namespace {

const char kUsage[] =
    "Usage: varlex-cli xml --index N [--hide-defaults] [--easyread]\n"
    "Writes the language definition XML of language N to stdout: exactly the bytes Varlex writes to\n"
    "varlex.lng (ANSI text, CR LF line ends). Member lists are those of the member-list folder.\n"
    "  --hide-defaults  leave out attributes that hold their default value\n"
    "  --easyread       every attribute on a line of its own\n"
    "A damaged database is written as far as it could be read and exits with 3.\n";

int run(const QStringList &args)
{
    if (Cli::wantsHelp(args.mid(1), kUsage))
        return Cli::Ok;
    Cli::CliWriterHost host;
    const QString problem = Cli::parseXmlOptions(
        args.mid(1), {QStringLiteral("--index"), QStringLiteral("--hide-defaults"), QStringLiteral("--easyread")},
        host.options);
    if (!problem.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("xml: %1 (see varlex-cli xml --help)").arg(problem));
    if (host.options.index < 0)
        return Cli::fail(Cli::Usage, QStringLiteral("xml needs --index N (see varlex-cli xml --help)"));

    Database db;
    bool damaged = false;
    if (const int code = Cli::loadForXml(db, host, damaged))
        return code;
    if (const int code = Cli::checkIndex(db, host.options.index, "xml"))
        return code;
    XmlWriter writer(db, host);
    Cli::out(XmlWriter::fileBytes(writer.generate(host.options.index, 1, host.options.hideDefaults, host.options.easyRead)));
    return damaged ? Cli::BadInput : Cli::Ok;
}

const Cli::Register reg({"xml", "write the language definition XML of one language", run});

} // namespace
