#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/output.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "model/recordfields.h"

namespace {

int run(const Cli::Arguments &args)
{
    const QString name = args.operands().at(0);
    if (name.isEmpty())
        return args.usage(QStringLiteral("NAME must not be empty"));
    if (const QString problem = RecordFields::nameProblem(name, QStringLiteral("language name")); !problem.isEmpty())
        return args.usage(problem);
    Cli::DatabaseEdit edit;
    if (int code = edit.open(); code || (code = Cli::refuseLanguageName(args, edit.db, name)))
        return code;
    const QString folder = ProgramFolder::path();
    const LanguageTemplate::Result made = LanguageTemplate::LoadSampleData_SingleLanguage(
        edit.db, name, folder, LanguageTemplate::defaultSampleText(folder));
    if (const int code = edit.save())
        return code;
    if (!made.message.isEmpty())
        Cli::warn(made.message);
    return Cli::Ok;
}

const Cli::Command kCommand{
    "new", "add a language made from the template", "[--] NAME",
    "Appends a language named NAME (as given, blanks kept) made from the template, with the token lists\n"
    "of Keywordlist.txt, Operatorlist.txt and Hyperlinklist.txt and the sample text of sample.txt in the\n"
    "program folder, and saves the database. A missing list file leaves its list empty and is reported.\n"
    "The template includes none of its tokensets in the definition: see 'varlex-cli help include'.\n"
    "A name another language has is refused (exit 1) unless --allow-duplicate is given.\n"
    "A name that starts with - follows --. A damaged database is not changed (exit 3); exit status 1:\n"
    "the file could not be written (the old file is unchanged).\n",
    {Cli::kAllowDuplicateOption}, 1, 1, "NAME", run};
const Cli::Register reg(kCommand);

} // namespace
