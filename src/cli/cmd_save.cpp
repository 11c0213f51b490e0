#include "cli/clidatabase.h"
#include "cli/command.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

namespace {

const char kUsage[] = "Usage: varlex-cli save [--repair]\n"
                      "Loads varlex.dat and saves it again; a well-formed file comes back byte for byte.\n"
                      "A damaged file is refused (exit 3) unless --repair is given: then it is kept as\n"
                      "varlex.dat.damaged and what could be read is saved in its place. Exit status 1: the file\n"
                      "could not be written (the old file is unchanged).\n";

int run(const QStringList &allArgs)
{
    const QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    bool repair = false;
    for (const QString &a : args) {
        if (a != QLatin1String("--repair"))
            return Cli::fail(Cli::Usage, QStringLiteral("save does not know '%1' (see varlex-cli save --help)").arg(a));
        repair = true;
    }
    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (r.status == FileResult::Failed || (r.status == FileResult::Damaged && !repair))
        return Cli::fail(Cli::BadInput, r.message + QStringLiteral(" Nothing was changed."));
    const FileResult saved = DatabaseStore::SaveChanges(db, ProgramFolder::path());
    if (!saved.ok())
        return Cli::fail(Cli::CheckFailed, saved.message);
    return Cli::Ok;
}

const Cli::Register reg({"save", "load and save the database again", run});

} // namespace
