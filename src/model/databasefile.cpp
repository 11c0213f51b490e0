#include "model/databasefile.h"

#include "model/ansicodec.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

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

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : p_(bytes.data())
        , end_(bytes.data() + bytes.size())
    {
    }

    bool atEnd() const { return p_ >= end_; }

    // Skips a free tokenset slot written blank (96 zero bytes), which the reader would only turn
    // into the blank record the caller already has.
    bool skipBlankTokenset()
    {
        static const char zeros[DatabaseFile::kFreeTokensetBytes] = {};
        if (end_ - p_ < DatabaseFile::kFreeTokensetBytes || std::memcmp(p_, zeros, sizeof zeros) != 0)
            return false;
        p_ += DatabaseFile::kFreeTokensetBytes;
        return true;
    }

    qsizetype remaining() const { return end_ - p_; }
    bool truncated() const { return truncated_; }

    qint32 number()
    {
        if (end_ - p_ < 4) {
            cut();
            return 0;
        }
        const qint32 v = qFromLittleEndian<qint32>(p_);
        p_ += 4;
        return v;
    }

    QString text(TextSlot slot)
    {
        if (end_ - p_ < 2) {
            cut();
            return QString();
        }
        qsizetype len = qFromLittleEndian<quint16>(p_);
        p_ += 2;
        if (len == 0)
            return QString();
        if (end_ - p_ < len) {
            // Keep what the file still holds of a text cut short.
            len = end_ - p_;
            truncated_ = true;
        }
        const char *bytes = p_;
        p_ += len;
        if (!isAscii(bytes, len))
            return AnsiCodec::decode(QByteArrayView(bytes, len));
        QString &last = last_[slot];
        if (last.size() != len || last != QLatin1StringView(bytes, len))
            last = QString::fromLatin1(bytes, len);
        return last;
    }

private:
    void cut()
    {
        p_ = end_;
        truncated_ = true;
    }

    const char *p_;
    const char *end_;
    bool truncated_ = false;
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
    for (Tokenset &t : l.tokensets) {
        if (!r.skipBlankTokenset())
            readTokenset(r, t);
    }
}

// Writes into a buffer sized ahead, growing it only when a text does not fit.
class Writer {
public:
    Writer(QByteArray &out, qsizetype estimate, QString *problem)
        : out_(out)
        , problem_(problem)
    {
        out_.resize(estimate);
    }

    // Trims the buffer to what was written.
    void finish() { out_.resize(at_); }

    void zeros(qsizetype n)
    {
        reserve(n);
        std::memset(out_.data() + at_, 0, size_t(n));
        at_ += n;
    }

    void number(qint32 v)
    {
        reserve(4);
        qToLittleEndian<qint32>(v, out_.data() + at_);
        at_ += 4;
    }

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
            reserve(2 + n);
            char *dst = out_.data() + at_;
            qToLittleEndian<quint16>(quint16(n), dst);
            dst += 2;
            for (qsizetype i = 0; i < n; ++i)
                dst[i] = char(u[i]);
            at_ += 2 + n;
            return true;
        }
        const QByteArray bytes = AnsiCodec::encode(s);
        if (bytes.size() > DatabaseFile::kMaxTextBytes)
            return tooLong(bytes.size(), field);
        reserve(2 + bytes.size());
        qToLittleEndian<quint16>(quint16(bytes.size()), out_.data() + at_);
        std::memcpy(out_.data() + at_ + 2, bytes.constData(), size_t(bytes.size()));
        at_ += 2 + bytes.size();
        return true;
    }

    // Where the writer is, for the message about a text that is too long.
    const Language *language = nullptr;
    int slot = -1;

private:
    void reserve(qsizetype n)
    {
        if (at_ + n > out_.size())
            out_.resize(std::max(out_.size() * 2, at_ + n));
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

    QByteArray &out_;
    QString *problem_;
    qsizetype at_ = 0;
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
        if (!writeTokenset(w, l.tokensets[k]))
            return false;
    }
    return true;
}

} // namespace

namespace DatabaseFile {

Decoded decode(QByteArrayView bytes)
{
    Decoded d;
    const qint64 size = bytes.size();
    if (size < 4) {
        // An empty file is a fresh database; a few stray bytes are not, but hold nothing to keep.
        d.languages.resize(1);
        if (size > 0) {
            d.damaged = true;
            d.problem = QStringLiteral("the file is only %1 bytes long").arg(size);
        }
        return d;
    }

    Reader r(bytes);
    const qint64 upper = r.number();
    // The most languages that can have begun in the file; a count above it is impossible.
    const qint64 room = size - 4;
    const qint64 cap = std::max<qint64>(1, (room + kMinLanguageBytes - 1) / kMinLanguageBytes);

    if (upper >= 0 && upper + 1 <= cap) {
        d.languages.resize(upper + 1);
        for (Language &l : d.languages)
            readLanguage(r, l);
        if (r.truncated()) {
            d.damaged = true;
            d.problem = QStringLiteral("the file ends before the last of its %1 languages").arg(upper + 1);
        } else if (!r.atEnd()) {
            d.damaged = true;
            d.problem = QStringLiteral("%1 bytes follow the last of its %2 languages").arg(r.remaining()).arg(upper + 1);
        }
        return d;
    }

    // An impossible count: read the languages the file holds.
    d.damaged = true;
    d.problem = upper < 0
        ? QStringLiteral("its upper index is negative (%1)").arg(upper)
        : QStringLiteral("it claims %1 languages, but its %2 bytes can hold at most %3").arg(upper + 1).arg(size).arg(cap);
    d.languages.reserve(cap);
    do {
        d.languages.emplace_back();
        readLanguage(r, d.languages.back());
    } while (!r.atEnd() && d.languages.size() < cap);
    return d;
}

bool encode(const QVector<Language> &languages, QByteArray &out, QString *problem)
{
    out.clear();
    if (languages.isEmpty()) {
        if (problem)
            *problem = QStringLiteral("there is no language to save");
        return false;
    }
    qsizetype estimate = 4;
    for (const Language &l : languages) {
        estimate += kMinLanguageBytes + l.sampletext.size();
        for (const Tokenset &t : l.tokensets)
            estimate += t.tokens.size() + t.tokens2.size() + t.name.size();
    }
    Writer w(out, estimate, problem);
    w.number(qint32(languages.size() - 1));
    for (const Language &l : languages) {
        if (!writeLanguage(w, l)) {
            out.clear();
            return false;
        }
    }
    w.finish();
    return true;
}

} // namespace DatabaseFile
