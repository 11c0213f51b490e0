#pragma once

#include <QChar>
#include <QStringView>

// The editor stores text as UTF-8 and counts positions in bytes; the colouring engine counts in
// UTF-16 code units. These convert between the two.
namespace Utf8 {

// Bytes that a piece of text takes in UTF-8.
inline int byteLength(QStringView text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            n += 1;
        } else if (c < 0x800) {
            n += 2;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            n += 4;
            ++i;
        } else {
            n += 3;
        }
    }
    return n;
}

// Index in UTF-16 code units of the character that begins at a byte offset of the text.
inline int charIndex(QStringView text, int byteOffset)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size() && bytes < byteOffset) {
        const bool pair = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < text.size()
                          && QChar::isLowSurrogate(text[i + 1].unicode());
        bytes += byteLength(text.mid(i, pair ? 2 : 1));
        i += pair ? 2 : 1;
    }
    return int(i);
}

} // namespace Utf8
