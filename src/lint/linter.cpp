#include "lint/linter.h"

#include "lint/checks.h"
#include "lint/languageview.h"

#include "editorcontrol/definitionreader.h"
#include "editorcontrol/languageobject.h"
#include "editorcontrol/xmlinput.h"
#include "import/languageimport.h"
#include "model/database.h"
#include "model/textescape.h"
#include "model/quotedtext.h"
#include "xmlgen/xmlwriter.h"

#include <algorithm>
#include <memory>

namespace Lint {

QString severityName(Severity severity)
{
    switch (severity) {
    case Severity::Error: return QStringLiteral("error");
    case Severity::Warning: return QStringLiteral("warning");
    case Severity::Note: return QStringLiteral("note");
    }
    return QString();
}

void Report::add(Severity severity, const char *rule, const QString &tokenset, const QString &token,
                 const QString &message)
{
    out_.append(Finding{severity, QString::fromLatin1(rule), language_, tokenset, token, message});
}

namespace {

// The definition the language exports to must load again, in the reader every other part uses.
void checkReadBack(const Language &language, Report &report)
{
    const QByteArray bytes = XmlWriter::fileBytes(writtenXml(language));
    LanguageDefinition definition;
    DefinitionError error;
    if (!DefinitionReader::read(bytes, QString(), definition, error))
        report.add(Severity::Error, "read-back", QString(), QString(),
                   QStringLiteral("the exported definition cannot be read back: line %1, column %2: %3")
                       .arg(error.line)
                       .arg(error.column)
                       .arg(error.problem));
}

void checkExportClash(const Database &db, int index, Report &report)
{
    const QString &name = db.languages[index].name;
    for (int i = 0; i < db.languages.size(); ++i) {
        const QString &other = db.languages[i].name;
        if (i == index || other.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (other == name)
            report.add(Severity::Error, "export-clash", QString(), QString(),
                       QStringLiteral("language %1 has the same name: exporting both writes one file \"%2.lng\"")
                           .arg(i)
                           .arg(name));
        else
            report.add(Severity::Warning, "export-clash", QString(), QString(),
                       QStringLiteral("language %1 (\"%2\") differs only in letter case: on Windows and macOS both "
                                      "export to one file")
                           .arg(i)
                           .arg(other));
    }
}

bool run(const Language &language, const Database *db, int index, const Progress &progress, QVector<Finding> &findings)
{
    findings.clear();
    Report report(language.name, findings);
    bool stopped = false;
    if (progress)
        report.setStop([&stopped, &progress] { return stopped || (stopped = !progress(-1, -1)); });
    std::unique_ptr<LanguageView> view;
    const std::function<void()> checks[] = {
        [&] { checkTexts(language, report); },
        [&] {
            if (db)
                checkExportClash(*db, index, report);
            view = std::make_unique<LanguageView>(language);
        },
        [&] { checkReferences(*view, report); },
        [&] { checkRegexps(*view, report); },
        [&] { checkTokens(*view, report); },
        [&] { checkShadowing(*view, report); },
        [&] { checkReadBack(language, report); },
    };
    const int total = int(std::size(checks));
    for (int done = 0; done < total; ++done) {
        if (progress && (stopped || !progress(done, total))) {
            findings.clear();
            return false;
        }
        checks[done]();
    }
    if (stopped) {
        findings.clear();
        return false;
    }
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding &a, const Finding &b) { return a.severity < b.severity; });
    return true;
}

QVector<Finding> run(const Language &language, const Database *db, int index)
{
    QVector<Finding> findings;
    run(language, db, index, {}, findings);
    return findings;
}

} // namespace

QVector<Finding> lintLanguage(const Language &language)
{
    return run(language, nullptr, -1);
}

QVector<Finding> lintLanguage(const Database &db, int index)
{
    return run(db.languages[index], &db, index);
}

bool lintLanguage(const Database &db, int index, const Progress &progress, QVector<Finding> &findings)
{
    return run(db.languages[index], &db, index, progress, findings);
}

bool lintFileData(const QByteArray &bytes, const QString &fileName, QVector<Finding> &findings, QString &problem)
{
    LanguageObject object;
    if (!object.loadData(bytes, fileName)) {
        problem = object.error().compilerLine();
        return false;
    }
    Language language;
    QString description;
    if (!LanguageImport::fillLanguage(object, true, QString(), language, description)) {
        problem = QStringLiteral("%1: error: %2").arg(fileName, description);
        return false;
    }
    findings = lintLanguage(language);
    return true;
}

bool lintFile(const QString &path, QVector<Finding> &findings, QString &problem)
{
    QByteArray bytes;
    if (!XmlInput::readFile(path, DefinitionReader::kMaxDefinitionBytes, bytes, problem)) {
        problem = QStringLiteral("%1: %2").arg(path, problem);
        return false;
    }
    return lintFileData(bytes, path, findings, problem);
}

bool hasErrors(const QVector<Finding> &findings)
{
    return std::any_of(findings.begin(), findings.end(), [](const Finding &f) { return f.severity == Severity::Error; });
}

QString findingPlace(const Finding &finding)
{
    QStringList place;
    if (!finding.tokenset.isEmpty())
        place += QStringLiteral("tokenset ") + quotedText(finding.tokenset);
    if (!finding.token.isEmpty())
        place += QStringLiteral("token ") + quotedText(finding.token, 60);
    return place.join(QLatin1String(", "));
}

QString findingLine(const Finding &finding, const QString &where)
{
    const QString place = findingPlace(finding);
    const QString location = place.isEmpty() ? where : where + QStringLiteral(", ") + place;
    return TextEscape::controls(
        QStringLiteral("%1: %2: %3 [%4]").arg(location, severityName(finding.severity), finding.message, finding.rule));
}

QString validityText(const QVector<Finding> &findings)
{
    if (findings.isEmpty())
        return QStringLiteral("No lint finding.\r\n");
    QString text;
    for (const Finding &f : findings)
        text += findingLine(f, f.language) + QStringLiteral("\r\n");
    return text;
}

} // namespace Lint
