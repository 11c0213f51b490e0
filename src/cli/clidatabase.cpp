#include "cli/clidatabase.h"

#include "cli/command.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

FileResult loadDatabase(Database &db)
{
    const QString folder = ProgramFolder::path();
    if (!QFileInfo(folder).isDir())
        return FileResult::failed(QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(folder)));
    return DatabaseStore::LoadFileData(db, folder);
}

bool wantsHelp(const QStringList &args, const char *usage)
{
    if (!args.contains(QLatin1String("--help")) && !args.contains(QLatin1String("-h")))
        return false;
    out(QByteArray(usage));
    return true;
}

} // namespace Cli
