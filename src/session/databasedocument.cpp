#include "session/databasedocument.h"

#include "model/atomicfile.h"
#include "model/databasefile.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

#include <QCoreApplication>
#include <QDir>

#include <chrono>

DatabaseDocument::DatabaseDocument()
{
    db_.languages.resize(1);
}

FileResult DatabaseDocument::load()
{
    return DatabaseStore::LoadFileData(db_, ProgramFolder::path());
}

DatabaseDocument::SaveResult DatabaseDocument::save(const FileStamp *agreed, QString &problem)
{
    // Long enough for a command-line writer's load-change-save, short enough not to seem hung.
    constexpr std::chrono::milliseconds kLockWait{3000};
    bool changed = false;
    const FileResult result = DatabaseStore::SaveUnlessChanged(db_, ProgramFolder::path(), agreed ? *agreed : db_.stamp,
                                                               changed, kLockWait);
    problem = result.message;
    if (!result.ok())
        return SaveResult::Failed;
    return changed ? SaveResult::ChangedOnDisk : SaveResult::Saved;
}

FileStamp DatabaseDocument::onDisk() const
{
    return FileStamp::of(DatabaseStore::databasePath(ProgramFolder::path()));
}

QString DatabaseDocument::saveCopy(const QString &path) const
{
    QByteArray bytes;
    QString problem;
    if (DatabaseFile::encode(db_.languages, bytes, &problem))
        AtomicFile::write(path, bytes, &problem);
    if (problem.isEmpty())
        return problem;
    return QCoreApplication::translate("DatabaseDocument", "Could not save \"%1\": %2").arg(QDir::toNativeSeparators(path), problem);
}

FileResult DatabaseDocument::backup() const
{
    return DatabaseStore::Backup(ProgramFolder::path());
}

FileResult DatabaseDocument::reload()
{
    return DatabaseStore::Reload(db_, ProgramFolder::path());
}

FileResult DatabaseDocument::restore()
{
    return DatabaseStore::Restore(db_, ProgramFolder::path());
}
