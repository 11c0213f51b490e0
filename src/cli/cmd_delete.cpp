#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/output.h"
#include "model/recordops.h"

namespace {

int run(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    int index = -1;
    if (const int code = edit.openLanguage(args, index))
        return code;
    if (RecordOps::deleteLanguage(edit.db, index) < 0)
        return Cli::fail(Cli::CheckFailed, Cli::languageLabel(edit.db, index) + QStringLiteral(": Cannot delete last language!"));
    return edit.save();
}

const Cli::Command kCommand{
    "delete", "remove a language from the database", "(--index N | --name NAME)",
    "Removes the language from varlex.dat and saves. The last remaining language cannot be removed\n"
    "(exit 1); a damaged database is refused (exit 3).\n",
    {Cli::kIndexOption, Cli::kNameOption}, 0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
