#pragma once

#include "import/conversionreport.h"
#include "import/languagedraft.h"
#include "model/language.h"

#include <QString>

// Fits a converted language (languagedraft.h) into a language record: at most 51 tokensets, 10 valid
// scopes a tokenset, 65,535 bytes a field. Tokensets that colour alike and are valid in the same
// places become one; when that is not enough, those that colour alike become one wherever they are
// valid. A tokenset valid in more scopes than a record holds is split in two while slots are free.
// Every merge, split and loss goes to the report; only a language that cannot fit is refused.
namespace LanguageFitting {

struct Limits {
    int tokensets = Language::kSlots;
    int validScopes = Language::kValidScopes - 1; // element 10 is never written
    qsizetype fieldBytes = 65535;
};

// The text a token takes in a token line: its guards as a negative lookahead before it.
QString tokenText(const TokenDraft &token);

// Fills `out` (a blank record; every tokenset included); false with a one-line reason when the
// language cannot fit.
bool fit(LanguageDraft draft, const QString &sampleText, Language &out, ConversionReport &report,
         QString &problem, const Limits &limits = {});

} // namespace LanguageFitting
