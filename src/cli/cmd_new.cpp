#include "cli/clidatabase.h"
#include "cli/command.h"
#include "model/databasestore.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"

namespace {

const char kUsage[] = "Usage: varlex-cli new NAME\n"
                      "Appends a language named NAME (as given, blanks kept) made from the template, with the\n"
                      "token lists of Keywordlist.txt, Operatorlist.txt and Hyperlinklist.txt and the sample text\n"
                      "of sample.txt in the program folder, and saves the database. A missing list file leaves\n"
                      "its list empty and is reported. A damaged database is not changed (exit 3); exit status 1:\n"
                      "the file could not be written (the old file is unchanged).\n";

int run(const QStringList &allArgs)
{
    const QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    if (args.size() != 1 || args[0].isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("new needs one non-empty NAME (see varlex-cli new --help)"));

    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (!r.ok())
        return Cli::fail(Cli::BadInput, r.message + QStringLiteral(" Nothing was changed."));
    const QString folder = ProgramFolder::path();
    const LanguageTemplate::Result made = LanguageTemplate::LoadSampleData_SingleLanguage(
        db, args[0], folder, LanguageTemplate::defaultSampleText(folder));
    const FileResult saved = DatabaseStore::SaveChanges(db, folder);
    if (!saved.ok())
        return Cli::fail(Cli::CheckFailed, saved.message);
    if (!made.message.isEmpty())
        Cli::fail(Cli::Ok, made.message);
    return Cli::Ok;
}

const Cli::Register reg({"new", "add a language made from the template", run});

} // namespace
