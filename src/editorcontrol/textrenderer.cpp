#include "editorcontrol/textrenderer.h"

#include <cstdio>

namespace TextRenderer {

namespace {

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

// Appends text as UTF-8; with `html`, escapes markup characters and turns CR LF and a lone CR into LF.
// Writes through a pointer into room made beforehand: this runs for every character of the output.
void append(QByteArray &out, QStringView text, bool html)
{
    const qsizetype n = text.size();
    if (n == 0)
        return;
    const qsizetype old = out.size();
    out.resize(old + n * 6); // the longest form of one unit: "&quot;"
    char *const begin = out.data();
    char *w = begin + old;
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            if (html) {
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
    out.resize(w - begin);
}

QByteArray sgr(const TokensetStyle &s)
{
    QByteArray codes = "\x1b[0";
    if (s.bold)
        codes += ";1";
    if (s.italic)
        codes += ";3";
    if (s.underline || s.hyperlink)
        codes += ";4";
    if (s.fore >= 0)
        codes += ";38;2;" + QByteArray::number(s.fore & 0xFF) + ';' + QByteArray::number((s.fore >> 8) & 0xFF) + ';'
            + QByteArray::number((s.fore >> 16) & 0xFF);
    if (s.back >= 0)
        codes += ";48;2;" + QByteArray::number(s.back & 0xFF) + ';' + QByteArray::number((s.back >> 8) & 0xFF) + ';'
            + QByteArray::number((s.back >> 16) & 0xFF);
    return codes + 'm';
}

} // namespace

QByteArray toHtmlUtf8(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language,
                      const QString &title)
{
    // One CSS class per tokenset whose style differs from the page's.
    QByteArray out;
    out.reserve(text.size() * 3 + 1024);
    out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    append(out, title, true);
    out += "</title>\n<style>\npre { " + css(language.defaultStyle()) + "}\n";
    QVector<QByteArray> open(language.tokensetCount());
    for (int t = 0; t < language.tokensetCount(); ++t) {
        const QByteArray rule = css(language.style(t));
        if (rule.isEmpty() || t == language.textTokenset())
            continue;
        out += ".t" + QByteArray::number(t) + " { " + rule + "}\n";
        open[t] = "<span class=\"t" + QByteArray::number(t) + "\">";
    }
    out += "</style>\n</head>\n<body>\n<pre>";
    int done = 0;
    for (const StyleRun &r : runs) {
        if (r.start < done || r.length < 0 || r.start + r.length > text.size())
            continue;
        append(out, text.mid(done, r.start - done), true);
        const QStringView piece = text.mid(r.start, r.length);
        if (r.tokenset >= 0 && r.tokenset < open.size() && !open[r.tokenset].isEmpty()) {
            out += open[r.tokenset];
            append(out, piece, true);
            out += "</span>";
        } else {
            append(out, piece, true);
        }
        done = r.start + r.length;
    }
    append(out, text.mid(done), true);
    out += "</pre>\n</body>\n</html>\n";
    return out;
}

QByteArray toAnsiUtf8(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language)
{
    QVector<QByteArray> codes(language.tokensetCount() + 1);
    codes[0] = sgr(language.defaultStyle());
    for (int t = 0; t < language.tokensetCount(); ++t)
        codes[t + 1] = sgr(language.style(t));

    const QByteArray plain = "\x1b[0m";
    QByteArray out;
    out.reserve(text.size() * 2);
    int done = 0;
    int current = -1; // index into codes of the escape in force; -1: none
    auto emit = [&](QStringView piece, int tokenset) {
        // Reset before each line break so a background never runs to the terminal's edge.
        const int code = tokenset >= 0 && tokenset < language.tokensetCount() ? tokenset + 1 : 0;
        qsizetype from = 0;
        for (qsizetype i = 0; i <= piece.size(); ++i) {
            const bool brk = i < piece.size() && (piece[i] == u'\n' || piece[i] == u'\r');
            if (i < piece.size() && !brk)
                continue;
            if (i > from) {
                if (current != code) {
                    out += codes[code];
                    current = code;
                }
                append(out, piece.mid(from, i - from), false);
            }
            if (brk) {
                if (current != -1 && codes[current] != plain)
                    out += plain;
                current = -1;
                out += char(piece[i].unicode());
            }
            from = i + 1;
        }
    };
    for (const StyleRun &r : runs) {
        if (r.start < done || r.length < 0 || r.start + r.length > text.size())
            continue;
        emit(text.mid(done, r.start - done), -1);
        emit(text.mid(r.start, r.length), r.tokenset);
        done = r.start + r.length;
    }
    emit(text.mid(done), -1);
    if (current != -1 && codes[current] != plain)
        out += plain;
    return out;
}

QString toHtml(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language, const QString &title)
{
    return QString::fromUtf8(toHtmlUtf8(text, runs, language, title));
}

QString toAnsi(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language)
{
    return QString::fromUtf8(toAnsiUtf8(text, runs, language));
}

} // namespace TextRenderer
