#include "import/languageconversion.h"

#include "editorcontrol/languageobject.h"
#include "import/gtksourceviewconverter.h"
#include "import/kdesyntaxconverter.h"
#include "import/languagefitting.h"
#include "import/languageimport.h"
#include "model/recordfields.h"

namespace LanguageConversion {

const std::vector<const FormatConverter *> &converters()
{
    static const GtkSourceViewConverter gtk;
    static const KdeSyntaxConverter kde;
    static const std::vector<const FormatConverter *> all{&gtk, &kde};
    return all;
}

const FormatConverter *converterFor(const QByteArray &bytes)
{
    for (const FormatConverter *c : converters()) {
        if (c->recognises(bytes))
            return c;
    }
    return nullptr;
}

QStringList importFilters()
{
    QStringList filters{QStringLiteral("Source Code Files (*.lng)")};
    for (const FormatConverter *c : converters())
        filters += QStringLiteral("%1 (%2)").arg(c->formatName(), c->fileFilter());
    return filters;
}

Outcome convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                const QString &sampleText)
{
    Outcome outcome;
    if (const FormatConverter *converter = converterFor(bytes)) {
        outcome.format = converter->formatName();
        LanguageDraft draft;
        if (!converter->convert(bytes, fileName, options, draft, outcome.report, outcome.problem)
            || !LanguageFitting::fit(std::move(draft), sampleText, outcome.language, outcome.report, outcome.problem)) {
            outcome.status = Status::Refused;
            return outcome;
        }
    } else {
        outcome.format = QStringLiteral("language definition");
        LanguageObject object;
        if (!object.loadData(bytes, fileName)) {
            outcome.problem = object.error().toString();
            outcome.compilerLine = object.error().compilerLine();
            return outcome;
        }
        if (!LanguageImport::fillLanguage(object, true, sampleText, outcome.language, outcome.problem, &outcome.changes)) {
            outcome.compilerLine = QStringLiteral("%1: error: %2").arg(fileName, outcome.problem);
            outcome.status = Status::Refused;
            return outcome;
        }
    }
    if (const QString problem = RecordFields::sizeProblem(outcome.language); !problem.isEmpty()) {
        outcome.problem = QStringLiteral("%1: %2").arg(fileName, problem);
        outcome.compilerLine = QStringLiteral("%1: error: %2").arg(fileName, problem);
        outcome.status = Status::Refused;
        return outcome;
    }
    outcome.status = Status::Converted;
    return outcome;
}

} // namespace LanguageConversion
