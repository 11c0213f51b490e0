#pragma once

#include <QString>
#include <QStringView>

// Seek in the XML pane: where the element of a tokenset starts in a generated definition, in any of
// its forms (attributes on one line, or each on its own line in EasyRead format; with or without
// default attributes). The name is looked for as the writer escapes it, whole and in its quotes, so
// "key" does not stop at the element of "keywords". The text may be the generated text or the file's
// text read back, where characters the code page lacks stand as "?".
namespace TokensetSeek {

struct Match {
    qsizetype start = -1; // offset of "<tokenset" in the text, -1 when not found
    qsizetype length = 0; // up to and including the closing quote of the name
    bool found() const { return start >= 0; }
};

// The first element at or after offset `from` whose name attribute is `name`.
Match find(QStringView xml, const QString &name, qsizetype from = 0);

} // namespace TokensetSeek
