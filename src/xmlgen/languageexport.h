#pragma once

#include "xmlgen/xmlwriter.h"

#include <QString>
#include <QStringList>

#include <functional>

// Export of language definition files into the export folder: the current language (only its
// current tokenset rebuilt) or every language of the database in order (everything rebuilt).
namespace LanguageExport {

[[nodiscard]] WriteResult exportCurrent(XmlWriter &writer);

struct Report {
    int written = 0;
    QStringList files;    // the files written, in order
    QStringList failures; // one line per language that was refused or failed
    // One line per language written to the file an earlier language was written to (two languages
    // of one name): the file holds only the later one.
    QStringList clashes;
    bool cancelled = false; // the user kept the manual changes of the XML pane, or stopped

    bool ok() const { return failures.isEmpty() && clashes.isEmpty() && !cancelled; }
    // All failures and clashes in one message, or an empty string.
    QString message() const;
};

// Goes on with the next language after a failure or a clash; stops when the user keeps manual changes,
// or when `next` (told the index of each language before it is written) returns false.
Report exportAll(XmlWriter &writer, const std::function<bool(int index)> &next = {});

} // namespace LanguageExport
