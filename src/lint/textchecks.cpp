#include "lint/checks.h"
#include "lint/languageview.h"

#include "editorcontrol/definitiontables.h"
#include "model/ansicodec.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/xmltext.h"

#include <QRegularExpression>

namespace Lint {

namespace {

constexpr qsizetype kMaxTextBytes = 65535; // a text's length in the database is 16 bits

QString codePoint(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
}

QString shown(char32_t c)
{
    return c < 0x20 ? codePoint(c) : QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&c, 1), codePoint(c));
}

struct Field {
    const char *name;
    const QString &text;
    bool written; // part of the definition file
};

void checkField(const Field &f, const QString &tokenset, Report &report)
{
    const QString field = QString::fromLatin1(f.name);
    if (f.written) {
        for (qsizetype i = 0; i < f.text.size(); ++i) {
            if (isXmlForbidden(f.text, i)) {
                report.add(Severity::Error, "xml-character", tokenset, QString(),
                           QStringLiteral("%1 holds %2, which an XML file cannot hold: the exported definition "
                                          "cannot be read")
                               .arg(field, codePoint(f.text[i].unicode())));
                break;
            }
        }
    }
    if (AnsiCodec::decode(AnsiCodec::encode(f.text)) != f.text) {
        QStringList lost;
        for (char32_t c : f.text.toUcs4()) {
            const QString one = QString::fromUcs4(&c, 1);
            if (AnsiCodec::decode(AnsiCodec::encode(one)) != one && !lost.contains(shown(c)) && lost.size() < 3)
                lost << shown(c);
        }
        if (!lost.isEmpty())
            report.add(Severity::Error, "code-page", tokenset, QString(),
                       QStringLiteral("%1 holds %2, which the code page %3 cannot hold: it is saved as \"?\"")
                           .arg(field, lost.join(QStringLiteral(", ")), AnsiCodec::codePage()));
    }
    if (const qsizetype bytes = AnsiCodec::encodedSize(f.text); bytes > kMaxTextBytes)
        report.add(Severity::Error, "text-too-long", tokenset, QString(),
                   QStringLiteral("%1 takes %2 bytes; the database holds at most %3: the rest is lost on save")
                       .arg(field).arg(bytes).arg(kMaxTextBytes));
}

// Why the exported file NAME.lng cannot be copied to every usual file system, or an empty string.
QString portabilityProblem(const QString &name)
{
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    for (QChar c : name)
        if (QStringView(u"\\:*?\"<>|").contains(c) || c.unicode() < 0x20)
            return QStringLiteral("it holds %1").arg(shown(c.unicode()));
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return QStringLiteral("it ends with a blank or a dot");
    if (reserved.match(name).hasMatch())
        return QStringLiteral("%1 is a device name there").arg(name);
    return QString();
}

void checkName(const Language &language, Report &report)
{
    if (const QString problem = OutputFile::exportNameProblem(language.name); !problem.isEmpty())
        report.add(Severity::Error, "export-name", QString(), QString(),
                   QStringLiteral("the language cannot be exported: %1").arg(problem));
    else if (const QString problem = portabilityProblem(language.name); !problem.isEmpty())
        report.add(Severity::Warning, "export-name", QString(), QString(),
                   QStringLiteral("\"%1.lng\" is not a valid file name on Windows: %2").arg(language.name, problem));
}

void checkFieldValues(const Tokenset &ts, Report &report)
{
    const QString type = ts.type.trimmed();
    const bool list = type.isEmpty() || type.compare(u"list", Qt::CaseInsensitive) == 0 || type == u"0";
    const bool scope = readsAsScope(type);
    if (!list && !scope)
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("type \"%1\" is neither list nor scope").arg(ts.type));
    else if (scope && ts.type != u"scope")
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("type \"%1\" reads as a scope, but only \"scope\" writes its end tokens")
                       .arg(ts.type));
    const QString style = ts.fontstyle.trimmed();
    bool number = false;
    (void)style.toInt(&number);
    if (!style.isEmpty() && !number && DefinitionTables::fontStyleNumber(style) < 0)
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("fontstyle \"%1\" is not a font style").arg(ts.fontstyle));
    const QString id = ts.id.trimmed();
    (void)id.toInt(&number);
    if (!number && DefinitionTables::idNumber(id) == 0)
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("id \"%1\" is not a tokenset id: the tokenset is read as id text").arg(ts.id));

    // The tokenset's default rule, written on its token lists.
    const bool leadBlank = XmlText::isBlank(ts.lead);
    const bool trailBlank = XmlText::isBlank(ts.trail);
    const bool missing = (ts.rule == u"LeadWith" && leadBlank) || (ts.rule == u"TrailWith" && trailBlank)
        || (ts.rule == u"LeadWith TrailWith" && (leadBlank || trailBlank));
    if (missing)
        report.add(Severity::Warning, "list-rule", ts.name, QString(),
                   QStringLiteral("rule \"%1\" without its characters writes no rule: the tokens take the rule word")
                       .arg(ts.rule));
    else if (ts.rule == u"Col" && XmlText::colNumber(ts.lead) < 1)
        report.add(Severity::Note, "list-rule", ts.name, QString(),
                   QStringLiteral("rule Col without a column number in Lead: the tokens match in column 1"));
}

} // namespace

void checkTexts(const Language &language, Report &report)
{
    checkName(language, report);
    for (const Field &f : {Field{"the language name", language.name, true}, Field{"wordchars", language.wordchars, true},
                           Field{"the member list", language.memberlist, true},
                           Field{"the sample text", language.sampletext, false}})
        checkField(f, QString(), report);

    const int used = language.tokensetCount();
    for (int i = 0; i < used; ++i) {
        const Tokenset &ts = language.tokensets[size_t(i)];
        const bool written = ts.included == 1;
        const Field fields[] = {{"the name", ts.name, written},       {"id", ts.id, written},
                                {"type", ts.type, written},          {"fontstyle", ts.fontstyle, written},
                                {"inheritfrom", ts.inheritfrom, written}, {"the member list", ts.tmemberlist, written},
                                {"the tokens", ts.tokens, written},  {"the end tokens", ts.tokens2, written},
                                {"rule", ts.rule, written},          {"lead", ts.lead, written},
                                {"trail", ts.trail, written}};
        for (const Field &f : fields)
            checkField(f, ts.name, report);
        for (int j = 0; j < Language::kValidScopes; ++j)
            checkField(Field{"a valid scope", ts.validscope[size_t(j)], written && j < 10}, ts.name, report);
        if (written)
            checkFieldValues(ts, report);

        for (int k = 0; k < i; ++k) {
            if (language.tokensets[size_t(k)].name == ts.name) {
                report.add(Severity::Warning, "tokenset-name", ts.name, QString(),
                           QStringLiteral("tokenset %1 has the same name: references reach only the first").arg(k));
                break;
            }
        }
        if (ts.name == u"<none>" || ts.name.trimmed() == u"NULL")
            report.add(Severity::Warning, "tokenset-name", ts.name, QString(),
                       QStringLiteral("a reference to this name means \"%1\", so no reference can reach the tokenset")
                           .arg(ts.name == u"<none>" ? QStringLiteral("none") : QStringLiteral("the outermost level")));
    }
}

} // namespace Lint
