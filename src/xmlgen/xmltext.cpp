#include "xmlgen/xmltext.h"

#include <cmath>

namespace XmlText {

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin).toString();
}

bool isBlank(QStringView text)
{
    for (QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

namespace {

// In an attribute value a reader turns a raw TAB, CR or LF into a blank, so they are written as
// character references there; element text keeps them as they are.
const char16_t *reference(char16_t c, bool attribute)
{
    switch (c) {
    case u'&': return u"&amp;";
    case u'<': return u"&lt;";
    case u'>': return u"&gt;";
    case u'"': return attribute ? u"&quot;" : nullptr;
    case u'\t': return attribute ? u"&#9;" : nullptr;
    case u'\n': return attribute ? u"&#10;" : nullptr;
    case u'\r': return attribute ? u"&#13;" : nullptr;
    default: return nullptr;
    }
}

void appendEscaped(QString &out, QStringView text, bool attribute)
{
    qsizetype plain = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t *ref = reference(text[i].unicode(), attribute);
        if (!ref)
            continue;
        out += text.mid(plain, i - plain);
        out += QStringView(ref);
        plain = i + 1;
    }
    out += text.mid(plain);
}

QString escaped(QStringView text, bool attribute)
{
    QString out;
    out.reserve(text.size());
    appendEscaped(out, text, attribute);
    return out;
}

} // namespace

void appendEscapedMarkup(QString &out, QStringView text)
{
    appendEscaped(out, text, false);
}

QString escapeMarkup(QStringView text)
{
    return escaped(text, false);
}

QString escapeQuotes(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t *ref = c == u'&' || c == u'<' || c == u'>' ? nullptr : reference(c.unicode(), true);
        if (ref)
            out += QStringView(ref);
        else
            out += c;
    }
    return out;
}

void appendEscapedAttribute(QString &out, QStringView text)
{
    appendEscaped(out, text, true);
}

QString escapeAttribute(QStringView text)
{
    return escaped(text, true);
}

int colNumber(QStringView text)
{
    QString number;
    bool digits = false;
    bool point = false;
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        if ((c == u'+' || c == u'-') && number.isEmpty()) {
            number += c;
        } else if (c.unicode() >= u'0' && c.unicode() <= u'9') {
            number += c;
            digits = true;
        } else if (c == u'.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0;
    const double value = std::nearbyint(number.toDouble()); // the default rounding: half to even
    if (!(value > -32768.0))
        return -32768;
    if (value > 32767.0)
        return 32767;
    return int(value);
}

} // namespace XmlText

QString Reverse2(qint32 flag)
{
    return flag != 0 ? QStringLiteral("true") : QStringLiteral("false");
}
