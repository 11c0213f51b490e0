#include "model/ansicodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <QMutex>

#include <atomic>
#include <memory>

namespace {

QByteArray &codePageName()
{
    static QByteArray name = AnsiCodec::kDefaultCodePage;
    return name;
}

// The bytes the current code page maps to no character; none for windows-1252.
struct Unmapped {
    bool any = false;
    bool byte[256] = {};
};

QString singleByteProblem(const QByteArray &name, Unmapped &holes);

// The default code page's bytes are looked through when first asked about, not at every start: that
// takes 256 converters, and most runs read no ANSI text.
std::atomic<bool> &unmappedPending()
{
    static std::atomic<bool> pending{false};
    return pending;
}

Unmapped &unmapped()
{
    static Unmapped u;
    if (unmappedPending().load(std::memory_order_acquire)) {
        static QMutex mutex;
        QMutexLocker lock(&mutex);
        if (unmappedPending().load(std::memory_order_relaxed)) {
            Unmapped holes;
            u = singleByteProblem(codePageName(), holes).isEmpty() ? holes : Unmapped();
            unmappedPending().store(false, std::memory_order_release);
        }
    }
    return u;
}

// Why the code page cannot hold the texts byte for byte, or an empty string when it can: each byte
// must decode on its own to one character, ASCII to itself, the same alone as within a text, and
// back to the same byte.
QString singleByteProblem(const QByteArray &name, Unmapped &holes)
{
    QByteArray all(256, Qt::Uninitialized);
    QString alone;
    for (int b = 0; b < 256; ++b) {
        all[b] = char(b);
        QStringDecoder one(name.constData());
        const QString c = one.decode(QByteArrayView(all.constData() + b, 1));
        if (c.size() != 1)
            return QStringLiteral("it is not a single-byte code page");
        holes.byte[b] = one.hasError() || c[0] == QChar(QChar::ReplacementCharacter);
        holes.any = holes.any || holes.byte[b];
        alone += c;
    }
    for (int b = 0; b < 0x80; ++b) {
        if (alone[b] != QChar(b))
            return QStringLiteral("it does not keep ASCII characters as they are");
    }
    for (int b = 0x80; b < 256; ++b) {
        if (!holes.byte[b] && QByteArray(QStringEncoder(name.constData()).encode(alone.mid(b, 1))) != all.mid(b, 1))
            return QStringLiteral("the character of byte 0x%1 does not encode back to it").arg(b, 2, 16, QLatin1Char('0'));
    }
    QStringDecoder whole(name.constData());
    if (whole.decode(all) != alone)
        return QStringLiteral("it decodes bytes differently in a text than alone");
    return QString();
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

bool setCodePage(const QString &name, QString *why)
{
    const QByteArray bytes = name.toLatin1();
    QString problem;
    Unmapped holes;
    if (!QStringEncoder(bytes.constData()).isValid() || !QStringDecoder(bytes.constData()).isValid())
        problem = QStringLiteral("it is not known");
    else
        problem = singleByteProblem(bytes, holes);
    if (!problem.isEmpty()) {
        if (why)
            *why = problem;
        return false;
    }
    codePageName() = bytes;
    unmappedPending().store(false, std::memory_order_release);
    unmapped() = holes;
    return true;
}

void useDefaultCodePage()
{
    codePageName() = kDefaultCodePage;
    unmappedPending().store(true, std::memory_order_release);
}

int firstUnmappedByte(QByteArrayView bytes)
{
    const Unmapped &u = unmapped();
    if (!u.any)
        return -1;
    for (char c : bytes) {
        if (u.byte[static_cast<unsigned char>(c)])
            return static_cast<unsigned char>(c);
    }
    return -1;
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
