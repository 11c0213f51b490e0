#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/output.h"
#include "editorcontrol/definitionreader.h"

namespace {

// The writer's validity message of language i, followed by what the colouring makes of the written
// definition: each regexp token that does not compile, and so never matches.
QString validityMessage(XmlWriter &writer, int i)
{
    const QString xml = writer.generate(i, 1, false, false);
    QString message = writer.validityMessage();
    if (!writer.unwritable().isEmpty())
        return message;
    const QString &name = writer.database().languages[i].name;
    LanguageDefinition definition;
    DefinitionError error;
    QStringList more;
    if (!DefinitionReader::read(XmlWriter::fileBytes(xml), name + QStringLiteral(".lng"), definition, error))
        more += name + QStringLiteral(" : Language : cannot be read back: ") + error.toString();
    for (const BadRegexp &bad : definition.badRegexps)
        more += QStringLiteral("%1 : %2 : Regexp:  %3 : %4").arg(name, definition.tokensets[bad.tokenset].name, bad.token, bad.message);
    if (more.isEmpty())
        return message;
    if (!writer.hasValidityErrors())
        message.clear();
    return message + more.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

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
        const QString message = validityMessage(writer, i);
        broken = broken || !message.startsWith(u"No v");
        if (index >= 0) {
            text += message;
            continue;
        }
        // Every language: each line says which language it belongs to.
        for (const QString &line : message.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            text += Cli::languageLabel(db, i) + QStringLiteral(": ") + line + QStringLiteral("\r\n");
    }
    Cli::out(Cli::withLineFeeds(text).toUtf8());
    if (damaged)
        return Cli::BadInput;
    return broken ? Cli::CheckFailed : Cli::Ok;
}

const Cli::Command kCommand{
    "validate", "check the references between tokensets and member lists", "[--index N | --name NAME] [--output FILE]",
    "Checks the member-list, inheritance and valid-scope references of the language and prints the\n"
    "validity message as Varlex shows it (UTF-8, LF line ends), followed by every regexp token whose\n"
    "pattern does not compile and so never matches. Inheritance cycles and characters a language file\n"
    "cannot hold are reported too. Without --index or --name every language is checked, each line of\n"
    "its message led by NAME (index N): . Exit status 1 when any problem was found.\n",
    {Cli::kIndexOption, Cli::kNameOption, Cli::kOutputOption}, 0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
