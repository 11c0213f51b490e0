#pragma once

#include <QColor>

// Colours chosen for a light background, kept readable on a dark one.
namespace ReadableColour {

// Contrast ratio of two colours, 1 to 21, by relative luminance as accessibility guidelines define it.
double contrast(const QColor &a, const QColor &b);

// The colour as drawn on back: itself when it stands out enough (a ratio of 3, which large, bold or
// coloured text needs), else with its lightness turned over, keeping its hue.
QColor on(const QColor &colour, const QColor &back);

} // namespace ReadableColour
