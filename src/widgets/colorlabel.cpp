#include "widgets/colorlabel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVariant>

namespace ColorLabel {

void setBackColor(QLabel *label, qint32 color)
{
    label->setProperty("backColor", color);
    QPalette palette = label->palette();
    const QColor c = color < 0 ? QColor(Qt::transparent)
                               : QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    palette.setColor(QPalette::Window, c);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
    // What the eye sees, for a screen reader.
    label->setAccessibleDescription(color < 0 ? QCoreApplication::translate("ColorLabel", "no colour")
                                              : c.name(QColor::HexRgb).toUpper());
}

qint32 backColor(const QLabel *label)
{
    const QVariant value = label->property("backColor");
    return value.isValid() ? value.toInt() : -1;
}

} // namespace ColorLabel
