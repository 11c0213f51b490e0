#pragma once

#include <QString>

// Conversions between the stored text of a settings key and its value. Every reader takes the key's
// default and returns it when the stored text cannot be converted, so a damaged settings store never
// stops the window from opening.
namespace SettingsValue {

// "True"/"False" in any letter case, or a number where 0 means False.
bool toBool(const QString &text, bool fallback);
QString fromBool(bool value);

// A finite decimal number below ten million in size (window geometry in twips).
float toFloat(const QString &text, float fallback);
// Decimal text of a single-precision number without needless digits: 1200 -> "1200".
QString fromFloat(float value);

// A decimal integer within [min, max].
int toInt(const QString &text, int fallback, int min, int max);

// A colour in the 0x00BBGGRR layout (0 to 0xFFFFFF).
qint32 toColor(const QString &text, qint32 fallback);

// Twips (1/1440 inch) and pixels at the given dots per inch.
int twipsToPixels(double twips, double dpi);
float pixelsToTwips(int pixels, double dpi);

} // namespace SettingsValue
