#include "editorcontrol/textsource.h"

#include "model/ansicodec.h"
#include "model/nativename.h"

#include <QFileInfo>
#include <QtAlgorithms>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kBlock = 256 * 1024;

// Widens the bytes up to the first block of sixteen that holds one beyond ASCII; returns how many.
qint64 widenAscii(const unsigned char *in, qint64 size, char16_t *out)
{
    qint64 i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= size; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        if (_mm_movemask_epi8(bytes) != 0)
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; i < size && in[i] < 0x80; ++i)
        out[i] = in[i];
    return i;
}

// The first byte from `from` on that is 0x80 or more, or `end`.
qsizetype nonAscii(const char *bytes, qsizetype from, qsizetype end)
{
    qsizetype i = from;
#if defined(__SSE2__)
    for (; i + 16 <= end; i += 16)
        if (const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i))))
            return i + std::countr_zero(unsigned(high));
#endif
    for (; i < end; ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return i;
    return end;
}

// Where the first 256 bytes of ASCII in a row from `from` on end (looked at 16 at a time), or `end`.
qsizetype pastAsciiRun(const char *bytes, qsizetype from, qsizetype end)
{
#if defined(__SSE2__)
    int clean = 0;
    for (qsizetype i = from; i + 16 <= end; i += 16) {
        if (_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i))))
            clean = 0;
        else if (++clean == 16)
            return i + 16;
    }
#else
    Q_UNUSED(bytes);
    Q_UNUSED(from);
#endif
    return end;
}

} // namespace

TextSource::TextSource() = default;
TextSource::~TextSource() = default;

bool TextSource::open(const QString &path)
{
    const bool standardInput = path == QLatin1String("-");
    name_ = standardInput ? QStringLiteral("(standard input)") : NativeName::shown(path);
    int fd = 0;
    if (!standardInput) {
        // Through the name's own bytes, so that a name that is not UTF-8 is found; a FIFO or a
        // device is refused without waiting at the open.
        fd = ::open(NativeName::toBytes(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info {};
        if (fd < 0) {
            problem_ = QStringLiteral("%1: %2").arg(name_, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            problem_ = QStringLiteral("%1: not a regular file").arg(name_);
            return false;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    if (!file_.open(fd, QIODevice::ReadOnly, standardInput ? QFileDevice::DontCloseHandle : QFileDevice::AutoCloseHandle)) {
        if (!standardInput)
            ::close(fd);
        problem_ = QStringLiteral("%1: %2").arg(name_, file_.errorString());
        return false;
    }
    raw_.resize(kBlock);
    if (file_.isSequential()) {
        // Read straight from the descriptor: a buffered read of a pipe waits for a whole block.
        streamFd_ = file_.handle();
        input_ = &file_;
    } else {
        if (!validate(file_))
            return false;
        if (!file_.seek(0)) {
            problem_ = QStringLiteral("%1: %2").arg(name_, file_.errorString());
            return false;
        }
        input_ = &file_;
    }
    if (streamFd_ >= 0)
        return true; // decoded line by line
    if (utf8_)
        decoder_ = std::make_unique<QStringDecoder>(QStringDecoder::Utf8);
    else
        decoder_ = std::make_unique<QStringDecoder>(AnsiCodec::codePage().toLatin1().constData());
    if (!utf8_)
        fillByteTable();
    return true;
}

// The code page is one byte a character: when each byte decodes alone to one unit, and all 256 in a
// row to the same units, a table decodes as the converter does, many times faster. A unit that is a
// surrogate would be a broken pair, which pairsWhole() says a line never holds.
void TextSource::fillByteTable()
{
    const QByteArray codePage = AnsiCodec::codePage().toLatin1();
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    QStringDecoder whole(codePage.constData(), QStringDecoder::Flag::Stateless);
    const QString units = whole(all);
    if (!whole.isValid() || units.size() != 256)
        return;
    for (int b = 0; b < 256; ++b) {
        QStringDecoder one(codePage.constData(), QStringDecoder::Flag::Stateless);
        const QString unit = one(QByteArrayView(all.constData() + b, 1));
        if (unit.size() != 1 || unit.at(0) != units.at(b) || unit.at(0).isSurrogate())
            return;
        byteTable_[size_t(b)] = unit.at(0).unicode();
    }
    useByteTable_ = true;
    asciiKept_ = true;
    for (int b = 0; b < 128; ++b)
        asciiKept_ = asciiKept_ && byteTable_[size_t(b)] == char16_t(b);
}

// Reads the whole file once to decide the encoding.
bool TextSource::validate(QIODevice &input)
{
    QStringDecoder check(QStringDecoder::Utf8);
    QString scratch;
    auto feed = [&](const char *bytes, qsizetype size) {
        scratch.resize(check.requiredSpace(size));
        check.appendToBuffer(scratch.data(), QByteArrayView(bytes, size));
    };
    bool open = false; // the last block's bytes went to the converter up to its end
    for (;;) {
        const qint64 got = input.read(raw_.data(), kBlock);
        if (got < 0) {
            problem_ = QStringLiteral("%1: %2").arg(name_, input.errorString());
            return false;
        }
        if (got == 0)
            break;
        // ASCII leaves the converter as it finds it, between sequences: only the stretches that hold
        // bytes from 0x80 up go through it, each up to the end of 256 bytes of ASCII after it (the
        // converter then says whether a sequence was cut there).
        const char *const bytes = raw_.constData();
        qsizetype from = 0;
        if (open) { // a sequence may go on into this block
            feed(bytes, 1);
            from = 1;
        }
        open = false;
        while (from < got) {
            const qsizetype first = nonAscii(bytes, from, got);
            if (first == got)
                break;
            const qsizetype to = pastAsciiRun(bytes, first + 1, got);
            open = to == got;
            feed(bytes + first, to - first);
            from = to;
        }
        if (check.hasError()) {
            utf8_ = false;
            return true;
        }
    }
    // A sequence cut off by the end of the input is no UTF-8 either.
    scratch.resize(check.requiredSpace(1));
    check.appendToBuffer(scratch.data(), "\n");
    utf8_ = !check.hasError();
    return true;
}

bool TextSource::readStreamed()
{
    if (streamPos_ > 0) {
        pending_.remove(0, streamPos_);
        scan_ -= streamPos_;
        streamPos_ = 0;
    }
    if (beforeWait_)
        beforeWait_();
    const qsizetype old = pending_.size();
    pending_.resize(old + kBlock);
    ssize_t got;
    do
        got = ::read(streamFd_, pending_.data() + old, size_t(kBlock));
    while (got < 0 && errno == EINTR);
    pending_.resize(old + std::max<qsizetype>(got, 0));
    if (got < 0) {
        problem_ = QStringLiteral("%1: %2").arg(name_, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    atEnd_ = got == 0;
    return true;
}

// One streamed line: UTF-8 while every line so far was; from the first line that is not, ANSI.
void TextSource::decodeStreamed(QByteArrayView bytes, QByteArrayView lineBreak)
{
    if (utf8_) {
        QStringDecoder check(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        buffer_ = check(bytes);
        if (check.hasError()) {
            utf8_ = false;
            if (notice_)
                notice_(QStringLiteral("%1: line %2 is not UTF-8: it and the lines after it are read as %3")
                            .arg(name_)
                            .arg(lines_ + 1)
                            .arg(AnsiCodec::codePage()));
        } else if (first_ && buffer_.startsWith(QChar(0xFEFF))) {
            buffer_.remove(0, 1);
        }
    }
    if (!utf8_) {
        if (!decoder_)
            decoder_ = std::make_unique<QStringDecoder>(AnsiCodec::codePage().toLatin1().constData());
        buffer_ = decoder_->decode(bytes);
    }
    first_ = false;
    pos_ = buffer_.size();
    buffer_ += QLatin1StringView(lineBreak.data(), lineBreak.size());
    ++lines_;
}

bool TextSource::nextStreamed(QStringView &line, QStringView &lineBreak)
{
    for (;;) {
        const char *text = pending_.constData();
        const qsizetype size = pending_.size();
        qsizetype end = std::max(scan_, streamPos_);
        while (end < size && text[end] != '\n' && text[end] != '\r')
            ++end;
        // A CR at the end of what is held may be the first half of a CR LF.
        const bool complete = end < size && !(text[end] == '\r' && end + 1 == size && !atEnd_);
        if (complete || (atEnd_ && streamPos_ < size)) {
            const qsizetype breakLength = !complete ? 0 : text[end] == '\r' && end + 1 < size && text[end + 1] == '\n' ? 2 : 1;
            decodeStreamed(QByteArrayView(text + streamPos_, end - streamPos_), QByteArrayView(text + end, breakLength));
            line = QStringView(buffer_).left(pos_);
            lineBreak = QStringView(buffer_).mid(pos_);
            streamPos_ = scan_ = end + breakLength;
            return true;
        }
        if (atEnd_)
            return false;
        scan_ = end;
        if (size - streamPos_ > kMaxLineLength) {
            problem_ = QStringLiteral("%1: line %2 is longer than %3 characters").arg(name_).arg(lines_ + 1).arg(kMaxLineLength);
            input_ = nullptr;
            return false;
        }
        if (!readStreamed()) {
            input_ = nullptr;
            return false;
        }
    }
}

bool TextSource::readMore()
{
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        scan_ -= pos_;
        pos_ = 0;
    }
    const qint64 got = input_->read(raw_.data(), kBlock);
    if (got < 0) {
        problem_ = QStringLiteral("%1: %2").arg(name_, input_->errorString());
        return false;
    }
    if (got == 0) {
        atEnd_ = true;
        return true;
    }
    // Decode in place after what is held; the room grows by doubling, so a long line costs at most
    // twice its size.
    const qsizetype old = buffer_.size();
    const qsizetype need = old + decoder_->requiredSpace(got);
    if (buffer_.capacity() < need)
        buffer_.reserve(std::max(need, 2 * buffer_.capacity()));
    buffer_.resize(need);
    if (useByteTable_) {
        buffer_.resize(old + got);
        char16_t *out = reinterpret_cast<char16_t *>(buffer_.data()) + old;
        const auto *in = reinterpret_cast<const unsigned char *>(raw_.constData());
        for (qint64 i = 0; i < got; ++i) {
            if (asciiKept_) { // ASCII as it is, sixteen bytes at a time
                i += widenAscii(in + i, got - i, out + i);
                if (i == got)
                    break;
            }
            out[i] = byteTable_[in[i]];
        }
    } else {
        const QChar *end = decoder_->appendToBuffer(buffer_.data() + old, QByteArrayView(raw_.constData(), got));
        buffer_.resize(end - buffer_.constData());
    }
    if (first_) {
        first_ = false;
        if (utf8_ && buffer_.startsWith(QChar(0xFEFF)))
            buffer_.remove(0, 1);
    }
    return true;
}

bool TextSource::nextFully(QStringView &line, QStringView &lineBreak)
{
    if (!input_)
        return false;
    if (streamFd_ >= 0)
        return nextStreamed(line, lineBreak);
    for (;;) {
        const char16_t *text = reinterpret_cast<const char16_t *>(buffer_.constData());
        const qsizetype size = buffer_.size();
        const qsizetype end = findBreak(text, std::max(scan_, pos_), size);
        // A CR at the end of what is held may be the first half of a CR LF.
        if (end < size && !(text[end] == u'\r' && end + 1 == size && !atEnd_)) {
            take(text, end, text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n' ? 2 : 1, line, lineBreak);
            return true;
        }
        scan_ = end;
        if (atEnd_) {
            if (pos_ >= size)
                return false;
            line = QStringView(text + pos_, size - pos_);
            lineBreak = QStringView();
            pos_ = scan_ = size;
            ++lines_;
            return true;
        }
        if (size - pos_ > kMaxLineLength) {
            problem_ = QStringLiteral("%1: line %2 is longer than %3 characters").arg(name_).arg(lines_ + 1).arg(kMaxLineLength);
            input_ = nullptr;
            return false;
        }
        if (!readMore()) {
            input_ = nullptr;
            return false;
        }
    }
}
