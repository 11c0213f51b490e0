#include "cli/databaseedit.h"

#include "cli/clidatabase.h"
#include "cli/command.h"
#include "cli/output.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

DatabaseEdit::DatabaseEdit()
    : lock_(ProgramFolder::path())
{
}

int DatabaseEdit::open(bool acceptDamaged, Missing missing)
{
    if (QFileInfo(ProgramFolder::path()).isDir()) {
        QString error;
        if (!lock_.acquire(DatabaseLock::kDefaultWait, &error))
            return fail(CheckFailed, error);
    }
    if (QFileInfo(ProgramFolder::path()).isDir() && !databaseExists() && missing == Missing::Create) {
        // Nothing is written before the first save, so a refused change leaves the folder as it was.
        db.languages = QVector<Language>(1);
        db.currentLanguage = 0;
        creating_ = true;
        return Ok;
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
    if (!saved.ok())
        return fail(CheckFailed, saved.message);
    if (creating_)
        warn(QStringLiteral("created ") + QDir::toNativeSeparators(DatabaseStore::databasePath(ProgramFolder::path())));
    creating_ = false;
    return Ok;
}

} // namespace Cli
