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
    if (int code = Cli::loadForXml(db, host, damaged); code || (code = Cli::chooseLanguage(args, db, true, index)))
        return code;
    XmlWriter writer(db, host);
    Cli::out(XmlWriter::fileBytes(writer.generate(index, 1, host.hideDefaultAttributes(), host.easyReadFormat())));
    return damaged ? Cli::BadInput : Cli::Ok;
}

const Cli::Command kCommand{
    "xml", "write the language definition XML of one language", "(--index N | --name NAME) [--hide-defaults] [--easyread] [--output FILE]",
    "Writes the language definition XML of the language to standard output: exactly the bytes Varlex\n"
    "writes to varlex.lng (ANSI text, CR LF line ends). Member lists are those of the member-list folder.\n"
    "A damaged database is written as far as it could be read and exits with 3.\n",
    {Cli::kIndexOption, Cli::kNameOption, {Cli::kHideDefaults, nullptr, "leave out attributes that hold their default value"},
     {Cli::kEasyRead, nullptr, "every attribute on a line of its own"},
     Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
