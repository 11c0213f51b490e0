#include "cli/arguments.h"
#include "cli/databaseedit.h"
#include "model/recordfields.h"
#include "model/recordops.h"

namespace {

int run(const Cli::Arguments &args)
{
    const QString name = args.operands().at(0);
    if (name.isEmpty())
        return args.usage(QStringLiteral("NEWNAME must not be empty"));
    if (const QString problem = RecordFields::nameProblem(name, QStringLiteral("language name")); !problem.isEmpty())
        return args.usage(problem);
    Cli::DatabaseEdit edit;
    int index = -1;
    if (const int code = edit.openLanguage(args, index))
        return code;
    RecordOps::duplicateLanguage(edit.db, index, name);
    return edit.save();
}

const Cli::Command kCommand{
    "duplicate", "append a copy of a language under a new name", "(--index N | --name NAME) [--] NEWNAME",
    "Appends a whole copy of the language named NEWNAME (as given, blanks kept) and saves.\n",
    {Cli::kIndexOption, Cli::kNameOption}, 1, 1, "NEWNAME", run};
const Cli::Register reg(kCommand);

} // namespace
