#include "model/languagetemplate.h"

#include "model/ansicodec.h"
#include "model/boundedread.h"
#include "model/databasefile.h"
#include "model/trace.h"
#include "model/xmlchars.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const char *const kBuiltInSampleText = "<< and if else 12.5 'help'";

// Colours of the 16-colour console palette, slot k taking entry k (0x00BBGGRR).
constexpr qint32 kPalette[LanguageTemplate::kTemplateSlots] = {
    0x00000000, 0x00800000, 0x00008000, 0x00808000, 0x00000080, 0x00800080, 0x00008080,
    0x00C0C0C0, 0x00808080, 0x00FF0000, 0x0000FF00, 0x00FFFF00, 0x000000FF, 0x00FF00FF,
};

struct Slot {
    const char *name;
    const char *id;
};

constexpr Slot kSlots[LanguageTemplate::kTemplateSlots] = {
    {"White Space", "whitespace"},
    {"Line Comments", "linecomments"},
    {"Block Comments", "blockcomments"},
    {"Statement Delimiters", "statementdelims"},
    {"Scope Keywords", "scopekeywords"},
    {"Parameter Blocks", "parameterblocks"},
    {"Argument Separators", "argseparators"},
    {"Strings", "strings"},
    {"Escape Sequences", "escapeseqs"},
    {"Keywords", "keywords"},
    {"Operators", "operators"},
    {"Numbers", "numbers"},
    {"Hyperlinks", "hyperlinks"},
    {"Text", "text"},
};

// Reads a list file whole; returns false with the cause when it cannot. A list ends up in a token
// list, which holds at most 65535 bytes; a FIFO or a device is never opened.
bool readList(const QString &path, QString &text, QString &cause)
{
    QByteArray bytes;
    if (!BoundedRead::file(path, DatabaseFile::kMaxTextBytes, bytes, cause))
        return false;
    text = AnsiCodec::decode(bytes);
    // A list file written on this platform usually ends its lines with LF alone; the token list
    // text separates tokens with CR LF.
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1)) {
        if (i == 0 || text[i - 1] != u'\r')
            text.insert(i++, u'\r');
    }
    if (const qsizetype bad = XmlChars::firstBad(text); bad >= 0) {
        cause = QStringLiteral("it holds %1, which a language file cannot hold").arg(XmlChars::describe(text[bad]));
        text.clear();
        return false;
    }
    return true;
}

} // namespace

namespace LanguageTemplate {

QString defaultSampleText(const QString &folder)
{
    QByteArray bytes;
    QString cause;
    if (BoundedRead::file(QDir(folder).filePath(QStringLiteral("sample.txt")), DatabaseFile::kMaxTextBytes, bytes, cause))
        return AnsiCodec::decode(bytes);
    return QString::fromLatin1(kBuiltInSampleText);
}

void fill(Language &l, const QString &name, const QString &sampleText, const QString &keywords,
          const QString &operators, const QString &hyperlinks)
{
    l.name = name;
    l.casesensitive = 0;
    l.applycase = 0;
    l.whitespaceasparamblock = 1;
    l.wordchars = QStringLiteral("[\\w]");
    l.memberlist = QStringLiteral("<none>");
    l.sampletext = sampleText;

    for (int k = 0; k < kTemplateSlots; ++k) {
        Tokenset &t = l.tokensets[k];
        t.name = QString::fromLatin1(kSlots[k].name);
        t.id = QString::fromLatin1(kSlots[k].id);
        t.type = QStringLiteral("list");
        t.tokens.clear();
        t.tokens2.clear();
        t.forecolor = kPalette[k];
        t.fontstyle = QStringLiteral("normal");
        t.inheritfrom = QStringLiteral("<none>");
        t.backcolor = 0x00FFFFFF;
        t.casesensitive = 0;
        t.normalizecase = 0;
        t.matchbraces = 0;
        t.autoindent = 1;
        t.enabled = 0;
        t.included = 0;
        t.hidden = 1;
        t.singlelinescope = 1;
        t.chain = 1;
        t.symmetrical = 0;
        t.tmemberlist = QStringLiteral("<none>");
        t.regexp = 0;
        t.rule = QStringLiteral("<NULL>");
        t.lead.clear();
        t.trail.clear();
        for (int i = 0; i < 10; ++i)
            t.validscope[i] = QStringLiteral("<none>");
    }

    auto scope = [&l](int k, const QString &open, const QString &close) {
        l.tokensets[k].tokens = open;
        l.tokensets[k].tokens2 = close;
        l.tokensets[k].type = QStringLiteral("scope");
    };
    l.tokensets[0].tokens = QStringLiteral("\\s+");
    l.tokensets[1].tokens = QStringLiteral("'");
    scope(2, QStringLiteral("/*"), QStringLiteral("*/"));
    l.tokensets[3].tokens = QStringLiteral(";");
    scope(4, QStringLiteral("{"), QStringLiteral("}"));
    scope(5, QStringLiteral("("), QStringLiteral(")"));
    l.tokensets[6].tokens = QStringLiteral(",");
    scope(7, QStringLiteral("\"\r\n'"), QStringLiteral("\"\r\n'"));
    l.tokensets[8].tokens = QStringLiteral("\\\\.");
    l.tokensets[9].tokens = keywords;
    l.tokensets[10].tokens = operators;
    l.tokensets[11].tokens = QStringLiteral("-?\\d+(\\.\\d*)?(e-?\\d+)?");
    l.tokensets[11].regexp = 1;
    l.tokensets[12].tokens = hyperlinks;
    l.tokensets[12].regexp = 1;
}

QStringList idLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    while (start < n) {
        qsizetype end = start;
        while (end < n && text[end] != QLatin1Char('\r') && text[end] != QLatin1Char('\n'))
            ++end;
        const QStringView line = QStringView(text).mid(start, end - start);
        bool blank = true;
        for (QChar c : line) {
            if (c != QLatin1Char(' ')) {
                blank = false;
                break;
            }
        }
        if (!blank)
            lines.append(line.toString());
        if (end < n && text[end] == QLatin1Char('\r') && end + 1 < n && text[end + 1] == QLatin1Char('\n'))
            ++end;
        start = end + 1;
    }
    return lines;
}

Result LoadSampleData_SingleLanguage(Database &db, const QString &name, const QString &folder,
                                     const QString &sampleText)
{
    Trace::entry(QStringLiteral("LoadSampleData_SingleLanguage"));
    const QDir dir(folder);
    QStringList unread;
    auto read = [&](const char *file) {
        QString text;
        QString cause;
        if (!readList(dir.filePath(QLatin1String(file)), text, cause)) {
            unread.append(QStringLiteral("\"%1\" (%2)").arg(QLatin1String(file), cause));
            return QString();
        }
        return text;
    };
    const QString keywords = read(kKeywordFile);
    const QString operators = read(kOperatorFile);
    const QString hyperlinks = read(kHyperlinkFile);

    Result result;
    const qsizetype unreadBefore = unread.size();
    const QString ids = read(kIdFile);
    result.idsRead = unread.size() == unreadBefore;
    if (result.idsRead)
        result.ids = idLines(ids);

    db.languages.append(Language());
    result.index = db.upperIndex();
    fill(db.languages.back(), name, sampleText, keywords, operators, hyperlinks);

    if (!unread.isEmpty()) {
        result.message = QStringLiteral("The new language was made, but these list files in %1 could not be "
                                        "read, so their lists are empty: %2.")
                             .arg(QLatin1Char('"') + QDir::toNativeSeparators(dir.absolutePath()) + QLatin1Char('"'),
                                  unread.join(QStringLiteral(", ")));
    }
    return result;
}

} // namespace LanguageTemplate
