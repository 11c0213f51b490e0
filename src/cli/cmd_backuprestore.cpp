// varlex-cli backup and restore: the database and its one backup copy.
#include "cli/arguments.h"
#include "cli/databaseedit.h"
#include "cli/output.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

namespace {

int backup(const Cli::Arguments &)
{
    Cli::DatabaseEdit edit;
    if (const int code = edit.open(false, Cli::DatabaseEdit::Missing::Refuse))
        return code;
    const FileResult r = DatabaseStore::Backup(ProgramFolder::path());
    return r.ok() ? Cli::Ok : Cli::fail(Cli::CheckFailed, r.message);
}

int restore(const Cli::Arguments &)
{
    Cli::DatabaseEdit edit;
    if (const int code = edit.open(true))
        return code;
    // A backup that would not load whole is not put in the database's place.
    const QString folder = ProgramFolder::path();
    const QString backup = DatabaseStore::backupPath(folder);
    if (const FileResult checked = DatabaseStore::CheckFile(backup); checked.status == FileResult::Damaged)
        return Cli::fail(Cli::BadInput, QStringLiteral("the backup \"%1\" is damaged: %2. Nothing was changed.")
                                            .arg(backup, checked.message));
    const FileResult r = DatabaseStore::Restore(edit.db, folder);
    return r.ok() ? Cli::Ok : Cli::fail(r.status == FileResult::Failed ? Cli::CheckFailed : Cli::BadInput, r.message);
}

const Cli::Command kBackup{
    "backup", "copy the database to varlex.dat.old", "",
    "Copies varlex.dat to varlex.dat.old, replacing an older backup. A damaged database is not backed\n"
    "up (exit 3).\n",
    {}, 0, 0, "", backup};
const Cli::Command kRestore{
    "restore", "copy varlex.dat.old over the database", "",
    "Copies varlex.dat.old over varlex.dat. A missing or damaged backup is refused and nothing\n"
    "changes; a damaged database is kept as varlex.dat.damaged first.\n",
    {}, 0, 0, "", restore};
const Cli::Register regBackup(kBackup);
const Cli::Register regRestore(kRestore);

} // namespace
