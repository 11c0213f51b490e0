#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/command.h"

namespace {

const char kUsage[] =
    "Usage: varlex-cli validate [--index N]\n"
    "Checks the member-list, inheritance and valid-scope references of language N (of every language,\n"
    "one after the other, without --index) and prints the validity message as Varlex shows it\n"
    "(UTF-8, CR LF line ends). Exit status 1 when any reference is broken.\n";

int run(const QStringList &args)
{
    if (Cli::wantsHelp(args.mid(1), kUsage))
        return Cli::Ok;
    Cli::CliWriterHost host;
    const QString problem = Cli::parseXmlOptions(args.mid(1), {QStringLiteral("--index")}, host.options);
    if (!problem.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("validate: %1 (see varlex-cli validate --help)").arg(problem));

    Database db;
    bool damaged = false;
    if (const int code = Cli::loadForXml(db, host, damaged))
        return code;
    int first = 0;
    int last = db.upperIndex();
    if (host.options.index >= 0) {
        if (const int code = Cli::checkIndex(db, host.options.index, "validate"))
            return code;
        first = last = host.options.index;
    }
    XmlWriter writer(db, host);
    bool broken = false;
    QByteArray text;
    for (int i = first; i <= last; ++i) {
        (void)writer.generate(i, 1, false, false);
        text += writer.validityMessage().toUtf8();
        broken = broken || writer.hasValidityErrors();
    }
    Cli::out(text);
    if (damaged)
        return Cli::BadInput;
    return broken ? Cli::CheckFailed : Cli::Ok;
}

const Cli::Register reg({"validate", "check the references between tokensets and member lists", run});

} // namespace
