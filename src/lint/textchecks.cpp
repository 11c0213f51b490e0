#include "lint/checks.h"
#include "lint/languageview.h"

#include "editorcontrol/definitiontables.h"
#include "model/ansicodec.h"
#include "model/xmlchars.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/xmltext.h"

#include <QRegularExpression>

namespace Lint {

namespace {

constexpr qsizetype kMaxTextBytes = 65535; // a text's length in the database is 16 bits

QString shown(char32_t c)
{
    const QString code = QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
    return c < 0x20 ? code : QStringLiteral("\"%1\" (%2)").arg(QString::fromUcs4(&c, 1), code);
}

struct Field {
    const char *name;
    const QString &text;
};

// Characters the code page cannot hold, and texts too long for the database.
void checkField(const Field &f, const QString &tokenset, Report &report)
{
    const QString field = QString::fromLatin1(f.name);
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

// Characters no language file can hold, in the fields the writer puts into the file.
void checkXmlCharacters(const QStringList &fields, const QString &tokenset, Report &report)
{
    for (const QString &field : fields)
        report.add(Severity::Error, "xml-character", tokenset, QString(),
                   QStringLiteral("%1, which a language file cannot hold: the exported definition cannot be read")
                       .arg(field));
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
                   QStringLiteral("type \"%1\" is neither list nor scope: it is read as a list").arg(ts.type));
    else if (scope && ts.type != u"scope")
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("type \"%1\" reads as a scope, but only \"scope\" writes its end tokens")
                       .arg(ts.type));
    const QString style = ts.fontstyle.trimmed();
    bool number = false;
    (void)style.toInt(&number);
    if (!style.isEmpty() && !number && DefinitionTables::fontStyleNumber(style) < 0)
        report.add(Severity::Warning, "field-value", ts.name, QString(),
                   QStringLiteral("fontstyle \"%1\" is not a font style: it is read as normal").arg(ts.fontstyle));
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
    checkXmlCharacters(XmlChars::languageFields(language), QString(), report);
    for (const Field &f : {Field{"the language name", language.name}, Field{"wordchars", language.wordchars},
                           Field{"the member list", language.memberlist}, Field{"the sample text", language.sampletext}})
        checkField(f, QString(), report);

    const int used = language.tokensetCount();
    for (int i = 0; i < used; ++i) {
        const Tokenset &ts = language.tokensets[size_t(i)];
        const Field fields[] = {{"the name", ts.name},           {"id", ts.id},
                                {"type", ts.type},               {"fontstyle", ts.fontstyle},
                                {"inheritfrom", ts.inheritfrom}, {"the member list", ts.tmemberlist},
                                {"the tokens", ts.tokens},       {"the end tokens", ts.tokens2},
                                {"rule", ts.rule},               {"lead", ts.lead},
                                {"trail", ts.trail}};
        for (const Field &f : fields)
            checkField(f, ts.name, report);
        for (const QString &scope : ts.validscope)
            checkField(Field{"a valid scope", scope}, ts.name, report);
        if (ts.included == 1) { // written into the definition
            checkXmlCharacters(XmlChars::tokensetFields(ts), ts.name, report);
            checkFieldValues(ts, report);
        }

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
