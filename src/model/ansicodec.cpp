#include "model/ansicodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <memory>

namespace {

QByteArray &codePageName()
{
    static QByteArray name = AnsiCodec::kDefaultCodePage;
    return name;
}

// Creating a converter looks the code page up by name, which costs far more than converting a short
// text; each thread keeps one pair and renews it when the code page changes. The converters are
// built in place and never moved: an ICU-backed converter keeps a pointer to its own state.
struct Converters {
    explicit Converters(const QByteArray &n)
        : name(n)
        , encoder(n.constData())
        , decoder(n.constData())
    {
    }
    QByteArray name;
    QStringEncoder encoder;
    QStringDecoder decoder;
};

std::unique_ptr<Converters> &cached()
{
    thread_local std::unique_ptr<Converters> c;
    return c;
}

Converters &converters()
{
    std::unique_ptr<Converters> &c = cached();
    if (!c || c->name != codePageName())
        c = std::make_unique<Converters>(codePageName());
    return *c;
}

// An ICU-backed converter keeps its error count through resetState(); after an error the pair is
// made anew.
void dropConverters()
{
    cached().reset();
}

bool isAscii(QByteArrayView bytes)
{
    unsigned char any = 0;
    for (char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

bool isAscii(QStringView text)
{
    char16_t any = 0;
    for (QChar c : text)
        any |= c.unicode();
    return any < 0x80;
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
    if (isAscii(QStringView(text)))
        return text.toLatin1();

    QStringEncoder &encoder = converters().encoder;
    encoder.resetState();
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    dropConverters();
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
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QStringDecoder &decoder = converters().decoder;
    decoder.resetState();
    QString out = decoder.decode(bytes);
    if (decoder.hasError())
        dropConverters();
    return out;
}

qsizetype encodedSize(const QString &text)
{
    return encode(text).size();
}

} // namespace AnsiCodec
