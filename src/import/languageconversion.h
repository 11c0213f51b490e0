#pragma once

#include "import/conversionreport.h"
#include "import/formatconverter.h"
#include "model/language.h"

#include <QByteArray>
#include <QString>

#include <vector>

// One entry point for every file a user may import or convert: a language definition (.lng) or a
// grammar of another editor, told apart by content. A grammar is converted by its FormatConverter
// and fitted into a record (languagefitting.h); a .lng is read as an import reads it.
namespace LanguageConversion {

enum class Status {
    Converted,  // `language` holds the record
    Unreadable, // neither a definition nor a known format, or not readable as its format
    Refused,    // read, but it cannot become a language record
};

struct Outcome {
    Status status = Status::Unreadable;
    Language language;
    ConversionReport report; // what a converter approximated, merged or dropped
    QStringList changes;     // a .lng: each token a token line could not hold as it was
    QString problem; // one line, when not converted
    QString compilerLine; // a .lng's problem as "FILE:LINE:COLUMN: error: ..." (or "FILE: error: ...")
    QString format;  // "language definition" or the converter's format name
};

// Every converter of another editor's format, in the order they are asked.
const std::vector<const FormatConverter *> &converters();
// The converter that recognises the content, or nullptr (a .lng, or nothing known).
const FormatConverter *converterFor(const QByteArray &bytes);

// The file dialog filters for an import: the .lng filter first, then one per converter.
QStringList importFilters();

// Converts `bytes` (read from `fileName`, which names it in messages and whose folder is searched
// for referenced definitions). Every tokenset of the result is included.
Outcome convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                const QString &sampleText);

} // namespace LanguageConversion
