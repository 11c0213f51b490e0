#include "mainwindow/settingsvalue.h"

#include <cmath>

namespace SettingsValue {

bool toBool(const QString &text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = t.toDouble(&ok);
    if (ok && std::isfinite(number))
        return number != 0.0;
    return fallback;
}

QString fromBool(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

float toFloat(const QString &text, float fallback)
{
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    // Beyond ten million twips (some 7000 inches) a position or size only puts the window where no
    // screen is, and its pixels would not fit an int.
    if (!ok || !std::isfinite(value) || std::fabs(value) >= 1e7f)
        return fallback;
    return value;
}

QString fromFloat(float value)
{
    return QString::number(double(value), 'g', 7);
}

int toInt(const QString &text, int fallback, int min, int max)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok || value < min || value > max)
        return fallback;
    return int(value);
}

qint32 toColor(const QString &text, qint32 fallback)
{
    return toInt(text, fallback, 0, 0xFFFFFF);
}

int twipsToPixels(double twips, double dpi)
{
    return int(std::lround(twips * dpi / 1440.0));
}

float pixelsToTwips(int pixels, double dpi)
{
    return float(pixels * 1440.0 / dpi);
}

} // namespace SettingsValue
