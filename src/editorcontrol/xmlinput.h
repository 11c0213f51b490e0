#pragma once

#include <QByteArray>
#include <QString>

class QXmlStreamReader;

// Guards shared by the readers of definition and member list files: decoding, size and nesting limits,
// and the refusal of document type declarations (so no entity is ever expanded or fetched).
namespace XmlInput {

inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;
inline constexpr int kMaxDepth = 64;

// Text of a file's bytes: a byte order mark or an encoding named in the XML declaration wins;
// otherwise the bytes are ANSI text (the program's code page) or, when asked, UTF-8.
QString decode(const QByteArray &bytes, bool ansiByDefault);

// Reads a whole file of at most maxBytes; false with a problem text when it cannot.
bool readFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &problem);
// "the file is larger than the limit of N MiB"
QString tooLarge(qint64 maxBytes);

// Advances to the root element. False when the document has none, is not well-formed before it or
// carries a document type declaration (the reader then holds the error).
bool toRootElement(QXmlStreamReader &xml);

// Skips the current element and everything inside it; `depth` is the depth of the current element.
// Raises an error on the reader when the nesting goes deeper than kMaxDepth.
void skipElement(QXmlStreamReader &xml, int depth);

} // namespace XmlInput
