#include "model/databasestore.h"

#include "model/atomicfile.h"
#include "model/databasefile.h"
#include "model/trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString quoted(const QString &path)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(path) + QLatin1Char('"');
}

// Reads a whole file; on failure returns false with the cause in error.
bool readWhole(const QString &path, QByteArray &bytes, QString &error)
{
    QFile f(path);
    if (!f.exists()) {
        error = QStringLiteral("the file does not exist");
        return false;
    }
    if (QFileInfo(path).isDir()) {
        error = QStringLiteral("it is a folder, not a file");
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        error = f.errorString();
        return false;
    }
    bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = f.errorString();
        return false;
    }
    return true;
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
        settle();
        return {};
    }

    QByteArray bytes;
    QString error;
    if (!readWhole(path, bytes, error)) {
        db.fileDamaged = true;
        settle();
        return FileResult::failed(QStringLiteral("Cannot read %1: %2").arg(quoted(path), error));
    }
    DatabaseFile::Decoded decoded = DatabaseFile::decode(bytes);
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
    QByteArray bytes;
    QString problem;
    if (!DatabaseFile::encode(db.languages, bytes, &problem))
        return FileResult::failed(QStringLiteral("Cannot save %1: %2. Nothing was saved.").arg(quoted(path), problem));
    QString error;
    if (!keepDamaged(db, folder, error))
        return FileResult::failed(QStringLiteral("Cannot save %1: %2. Nothing was saved.").arg(quoted(path), error));
    if (!AtomicFile::write(path, bytes, &error))
        return FileResult::failed(
            QStringLiteral("Cannot save %1: %2. The file on disk is unchanged.").arg(quoted(path), error));
    db.dirty = false;
    db.fileDamaged = false;
    return {};
}

FileResult Backup(const QString &folder)
{
    const QString source = databasePath(folder);
    const QString target = backupPath(folder);
    QByteArray bytes;
    QString error;
    if (!readWhole(source, bytes, error))
        return FileResult::failed(QStringLiteral("Cannot back up %1: %2").arg(quoted(source), error));
    if (!AtomicFile::write(target, bytes, &error))
        return FileResult::failed(QStringLiteral("Cannot write the backup %1: %2").arg(quoted(target), error));
    return {};
}

FileResult Restore(Database &db, const QString &folder)
{
    const QString source = backupPath(folder);
    const QString target = databasePath(folder);
    QByteArray bytes;
    QString error;
    if (!readWhole(source, bytes, error))
        return FileResult::failed(QStringLiteral("Cannot restore from %1: %2").arg(quoted(source), error));
    if (!keepDamaged(db, folder, error))
        return FileResult::failed(QStringLiteral("Cannot restore: %1").arg(error));
    if (!AtomicFile::write(target, bytes, &error))
        return FileResult::failed(QStringLiteral("Cannot restore over %1: %2").arg(quoted(target), error));
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
