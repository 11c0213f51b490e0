#include "model/xmlchars.h"

#include "model/language.h"

namespace XmlChars {

namespace {

constexpr const char *kNames[32] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS", "HT", "LF",
                                    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
                                    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};

void check(QStringList &out, QStringView text, const char *field)
{
    const qsizetype at = firstBad(text);
    if (at >= 0)
        out += QStringLiteral("%1 holds %2").arg(QLatin1String(field), describe(text[at]));
}

} // namespace

qsizetype firstBad(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return i;
    }
    return -1;
}

QString describe(QChar c)
{
    const char16_t u = c.unicode();
    const QString code = QStringLiteral("U+%1").arg(uint(u), 4, 16, QLatin1Char('0')).toUpper();
    return u < 32 ? code + QStringLiteral(" (%1)").arg(QLatin1String(kNames[u])) : code;
}

QString problem(QStringView text, const QString &field)
{
    const qsizetype at = firstBad(text);
    if (at < 0)
        return QString();
    return QStringLiteral("The %1 holds the control character %2 at position %3, which a language file cannot hold.")
        .arg(field, describe(text[at]))
        .arg(at + 1);
}

QStringList languageFields(const Language &l)
{
    QStringList out;
    check(out, l.name, "name");
    check(out, l.wordchars, "wordchars");
    check(out, l.memberlist, "memberlist");
    return out;
}

QStringList tokensetFields(const Tokenset &ts)
{
    QStringList out;
    check(out, ts.name, "name");
    check(out, ts.id, "id");
    check(out, ts.type, "type");
    check(out, ts.fontstyle, "fontstyle");
    check(out, ts.tmemberlist, "memberlist");
    // The token lists, and the rule texts that go with them, are written only for a non-blank list.
    bool blank = true;
    for (QChar c : ts.tokens)
        blank = blank && c == u' ';
    if (!blank) {
        check(out, ts.tokens, "tokens");
        if (ts.type == u"scope")
            check(out, ts.tokens2, "tokens2");
        check(out, ts.lead, "lead");
        check(out, ts.trail, "trail");
    }
    return out;
}

} // namespace XmlChars
