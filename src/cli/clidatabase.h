#pragma once

#include "model/database.h"
#include "model/fileresult.h"

#include <QStringList>

// What the database commands of varlex-cli share.
namespace Cli {

// Loads varlex.dat of the program folder. A folder that does not exist is reported as Failed without
// creating anything.
FileResult loadDatabase(Database &db);

// True when args (after the command name) ask for --help; prints usage to stdout then.
bool wantsHelp(const QStringList &args, const char *usage);

} // namespace Cli
