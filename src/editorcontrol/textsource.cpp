#include "editorcontrol/textsource.h"

#include "model/ansicodec.h"

#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qint64 kBlock = 256 * 1024;

} // namespace

TextSource::TextSource() = default;
TextSource::~TextSource() = default;

bool TextSource::open(const QString &path)
{
    const bool standardInput = path == QLatin1String("-");
    name_ = standardInput ? QStringLiteral("(standard input)") : path;
    if (!standardInput && QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        problem_ = QStringLiteral("%1: not a regular file").arg(name_);
        return false;
    }
    const bool opened = standardInput ? file_.open(0, QIODevice::ReadOnly)
                                      : (file_.setFileName(path), file_.open(QIODevice::ReadOnly));
    if (!opened) {
        problem_ = QStringLiteral("%1: %2").arg(name_, file_.errorString());
        return false;
    }
    raw_.resize(kBlock);
    if (file_.isSequential()) {
        // A pipe is read once: keep a copy to read again once the encoding is known.
        spool_ = std::make_unique<QTemporaryFile>();
        if (!spool_->open()) {
            problem_ = QStringLiteral("%1: cannot keep a copy in a temporary file: %2").arg(name_, spool_->errorString());
            return false;
        }
        if (!validate(file_, spool_.get()))
            return false;
        if (!spool_->seek(0)) {
            problem_ = QStringLiteral("%1: cannot read the temporary copy again: %2").arg(name_, spool_->errorString());
            return false;
        }
        input_ = spool_.get();
    } else {
        if (!validate(file_, nullptr))
            return false;
        if (!file_.seek(0)) {
            problem_ = QStringLiteral("%1: %2").arg(name_, file_.errorString());
            return false;
        }
        input_ = &file_;
    }
    if (utf8_)
        decoder_ = std::make_unique<QStringDecoder>(QStringDecoder::Utf8);
    else
        decoder_ = std::make_unique<QStringDecoder>(AnsiCodec::codePage().toLatin1().constData());
    return true;
}

// Reads the whole input once to decide the encoding, copying it when `copy` is given. A copy also
// stops at a line that is too long, so that endless input without line breaks ends.
bool TextSource::validate(QIODevice &input, QIODevice *copy)
{
    QStringDecoder check(QStringDecoder::Utf8);
    QString scratch;
    qint64 lineBytes = 0;
    for (;;) {
        const qint64 got = input.read(raw_.data(), kBlock);
        if (got < 0) {
            problem_ = QStringLiteral("%1: %2").arg(name_, input.errorString());
            return false;
        }
        if (got == 0)
            break;
        const QByteArrayView bytes(raw_.constData(), got);
        if (utf8_) {
            scratch.resize(check.requiredSpace(got));
            check.appendToBuffer(scratch.data(), bytes);
            utf8_ = !check.hasError();
            if (!utf8_ && !copy)
                return true;
        }
        if (!copy)
            continue;
        if (copy->write(bytes.data(), got) != got) {
            problem_ = QStringLiteral("%1: cannot keep a copy in a temporary file: %2").arg(name_, copy->errorString());
            return false;
        }
        const auto lastBreak = std::find_if(bytes.rbegin(), bytes.rend(), [](char c) { return c == '\n' || c == '\r'; });
        lineBytes = lastBreak == bytes.rend() ? lineBytes + got : qint64(lastBreak - bytes.rbegin());
        if (lineBytes > kMaxLineLength) {
            problem_ = QStringLiteral("%1: a line is longer than %2 characters").arg(name_).arg(kMaxLineLength);
            return false;
        }
    }
    if (utf8_) {
        // A sequence cut off by the end of the input is no UTF-8 either.
        scratch.resize(check.requiredSpace(1));
        check.appendToBuffer(scratch.data(), "\n");
        utf8_ = !check.hasError();
    }
    return true;
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
    const QChar *end = decoder_->appendToBuffer(buffer_.data() + old, QByteArrayView(raw_.constData(), got));
    buffer_.resize(end - buffer_.constData());
    if (first_) {
        first_ = false;
        if (utf8_ && buffer_.startsWith(QChar(0xFEFF)))
            buffer_.remove(0, 1);
    }
    return true;
}

bool TextSource::next(QStringView &line, QStringView &lineBreak)
{
    if (!input_)
        return false;
    for (;;) {
        const char16_t *text = reinterpret_cast<const char16_t *>(buffer_.constData());
        const qsizetype size = buffer_.size();
        qsizetype end = std::max(scan_, pos_);
        while (end < size && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        // A CR at the end of what is held may be the first half of a CR LF.
        if (end < size && !(text[end] == u'\r' && end + 1 == size && !atEnd_)) {
            const qsizetype breakLength = text[end] == u'\r' && end + 1 < size && text[end + 1] == u'\n' ? 2 : 1;
            line = QStringView(text + pos_, end - pos_);
            lineBreak = QStringView(text + end, breakLength);
            pos_ = scan_ = end + breakLength;
            ++lines_;
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
