#include "model/quotedtext.h"

QString quotedText(QStringView text, qsizetype shown)
{
    const bool cut = shown > 0 && text.size() > shown;
    const QStringView part = cut ? text.left(shown) : text;
    QString out;
    out.reserve(part.size() + 8);
    out += u'"';
    for (const QChar c : part) {
        switch (c.unicode()) {
        case u'\\': out += QLatin1String("\\\\"); break;
        case u'"': out += QLatin1String("\\\""); break;
        case u'\t': out += QLatin1String("\\t"); break;
        case u'\r': out += QLatin1String("\\r"); break;
        case u'\n': out += QLatin1String("\\n"); break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + (cut ? QStringLiteral("...\"") : QStringLiteral("\""));
}
