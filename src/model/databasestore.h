#pragma once

#include "model/database.h"
#include "model/fileresult.h"

#include <QString>

#include <chrono>

// The database file operations of the main window and varlex-cli. Each takes the program folder
// explicitly and uses varlex.dat, varlex.dat.old and varlex.dat.damaged inside it. Failures come back
// as a FileResult; the files and the database stay as they were unless the function says otherwise.
namespace DatabaseStore {

QString databasePath(const QString &folder);
QString backupPath(const QString &folder);

// Reads varlex.dat into db.languages (always at least one language afterwards), in blocks, and
// remembers in db.stamp what it read. A missing file is created empty and loads as one empty
// language. A damaged file loads what it holds (Damaged); an unreadable one, or one that is not a
// regular file, leaves the languages as they were, or one empty language when there were none
// (Failed). Either sets db.fileDamaged, so that the next write over the file keeps it first.
// Leaves the current indices alone unless the current language no longer exists (it becomes 0).
// Trace entry "LoadFileData".
FileResult LoadFileData(Database &db, const QString &folder);

// Writes db.languages to varlex.dat atomically (a new file replaces the old one only when it is
// complete), piece by piece. Refuses the whole save when a text is longer than 65535 ANSI bytes.
// When the file was loaded damaged, it is first kept as varlex.dat.damaged (or .damaged.2, ...). On
// success clears db.dirty and db.fileDamaged and stamps db with the file written; on failure nothing
// on disk or in db changes. The message of a failed write carries the system's reason.
FileResult SaveChanges(Database &db, const QString &folder);

// SaveChanges under the database lock, for a program that keeps the database open (the window):
// holds the lock (waiting at most wait) only around checking that varlex.dat is still `expected` and
// writing it. When the file is no longer `expected`, nothing is written and changed is set, so that
// the caller can ask the user without holding the lock. A lock that stays taken fails, naming it.
FileResult SaveUnlessChanged(Database &db, const QString &folder, const FileStamp &expected, bool &changed,
                             std::chrono::milliseconds wait);

// True when varlex.dat is no longer the file db last loaded or saved (another program wrote,
// replaced or removed it): a save would overwrite that change. Reads the file only when its size is
// the same and its time differs or is too close to the stamp to tell (a write in the same tick).
bool changedOnDisk(const Database &db, const QString &folder);

// Reads a database file through without keeping it, in blocks: Failed (with the cause) when it is
// not a regular file or cannot be read, so a FIFO or a device is never opened; Damaged (with the
// problem) when not all of it makes sense.
FileResult CheckFile(const QString &path);

// Copies varlex.dat to varlex.dat.old, replacing an older backup (a symbolic link of that name is
// replaced, not written through). The copy is the file as last saved.
// A damaged varlex.dat is refused, so that it never replaces a backup that may be the last sound copy.
FileResult Backup(const QString &folder);

// Copies varlex.dat.old over varlex.dat and loads it; clears db.dirty and db.loading. When the backup
// cannot be read or the copy fails, nothing changes. Returns the result of the load otherwise.
FileResult Restore(Database &db, const QString &folder);

// Loads varlex.dat again, discarding unsaved changes; clears db.dirty and db.loading unless the file
// could not be read at all.
FileResult Reload(Database &db, const QString &folder);

} // namespace DatabaseStore
