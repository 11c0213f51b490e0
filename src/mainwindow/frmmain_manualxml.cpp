// Manual changes of the XML pane (apply, save), sample text edits and Seek.
#include "editorcontrol/compiledlanguage.h"
#include "mainwindow/editstate.h"
#include "xmlgen/xmlwriter.h"
#include "mainwindow/frmmain.h"
#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"
#include "xmlgen/outputfile.h"

#include <QDir>
#include <QFile>

void FrmMain::cmdApply_Click()
{
    ui->cmdApply->setEnabled(false);
    ViewManualChanges();
}

void FrmMain::ViewManualChanges()
{
    Trace::entry(QStringLiteral("ViewManualChanges"));
    const QString path = ProgramFolder::file(XmlWriter::kWorkingFile);
    const QString languageName = ui->lstLang->currentItem() ? ui->lstLang->currentItem()->text() : QString();
    const QString problem = OutputFile::write(path, XmlWriter::fileBytes(ui->txtXML->text()));
    LanguageObject &preview = *previewLanguage_;
    if (problem.isEmpty()) {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        // The program's own text is no manual change.
        ui->txtXML->setReportChanges(false);
        ui->txtXML->setText(AnsiCodec::decode(bytes));
        ui->txtXML->setReportChanges(true);
        if (previewRegistered_)
            G_.unregisterLanguage(&preview);
        previewRegistered_ = false;
        if (preview.loadData(bytes, path)) {
            previewRegistered_ = G_.registerLanguage(previewLanguage_);
            const bool wasLoading = db_.loading;
            db_.loading = true;
            ui->txtSample->setLanguage(CompiledLanguage::compile(*preview.definition()));
            if (!db_.languages.isEmpty())
                ui->txtSample->setText(db_.current().sampletext);
            db_.loading = wasLoading;
            return;
        }
    }
    // The sample shows uncoloured; the stored sample text stays as it is.
    ui->txtSample->setLanguage(nullptr);
    dialogs_->message(this, QStringLiteral("Error reading manually changed language: ") + languageName,
                      QStringLiteral("Error"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

void FrmMain::cmdSave_Click()
{
    QListWidgetItem *item = ui->lstLang->currentItem();
    if (!item)
        return;
    const QString folder = ProgramFolder::file(QStringLiteral("language_def"));
    QString problem = OutputFile::ensureFolder(folder);
    const QString path = QDir(folder).filePath(item->text() + QStringLiteral(".lng"));
    if (problem.isEmpty())
        problem = OutputFile::write(path, XmlWriter::fileBytes(ui->txtXML->text()));
    if (!problem.isEmpty()) {
        dialogs_->message(this, problem, QStringLiteral("Save Language File"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
        return;
    }
    ui->cmdSave->setEnabled(false);
}

void FrmMain::txtXML_Change()
{
    if (db_.loading)
        return;
    ui->cmdApply->setEnabled(true);
    ui->cmdSave->setEnabled(true);
}

void FrmMain::txtSample_Change()
{
    if (db_.loading || db_.languages.isEmpty())
        return;
    db_.current().sampletext = ui->txtSample->text();
    db_.dirty = true;
}

// Shows and selects the next start of the selected tokenset's element in the XML pane; the name is
// matched whole, in its quotes.
void FrmMain::GoToTokenset()
{
    QListWidgetItem *item = ui->lstTokenset->currentItem();
    if (!item)
        return;
    const QString text = QStringLiteral("<tokenset name=\"") + item->text() + QLatin1Char('"');
    ui->txtXML->setFindText(text);
    ui->txtXML->findNext();
}
