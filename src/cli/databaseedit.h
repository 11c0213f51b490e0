#pragma once

#include "model/database.h"
#include "model/databaselock.h"

// One load-change-save of varlex.dat by a command, under the database lock, so that two programs
// changing the database at once never lose a change: the second waits a short while, then fails.
namespace Cli {

class Arguments;

class DatabaseEdit {
public:
    DatabaseEdit();

    // What open() does when the folder holds no database yet.
    enum class Missing { Create, Refuse };

    // Takes the lock and loads the database. A file that cannot be read, or a damaged one (unless
    // acceptDamaged), is refused with nothing changed (exit 3); a lock that stays taken is exit 1.
    // A folder without a database starts an empty one that save() creates and reports ("created
    // DIR/varlex.dat"), or with Missing::Refuse is refused (exit 3). Returns Ok or the exit code.
    int open(bool acceptDamaged = false, Missing missing = Missing::Create);

    // open(), then the language --index or --name chooses (required).
    int openLanguage(const Arguments &args, int &index);

    // Saves atomically; returns Ok, or CheckFailed after reporting why nothing was saved.
    int save();

    Database db;

private:
    DatabaseLock lock_;
    bool creating_ = false; // the folder held no database: save() makes it
};

} // namespace Cli
