#pragma once

#include <QtGlobal>

class QLabel;

// A label whose background shows a colour in the 0x00BBGGRR layout (red in the low byte); -1 shows
// no colour. The label's accessible description says the colour as #RRGGBB.
namespace ColorLabel {

void setBackColor(QLabel *label, qint32 color);
qint32 backColor(const QLabel *label);

} // namespace ColorLabel
