#include "xmlgen/splittokens.h"

#include "model/tokenset.h"
#include "xmlgen/xmltext.h"

#include <QList>

using namespace XmlText;

namespace {

constexpr QStringView kSeparator = u"::::";

void appendAttribute(QString &out, QStringView name, QStringView value)
{
    out += u' ';
    out += name;
    out += u"=\"";
    out += value;
    out += u'"';
}

// The rule attribute of <tokens>/<tokens2>, built from the tokenset's default rule.
QString listRuleAttribute(const Tokenset &ts, bool hide)
{
    QString value;
    if (ts.rule == u"Col") {
        value = QStringLiteral("col") + QString::number(colNumber(ts.lead));
    } else if (ts.rule == u"Word") {
        if (hide)
            return QString();
        value = QStringLiteral("word");
    } else if (ts.rule == u"LeadWith") {
        if (isBlank(ts.lead))
            return QString();
        value = QStringLiteral("leadwith[") + ts.lead + u']';
    } else if (ts.rule == u"TrailWith") {
        if (isBlank(ts.trail))
            return QString();
        value = QStringLiteral("trailwith[") + ts.trail + u']';
    } else if (ts.rule == u"LeadWith TrailWith") {
        if (isBlank(ts.lead) || isBlank(ts.trail))
            return QString();
        value = QStringLiteral("leadwith[") + ts.lead + QStringLiteral("]|trailwith[") + ts.trail + u']';
    }
    QString attribute;
    appendAttribute(attribute, u"rule", escapeAttribute(value));
    return attribute;
}

QString listAttributes(const Tokenset &ts, bool hide)
{
    QString out;
    if (!(hide && ts.regexp == 1))
        appendAttribute(out, u"regexp", Reverse2(ts.regexp));
    out += listRuleAttribute(ts, hide);
    out += u'>';
    return out;
}

// Bracket test of a leadwith/trailwith rule: the character after the keyword and the last
// character must be brackets whose positions in "([{<" and ")]}>" share a bit.
bool bracketsPass(QStringView rule, qsizetype openAt)
{
    // A missing character after the keyword counts as position 1, as an empty search text would.
    const qsizetype open = openAt < rule.size() ? QStringView(u"([{<").indexOf(rule[openAt]) + 1 : 1;
    const qsizetype close = QStringView(u")]}>").indexOf(rule.back()) + 1;
    return (open & close) != 0;
}

// The value of a token's rule field, and whether it is the plain "word" rule.
QString tokenRuleValue(const QString &field, bool &isWord)
{
    isWord = false;
    const QString lower = field.toLower();
    if (lower.startsWith(u"col"))
        return QStringLiteral("col") + QString::number(colNumber(QStringView(field).mid(3)));
    if (lower.startsWith(u"null"))
        return QString();
    if (!lower.startsWith(u"word")) {
        if ((lower.startsWith(u"leadwith") && bracketsPass(field, 8))
            || (lower.startsWith(u"trailwith") && bracketsPass(field, 9)))
            return field;
    }
    isWord = true;
    return QStringLiteral("word");
}

void appendTokenLines(QString &out, QStringView text, bool hide)
{
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(kCrLf, start);
        if (end < 0)
            end = text.size();
        const QStringView line = text.mid(start, end - start);
        start = end + 2;
        if (isBlank(line))
            continue;

        QString token;
        QString attributes;
        if (!line.contains(kSeparator)) {
            token = trimBlanks(line); // a bare token never carries attributes
        } else {
            const QList<QStringView> fields = line.split(kSeparator);
            token = trimBlanks(fields[0]);
            const qsizetype n = fields.size();
            if (n <= 4) {
                const QString action = escapeQuotes(trimBlanks(fields[1]));
                if (!action.isEmpty() || !hide)
                    appendAttribute(attributes, u"action", action);
                if (n >= 3) {
                    if (trimBlanks(fields[2]).toLower() == u"true") {
                        if (!hide)
                            appendAttribute(attributes, u"regexp", u"true");
                    } else {
                        appendAttribute(attributes, u"regexp", u"false");
                    }
                }
                if (n == 4) {
                    bool isWord = false;
                    const QString value = tokenRuleValue(trimBlanks(fields[3]), isWord);
                    if (!(isWord && hide))
                        appendAttribute(attributes, u"rule", escapeQuotes(trimBlanks(value)));
                }
            }
        }
        out += kCrLf;
        out += kIndent;
        out += kIndent;
        out += u"<token ";
        out += attributes;
        out += u'>';
        out += token;
        out += u"</token>";
    }
}

} // namespace

void appendSplitTokens(QString &out, const QString &t1, const QString &t2, const QString &type,
                       const Tokenset &tokenset, bool hide)
{
    const QString attributes = listAttributes(tokenset, hide);
    out += kCrLf;
    out += kIndent;
    out += u"<tokens";
    out += attributes;
    appendTokenLines(out, escapeMarkup(t1), hide);
    out += kCrLf;
    out += kIndent;
    out += u"</tokens>";
    if (type != u"scope")
        return;
    out += kCrLf;
    out += kIndent;
    out += u"<tokens2";
    out += attributes;
    appendTokenLines(out, escapeMarkup(t2), hide);
    out += kCrLf;
    out += kIndent;
    out += u"</tokens2>";
}

QString SplitTokens(const QString &t1, const QString &t2, const QString &type, const Tokenset &tokenset,
                    bool hide)
{
    QString out;
    appendSplitTokens(out, t1, t2, type, tokenset, hide);
    return out;
}
