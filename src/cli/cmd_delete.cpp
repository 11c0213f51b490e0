#include "cli/clidatabase.h"
#include "cli/command.h"
#include "model/databasestore.h"
#include "model/programfolder.h"
#include "model/recordops.h"

namespace {

const char kUsage[] = "Usage: varlex-cli delete --index N\n"
                      "Removes language N from varlex.dat and saves. The last remaining language cannot be\n"
                      "removed (exit 1); a damaged database is refused (exit 3).\n";

int run(const QStringList &allArgs)
{
    const QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    int index = -1;
    bool ok = false;
    if (args.size() == 2 && args[0] == QLatin1String("--index"))
        index = args[1].toInt(&ok);
    if (!ok || index < 0)
        return Cli::fail(Cli::Usage, QStringLiteral("delete needs --index N (see varlex-cli delete --help)"));
    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (!r.ok())
        return Cli::fail(Cli::BadInput, r.message + QStringLiteral(" Nothing was changed."));
    if (index >= db.languages.size())
        return Cli::fail(Cli::Usage, QStringLiteral("%1: there is no language %2 (0 to %3)")
                                          .arg(DatabaseStore::databasePath(ProgramFolder::path()))
                                          .arg(index)
                                          .arg(db.upperIndex()));
    if (RecordOps::deleteLanguage(db, index) < 0)
        return Cli::fail(Cli::CheckFailed, QStringLiteral("Cannot delete last language!"));
    const FileResult saved = DatabaseStore::SaveChanges(db, ProgramFolder::path());
    if (!saved.ok())
        return Cli::fail(Cli::CheckFailed, saved.message);
    return Cli::Ok;
}

const Cli::Register reg({"delete", "remove a language from the database", run});

} // namespace
