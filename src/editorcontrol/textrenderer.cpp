#include "editorcontrol/textrenderer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <charconv>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr qsizetype kBlock = 64 * 1024;

QByteArray cssColour(qint32 bgr)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    return QByteArray(buf);
}

QByteArray css(const TokensetStyle &s)
{
    QByteArray out;
    if (s.fore >= 0)
        out += "color:" + cssColour(s.fore) + ';';
    if (s.back >= 0)
        out += "background-color:" + cssColour(s.back) + ';';
    if (s.bold)
        out += "font-weight:bold;";
    if (s.italic)
        out += "font-style:italic;";
    if (s.underline || s.hyperlink)
        out += "text-decoration:underline;";
    return out;
}

QByteArray sgrColour(const char *layer, qint32 bgr, bool truecolor)
{
    if (!truecolor)
        return QByteArray(";") + layer + ";5;" + QByteArray::number(TextRenderer::paletteIndex(bgr));
    return QByteArray(";") + layer + ";2;" + QByteArray::number(bgr & 0xFF) + ';' + QByteArray::number((bgr >> 8) & 0xFF)
        + ';' + QByteArray::number((bgr >> 16) & 0xFF);
}

QByteArray sgr(const TokensetStyle &s, const TextRenderer::AnsiStyle &ansi)
{
    QByteArray codes = "\x1b[0";
    if (s.bold)
        codes += ";1";
    if (s.italic)
        codes += ";3";
    if (s.underline || s.hyperlink)
        codes += ";4";
    if (s.fore >= 0)
        codes += sgrColour("38", s.fore, ansi.truecolor);
    if (s.back >= 0 && ansi.background)
        codes += sgrColour("48", s.back, ansi.truecolor);
    return codes + 'm';
}

const QByteArray kReset = "\x1b[0m";

// The two digits of each number below 100, "00" to "99".
constexpr std::array<char, 200> kPairs = [] {
    std::array<char, 200> t{};
    for (int i = 0; i < 100; ++i) {
        t[size_t(2 * i)] = char('0' + i / 10);
        t[size_t(2 * i + 1)] = char('0' + i % 10);
    }
    return t;
}();

// A number that is not negative, in decimal, at w (room for 20 bytes); returns the end. Runs twice
// per span, where printf would be the slow part; most lengths have one or two digits.
Q_ALWAYS_INLINE char *appendNumber(char *w, qint64 value)
{
    if (value < 10) {
        *w = char('0' + value);
        return w + 1;
    }
    if (value < 100) {
        w[0] = char('0' + value / 10);
        w[1] = char('0' + value % 10);
        return w + 2;
    }
    return std::to_chars(w, w + 20, value).ptr;
}

// The value of the last two of 20 decimal digits.
inline unsigned lastTwo(const char *digits)
{
    return unsigned(digits[18] - '0') * 10 + unsigned(digits[19] - '0');
}

enum class Escape { Html, StopAtBreak };

// The characters below 128 that are written as they are.
template <Escape escape>
constexpr std::array<bool, 128> kAsIs = [] {
    std::array<bool, 128> t{};
    for (int c = 0; c < 128; ++c)
        t[size_t(c)] = c != '\r' && (escape == Escape::Html ? c != '&' && c != '<' && c != '>' && c != '"' : c != '\n');
    return t;
}();

// Writes text as UTF-8 at w, which has room for six bytes a unit (the longest form of one unit:
// "&quot;"), and returns the end. Escape::Html escapes markup characters and turns CR LF and a lone
// CR into LF; Escape::StopAtBreak writes the text as it is up to the first CR or LF and says where
// it stopped in `*stop`. This runs for every character of the output.
template <Escape escape>
char *appendUtf8(char *w, QStringView text, qsizetype *stop = nullptr)
{
    constexpr bool html = escape == Escape::Html;
    const qsizetype n = text.size();
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
#if defined(__SSE2__)
        // Eight units at a time while they are written as they are: ASCII, and no line break. (Not for
        // HTML: markup escapes too many characters for it to pay.)
        if (!html && i + 8 <= n) {
            const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
            const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16(short(0xFF80))), _mm_setzero_si128());
            const __m128i special = _mm_or_si128(_mm_cmpeq_epi16(u, _mm_set1_epi16('\r')), _mm_cmpeq_epi16(u, _mm_set1_epi16('\n')));
            const unsigned asIs = unsigned(_mm_movemask_epi8(_mm_andnot_si128(special, ascii)));
            // All eight bytes are stored (the room holds six a unit); those before the first other unit count.
            _mm_storel_epi64(reinterpret_cast<__m128i *>(w), _mm_packus_epi16(u, u));
            const int good = std::countr_one(asIs) / 2;
            w += good;
            i += good;
            if (good == 8) {
                --i;
                continue;
            }
        }
#endif
        const char16_t c = s[i];
        if (c < 0x80 && kAsIs<escape>[c]) { // most characters: one table look-up
            *w++ = char(c);
            continue;
        }
        if (c < 0x80) {
            if constexpr (escape == Escape::StopAtBreak) {
                if (c == u'\n' || c == u'\r') {
                    *stop = i;
                    return w;
                }
            }
            if constexpr (html) {
                const char *entity = nullptr;
                switch (c) {
                case '&': entity = "&amp;"; break;
                case '<': entity = "&lt;"; break;
                case '>': entity = "&gt;"; break;
                case '"': entity = "&quot;"; break;
                case '\r':
                    if (i + 1 >= n || s[i + 1] != u'\n')
                        *w++ = '\n';
                    continue;
                default: break;
                }
                if (entity) {
                    while (*entity)
                        *w++ = *entity++;
                    continue;
                }
            }
            *w++ = char(c);
        } else if (c < 0x800) {
            *w++ = char(0xC0 | (c >> 6));
            *w++ = char(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            const char32_t u = QChar::surrogateToUcs4(c, s[++i]);
            *w++ = char(0xF0 | (u >> 18));
            *w++ = char(0x80 | ((u >> 12) & 0x3F));
            *w++ = char(0x80 | ((u >> 6) & 0x3F));
            *w++ = char(0x80 | (u & 0x3F));
        } else {
            const char16_t v = QChar::isSurrogate(c) ? char16_t(0xFFFD) : c;
            *w++ = char(0xE0 | (v >> 12));
            *w++ = char(0x80 | ((v >> 6) & 0x3F));
            *w++ = char(0x80 | (v & 0x3F));
        }
    }
    if (stop)
        *stop = n;
    return w;
}

// Copies units as bytes to out while they are ASCII other than CR and LF, sixteen or eight at a time
// (the last group of a text overlapping the one before); returns how many were.
qsizetype packAscii(const char16_t *s, qsizetype n, char *out)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), del = _mm_set1_epi8(0x7F);
    // Packed with signed saturation, units from 0x8000 up become 0x80 and those from 0x80 up to
    // there 0x7F, which DEL shares: DEL goes the long way with them. Returns the units that are not ASCII.
    auto packed = [&](__m128i bytes) {
        const __m128i special = _mm_or_si128(_mm_cmpeq_epi8(bytes, del), _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        return unsigned(_mm_movemask_epi8(bytes)) | unsigned(_mm_movemask_epi8(special));
    };
    auto sixteen = [&](qsizetype at) {
        const __m128i bytes = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at + 8)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + at), bytes);
        return packed(bytes);
    };
    auto eight = [&](qsizetype at) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + at));
        const __m128i bytes = _mm_packs_epi16(units, units);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + at), bytes);
        return packed(bytes) & 0xFF;
    };
    if (n >= 16) {
        qsizetype i = 0;
        for (; i + 16 <= n; i += 16)
            if (const unsigned bad = sixteen(i))
                return i + std::countr_zero(bad);
        if (i < n)
            if (const unsigned bad = sixteen(n - 16)) // those before i are known to be ASCII
                return n - 16 + std::countr_zero(bad);
        return n;
    }
    if (n >= 8) {
        if (const unsigned bad = eight(0))
            return std::countr_zero(bad);
        if (const unsigned bad = eight(n - 8))
            return n - 8 + std::countr_zero(bad);
        return n;
    }
#endif
    qsizetype i = 0;
    for (; i < n; ++i) {
        const char16_t c = s[i];
        if (c >= 0x80 || c == u'\r' || c == u'\n')
            break;
        out[i] = char(c);
    }
    return i;
}

// Whether [at, at + length) lies within [0, size), for a length that is not negative: one comparison
// (a negative `at` is 2^31 or more as unsigned).
inline bool within(int at, int length, int size)
{
    return quint64(quint32(at)) + quint32(length) <= quint64(size);
}

// Writes `length` bytes of ASCII text from `in`, markup characters escaped, at w (room for six bytes
// a character and 16 more); `in` may be read 16 bytes past its end.
inline char *appendHtmlAscii(char *w, const char *in, qsizetype length)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixteen at a time while none of them is escaped (most pieces are that short); from the first
    // that is, a character at a time (a loop that went on sixteen at a time cost more in all).
    for (;;) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        const __m128i markup = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('<'))),
                                            _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"'))));
        const qsizetype rest = length - i;
        if (unsigned(_mm_movemask_epi8(markup)) & (rest >= 16 ? 0xFFFFu : (1u << rest) - 1))
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(w + i), bytes);
        if (rest <= 16)
            return w + length;
        i += 16;
    }
    w += i;
#endif
    for (; i < length; ++i) {
        switch (in[i]) {
        case '&': std::memcpy(w, "&amp;", 5); w += 5; break;
        case '<': std::memcpy(w, "&lt;", 4); w += 4; break;
        case '>': std::memcpy(w, "&gt;", 4); w += 4; break;
        case '"': std::memcpy(w, "&quot;", 6); w += 6; break;
        default: *w++ = in[i]; break;
        }
    }
    return w;
}

} // namespace

int TextRenderer::paletteIndex(qint32 bgr)
{
    const int rgb[3] = {bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF};
    static constexpr int kLevels[6] = {0, 95, 135, 175, 215, 255};
    int cube[3];
    int cubeDistance = 0;
    for (int c = 0; c < 3; ++c) {
        cube[c] = 0;
        for (int i = 1; i < 6; ++i) {
            if (std::abs(kLevels[i] - rgb[c]) < std::abs(kLevels[cube[c]] - rgb[c]))
                cube[c] = i;
        }
        cubeDistance += (kLevels[cube[c]] - rgb[c]) * (kLevels[cube[c]] - rgb[c]);
    }
    // The grey ramp 232..255 runs from 8 to 238 in steps of 10.
    const int grey = std::clamp(((rgb[0] + rgb[1] + rgb[2]) / 3 - 8 + 5) / 10, 0, 23);
    const int level = 8 + 10 * grey;
    int greyDistance = 0;
    for (int c = 0; c < 3; ++c)
        greyDistance += (level - rgb[c]) * (level - rgb[c]);
    return greyDistance < cubeDistance ? 232 + grey : 16 + 36 * cube[0] + 6 * cube[1] + cube[2];
}

TextRenderer::TextRenderer(const CompiledLanguage &language, Format format, Sink sink, const QString &title,
                           AnsiStyle ansi)
    : language_(language), format_(format), sink_(std::move(sink))
{
    buffer_.resize(kBlock + 4096);
    const int count = language.tokensetCount();
    switch (format_) {
    case Format::Html: {
        // One CSS class per tokenset whose style differs from the page's.
        put("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>");
        appendHtml(title);
        put("</title>\n<style>\npre { " + css(language.defaultStyle()) + "}\n");
        open_.resize(count);
        for (int t = 0; t < count; ++t) {
            const QByteArray rule = css(language.style(t));
            if (rule.isEmpty() || t == language.textTokenset())
                continue;
            put(".t" + QByteArray::number(t) + " { " + rule + "}\n");
            open_[t] = "<span class=\"t" + QByteArray::number(t) + "\">";
            Q_ASSERT(open_[t].size() <= kShortName); // writeRuns() copies each at that size
        }
        put("</style>\n</head>\n<body>\n<pre>");
        padOpen();
        break;
    }
    case Format::Ansi:
        open_.resize(count + 1);
        open_[0] = sgr(language.defaultStyle(), ansi);
        for (int t = 0; t < count; ++t)
            open_[t + 1] = sgr(language.style(t), ansi);
        current_ = -1;
        padOpen();
        break;
    case Format::Spans: {
        QStringList names;
        for (int t = 0; t < count; ++t)
            names << language.tokensetName(t);
        setSpanNames(names);
        break;
    }
    }
}

TextRenderer::~TextRenderer() = default;

void TextRenderer::setSpanNames(const QStringList &names)
{
    if (format_ != Format::Spans)
        return;
    open_.clear();
    for (const QString &name : names)
        open_.append('\t' + name.toUtf8() + '\n');
    padOpen();
}

void TextRenderer::padOpen()
{
    shortOpen_.assign(size_t(open_.size()) * kShortName, '\0');
    openSize_.resize(size_t(open_.size()));
    resets_.resize(size_t(open_.size()));
    for (qsizetype t = 0; t < open_.size(); ++t) {
        openSize_[size_t(t)] = open_[t].size();
        resets_[size_t(t)] = open_[t] == kReset;
    }
    for (qsizetype t = 0; t < open_.size(); ++t)
        if (open_[t].size() <= kShortName)
            std::copy(open_[t].begin(), open_[t].end(), shortOpen_.begin() + t * kShortName);
}

inline char *TextRenderer::appendOpen(char *w, qsizetype index) const
{
    const qsizetype size = openSize_[size_t(index)];
    if (size > kShortName) {
        const QByteArray &bytes = open_[index];
        return std::copy(bytes.begin(), bytes.end(), w);
    }
    std::memcpy(w, shortOpen_.data() + size_t(index) * kShortName, kShortName); // a fixed-size copy
    return w + size;
}

void TextRenderer::grow(qsizetype bytes)
{
    buffer_.resize(size_t(std::max(2 * qsizetype(buffer_.size()), used_ + bytes)));
}

void TextRenderer::put(QByteArrayView bytes)
{
    std::copy(bytes.begin(), bytes.end(), room(bytes.size()));
    used_ += bytes.size();
}

void TextRenderer::appendHtml(QStringView text)
{
    used_ = appendUtf8<Escape::Html>(room(text.size() * 6), text) - buffer_.data();
}

void TextRenderer::flush()
{
    releaseBreak(); // Spans: the run before it may end with it
    if (!failed_ && used_ > 0 && !sink_(QByteArrayView(buffer_.data(), used_)))
        failed_ = true;
    used_ = 0;
}

// The spans' starts only grow, by a few characters at a time: the decimal form of the last one is
// kept and the difference added to its last two digits (from a table), carrying into the others.
char *TextRenderer::appendStart(char *w)
{
    const qint64 add = spanStart_ - startValue_;
    if (add < 0)
        return appendNumber(w, spanStart_);
    if (add >= 100) {
        // Written anew, right-aligned.
        char number[kStartDigits];
        const int size = int(std::to_chars(number, number + kStartDigits, spanStart_).ptr - number);
        std::memset(startDigits_, '0', kStartDigits);
        startFirst_ = kStartDigits - size;
        std::memcpy(startDigits_ + startFirst_, number, size_t(size));
    } else {
        unsigned last = lastTwo(startDigits_) + unsigned(add);
        if (last >= 100) {
            last -= 100;
            carryStart(startDigits_);
        }
        std::memcpy(startDigits_ + kStartDigits - 2, kPairs.data() + 2 * last, 2);
        if (last >= 10 && startFirst_ > kStartDigits - 2)
            startFirst_ = kStartDigits - 2;
    }
    startValue_ = spanStart_;
    std::memcpy(w, startDigits_ + startFirst_, kStartDigits); // a fixed-size copy (the room holds it)
    return w + (kStartDigits - startFirst_);
}

// Adds one to the hundreds of the start's digits.
void TextRenderer::carryStart(char *digits)
{
    int i = kStartDigits - 3;
    for (; digits[i] == '9'; --i)
        digits[i] = '0';
    ++digits[i];
    startFirst_ = std::min(startFirst_, i);
}

void TextRenderer::addSpan(qint64 length, int tokenset)
{
    if (tokenset != spanTokenset_ || spanLength_ == 0) {
        flushSpan();
        spanStart_ = offset_;
        spanTokenset_ = tokenset;
    }
    spanLength_ += length;
    offset_ += length;
}

void TextRenderer::releaseBreak()
{
    if (const qint64 held = heldBreak_; held > 0) {
        heldBreak_ = 0;
        addSpan(held, heldBreakTokenset_);
    }
}

void TextRenderer::flushSpan()
{
    if (spanLength_ > 0 && spanTokenset_ >= 0 && spanTokenset_ < open_.size()) {
        const qsizetype nameSize = openSize_[size_t(spanTokenset_)];
        const qsizetype need = 2 * kStartDigits + 8 + std::max(nameSize, kShortName);
        char *w = used_ + need <= qsizetype(buffer_.size()) ? buffer_.data() + used_ : room(need);
        w = appendStart(w);
        *w++ = '\t';
        w = appendNumber(w, spanLength_);
        if (nameSize > kShortName) {
            const QByteArray &name = open_.at(spanTokenset_);
            w = std::copy(name.begin(), name.end(), w);
        } else {
            std::memcpy(w, shortOpen_.data() + size_t(spanTokenset_) * kShortName, kShortName); // a fixed-size copy
            w += nameSize;
        }
        used_ = w - buffer_.data();
    }
    spanLength_ = 0;
}

void TextRenderer::write(QStringView piece, int tokenset)
{
    if (piece.isEmpty() || finished_)
        return;
    switch (format_) {
    case Format::Html:
        writeHtml(piece, tokenset);
        break;
    case Format::Ansi: {
        // Each line's text in the tokenset's escape; a reset before every line break.
        const int code = tokenset >= 0 && tokenset < language_.tokensetCount() ? tokenset + 1 : 0;
        for (qsizetype i = 0; i < piece.size();) {
            const char16_t c = piece[i].unicode();
            if (c == u'\n' || c == u'\r') {
                if (current_ != -1 && open_.at(current_) != kReset)
                    put(kReset);
                current_ = -1;
                *room(1) = char(c);
                ++used_;
                ++i;
                continue;
            }
            if (current_ != code) {
                used_ = appendOpen(room(kShortName + openSize_[size_t(code)]), code) - buffer_.data();
                current_ = code;
            }
            const QStringView rest = piece.mid(i);
            qsizetype stop = 0;
            used_ = appendUtf8<Escape::StopAtBreak>(room(rest.size() * 6), rest, &stop) - buffer_.data();
            i += stop;
        }
        break;
    }
    case Format::Spans:
        releaseBreak();
        addSpan(piece.size(), tokenset);
        break;
    }
    if (used_ >= kBlock)
        flush();
}

void TextRenderer::writeBreakFully(QStringView lineBreak, int tokenset)
{
    const qsizetype n = lineBreak.size();
    if (n == 0 || n > 2 || finished_) {
        write(lineBreak, tokenset);
        return;
    }
    const char16_t first = lineBreak[0].unicode(), second = n == 2 ? lineBreak[1].unicode() : u'\n';
    if (format_ == Format::Html) {
        // LF, CR LF and CR all become LF.
        if (n == 1 ? first != u'\n' && first != u'\r' : first != u'\r' || second != u'\n') {
            write(lineBreak, tokenset);
            return;
        }
        if (tokenset != current_)
            switchSpan(tokenset);
        *room(1) = '\n';
        ++used_;
    } else if (format_ == Format::Spans) {
        // Held for the next line's runs, whose loop writes spans more cheaply.
        if (heldBreak_ > 0 && tokenset != heldBreakTokenset_) {
            releaseBreak();
            if (used_ >= kBlock)
                flush();
        }
        heldBreakTokenset_ = tokenset;
        heldBreak_ += n;
        return;
    } else {
        if ((first != u'\n' && first != u'\r') || (second != u'\n' && second != u'\r')) {
            write(lineBreak, tokenset);
            return;
        }
        // The escape in force is reset before the break, which is written as it is.
        char *w = room(kReset.size() + 2);
        if (current_ != -1 && !resets_[size_t(current_)]) {
            std::memcpy(w, "\x1b[0m", 4);
            w += 4;
        }
        current_ = -1;
        *w++ = char(first);
        if (n == 2)
            *w++ = char(second);
        used_ = w - buffer_.data();
    }
    if (used_ >= kBlock)
        flush();
}

void TextRenderer::writeHtml(QStringView piece, int tokenset)
{
    if (tokenset != current_)
        switchSpan(tokenset);
    appendHtml(piece);
}

void TextRenderer::switchSpan(int tokenset)
{
    const bool spanOpen = current_ >= 0 && current_ < open_.size() && openSize_[size_t(current_)] > 0;
    const bool opens = tokenset >= 0 && tokenset < open_.size();
    char *w = room(8 + kShortName + (opens ? openSize_[size_t(tokenset)] : 0));
    if (spanOpen) {
        std::memcpy(w, "</span>", 7);
        w += 7;
    }
    if (opens)
        w = appendOpen(w, tokenset);
    used_ = w - buffer_.data();
    current_ = tokenset;
}

int TextRenderer::pack(QStringView line, const StyleRun *runs, qsizetype count, int &from)
{
    from = count > 0 ? runs[0].start : 0;
    const qsizetype to = count > 0 ? std::min<qsizetype>(qsizetype(runs[count - 1].start) + runs[count - 1].length, line.size()) : 0;
    if (from < 0 || to <= from)
        return from;
    if (packed_.empty())
        packed_.resize(size_t(kPacked + 16));
    return from + int(packAscii(line.utf16() + from, std::min(to - from, kPacked), packed_.data()));
}

void TextRenderer::writeRuns(QStringView line, const StyleRun *runs, qsizetype count)
{
    if (finished_ || format_ == Format::Spans) {
        writeSpanRuns(line, runs, count);
        return;
    }
    if (format_ == Format::Html)
        writeHtmlRuns(line, runs, count);
    else
        writeAnsiRuns(line, runs, count);
}

// Each form's loop in a function of its own, so that a change to one leaves the others' code as it is.
void TextRenderer::writeHtmlRuns(QStringView line, const StyleRun *runs, qsizetype count)
{
    {
        // As writeHtml() does, with the output place and the open span in locals (a write through a
        // char pointer may change any member, which would have them all read again). A short piece
        // below the block's end fits the room after it; a longer one goes the general way.
        constexpr qsizetype kShortPiece = (4096 - 8 - kShortName - 16) / 6;
        char *w = buffer_.data() + used_;
        char *block = buffer_.data() + kBlock; // past it, the block is handed over
        int current = current_;
        const qsizetype tags = open_.size();
        const qsizetype *const sizes = openSize_.data();
        const char *const shortTags = shortOpen_.data();
        int from = 0;
        const int asIs = pack(line, runs, count, from) - from; // runs up to here are copied from packed
        const char *const packed = packed_.data();
        for (const StyleRun *r = runs; r != runs + count; ++r) {
            const int length = r->length;
            if (length <= 0)
                continue;
            const int t = r->tokenset;
            const bool opens = unsigned(t) < unsigned(tags);
            if (length > kShortPiece) [[unlikely]] { // (every tag is short: see the constructor)
                used_ = w - buffer_.data();
                current_ = current;
                writeHtml(QStringView(line.utf16() + r->start, length), t); // runs lie within their line
                if (used_ >= kBlock)
                    flush();
                w = buffer_.data() + used_;
                block = buffer_.data() + kBlock; // the buffer may have grown
                current = current_;
                continue;
            }
            if (t != current) {
                if (current >= 0 && current < tags && sizes[current] > 0) {
                    std::memcpy(w, "</span>", 7);
                    w += 7;
                }
                if (opens) {
                    std::memcpy(w, shortTags + size_t(t) * kShortName, kShortName); // a fixed-size copy
                    w += sizes[t];
                }
                current = t;
            }
            if (const int at = r->start - from; within(at, length, asIs))
                w = appendHtmlAscii(w, packed + at, length);
            else
                w = appendUtf8<Escape::Html>(w, QStringView(line.utf16() + r->start, length));
            if (w >= block) {
                used_ = w - buffer_.data();
                flush();
                w = buffer_.data() + used_;
            }
        }
        used_ = w - buffer_.data();
        current_ = current;
    }
}

void TextRenderer::writeAnsiRuns(QStringView line, const StyleRun *runs, qsizetype count)
{
    {
        // As write() does, one run after another, with the output place and the escape in force in
        // locals, as for HTML above. A piece with a line break, a long one or a long escape goes the
        // general way.
        constexpr qsizetype kShortPiece = (4096 - kShortName) / 6;
        const int tokensets = language_.tokensetCount();
        char *w = buffer_.data() + used_;
        char *block = buffer_.data() + kBlock; // past it, the block is handed over
        int current = current_;
        const qsizetype *const sizes = openSize_.data();
        const char *const shortCodes = shortOpen_.data();
        int from = 0;
        const int asIs = pack(line, runs, count, from) - from; // runs up to here are copied from packed
        const char *const packed = packed_.data();
        for (const StyleRun *r = runs; r != runs + count; ++r) {
            const int length = r->length;
            if (length <= 0)
                continue;
            const int code = unsigned(r->tokenset) < unsigned(tokensets) ? r->tokenset + 1 : 0;
            const int at = r->start - from;
            if (at >= 0 && at <= asIs - length && length <= kShortPiece && (current == code || sizes[code] <= kShortName)) [[likely]] {
                if (current != code) {
                    std::memcpy(w, shortCodes + size_t(code) * kShortName, kShortName); // a fixed-size copy
                    w += sizes[code];
                    current = code;
                }
                // Sixteen bytes at a time (the room and packed_ hold the bytes past the end).
                const char *in = packed + at;
                int i = 0;
                do {
                    std::memcpy(w + i, in + i, 16);
                    i += 16;
                } while (i < length);
                w += length;
                if (w >= block) {
                    used_ = w - buffer_.data();
                    flush();
                    w = buffer_.data() + used_;
                }
                continue;
            }
            const QStringView piece(line.utf16() + r->start, length); // runs lie within their line
            qsizetype stop = 0; // what is written of the piece
            if (length <= kShortPiece && (current == code || sizes[code] <= kShortName)) {
                if (current != code) {
                    std::memcpy(w, shortCodes + size_t(code) * kShortName, kShortName); // a fixed-size copy
                    w += sizes[code];
                    current = code;
                }
                w = appendUtf8<Escape::StopAtBreak>(w, piece, &stop);
                if (stop == piece.size()) {
                    if (w >= block) {
                        used_ = w - buffer_.data();
                        flush();
                        w = buffer_.data() + used_;
                    }
                    continue;
                }
            }
            used_ = w - buffer_.data();
            current_ = current;
            write(piece.sliced(stop), r->tokenset); // from a line break on, or all of a long piece
            w = buffer_.data() + used_;
            block = buffer_.data() + kBlock; // the buffer may have grown
            current = current_;
        }
        used_ = w - buffer_.data();
        current_ = current;
    }
}

void TextRenderer::writeSpanRuns(QStringView line, const StyleRun *runs, qsizetype count)
{
    if (format_ != Format::Spans || finished_) {
        for (const StyleRun *r = runs; r != runs + count; ++r)
            write(QStringView(line.utf16() + r->start, r->length), r->tokenset); // runs lie within their line
        return;
    }
    // As write() does, with the span and the output place in locals: a write through a char pointer
    // may change any member, which would have them all read again. A span whose start changes only in
    // its last two digits (and a carry) is written here; the others by flushSpan().
    char *const digits = startDigits_; // read where they are: a copy costs more than it saves
    qint64 offset = offset_, start = spanStart_, length = spanLength_, value = startValue_;
    int tokenset = spanTokenset_;
    const qsizetype names = open_.size();
    const qsizetype *const sizes = openSize_.data();
    const char *const shortNames = shortOpen_.data();
    char *w = buffer_.data() + used_;
    char *block = buffer_.data() + kBlock; // past it, the block is handed over
    // Each run, after the line break held back by writeBreak().
    auto take = [&](int runTokenset, qint64 runLength) __attribute__((always_inline)) {
        if (runTokenset != tokenset || length == 0) {
            if (length > 0 && tokenset >= 0 && tokenset < names) {
                const qint64 add = start - value;
                if (quint64(add) < 100 && value >= 10 && sizes[tokenset] <= kShortName && w < block) {
                    unsigned last = lastTwo(digits) + unsigned(add);
                    if (last >= 100) {
                        last -= 100;
                        carryStart(digits);
                    }
                    std::memcpy(digits + kStartDigits - 2, kPairs.data() + 2 * last, 2);
                    value = start;
                    std::memcpy(w, digits + startFirst_, kStartDigits); // a fixed-size copy
                    w += kStartDigits - startFirst_;
                    *w++ = '\t';
                    w = appendNumber(w, length);
                    std::memcpy(w, shortNames + size_t(tokenset) * kShortName, kShortName);
                    w += sizes[tokenset];
                } else {
                    startValue_ = value;
                    spanStart_ = start;
                    spanLength_ = length;
                    spanTokenset_ = tokenset;
                    used_ = w - buffer_.data();
                    flushSpan();
                    if (used_ >= kBlock)
                        flush();
                    value = startValue_;
                    w = buffer_.data() + used_;
                    block = buffer_.data() + kBlock; // the buffer may have grown
                }
            }
            start = offset;
            tokenset = runTokenset;
            length = 0;
        }
        length += runLength;
        offset += runLength;
    };
    if (const qint64 held = heldBreak_; held > 0) {
        heldBreak_ = 0;
        take(heldBreakTokenset_, held);
    }
    for (const StyleRun *r = runs; r != runs + count; ++r)
        if (r->length > 0)
            take(r->tokenset, r->length);
    startValue_ = value;
    offset_ = offset;
    spanStart_ = start;
    spanLength_ = length;
    spanTokenset_ = tokenset;
    used_ = w - buffer_.data();
    if (used_ >= kBlock)
        flush();
}

bool TextRenderer::finish()
{
    if (finished_)
        return !failed_;
    finished_ = true;
    switch (format_) {
    case Format::Html:
        if (current_ >= 0 && current_ < open_.size() && !open_[current_].isEmpty())
            put("</span>");
        put("</pre>\n</body>\n</html>\n");
        break;
    case Format::Ansi:
        if (current_ != -1 && open_[current_] != kReset)
            put(kReset);
        break;
    case Format::Spans:
        releaseBreak();
        flushSpan();
        break;
    }
    flush();
    return !failed_;
}

QByteArray TextRenderer::render(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
                                Format format, const QString &title, AnsiStyle ansi)
{
    QByteArray all;
    TextRenderer renderer(language, format, [&all](QByteArrayView bytes) {
        all.append(bytes);
        return true;
    }, title, ansi);
    qsizetype done = 0;
    for (const StyleRun &r : runs) {
        if (r.start < done || r.length < 0 || r.start + r.length > text.size())
            continue;
        renderer.write(text.mid(done, r.start - done), -1);
        renderer.write(text.mid(r.start, r.length), r.tokenset);
        done = r.start + r.length;
    }
    renderer.write(text.mid(done), -1);
    renderer.finish();
    return all;
}
