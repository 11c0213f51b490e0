#include "cli/arguments.h"
#include "cli/clidatabase.h"
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
    if (int code = edit.openLanguage(args, index); code || (code = Cli::refuseLanguageName(args, edit.db, name)))
        return code;
    RecordOps::duplicateLanguage(edit.db, index, name);
    return edit.save();
}

const Cli::Command kCommand{
    "duplicate", "append a copy of a language under a new name", "(--index N | --name NAME) [--] NEWNAME",
    "Appends a whole copy of the language named NEWNAME (as given, blanks kept) and saves. A name another\n"
    "language has is refused (exit 1) unless --allow-duplicate is given.\n",
    {Cli::kIndexOption, Cli::kNameOption, Cli::kAllowDuplicateOption}, 1, 1, "NEWNAME", run};
const Cli::Register reg(kCommand);

} // namespace
