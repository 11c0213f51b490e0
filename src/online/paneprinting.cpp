#include "online/paneprinting.h"

#include "widgets/editorpane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinterInfo>

namespace {

PanePrinting::Result printWith(QsciPrinter &printer, EditorPane *pane, const QString &documentName)
{
    PanePrinting::Result result;
    if (!pane) {
        result.error = QCoreApplication::translate("PanePrinting", "there is no pane to print");
        return result;
    }
    printer.setDocName(documentName.isEmpty() ? QStringLiteral("Varlex") : documentName);
    printer.setColorMode(QPrinter::Color);
    if (!pane->print(printer)) {
        result.error = printer.outputFileName().isEmpty()
            ? QCoreApplication::translate("PanePrinting", "the printer could not be opened")
            : QCoreApplication::translate("PanePrinting", "\"%1\" could not be written").arg(QDir::toNativeSeparators(printer.outputFileName()));
        return result;
    }
    result.kind = PanePrinting::Result::Kind::Printed;
    return result;
}

} // namespace

namespace PanePrinting {

QString Result::statusText() const
{
    switch (kind) {
    case Kind::Printed: return QCoreApplication::translate("PanePrinting", "Printed.");
    case Kind::Pdf:
        return QCoreApplication::translate("PanePrinting", "No printer is set up; printed to %1").arg(QDir::toNativeSeparators(pdfPath));
    case Kind::Failed: break;
    }
    return QCoreApplication::translate("PanePrinting", "Could not print: %1").arg(error);
}

bool hasDefaultPrinter()
{
    return !QPrinterInfo::defaultPrinter().isNull();
}

Result printToPdf(EditorPane *pane, const QString &pdfPath, const QString &documentName)
{
    // The printer only says that it failed; opening the file first names the cause.
    QFile probe(pdfPath);
    if (!probe.open(QIODevice::WriteOnly)) {
        Result result;
        result.error = QCoreApplication::translate("PanePrinting", "\"%1\" could not be written: %2")
                           .arg(QDir::toNativeSeparators(pdfPath), probe.errorString());
        return result;
    }
    probe.close();
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    Result result = printWith(printer, pane, documentName);
    if (result.kind == Result::Kind::Printed) {
        result.kind = Result::Kind::Pdf;
        result.pdfPath = QFileInfo(pdfPath).absoluteFilePath();
    }
    return result;
}

Result print(EditorPane *pane, const QString &pdfPath, const QString &documentName)
{
    if (!hasDefaultPrinter())
        return printToPdf(pane, pdfPath, documentName);
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QPrinterInfo::defaultPrinter().printerName());
    return printWith(printer, pane, documentName);
}

} // namespace PanePrinting
