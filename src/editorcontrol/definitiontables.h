#pragma once

#include <QString>

// The fixed tables of a definition: tokenset ids, font styles and token actions, each a name and the
// number the language object reports for it.
namespace DefinitionTables {

// Tokenset ids: "text" is 1, "numbers" 2 ... "statementdelims" 31.
// Number of an id name (letter case ignored); 0 when the name is not in the table.
int idNumber(QStringView name);
// Name of an id number; any number outside the table, 1 included, gives "text".
QString idName(int number);

// Font styles: 0 normal, 1 bold, 2 italic, 3 bolditalic, 4 underline.
// Number of a style name (letter case ignored); -1 when the name is not a style.
int fontStyleNumber(QStringView name);
// Name of a style number; any other number gives "normal".
QString fontStyleName(int number);

// Token actions: 259 ListMembers, 260 CompleteWord, 261 CommitMember, 262 ParameterInfo, 263 QuickInfo.
// Number of an action name (letter case ignored); 0 for an empty or unknown name.
int commandNumber(QStringView action);
// Name of an action number; any other number gives the empty string.
QString commandName(int number);

} // namespace DefinitionTables
