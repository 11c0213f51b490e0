#include "lint/checks.h"
#include "lint/languageview.h"

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/definitiontables.h"
#include "xmlgen/xmltext.h"

#include <QHash>
#include <QRegularExpression>

namespace Lint {

namespace {

const QString kSeparator = QStringLiteral("::::");

// The fields of a token line that the writer does not understand and silently replaces.
void checkAttributes(const TokensetDefinition &ts, const ViewToken &t, Report &report)
{
    const QStringList fields = t.line.split(kSeparator);
    const QString token = t.token.text;
    if (fields.size() >= 5) {
        report.add(Severity::Warning, "token-attribute", ts.name, token,
                   QStringLiteral("the line has %1 fields: it is written as a token without attributes")
                       .arg(fields.size()));
        return;
    }
    if (fields.size() >= 2) {
        const QString action = XmlText::trimBlanks(fields[1]);
        if (!action.isEmpty() && DefinitionTables::commandNumber(action) == 0)
            report.add(Severity::Warning, "token-attribute", ts.name, token,
                       QStringLiteral("\"%1\" is not a token action: it does nothing").arg(action));
    }
    if (fields.size() >= 3) {
        const QString regexp = XmlText::trimBlanks(fields[2]).toLower();
        if (!regexp.isEmpty() && regexp != u"true" && regexp != u"false")
            report.add(Severity::Warning, "token-attribute", ts.name, token,
                       QStringLiteral("regexp field \"%1\" is neither true nor false: the token is not a regexp")
                           .arg(XmlText::trimBlanks(fields[2])));
    }
    if (fields.size() == 4) {
        const QString rule = XmlText::trimBlanks(fields[3]);
        if (!rule.isEmpty() && t.token.rule == u"word" && !rule.startsWith(u"word", Qt::CaseInsensitive))
            report.add(Severity::Warning, "token-attribute", ts.name, token,
                       QStringLiteral("rule \"%1\" is not understood: the token takes the rule word").arg(rule));
    }
}

// The same token twice in one list: the second never matches.
void checkDuplicates(const TokensetDefinition &ts, const QVector<ViewToken> &tokens, bool caseless, Report &report)
{
    QHash<QString, int> seen;
    for (int i = 0; i < tokens.size(); ++i) {
        const TokenDefinition &t = tokens[i].token;
        if (t.text.isEmpty())
            continue;
        const QString text = caseless ? t.text.toCaseFolded() : t.text;
        const QString key = QString::number(t.regexp) + u'\n' + t.rule.toLower() + u'\n' + text;
        if (const auto it = seen.constFind(key); it != seen.constEnd())
            report.add(Severity::Warning, "duplicate-token", ts.name, t.text,
                       QStringLiteral("the token is listed twice (tokens %1 and %2): the second never matches")
                           .arg(*it + 1)
                           .arg(i + 1));
        else
            seen.insert(key, i);
    }
}

void checkList(const TokensetDefinition &ts, const QVector<ViewToken> &tokens, Report &report)
{
    // Class escapes, or a class or group followed by a repeat: a pattern typed into a literal token.
    static const QRegularExpression pattern(QStringLiteral("\\\\[dwsDWSbB.]|[\\])][*+]"));
    for (const ViewToken &t : tokens) {
        if (!t.token.regexp && pattern.match(t.token.text).hasMatch())
            report.add(Severity::Note, "literal-like-regexp", ts.name, t.token.text,
                       QStringLiteral("the token looks like a regexp but is literal: it matches these very "
                                      "characters"));
        if (t.token.text.isEmpty())
            report.add(Severity::Warning, "dead-token", ts.name, t.line,
                       QStringLiteral("the token text is empty: it never matches"));
        else if (!t.token.regexp && (t.token.text.contains(u'\n') || t.token.text.contains(u'\r')))
            report.add(Severity::Warning, "dead-token", ts.name, t.token.text,
                       QStringLiteral("the token holds a line break, which no line holds: it never matches"));
        checkAttributes(ts, t, report);
    }
}

void checkTokenset(const LanguageView &view, int w, Report &report)
{
    const TokensetDefinition &ts = view.definition().tokensets[w];
    const ViewTokenset &vt = view.written(w);
    const Tokenset &record = view.slot(vt);
    const bool caseless = !ts.casesensitive && !view.definition().casesensitive;
    checkList(ts, vt.starts, report);
    checkList(ts, vt.ends, report);
    checkDuplicates(ts, vt.starts, caseless, report);

    if (vt.starts.isEmpty() && ts.id != 1)
        report.add(Severity::Note, "empty-tokenset", ts.name, QString(),
                   ts.scope ? QStringLiteral("the scope has no start tokens: it never opens")
                            : QStringLiteral("the tokenset has no tokens: it colours nothing of its own"));
    if (!ts.scope && !XmlText::isBlank(record.tokens2))
        report.add(Severity::Note, "unused-end-tokens", ts.name, QString(),
                   QStringLiteral("a list tokenset has no end tokens: its second list is not written"));
    else if (ts.scope && ts.symmetrical && !vt.ends.isEmpty())
        report.add(Severity::Note, "unused-end-tokens", ts.name, QString(),
                   QStringLiteral("a symmetrical scope closes on its own start token: the end tokens are not used"));
    else if (ts.scope && !ts.symmetrical)
        for (qsizetype i = vt.starts.size(); i < vt.ends.size(); ++i)
            report.add(Severity::Warning, "dead-token", ts.name, vt.ends[i].token.text,
                       QStringLiteral("end token %1 has no start token %1: no scope closes on it").arg(i + 1));
}

} // namespace

void checkTokens(const LanguageView &view, Report &report)
{
    for (int w = 0; w < view.definition().tokensets.size(); ++w)
        checkTokenset(view, w, report);
}

} // namespace Lint
