#include "editorcontrol/textrenderer.h"

#include <QHash>

namespace TextRenderer {

namespace {

QString cssColour(qint32 bgr)
{
    const int r = bgr & 0xFF, g = (bgr >> 8) & 0xFF, b = (bgr >> 16) & 0xFF;
    return QStringLiteral("#%1%2%3").arg(r, 2, 16, QLatin1Char('0')).arg(g, 2, 16, QLatin1Char('0')).arg(b, 2, 16, QLatin1Char('0'));
}

QString css(const TokensetStyle &s)
{
    QString out;
    if (s.fore >= 0)
        out += QStringLiteral("color:%1;").arg(cssColour(s.fore));
    if (s.back >= 0)
        out += QStringLiteral("background-color:%1;").arg(cssColour(s.back));
    if (s.bold)
        out += QStringLiteral("font-weight:bold;");
    if (s.italic)
        out += QStringLiteral("font-style:italic;");
    if (s.underline || s.hyperlink)
        out += QStringLiteral("text-decoration:underline;");
    return out;
}

void appendEscaped(QString &out, QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\r': // CR LF and a lone CR both end a line as LF
            if (i + 1 >= text.size() || text[i + 1] != u'\n')
                out += QLatin1Char('\n');
            break;
        default: out += c;
        }
    }
}

QString sgr(const TokensetStyle &s)
{
    QString codes = QStringLiteral("0");
    if (s.bold)
        codes += QStringLiteral(";1");
    if (s.italic)
        codes += QStringLiteral(";3");
    if (s.underline || s.hyperlink)
        codes += QStringLiteral(";4");
    if (s.fore >= 0)
        codes += QStringLiteral(";38;2;%1;%2;%3").arg(s.fore & 0xFF).arg((s.fore >> 8) & 0xFF).arg((s.fore >> 16) & 0xFF);
    if (s.back >= 0)
        codes += QStringLiteral(";48;2;%1;%2;%3").arg(s.back & 0xFF).arg((s.back >> 8) & 0xFF).arg((s.back >> 16) & 0xFF);
    return QStringLiteral("\x1b[") + codes + QLatin1Char('m');
}

} // namespace

QString toHtml(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language, const QString &title)
{
    // One CSS class per tokenset whose style differs from the page's.
    QString out;
    out.reserve(text.size() * 2 + 1024);
    out += QLatin1String("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>");
    appendEscaped(out, title);
    out += QLatin1String("</title>\n<style>\npre { ");
    out += css(language.defaultStyle());
    out += QLatin1String("}\n");
    QVector<bool> hasClass(language.tokensetCount());
    for (int t = 0; t < language.tokensetCount(); ++t) {
        const QString rule = css(language.style(t));
        hasClass[t] = !rule.isEmpty() && t != language.textTokenset();
        if (hasClass[t])
            out += QStringLiteral(".t%1 { %2}\n").arg(t).arg(rule);
    }
    out += QLatin1String("</style>\n</head>\n<body>\n<pre>");
    int done = 0;
    for (const StyleRun &r : runs) {
        if (r.start < done || r.start + r.length > text.size())
            continue;
        appendEscaped(out, text.mid(done, r.start - done));
        const QStringView piece = text.mid(r.start, r.length);
        if (r.tokenset >= 0 && r.tokenset < hasClass.size() && hasClass[r.tokenset]) {
            out += QLatin1String("<span class=\"t");
            out += QString::number(r.tokenset);
            out += QLatin1String("\">");
            appendEscaped(out, piece);
            out += QLatin1String("</span>");
        } else {
            appendEscaped(out, piece);
        }
        done = r.start + r.length;
    }
    appendEscaped(out, text.mid(done));
    out += QLatin1String("</pre>\n</body>\n</html>\n");
    return out;
}

QString toAnsi(QStringView text, const QVector<StyleRun> &runs, const CompiledLanguage &language)
{
    QVector<QString> codes(language.tokensetCount() + 1);
    codes[0] = sgr(language.defaultStyle());
    for (int t = 0; t < language.tokensetCount(); ++t)
        codes[t + 1] = sgr(language.style(t));
    const QString reset = QStringLiteral("\x1b[0m");

    QString out;
    out.reserve(text.size() * 2);
    int done = 0;
    int current = -2; // the escape in force; -2: none
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
                out += piece.mid(from, i - from);
            }
            if (brk) {
                if (current != -2)
                    out += reset;
                current = -2;
                out += piece[i];
            }
            from = i + 1;
        }
    };
    for (const StyleRun &r : runs) {
        if (r.start < done || r.start + r.length > text.size())
            continue;
        emit(text.mid(done, r.start - done), -1);
        emit(text.mid(r.start, r.length), r.tokenset);
        done = r.start + r.length;
    }
    emit(text.mid(done), -1);
    if (current != -2)
        out += reset;
    return out;
}

} // namespace TextRenderer
