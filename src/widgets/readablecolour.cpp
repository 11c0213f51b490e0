#include "widgets/readablecolour.h"

#include <cmath>

namespace {

double luminance(const QColor &c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

} // namespace

namespace ReadableColour {

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

QColor on(const QColor &colour, const QColor &back)
{
    constexpr double kEnough = 3.0;
    if (contrast(colour, back) >= kEnough)
        return colour;
    const QColor hsl = colour.toHsl();
    const QColor turned = QColor::fromHslF(qMax(0.0f, hsl.hslHueF()), hsl.hslSaturationF(), 1.0f - hsl.lightnessF());
    return contrast(turned, back) > contrast(colour, back) ? turned : colour;
}

} // namespace ReadableColour
