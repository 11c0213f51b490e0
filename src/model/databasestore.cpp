#include "model/databasestore.h"

#include "model/atomicfile.h"
#include "model/databasefile.h"
#include "model/databaselock.h"
#include "model/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <memory>

namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

// Opens a file to read, refusing what is not a regular file (a FIFO would never end).
bool openToRead(QFile &f, QString &error)
{
    const QFileInfo info(f.fileName());
    if (!info.exists())
        error = QStringLiteral("the file does not exist");
    else if (info.isDir())
        error = QStringLiteral("it is a folder, not a file");
    else if (!info.isFile())
        error = QStringLiteral("it is not a regular file");
    else if (!f.open(QIODevice::ReadOnly))
        error = f.errorString();
    else
        return true;
    return false;
}

// Copies source over target atomically, in blocks. beforeCommit runs once the copy is complete. A
// symbolic link at target is written through, or replaced when replaceLink.
bool copyFile(const QString &source, const QString &target, QString &sourceError, QString &targetError,
              const AtomicFile::Check &beforeCommit = {}, bool replaceLink = false)
{
    QFile in(source);
    if (!openToRead(in, sourceError))
        return false;
    const auto copy = [&](QIODevice &out, QString &cause) {
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (;;) {
            const qint64 n = in.read(block.data(), block.size());
            if (n < 0) {
                sourceError = in.errorString();
                cause = sourceError;
                return false;
            }
            if (n == 0)
                return true;
            if (!AtomicFile::writeAll(out, QByteArrayView(block.constData(), n), cause))
                return false;
        }
    };
    QString error;
    if (replaceLink ? AtomicFile::replace(target, copy, &error, beforeCommit)
                    : AtomicFile::write(target, copy, &error, beforeCommit))
        return true;
    if (sourceError.isEmpty())
        targetError = error;
    return false;
}

// Keeps a damaged database as varlex.dat.damaged (or .damaged.2, ...) before it is replaced.
bool keepDamaged(const Database &db, const QString &folder, QString &error)
{
    const QString path = DatabaseStore::databasePath(folder);
    if (!db.fileDamaged || !QFileInfo::exists(path))
        return true;
    QString target = path + QLatin1String(DatabaseFile::kDamagedSuffix);
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QLatin1String(DatabaseFile::kDamagedSuffix) + QLatin1Char('.') + QString::number(n);
    QFile f(path);
    if (f.copy(target))
        return true;
    error = QStringLiteral("cannot keep the damaged %1 as %2: %3").arg(quoted(path), quoted(target), f.errorString());
    return false;
}

} // namespace

namespace DatabaseStore {

QString databasePath(const QString &folder)
{
    return QDir(folder).filePath(QLatin1String(DatabaseFile::kFileName));
}

QString backupPath(const QString &folder)
{
    return databasePath(folder) + QLatin1String(DatabaseFile::kBackupSuffix);
}

FileResult LoadFileData(Database &db, const QString &folder)
{
    Trace::entry(QStringLiteral("LoadFileData"));
    const QString path = databasePath(folder);
    auto settle = [&db] {
        if (db.languages.isEmpty())
            db.languages.resize(1);
        if (db.currentLanguage < 0 || db.currentLanguage > db.upperIndex())
            db.currentLanguage = 0;
    };

    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        // A first run: the database starts empty. A folder that cannot take the file is reported
        // by the first save.
        QFile(path).open(QIODevice::WriteOnly);
        db.languages = QVector<Language>(1);
        db.fileDamaged = false;
        db.stamp = FileStamp::of(path);
        settle();
        return {};
    }

    QFile file(path);
    QString error;
    size_t hash = 0;
    DatabaseFile::Decoded decoded;
    if (openToRead(file, error)) {
        const QFileInfo info(path);
        decoded = DatabaseFile::decode(file, file.size(), &hash);
        if (file.error() != QFileDevice::NoError)
            error = file.errorString();
        else
            db.stamp = {true, info.size(), info.lastModified(), hash};
    }
    if (!error.isEmpty()) {
        db.fileDamaged = true;
        db.stamp = FileStamp();
        settle();
        return FileResult::failed(QStringLiteral("Cannot read %1: %2").arg(quoted(path), error));
    }
    db.languages = std::move(decoded.languages);
    db.fileDamaged = decoded.damaged;
    settle();
    if (decoded.damaged) {
        return {FileResult::Damaged,
                QStringLiteral("%1 is damaged: %2. What could be read was loaded; the next save keeps the "
                               "damaged file as %3.")
                    .arg(quoted(path), decoded.problem,
                         quoted(QFileInfo(path).fileName() + QLatin1String(DatabaseFile::kDamagedSuffix)))};
    }
    return {};
}

FileResult SaveChanges(Database &db, const QString &folder)
{
    const QString path = databasePath(folder);
    QString refused;
    qint64 size = 0;
    auto hasher = std::make_unique<StampHasher>();
    const auto produce = [&](QIODevice &out, QString &cause) {
        const auto sink = [&](QByteArrayView piece) {
            hasher->add(piece);
            size += piece.size();
            return AtomicFile::writeAll(out, piece, cause);
        };
        if (DatabaseFile::encode(db.languages, sink, &refused))
            return true;
        if (!refused.isEmpty())
            cause = refused;
        return false;
    };
    const auto keep = [&](QString &cause) { return keepDamaged(db, folder, cause); };
    QString error;
    if (!AtomicFile::write(path, produce, &error, keep)) {
        return FileResult::failed(
            QStringLiteral("Cannot save %1: %2. The file on disk is unchanged.").arg(quoted(path), error));
    }
    db.dirty = false;
    db.fileDamaged = false;
    db.stamp = {true, size, QFileInfo(path).lastModified(), hasher->result()};
    return {};
}

FileResult SaveUnlessChanged(Database &db, const QString &folder, const FileStamp &expected, bool &changed,
                             std::chrono::milliseconds wait)
{
    changed = false;
    DatabaseLock lock(folder);
    QString error;
    if (!lock.acquire(wait, &error))
        return FileResult::failed(error);
    changed = expected.changedOnDisk(databasePath(folder));
    return changed ? FileResult() : SaveChanges(db, folder);
}

bool changedOnDisk(const Database &db, const QString &folder)
{
    return db.stamp.changedOnDisk(databasePath(folder));
}

FileResult CheckFile(const QString &path)
{
    QFile in(path);
    QString error;
    if (!openToRead(in, error))
        return FileResult::failed(error);
    const DatabaseFile::Decoded walked = DatabaseFile::decode(in, in.size(), nullptr, true);
    if (in.error() != QFileDevice::NoError)
        return FileResult::failed(in.errorString());
    return walked.damaged ? FileResult{FileResult::Damaged, walked.problem} : FileResult();
}

FileResult Backup(const QString &folder)
{
    const QString source = databasePath(folder);
    const QString target = backupPath(folder);
    // A damaged file never replaces the last backup, which may be the only sound copy.
    if (const FileResult checked = CheckFile(source); checked.status == FileResult::Failed)
        return FileResult::failed(QStringLiteral("Cannot back up %1: %2").arg(quoted(source), checked.message));
    else if (checked.status == FileResult::Damaged)
        return FileResult::failed(QStringLiteral("Cannot back up %1: it is damaged (%2). The backup %3 is kept "
                                                 "as it was; a save writes a sound database first.")
                                      .arg(quoted(source), checked.message, quoted(target)));
    // The backup stays beside the database: a link in its place is replaced, never written through.
    QString error;
    QString targetError;
    if (copyFile(source, target, error, targetError, {}, true))
        return {};
    if (!error.isEmpty())
        return FileResult::failed(QStringLiteral("Cannot back up %1: %2").arg(quoted(source), error));
    return FileResult::failed(QStringLiteral("Cannot write the backup %1: %2").arg(quoted(target), targetError));
}

FileResult Restore(Database &db, const QString &folder)
{
    const QString source = backupPath(folder);
    const QString target = databasePath(folder);
    QString error;
    QString targetError;
    QString keepError;
    const auto keep = [&](QString &cause) {
        if (keepDamaged(db, folder, keepError))
            return true;
        cause = keepError;
        return false;
    };
    if (!copyFile(source, target, error, targetError, keep)) {
        if (!error.isEmpty())
            return FileResult::failed(QStringLiteral("Cannot restore from %1: %2").arg(quoted(source), error));
        if (!keepError.isEmpty())
            return FileResult::failed(QStringLiteral("Cannot restore: %1").arg(keepError));
        return FileResult::failed(QStringLiteral("Cannot restore over %1: %2").arg(quoted(target), targetError));
    }
    db.fileDamaged = false;
    FileResult result = LoadFileData(db, folder);
    if (result.status != FileResult::Failed) {
        db.dirty = false;
        db.loading = false;
    }
    return result;
}

FileResult Reload(Database &db, const QString &folder)
{
    FileResult result = LoadFileData(db, folder);
    if (result.status != FileResult::Failed) {
        db.dirty = false;
        db.loading = false;
    }
    return result;
}

} // namespace DatabaseStore
