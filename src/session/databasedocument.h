#pragma once

#include "model/database.h"
#include "model/fileresult.h"
#include "model/filestamp.h"

#include <QString>

// varlex.dat in the program folder and the records read from it: loading, saving (under the
// database lock, and only over the file as it was read unless the user agreed otherwise), the
// backup and restoring it. Failures come back for the caller to report. The records change only
// through the session's recorded steps, the one owner of a document.
class DatabaseDocument {
public:
    enum class SaveResult { Saved, Failed, ChangedOnDisk };

    DatabaseDocument(); // one empty language until a file is loaded

    const Database &database() const { return db_; }
    // The records and the selection, for the session's steps.
    Database &records() { return db_; }

    FileResult load();
    // Holds the database lock only around checking and writing varlex.dat. Writes only when the file
    // is still the one loaded or saved last, or `agreed` (the file as it was when the user agreed to
    // overwrite another program's change); else ChangedOnDisk and nothing written. A lock that stays
    // taken or a write that fails is Failed with its reason in problem.
    SaveResult save(const FileStamp *agreed, QString &problem);
    // varlex.dat as it is now, to agree to overwrite it.
    FileStamp onDisk() const;
    // Writes the languages as a database file at path, leaving varlex.dat as it is; the problem, or
    // an empty text.
    QString saveCopy(const QString &path) const;
    FileResult backup() const;
    FileResult reload();
    FileResult restore();

private:
    Database db_;
};
