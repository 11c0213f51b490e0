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

    // Takes the lock and loads the database. A file that cannot be read, or a damaged one (unless
    // acceptDamaged), is refused with nothing changed (exit 3); a lock that stays taken is exit 1.
    // Returns Ok or the reported exit code.
    int open(bool acceptDamaged = false);

    // open(), then the language --index or --name chooses (required).
    int openLanguage(const Arguments &args, int &index);

    // Saves atomically; returns Ok, or CheckFailed after reporting why nothing was saved.
    int save();

    Database db;

private:
    DatabaseLock lock_;
};

} // namespace Cli
