#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

#include <QtAlgorithms>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A text file (or standard input) read in blocks and handed out line by line, so that memory
// depends on the longest line and not on the size of the text. Lines end at LF, CR LF or CR.
//
// A file's encoding is decided before the first line, by a pass that only validates: UTF-8 when the
// whole input is valid UTF-8 (a byte order mark at its start is dropped), else the ANSI code page.
// Input that cannot be read twice (a pipe, a terminal) streams: each line is handed out as soon as
// it is complete, read as UTF-8 until a line is not valid UTF-8; that line and the rest are read as
// ANSI text, and the change is told once through the notice. Nothing of it is kept but the line.
class TextSource {
public:
    TextSource();
    ~TextSource();
    TextSource(const TextSource &) = delete;
    TextSource &operator=(const TextSource &) = delete;

    // "-" is standard input. False, with problem(), when it cannot be read.
    bool open(const QString &path);

    // The next line without its line break, and its line break (empty for the last line when the
    // text does not end with one). Both stay valid until the next call. False at the end of the text
    // and when reading fails (problem() is then set).
    bool next(QStringView &line, QStringView &lineBreak)
    {
        // The usual case without a call: a file's line whose break is held, and is no CR at the end of
        // what is held (which may be the first half of a CR LF).
        if (input_ && streamFd_ < 0) {
            const char16_t *text = reinterpret_cast<const char16_t *>(buffer_.constData());
            const qsizetype size = buffer_.size();
            const qsizetype end = findBreak(text, std::max(scan_, pos_), size);
            if (end + 1 < size) {
                take(text, end, text[end] == u'\r' && text[end + 1] == u'\n' ? 2 : 1, line, lineBreak);
                return true;
            }
            scan_ = end;
        }
        return nextFully(line, lineBreak);
    }

    // Streaming input: runs before each read that may wait for more input (to hand on the output
    // made so far), and receives the one line that says the encoding changed.
    void setBeforeWait(std::function<void()> beforeWait) { beforeWait_ = std::move(beforeWait); }
    void setNotice(std::function<void(const QString &)> notice) { notice_ = std::move(notice); }

    bool isUtf8() const { return utf8_; }
    // The line next() gave last holds no broken surrogate pair: UTF-8's converter never makes one
    // (an encoded surrogate is no valid UTF-8), nor does the code page's table (one that would is not
    // used). The converter keeps a sequence cut at a block's end until the next block, and lines are
    // cut only at LF and CR, so no pair is split either.
    bool pairsWhole() const { return utf8_ || useByteTable_; }
    QString problem() const { return problem_; }
    // The file as messages name it: its path, or "(standard input)".
    QString displayName() const { return name_; }
    qint64 lineNumber() const { return lines_; } // of the line next() gave last, from 1

    // A line longer than this many characters is refused: the colouring engine counts in int.
    static constexpr qsizetype kMaxLineLength = qsizetype(1) << 28;

private:
    bool nextFully(QStringView &line, QStringView &lineBreak);
    // Hands out the held text from pos_ up to end, with its line break of breakLength units.
    void take(const char16_t *text, qsizetype end, qsizetype breakLength, QStringView &line, QStringView &lineBreak)
    {
        line = QStringView(text + pos_, end - pos_);
        lineBreak = QStringView(text + end, breakLength);
        pos_ = scan_ = end + breakLength;
        ++lines_;
    }
    // The first LF or CR of text[from..size), or size.
    static qsizetype findBreak(const char16_t *text, qsizetype from, qsizetype size)
    {
#if defined(__SSE2__)
        // Sixteen units at a time: LF and CR are the only units whose low byte is 10 or 13 and high
        // byte 0, so the two halves are packed to bytes (saturated) and compared once.
        const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r');
        for (; from + 16 <= size; from += 16) {
            const __m128i bytes = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text + from)),
                                                   _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + from + 8)));
            const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, lf), _mm_cmpeq_epi8(bytes, cr)));
            if (found != 0)
                return from + qCountTrailingZeroBits(quint32(found));
        }
        if (from + 8 <= size) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + from));
            const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')),
                                                             _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\r'))));
            if (found != 0)
                return from + qCountTrailingZeroBits(quint32(found)) / 2;
            from += 8;
        }
#endif
        while (from < size && text[from] != u'\n' && text[from] != u'\r')
            ++from;
        return from;
    }
    bool validate(QIODevice &input);
    bool readMore();
    bool nextStreamed(QStringView &line, QStringView &lineBreak);
    bool readStreamed();
    void decodeStreamed(QByteArrayView bytes, QByteArrayView lineBreak);
    void fillByteTable();

    QString name_;
    QString problem_;
    QFile file_;
    int streamFd_ = -1; // the descriptor read directly when streaming
    QByteArray pending_; // streaming: bytes read and not yet handed out, from streamPos_
    qsizetype streamPos_ = 0;
    std::function<void()> beforeWait_;
    std::function<void(const QString &)> notice_;
    QIODevice *input_ = nullptr;
    std::unique_ptr<QStringDecoder> decoder_;
    bool utf8_ = true;
    bool atEnd_ = false;
    bool first_ = true;
    QByteArray raw_;
    std::array<char16_t, 256> byteTable_{}; // a file in the code page: each byte's character
    bool useByteTable_ = false;
    bool asciiKept_ = false; // the table maps every ASCII byte to itself
    QString buffer_;
    qsizetype pos_ = 0;  // the next line starts here
    qsizetype scan_ = 0; // no line break before here (from pos_ on)
    qint64 lines_ = 0;
};
