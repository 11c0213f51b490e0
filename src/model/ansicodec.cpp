#include "model/ansicodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {

QByteArray &codePageName()
{
    static QByteArray name = AnsiCodec::kDefaultCodePage;
    return name;
}

} // namespace

namespace AnsiCodec {

bool setCodePage(const QString &name)
{
    const QByteArray bytes = name.toLatin1();
    if (!QStringEncoder(bytes.constData()).isValid() || !QStringDecoder(bytes.constData()).isValid())
        return false;
    codePageName() = bytes;
    return true;
}

QString codePage()
{
    return QString::fromLatin1(codePageName());
}

QByteArray encode(const QString &text)
{
    // Pure ASCII is the common case and needs no converter.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return text.toLatin1();

    QStringEncoder encoder(codePageName().constData());
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    // Encode character by character so that each unmappable character becomes one '?'.
    out.clear();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype len = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder one(codePageName().constData());
        QByteArray piece = one.encode(QStringView(text).mid(i, len));
        out += one.hasError() ? QByteArray("?") : piece;
        i += len - 1;
    }
    return out;
}

QString decode(QByteArrayView bytes)
{
    bool ascii = true;
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder decoder(codePageName().constData());
    return decoder.decode(bytes);
}

qsizetype encodedSize(const QString &text)
{
    return encode(text).size();
}

} // namespace AnsiCodec
