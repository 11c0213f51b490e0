#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/output.h"

namespace {

int run(const Cli::Arguments &args)
{
    Cli::CliWriterHost host(args);
    Database db;
    bool damaged = false;
    int index = -1;
    if (int code = Cli::loadForXml(db, host, damaged); code || (code = Cli::chooseLanguage(args, db, false, index)))
        return code;
    XmlWriter writer(db, host);
    bool broken = false;
    QString text;
    for (int i = index < 0 ? 0 : index, last = index < 0 ? db.upperIndex() : index; i <= last; ++i) {
        (void)writer.generate(i, 1, false, false);
        broken = broken || writer.hasValidityErrors();
        if (index >= 0) {
            text += writer.validityMessage();
            continue;
        }
        // Every language: each line says which language it belongs to.
        for (const QString &line : writer.validityMessage().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            text += Cli::languageLabel(db, i) + QStringLiteral(": ") + line + QStringLiteral("\r\n");
    }
    Cli::out(text.toUtf8());
    if (damaged)
        return Cli::BadInput;
    return broken ? Cli::CheckFailed : Cli::Ok;
}

const Cli::Command kCommand{
    "validate", "check the references between tokensets and member lists", "[--index N | --name NAME]",
    "Checks the member-list, inheritance and valid-scope references of the language and prints the\n"
    "validity message as Varlex shows it (UTF-8, CR LF line ends). Without --index or --name every\n"
    "language is checked, each line of its message led by NAME (index N): . Exit status 1 when any\n"
    "reference is broken.\n",
    {Cli::kIndexOption, Cli::kNameOption}, 0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
