#include "model/textescape.h"

namespace TextEscape {

namespace {

QString escaped(QStringView text, bool backslash)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case u'\t': out += QLatin1String("\\t"); continue;
        case u'\r': out += QLatin1String("\\r"); continue;
        case u'\n': out += QLatin1String("\\n"); continue;
        case u'\\':
            out += backslash ? QLatin1String("\\\\") : QLatin1String("\\");
            continue;
        default: break;
        }
        if (u < 0x20 || (u >= 0x7f && u < 0xa0))
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

QString controls(QStringView text)
{
    return escaped(text, false);
}

QString oneLine(QStringView text)
{
    return escaped(text, true);
}

} // namespace TextEscape
