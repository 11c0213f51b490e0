#pragma once

#include "editorcontrol/definitionerror.h"
#include "editorcontrol/languagedefinition.h"

#include <QByteArray>
#include <QString>

// Reads a language definition (.lng) into a LanguageDefinition. Absent attributes take the values a
// definition written with Hide Default Attributes leaves out; a token without regexp or rule takes its
// list's value. Loading fails, naming file, line, column and problem, for text that is not well-formed
// XML, a root other than <language>, a flag or colour that cannot be understood, an inheritfrom or
// validscope naming no tokenset of the file, and more tokensets or valid scopes than a language record
// holds. Whatever the XML writer can produce loads: inheritance cycles (the colouring stops where a
// chain repeats), ids, types and font styles outside their tables, and regexp tokens that do not
// compile (listed in badRegexps; such a token never matches). Document type declarations are refused,
// so no entity is ever expanded or fetched.
namespace DefinitionReader {

inline constexpr int kMaxTokensets = 51;
inline constexpr int kMaxValidScopes = 11;
// The largest definition read: what a language record can ever be written as, with room to spare.
// 51 tokensets of two token lists of at most 65,535 bytes each; a character of a list is written as
// at most 5 bytes ("&amp;"), the attributes of a token no longer than its line in the list: about
// 33.5 MB. Reading takes about 20 bytes of memory per byte of definition, so the bound keeps even a
// hostile file below a gigabyte.
inline constexpr qint64 kMaxDefinitionBytes = qint64(40) << 20;

// `fileName` only names the source in errors. Bytes are ANSI text unless a byte order mark or the XML
// declaration names another encoding. On failure `out` is left unchanged.
bool read(const QByteArray &bytes, const QString &fileName, LanguageDefinition &out, DefinitionError &error);
bool readFile(const QString &path, LanguageDefinition &out, DefinitionError &error);

// One line for a regexp token that does not compile: "FILE, line L, column C: tokenset "T", token
// "P": invalid regular expression: MESSAGE; the token never matches".
QString describe(const LanguageDefinition &definition, const BadRegexp &bad);
// The same as a place in the file and a problem.
DefinitionError badRegexpError(const LanguageDefinition &definition, const BadRegexp &bad);

} // namespace DefinitionReader
