#pragma once

#include <QString>

namespace Lint {

// How much a finding matters: an error breaks the file or loses data, a warning makes colours
// differ from what the definition seems to say, a note is advice.
enum class Severity { Error, Warning, Note };

QString severityName(Severity severity); // "error", "warning", "note"

// One thing the checker found in a language. Tokenset and token are empty when the finding is
// about the language (or the tokenset) as a whole.
struct Finding {
    Severity severity = Severity::Note;
    QString rule;     // short name of the check, e.g. "regexp-invalid"
    QString language; // the language's name
    QString tokenset;
    QString token;
    QString message;  // one line

    friend bool operator==(const Finding &, const Finding &) = default;
};

} // namespace Lint
