#pragma once

#include <QString>

// What an item of a KDE definition that only names a default style (dsKeyword, dsString, ...) looks
// like once imported: our own choice of colour and font per default style, and the tokenset id that
// fits it best.
namespace KdeDefaultStyles {

struct Style {
    QString id;       // tokenset id
    qint32 colour;    // 0x00BBGGRR
    bool bold = false, italic = false, underline = false;
};

// The style for a default style's name; dsNormal for a name it does not know.
Style style(const QString &defStyle);
bool known(const QString &defStyle);

} // namespace KdeDefaultStyles
