#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "model/recordfields.h"

namespace {

int run(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    int index = -1;
    if (int code = edit.openLanguage(args, index); code || (code = Cli::refuseLanguageName(args, edit.db, args.operands().at(0), index)))
        return code;
    const RecordFields::Field *name = RecordFields::find(RecordFields::Owner::Language, u"name");
    if (const QString problem = RecordFields::set(*name, edit.db.languages[index], -1, args.operands().at(0), {});
        !problem.isEmpty())
        return args.usage(Cli::languageLabel(edit.db, index) + QStringLiteral(": ") + problem);
    return edit.save();
}

const Cli::Command kCommand{
    "rename", "rename a language", "(--index N | --name NAME) [--] NEWNAME",
    "Renames the language to NEWNAME (as given, blanks kept) and saves. A blank name is refused.\n"
    "References from other files to the old name are not changed. A name another language has is refused\n"
    "(exit 1) unless --allow-duplicate is given.\n",
    {Cli::kIndexOption, Cli::kNameOption, Cli::kAllowDuplicateOption}, 1, 1, "NEWNAME", run};
const Cli::Register reg(kCommand);

} // namespace
