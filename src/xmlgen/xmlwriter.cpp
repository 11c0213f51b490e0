#include "xmlgen/xmlwriter.h"

#include "model/ansicodec.h"
#include "model/database.h"
#include "model/xmlchars.h"
#include "model/trace.h"
#include "xmlgen/outputbatch.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/references.h"
#include "xmlgen/splittokens.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmltext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace XmlText;

const QString XmlWriter::kWorkingFile = QStringLiteral("varlex.lng");
const QString XmlWriter::kNoErrors = QStringLiteral("No validscope/inheritfrom error found!\r\n");

namespace {

const QString kNone = QStringLiteral("<none>");

// A valid-scope element without its blanks, as a view: checked for every tokenset of every run.
QStringView withoutBlanks(QStringView text)
{
    while (!text.isEmpty() && text.front() == u' ')
        text = text.mid(1);
    while (!text.isEmpty() && text.back() == u' ')
        text.chop(1);
    return text;
}

// A valid-scope element that names a tokenset rather than none or the outermost level.
bool namesTokenset(QStringView scope)
{
    const QStringView v = withoutBlanks(scope);
    return v != u"<none>" && v != u"NULL";
}

void appendAttribute(QString &out, QStringView sep, QStringView name, QStringView value)
{
    out += sep;
    out += name;
    out += u"=\"";
    appendEscapedAttribute(out, value);
    out += u'"';
}

} // namespace

XmlWriter::XmlWriter(const Database &database, WriterHost &host)
    : db_(database), host_(host)
{
}

void XmlWriter::clearCache()
{
    cache_.fill(CacheEntry());
}

qint64 XmlWriter::tickCount()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

QString XmlWriter::timingLine(qint64 startTick, qint64 endTick, const QString &suffix)
{
    return QLocale().toString(double(endTick - startTick) / 1000.0, 'f', 3) + suffix;
}

// Copies ASCII text into bytes; false (bytes unspecified) at the first wider character.
static bool copyAscii(const char16_t *from, qsizetype n, char *to)
{
    qsizetype i = 0;
#if defined(__SSE2__)
    const __m128i wide = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + i + 8));
        const __m128i high = _mm_and_si128(_mm_or_si128(a, b), wide);
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(high, zero)) != 0xFFFF)
            return false;
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), _mm_packus_epi16(a, b));
    }
#endif
    for (; i < n; ++i) {
        if (from[i] >= 0x80)
            return false;
        to[i] = char(from[i]);
    }
    return true;
}

void XmlWriter::encodeFile(const QString &xml, QByteArray &bytes)
{
    // Generated text is nearly always plain ASCII, which any ANSI code page holds as it is.
    const qsizetype n = xml.size();
    bytes.resize(n + 2);
    if (!copyAscii(reinterpret_cast<const char16_t *>(xml.constData()), n, bytes.data())) {
        bytes = AnsiCodec::encode(xml) + "\r\n";
        return;
    }
    bytes.data()[n] = '\r';
    bytes.data()[n + 1] = '\n';
}

QByteArray XmlWriter::fileBytes(const QString &xml)
{
    QByteArray bytes;
    encodeFile(xml, bytes);
    return bytes;
}

void XmlWriter::report(const QString &line)
{
    if (validity_.startsWith(u"No v"))
        validity_.clear();
    validity_ += line;
    validity_ += kCrLf;
    redFlag_ = kRed;
}

void XmlWriter::appendMemberlist(QString &out, QStringView sep, const QString &value, bool exists, bool hide)
{
    if (exists)
        appendAttribute(out, sep, u"memberlist", value);
    else if (!hide)
        appendAttribute(out, sep, u"memberlist", u"");
}

XmlWriter::Resolved XmlWriter::resolve(const Tokenset &ts) const
{
    Resolved r;
    r.memberlist = ts.tmemberlist != kNone && MemberlistExists(host_.memberlists(), ts.tmemberlist);
    r.inheritfrom = ts.inheritfrom != kNone && ts.inheritfrom != ts.name && included_.contains(ts.inheritfrom);
    for (int j = 0; j < 10; ++j) {
        const QString &scope = ts.validscope[size_t(j)];
        if (namesTokenset(scope) && included_.contains(scope))
            r.scopes |= quint16(1u << j);
    }
    return r;
}

// The inheritance chain from slot back to itself ("A -> B -> A"), or an empty string when the chain
// starting there ends. Colours are inherited along it, so a cycle is a broken reference, although
// each of its links names a tokenset that exists.
QString XmlWriter::inheritCycle(const Language &lang, int slot) const
{
    int at = slot;
    for (int steps = 0; steps < Language::kSlots; ++steps) {
        const Tokenset &ts = lang.tokensets[size_t(at)];
        if (ts.inheritfrom == kNone || ts.inheritfrom == ts.name)
            return QString();
        at = included_.value(ts.inheritfrom, -1);
        if (at < 0)
            return QString();
        if (at == slot) { // a cycle: walk it once more, naming each link
            QStringList chain{lang.tokensets[size_t(slot)].name};
            do {
                at = included_.value(lang.tokensets[size_t(at)].inheritfrom);
                chain += lang.tokensets[size_t(at)].name;
            } while (at != slot);
            return chain.join(QStringLiteral(" -> "));
        }
    }
    return QString();
}

// Every problem of one tokenset in the order of its attributes: characters a file cannot hold,
// member list, inheritance, valid scopes. Rebuilt and cached tokensets are reported alike, so the
// validity message always describes the whole language.
void XmlWriter::reportTokenset(const Language &lang, int slot, const CacheEntry &entry)
{
    const Tokenset &ts = lang.tokensets[size_t(slot)];
    auto line = [&](const QString &problem) { return lang.name + QStringLiteral(" : ") + ts.name + QStringLiteral(" : ") + problem; };
    for (const QString &field : entry.unwritable) {
        unwritable_ += line(field);
        report(unwritable_.last());
    }
    if (ts.tmemberlist != kNone && !entry.resolved.memberlist)
        report(line(QStringLiteral("Memberlist:  ") + ts.tmemberlist));
    if (ts.inheritfrom != kNone && !entry.resolved.inheritfrom)
        report(line(QStringLiteral("Inherit:  ") + ts.inheritfrom));
    else if (const QString cycle = ts.inheritfrom != kNone ? inheritCycle(lang, slot) : QString(); !cycle.isEmpty())
        report(line(QStringLiteral("Inherit cycle:  ") + cycle));
    for (int j = 0; j < 10; ++j) {
        const QString &scope = ts.validscope[size_t(j)];
        if (namesTokenset(scope) && !(entry.resolved.scopes & (1u << j)))
            report(line(QStringLiteral(" Validscope") + QString::number(j) + QStringLiteral(" : ") + scope));
    }
}

// The <tokenset> element of one slot.
QString XmlWriter::buildTokenset(const Language &lang, int slot, bool hide, QStringView sep, const Resolved &resolved)
{
    const Tokenset &ts = lang.tokensets[size_t(slot)];
    QString t;
    t.reserve(512 + ts.tokens.size() * 2 + ts.tokens2.size() * 2);
    t += u"<tokenset";
    appendAttribute(t, sep, u"name", ts.name);
    appendAttribute(t, sep, u"id", ts.id);
    if (!(hide && ts.type == u"list"))
        appendAttribute(t, sep, u"type", ts.type);
    if (!(hide && ts.autoindent == 1))
        appendAttribute(t, sep, u"autoindent", Reverse2(ts.autoindent));
    appendAttribute(t, sep, u"backcolor", QString::number(ts.backcolor));
    const qint32 caseFlag = lang.applycase == 1 ? lang.casesensitive : ts.casesensitive;
    if (!(hide && caseFlag == 0))
        appendAttribute(t, sep, u"casesensitive", Reverse2(caseFlag));
    if (!(hide && ts.chain == 1))
        appendAttribute(t, sep, u"chain", Reverse2(ts.chain));
    if (!(hide && ts.enabled == 0))
        appendAttribute(t, sep, u"enabled", Reverse2(ts.enabled));
    appendAttribute(t, sep, u"forecolor", QString::number(ts.forecolor));
    if (!(hide && ts.fontstyle == u"normal"))
        appendAttribute(t, sep, u"fontstyle", ts.fontstyle);
    if (!(hide && ts.hidden == 1))
        appendAttribute(t, sep, u"hidden", Reverse2(ts.hidden));
    appendMemberlist(t, sep, ts.tmemberlist, resolved.memberlist, hide);
    if (resolved.inheritfrom)
        appendAttribute(t, sep, u"inheritfrom", ts.inheritfrom);
    else if (!hide)
        appendAttribute(t, sep, u"inheritfrom", u"");
    if (!(hide && ts.matchbraces == 0))
        appendAttribute(t, sep, u"matchbraces", Reverse2(ts.matchbraces));
    if (!(hide && ts.normalizecase == 0))
        appendAttribute(t, sep, u"normalizecase", Reverse2(ts.normalizecase));
    if (!(hide && ts.singlelinescope == 1))
        appendAttribute(t, sep, u"singlelinescope", Reverse2(ts.singlelinescope));
    if (!(hide && ts.symmetrical == 0))
        appendAttribute(t, sep, u"symmetrical", Reverse2(ts.symmetrical));
    t += sep;
    t += u'>';

    for (int j = 0; j < 10; ++j) {
        const QString &scope = ts.validscope[size_t(j)];
        if (withoutBlanks(scope) == u"NULL") {
            t += kCrLf;
            t += kIndent;
            t += u"<validscope name=\"\"/>";
        } else if (resolved.scopes & (1u << j)) {
            t += kCrLf;
            t += kIndent;
            t += u"<validscope name=\"";
            appendEscapedAttribute(t, scope);
            t += u"\"/>";
        }
    }

    if (!isBlank(ts.tokens))
        appendSplitTokens(t, ts.tokens, ts.tokens2, ts.type, ts, hide);
    t += kCrLf;
    t += u"</tokenset>";
    t.squeeze();
    return t;
}

QString XmlWriter::generate(int iSel, int iScope, bool hide, bool easyRead)
{
    QString xml;
    generateInto(xml, iSel, iScope, hide, easyRead);
    return xml;
}

void XmlWriter::generateInto(QString &xml, int iSel, int iScope, bool hide, bool easyRead)
{
    xml.resize(0);
    unwritable_.clear();
    if (iSel < 0 || iSel >= db_.languages.size())
        return;
    const Language &lang = db_.languages[iSel];
    validity_ = kNoErrors;
    redFlag_ = kGreen;
    const QStringView sep = easyRead ? kCrLf : QStringView(u" ");

    for (const QString &field : XmlChars::languageFields(lang)) {
        unwritable_ += lang.name + QStringLiteral(" : Language : ") + field;
        report(unwritable_.last());
    }
    QString head = QStringLiteral("<language");
    appendAttribute(head, sep, u"name", lang.name);
    if (!(hide && lang.casesensitive == 0))
        appendAttribute(head, sep, u"casesensitive", Reverse2(lang.casesensitive));
    if (!(hide && lang.whitespaceasparamblock == 1))
        appendAttribute(head, sep, u"whitespaceasparamblock", Reverse2(lang.whitespaceasparamblock));
    if (!(hide && lang.wordchars == u"[\\w]"))
        appendAttribute(head, sep, u"wordchars", lang.wordchars);
    const bool listed = lang.memberlist != kNone && MemberlistExists(host_.memberlists(), lang.memberlist);
    if (lang.memberlist != kNone && !listed)
        report(lang.name + QStringLiteral(" : Language : Memberlist:  ") + lang.memberlist);
    appendMemberlist(head, sep, lang.memberlist, listed, hide);
    head += u'>';

    const int used = lang.tokensetCount();
    included_.clear();
    for (int i = 0; i < used; ++i) {
        const Tokenset &ts = lang.tokensets[size_t(i)];
        if (ts.included == 1 && !included_.contains(ts.name))
            included_.insert(ts.name, i);
    }

    qsizetype size = head.size() + 13;
    for (int i = 0; i < used; ++i) {
        const Tokenset &ts = lang.tokensets[size_t(i)];
        if (ts.included != 1)
            continue;
        CacheEntry &entry = cache_[size_t(i)];
        const Resolved resolved = resolve(ts);
        const qint32 caseFlag = lang.applycase == 1 ? lang.casesensitive : ts.casesensitive;
        const bool reuse = iScope != 1 && i != db_.currentTokenset && entry.valid && entry.hide == hide
            && entry.easyRead == easyRead && entry.caseFlag == caseFlag && entry.resolved == resolved
            && entry.record == ts;
        if (!reuse) {
            entry.text = buildTokenset(lang, i, hide, sep, resolved);
            entry.record = ts;
            entry.caseFlag = caseFlag;
            entry.hide = hide;
            entry.easyRead = easyRead;
            entry.resolved = resolved;
            entry.unwritable = XmlChars::tokensetFields(ts);
            entry.valid = true;
        }
        reportTokenset(lang, i, entry);
        size += 2 + entry.text.size();
    }

    xml.reserve(size);
    xml += head;
    for (int i = 0; i < used; ++i) {
        if (lang.tokensets[size_t(i)].included != 1)
            continue;
        xml += kCrLf;
        xml += cache_[size_t(i)].text;
    }
    xml += kCrLf;
    xml += u"</language>";
}

WriteResult XmlWriter::writeFile(int iSel, bool writeLocal, const QString &xml)
{
    WriteResult result;
    QString folder;
    if (writeLocal) {
        folder = host_.programFolder();
        if (folder.isEmpty())
            result.error = QStringLiteral("Cannot write \"%1\": no program folder is set.").arg(kWorkingFile);
        else
            result.file = QDir(folder).absoluteFilePath(kWorkingFile);
    } else {
        const QString &name = db_.languages[iSel].name;
        folder = host_.exportFolder();
        QString problem;
        result.file = OutputFile::languageFile(folder, name, &problem);
        if (!problem.isEmpty())
            result.error = QStringLiteral("Cannot export the language \"%1\" (index %2): %3.").arg(name, QString::number(iSel), problem);
        else
            result.error = OutputFile::ensureFolder(folder);
    }
    if (result.error.isEmpty() && !unwritable_.isEmpty()) {
        result.error = QStringLiteral("Cannot write \"%1\": the language holds characters a language file cannot hold: %2.")
                           .arg(QDir::toNativeSeparators(result.file), unwritable_.join(QStringLiteral("; ")));
    }
    if (result.error.isEmpty()) {
        encodeFile(xml, bytes_);
        if (batch_ && !writeLocal)
            result.error = batch_->stage(result.file, bytes_);
        else
            result.error = OutputFile::write(result.file, bytes_,
                                             writeLocal ? OutputFile::Sync::Replaceable : OutputFile::Sync::Durable);
    }
    result.status = result.error.isEmpty() ? WriteResult::Status::Written : WriteResult::Status::Failed;
    return result;
}

WriteResult XmlWriter::WriteXML(int iSel, bool writeLocal, int iScope)
{
    Trace::entry(QStringLiteral("WriteXML"));
    const qint64 start = tickCount();
    startTick_ = start;
    const bool hide = host_.hideDefaultAttributes();

    if (iSel < 0 || iSel >= db_.languages.size()) {
        WriteResult failed;
        failed.status = WriteResult::Status::Failed;
        failed.error = QStringLiteral("There is no language with index %1 to write.").arg(iSel);
        return failed;
    }
    if (host_.applyEnabled()
        && !host_.confirm(QStringLiteral("Manual changes will be lost. Continue?"), QStringLiteral("Write XML"))) {
        WriteResult cancelled;
        cancelled.status = WriteResult::Status::Cancelled;
        return cancelled;
    }

    host_.setLoading(true);
    generateInto(text_, iSel, iScope, hide, host_.easyReadFormat());
    host_.setRedFlag(redFlag_);
    const WriteResult result = writeFile(iSel, writeLocal, text_);
    host_.disableApplyAndSave();

    if (host_.validityChecked()) {
        host_.setStatusText(QStringLiteral("<Validity Mode>\r\n") + validity_);
    } else if (host_.traceChecked()) {
        host_.appendStatusText(QStringLiteral("----------\r\n") + validity_ + QStringLiteral("----------\r\n"));
    }
    if (host_.debugWindowOpen()) {
        host_.appendDebugText(QStringLiteral("\r\n") + validity_ + QStringLiteral("\r\n"));
        timingText_ = timingLine(start, tickCount(), QStringLiteral(" seconds end of WriteXML"));
        host_.appendDebugText(QStringLiteral("\r\n") + timingText_ + QStringLiteral("\r\n"));
    }
    host_.setLoading(false);
    return result;
}
