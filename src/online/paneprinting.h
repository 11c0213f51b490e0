#pragma once

#include <QString>

class EditorPane;

// Prints the text of an editor pane with its colours. Without a configured printer the pages go
// into a PDF file instead, so a print command never fails in silence.
namespace PanePrinting {

struct Result {
    enum class Kind { Printed, Pdf, Failed };
    Kind kind = Kind::Failed;
    QString pdfPath; // the file written, for Kind::Pdf
    QString error;   // the cause, for Kind::Failed

    // One line for the status bar.
    QString statusText() const;
};

bool hasDefaultPrinter();

// On the default printer when there is one, else into the PDF file pdfPath (replaced).
Result print(EditorPane *pane, const QString &pdfPath, const QString &documentName = QString());

Result printToPdf(EditorPane *pane, const QString &pdfPath, const QString &documentName = QString());

} // namespace PanePrinting
