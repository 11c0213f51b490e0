#include "cli/databaseedit.h"

#include "cli/clidatabase.h"
#include "cli/command.h"
#include "cli/output.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

#include <QFileInfo>

namespace Cli {

DatabaseEdit::DatabaseEdit()
    : lock_(ProgramFolder::path())
{
}

int DatabaseEdit::open(bool acceptDamaged)
{
    if (QFileInfo(ProgramFolder::path()).isDir()) {
        QString error;
        if (!lock_.acquire(DatabaseLock::kDefaultWait, &error))
            return fail(CheckFailed, error);
    }
    const FileResult r = loadDatabase(db);
    if (r.status == FileResult::Failed || (r.status == FileResult::Damaged && !acceptDamaged))
        return fail(BadInput, r.message + QStringLiteral(" Nothing was changed."));
    return Ok;
}

int DatabaseEdit::openLanguage(const Arguments &args, int &index)
{
    if (const int code = open())
        return code;
    return chooseLanguage(args, db, true, index);
}

int DatabaseEdit::save()
{
    const FileResult saved = DatabaseStore::SaveChanges(db, ProgramFolder::path());
    return saved.ok() ? Ok : fail(CheckFailed, saved.message);
}

} // namespace Cli
