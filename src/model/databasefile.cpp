#include "model/databasefile.h"

#include "model/ansicodec.h"
#include "model/atomicfile.h"
#include "model/filestamp.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Every text field position keeps the last text it read. Databases repeat the same few values
// ("<none>", "list", "normal") thousands of times; sharing them saves an allocation each.
enum TextSlot {
    LangName, LangWordchars, LangMemberlist, LangSampletext,
    TsName, TsId, TsType, TsFontstyle, TsInheritfrom, TsTmemberlist, TsTokens, TsTokens2, TsRule,
    TsLead, TsTrail, TsValidscope0,
    TextSlotCount = TsValidscope0 + Language::kValidScopes
};

bool isAscii(const char *p, qsizetype n)
{
    unsigned char any = 0;
    for (qsizetype i = 0; i < n; ++i)
        any |= static_cast<unsigned char>(p[i]);
    return any < 0x80;
}

// Reads the file image from memory, or from a device in blocks so that a large file is never in
// memory whole. Every field checks that its bytes are there; a file cut short reads as empty texts
// and zeros from that point on.
class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(bytes.data())
        , end_(bytes.data() + bytes.size())
    {
    }

    // Reads device from its current position; hasher (if any) sees every byte the device gives.
    Reader(QIODevice &device, StampHasher *hasher)
        : device_(&device)
        , hasher_(hasher)
        , buffer_(size_t(kBlock + kMaxField))
    {
        p_ = end_ = buffer_.data();
    }

    // Languages are not read into memory, only walked (checking an image).
    bool walkOnly = false;

    bool atEnd() { return !need(1); }

    // Skips a free tokenset slot written blank (96 zero bytes), which the reader would only turn
    // into the blank record the caller already has.
    bool skipBlankTokenset()
    {
        static const char zeros[DatabaseFile::kFreeTokensetBytes] = {};
        if (!need(DatabaseFile::kFreeTokensetBytes) || std::memcmp(p_, zeros, sizeof zeros) != 0)
            return false;
        p_ += DatabaseFile::kFreeTokensetBytes;
        return true;
    }

    // The bytes left unread, draining the device.
    qint64 remaining()
    {
        qint64 n = end_ - p_;
        p_ = end_;
        while (need(1)) {
            n += end_ - p_;
            p_ = end_;
        }
        return n;
    }
    bool truncated() const { return truncated_; }
    // The first byte of a text that the code page has no character for, or -1.
    int unmappedByte() const { return unmapped_; }

    qint32 number()
    {
        if (!need(4)) {
            cut();
            return 0;
        }
        const qint32 v = qFromLittleEndian<qint32>(p_);
        p_ += 4;
        return v;
    }

    QString text(TextSlot slot)
    {
        if (!need(2)) {
            cut();
            return QString();
        }
        qsizetype len = qFromLittleEndian<quint16>(p_);
        p_ += 2;
        if (len == 0)
            return QString();
        if (!need(len)) {
            // Keep what the file still holds of a text cut short.
            len = end_ - p_;
            truncated_ = true;
        }
        const char *bytes = p_;
        p_ += len;
        if (!isAscii(bytes, len)) {
            if (unmapped_ < 0)
                unmapped_ = AnsiCodec::firstUnmappedByte(QByteArrayView(bytes, len));
            return walkOnly ? QString() : AnsiCodec::decode(QByteArrayView(bytes, len));
        }
        if (walkOnly)
            return QString();
        QString &last = last_[slot];
        if (last.size() != len || last != QLatin1StringView(bytes, len))
            last = QString::fromLatin1(bytes, len);
        return last;
    }

private:
    static constexpr qsizetype kBlock = 256 * 1024;
    static constexpr qsizetype kMaxField = 2 + DatabaseFile::kMaxTextBytes + DatabaseFile::kFreeTokensetBytes;

    // True when n bytes are there to read, refilling the buffer from the device when it has one.
    bool need(qsizetype n)
    {
        if (end_ - p_ >= n)
            return true;
        if (!device_)
            return false;
        const qsizetype kept = end_ - p_;
        std::memmove(buffer_.data(), p_, size_t(kept));
        p_ = buffer_.data();
        end_ = p_ + kept;
        while (end_ - p_ < n) {
            // The buffer holds any field after what is kept, so room never runs out before n.
            char *const at = buffer_.data() + (end_ - buffer_.data());
            const qint64 room = qint64(buffer_.size()) - (at - buffer_.data());
            const qint64 got = device_->read(at, std::min<qint64>(kBlock, room));
            if (got <= 0) {
                device_ = nullptr; // the end, or a read error: what is there is all there is
                return false;
            }
            if (hasher_)
                hasher_->add(QByteArrayView(end_, got));
            end_ += got;
        }
        return true;
    }

    void cut()
    {
        p_ = end_;
        truncated_ = true;
    }

    const char *p_;
    const char *end_;
    QIODevice *device_ = nullptr;
    StampHasher *hasher_ = nullptr;
    std::vector<char> buffer_;
    bool truncated_ = false;
    int unmapped_ = -1;
    QString last_[TextSlotCount];
};

void readTokenset(Reader &r, Tokenset &t)
{
    t.name = r.text(TsName);
    t.id = r.text(TsId);
    t.type = r.text(TsType);
    t.forecolor = r.number();
    t.fontstyle = r.text(TsFontstyle);
    t.inheritfrom = r.text(TsInheritfrom);
    t.backcolor = r.number();
    t.casesensitive = r.number();
    t.normalizecase = r.number();
    t.matchbraces = r.number();
    t.autoindent = r.number();
    t.enabled = r.number();
    t.included = r.number();
    t.hidden = r.number();
    t.singlelinescope = r.number();
    t.chain = r.number();
    t.symmetrical = r.number();
    t.tmemberlist = r.text(TsTmemberlist);
    t.tokens = r.text(TsTokens);
    t.tokens2 = r.text(TsTokens2);
    t.regexp = r.number();
    t.rule = r.text(TsRule);
    t.lead = r.text(TsLead);
    t.trail = r.text(TsTrail);
    for (int i = 0; i < Language::kValidScopes; ++i)
        t.validscope[i] = r.text(TextSlot(TsValidscope0 + i));
}

// Reads into a blank record.
void readLanguage(Reader &r, Language &l)
{
    l.name = r.text(LangName);
    l.casesensitive = r.number();
    l.applycase = r.number();
    l.wordchars = r.text(LangWordchars);
    l.whitespaceasparamblock = r.number();
    l.memberlist = r.text(LangMemberlist);
    l.sampletext = r.text(LangSampletext);
    for (int k = 0; k < Language::kSlots; ++k) {
        if (!r.skipBlankTokenset())
            readTokenset(r, l.tokensets[k]);
    }
}

// Writes the image through a buffer of its own, handing each full piece to the sink.
class Writer {
public:
    Writer(const DatabaseFile::Sink &sink, QString *problem)
        : sink_(sink)
        , problem_(problem)
        , buffer_(size_t(kPiece))
    {
    }

    // Hands the rest to the sink. False when the sink refused a piece, now or before.
    bool finish()
    {
        flush();
        return !refused_;
    }
    bool refused() const { return refused_; }

    void zeros(qsizetype n)
    {
        char *dst = room(n);
        std::memset(dst, 0, size_t(n));
    }

    void number(qint32 v) { qToLittleEndian<qint32>(v, room(4)); }

    // Returns false when the text does not fit its 16-bit length.
    bool text(const QString &s, const char *field)
    {
        const qsizetype n = s.size();
        const char16_t *u = reinterpret_cast<const char16_t *>(s.constData());
        char16_t any = 0;
        for (qsizetype i = 0; i < n; ++i)
            any |= u[i];
        if (any < 0x80) {
            if (n > DatabaseFile::kMaxTextBytes)
                return tooLong(n, field);
            char *dst = room(2 + n);
            qToLittleEndian<quint16>(quint16(n), dst);
            dst += 2;
            for (qsizetype i = 0; i < n; ++i)
                dst[i] = char(u[i]);
            return true;
        }
        const QByteArray bytes = AnsiCodec::encode(s);
        if (bytes.size() > DatabaseFile::kMaxTextBytes)
            return tooLong(bytes.size(), field);
        char *dst = room(2 + bytes.size());
        qToLittleEndian<quint16>(quint16(bytes.size()), dst);
        std::memcpy(dst + 2, bytes.constData(), size_t(bytes.size()));
        return true;
    }

    // Where the writer is, for the message about a text that is too long.
    const Language *language = nullptr;
    int slot = -1;

private:
    static constexpr qsizetype kPiece = 1 << 20; // more than any one field

    // n bytes of the buffer to fill, handing what is there to the sink first when they do not fit.
    char *room(qsizetype n)
    {
        if (at_ + n > qsizetype(buffer_.size()))
            flush();
        char *dst = buffer_.data() + at_;
        at_ += n;
        return dst;
    }

    void flush()
    {
        if (at_ > 0 && !refused_ && !sink_(QByteArrayView(buffer_.data(), at_)))
            refused_ = true;
        at_ = 0;
    }

    bool tooLong(qsizetype n, const char *field)
    {
        if (problem_) {
            QString where = QStringLiteral("language \"%1\"").arg(language ? language->name : QString());
            if (slot >= 0)
                where = QStringLiteral("tokenset \"%1\" (slot %2) of ").arg(language->tokensets[slot].name).arg(slot)
                    + where;
            *problem_ = QStringLiteral("the field %1 of %2 takes %3 bytes in ANSI form; a text can hold at most %4")
                            .arg(QLatin1String(field), where)
                            .arg(n)
                            .arg(DatabaseFile::kMaxTextBytes);
        }
        return false;
    }

    const DatabaseFile::Sink &sink_;
    QString *problem_;
    std::vector<char> buffer_;
    qsizetype at_ = 0;
    bool refused_ = false;
};

bool writeTokenset(Writer &w, const Tokenset &t)
{
    static const Tokenset blank;
    if (t.name.isEmpty() && t == blank) {
        w.zeros(DatabaseFile::kFreeTokensetBytes);
        return true;
    }
    bool ok = w.text(t.name, "name") && w.text(t.id, "id") && w.text(t.type, "type");
    if (!ok)
        return false;
    w.number(t.forecolor);
    if (!w.text(t.fontstyle, "fontstyle") || !w.text(t.inheritfrom, "inheritfrom"))
        return false;
    for (qint32 v : {t.backcolor, t.casesensitive, t.normalizecase, t.matchbraces, t.autoindent, t.enabled,
                     t.included, t.hidden, t.singlelinescope, t.chain, t.symmetrical})
        w.number(v);
    if (!w.text(t.tmemberlist, "tmemberlist") || !w.text(t.tokens, "tokens") || !w.text(t.tokens2, "tokens2"))
        return false;
    w.number(t.regexp);
    if (!w.text(t.rule, "rule") || !w.text(t.lead, "lead") || !w.text(t.trail, "trail"))
        return false;
    for (const QString &v : t.validscope) {
        if (!w.text(v, "validscope"))
            return false;
    }
    return true;
}

bool writeLanguage(Writer &w, const Language &l)
{
    w.language = &l;
    w.slot = -1;
    if (!w.text(l.name, "name"))
        return false;
    w.number(l.casesensitive);
    w.number(l.applycase);
    if (!w.text(l.wordchars, "wordchars"))
        return false;
    w.number(l.whitespaceasparamblock);
    if (!w.text(l.memberlist, "memberlist") || !w.text(l.sampletext, "sampletext"))
        return false;
    for (int k = 0; k < Language::kSlots; ++k) {
        w.slot = k;
        if (l.tokensets.untouched(k))
            w.zeros(DatabaseFile::kFreeTokensetBytes);
        else if (!writeTokenset(w, l.tokensets[k]))
            return false;
    }
    return true;
}

// Reads the languages of an image of size bytes (walking only, when the reader says so).
DatabaseFile::Decoded decodeFrom(Reader &r, qint64 size)
{
    using namespace DatabaseFile;
    Decoded d;
    if (size < 4) {
        // An empty file is a fresh database; a few stray bytes are not, but hold nothing to keep.
        d.languages.resize(1);
        if (size > 0) {
            d.damaged = true;
            d.problem = QStringLiteral("the file is only %1 bytes long").arg(size);
        }
        r.remaining();
        return d;
    }

    const qint64 upper = r.number();
    // The most languages that can have begun in the file; a count above it is impossible.
    const qint64 room = size - 4;
    const qint64 cap = std::max<qint64>(1, (room + kMinLanguageBytes - 1) / kMinLanguageBytes);
    const bool possible = upper >= 0 && upper + 1 <= cap;
    Language scratch;
    auto next = [&]() -> Language & {
        if (r.walkOnly)
            return scratch = Language();
        return d.languages.emplace_back();
    };
    if (possible) {
        if (!r.walkOnly)
            d.languages.reserve(upper + 1);
        for (qint64 i = 0; i <= upper; ++i)
            readLanguage(r, next());
    } else {
        // An impossible count: read the languages the file holds.
        qint64 read = 0;
        do {
            readLanguage(r, next());
        } while (!r.atEnd() && ++read < cap);
    }
    const qint64 extra = r.remaining();
    if (!possible) {
        d.damaged = true;
        d.problem = upper < 0 ? QStringLiteral("its upper index is negative (%1)").arg(upper)
                              : QStringLiteral("it claims %1 languages, but its %2 bytes can hold at most %3")
                                    .arg(upper + 1)
                                    .arg(size)
                                    .arg(cap);
    } else if (r.truncated()) {
        d.damaged = true;
        d.problem = QStringLiteral("the file ends before the last of its %1 languages").arg(upper + 1);
    } else if (extra > 0) {
        d.damaged = true;
        d.problem = QStringLiteral("%1 bytes follow the last of its %2 languages").arg(extra).arg(upper + 1);
    } else if (r.unmappedByte() >= 0) {
        // The text would come back with U+FFFD in place of the byte, and be saved as '?'.
        d.damaged = true;
        d.problem = QStringLiteral("a text holds the byte 0x%1, which the code page %2 has no character for")
                        .arg(r.unmappedByte(), 2, 16, QLatin1Char('0'))
                        .arg(AnsiCodec::codePage());
    }
    if (d.languages.isEmpty())
        d.languages.resize(1);
    return d;
}

} // namespace

namespace DatabaseFile {

Decoded decode(QByteArrayView bytes)
{
    Reader r(bytes);
    return decodeFrom(r, bytes.size());
}

Decoded decode(QIODevice &device, qint64 size, size_t *hash, bool walkOnly)
{
    StampHasher hasher;
    Reader r(device, hash ? &hasher : nullptr);
    r.walkOnly = walkOnly;
    Decoded d = decodeFrom(r, size);
    if (hash)
        *hash = hasher.result();
    if (walkOnly)
        d.languages.clear();
    return d;
}

bool encode(const QVector<Language> &languages, const Sink &sink, QString *problem)
{
    if (languages.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("there is no language to save");
        return false;
    }
    Writer w(sink, problem);
    w.number(qint32(languages.size() - 1));
    for (const Language &l : languages) {
        if (!writeLanguage(w, l) || w.refused())
            return false;
    }
    return w.finish();
}

bool encode(const QVector<Language> &languages, QByteArray &out, QString *problem)
{
    out.clear();
    const bool ok = encode(
        languages,
        [&out](QByteArrayView piece) {
            out.append(piece);
            return true;
        },
        problem);
    if (!ok)
        out.clear();
    return ok;
}

} // namespace DatabaseFile
