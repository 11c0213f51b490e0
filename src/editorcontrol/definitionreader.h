#pragma once

#include "editorcontrol/definitionerror.h"
#include "editorcontrol/languagedefinition.h"

#include <QByteArray>
#include <QString>

// Reads a language definition (.lng) into a LanguageDefinition. Absent attributes take the values a
// definition written with Hide Default Attributes leaves out; a token without regexp or rule takes its
// list's value. Loading fails, naming file, line, column and problem, for text that is not well-formed
// XML, a root other than <language>, an attribute value that cannot be understood, an invalid regular
// expression, an inheritfrom or validscope naming no tokenset of the file, an inheritance cycle, and
// more tokensets or valid scopes than a language record holds. Document type declarations are refused,
// so no entity is ever expanded or fetched.
namespace DefinitionReader {

inline constexpr int kMaxTokensets = 51;
inline constexpr int kMaxValidScopes = 11;

// `fileName` only names the source in errors. Bytes are ANSI text unless a byte order mark or the XML
// declaration names another encoding. On failure `out` is left unchanged.
bool read(const QByteArray &bytes, const QString &fileName, LanguageDefinition &out, DefinitionError &error);
bool readFile(const QString &path, LanguageDefinition &out, DefinitionError &error);

} // namespace DefinitionReader
