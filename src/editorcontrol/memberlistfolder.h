#pragma once

#include <QString>
#include <QStringList>

class EditorGlobals;

// The member lists of the member list folder, as the main window loads them at start-up and after
// the folder is changed.
namespace MemberListFolder {

struct Result {
    QStringList names;    // names of the lists registered, in the order loaded (as each list reports it)
    QStringList problems; // one line per file that could not be loaded (file, place, problem)
};

// Empties the member lists of `g`, then loads every "*.mbr" file of the folder in the order the file
// system lists them and registers each one that loads. A file that fails is skipped and reported; a
// missing or empty folder leaves no member lists.
Result LoadMemberLists(EditorGlobals &g, const QString &folder);

} // namespace MemberListFolder
