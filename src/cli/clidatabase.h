#pragma once

#include "model/database.h"
#include "model/fileresult.h"

#include <QString>

// What the database commands of varlex-cli share.
namespace Cli {

class Arguments;

// Whether the program folder holds varlex.dat (a dangling link counts: loading it reports why).
bool databaseExists();

// Loads varlex.dat of the program folder. A folder that does not exist, or one without a database
// ("no database in DIR"), is reported as Failed without creating anything.
FileResult loadDatabase(Database &db);

// Loads the database for a command that only reads it. A file that cannot be read is reported
// (exit 3); a damaged one is reported once, loaded as far as it could be read, and `damaged` is set
// so that the command ends with exit 3 after its output. Returns Ok or the exit code to end with.
int loadForReading(Database &db, bool &damaged);

// The language that --index N or --name NAME chooses. Returns Ok with index set (-1 when neither
// was given and the command does not require one), or reports the problem and returns its exit code:
// both options given, none given when required, an index out of range, a name that names no
// language ("no such language") or several (the message lists their indexes).
int chooseLanguage(const Arguments &args, const Database &db, bool required, int &index);

// The used tokenset slot of language `index` that `given` names: a slot number, else a tokenset name.
// Returns Ok with slot set, or reports (naming the language) that it names none or several.
int chooseTokenset(const Arguments &args, const Database &db, int index, const QString &given, int &slot);

// The entries of names that `given` names: those whose one-line form (as list prints them, \t for a
// TAB) is given, else those that are exactly given.
QList<int> named(const QStringList &names, const QString &given);

// The language names and the used tokenset names of a language, in order.
QStringList languageNames(const Database &db);
QStringList tokensetNames(const Language &language);

// Refuses (exit 1, "already exists") a new language name that a language other than `except`
// carries, unless --allow-duplicate is given. Returns Ok or the reported exit code.
// `where` leads the message (the command's name when empty).
int refuseLanguageName(const Arguments &args, const Database &db, const QString &name, int except = -1,
                       const QString &where = QString());
// The same for a tokenset name in language `index`, other than slot `except`.
int refuseTokensetName(const Arguments &args, const Database &db, int index, const QString &name, int except = -1);

// "NAME (index N)", the prefix of messages that belong to one language; the name made one-line.
QString languageLabel(const Database &db, int index);

} // namespace Cli
