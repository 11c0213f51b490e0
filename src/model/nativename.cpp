#include "model/nativename.h"

#include <QStringDecoder>

#include <algorithm>

namespace {

constexpr char16_t kFirstKept = 0xDC80;

bool isKept(QChar c)
{
    return c.unicode() >= kFirstKept && c.unicode() <= 0xDCFF;
}

} // namespace

namespace NativeName {

QString fromBytes(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString whole = utf8.decode(bytes);
    if (!utf8.hasError())
        return whole;
    // Decoded sequence by sequence: a byte that does not begin a valid sequence is kept as it is.
    QString name;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length > 0 && i + length <= bytes.size()) {
            QStringDecoder one(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString part = one.decode(QByteArrayView(bytes.constData() + i, length));
            if (!one.hasError()) {
                name += part;
                i += length;
                continue;
            }
        }
        name += QChar(char16_t(kFirstKept + (lead & 0x7F)));
        ++i;
    }
    return name;
}

QByteArray toBytes(const QString &name)
{
    if (std::none_of(name.begin(), name.end(), isKept))
        return name.toUtf8();
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !isKept(name[i]))
            continue;
        bytes += QStringView(name).mid(from, i - from).toUtf8();
        if (i < name.size())
            bytes += char(0x80 + (name[i].unicode() - kFirstKept));
        from = i + 1;
    }
    return bytes;
}

QString shown(const QString &name)
{
    QString out;
    for (QChar c : name)
        out += isKept(c) ? QStringLiteral("\\x") + QString::number(0x80 + (c.unicode() - kFirstKept), 16).toUpper() : QString(c);
    return out;
}

} // namespace NativeName
