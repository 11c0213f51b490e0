// Export of language files, the folder chooser, and the viewer, print, About and online commands.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "model/programfolder.h"
#include "online/onlineservices.h"
#include "ui_frmmain.h"
#include "viewer/frmviewer.h"
#include "xmlgen/languageexport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

namespace {

struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void FrmMain::mnuCreate_Click()
{
    if (db_.languages.isEmpty())
        return;
    Hourglass busy;
    const WriteResult result = LanguageExport::exportCurrent(*writer_);
    if (result.status == WriteResult::Status::Failed)
        dialogs_->message(this, result.error, QStringLiteral("Export Language File"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
}

// Every language in database order, each rebuilt whole. A language that cannot be written is
// reported with the others at the end; the rest are written.
void FrmMain::mnuCreateAll_Click()
{
    Hourglass busy;
    LanguageExport::Report report;
    QProgressDialog progress(QStringLiteral("Exporting language files..."), QStringLiteral("Stop"), 0,
                             int(db_.languages.size()), this);
    progress.setWindowTitle(QStringLiteral("Export XML Language Files"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(700);
    for (int i = 0; i < db_.languages.size(); ++i) {
        progress.setValue(i);
        if (progress.wasCanceled())
            break;
        const WriteResult result = writer_->WriteXML(i, false, 1);
        if (result.status == WriteResult::Status::Cancelled)
            break;
        if (result.written()) {
            ++report.written;
            report.files += result.file;
        } else {
            report.failures += result.error;
        }
    }
    progress.setValue(int(db_.languages.size()));
    if (!report.failures.isEmpty())
        dialogs_->message(this, report.message(), QStringLiteral("Export Language Files"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
}

// The chosen folder, or an empty string on Cancel. Paths are kept as chosen: letter case matters
// on most file systems here.
QString FrmMain::SelectRootFolder()
{
    return dialogs_->folder(this, QStringLiteral("Select Output Folder"), ProgramFolder::path());
}

void FrmMain::mnuSelectLanguage_Click()
{
    const QString folder = SelectRootFolder();
    if (!folder.isEmpty())
        exportFolder_ = folder;
}

void FrmMain::mnuShowLanguageFile_Click()
{
    if (!frmViewer_) {
        ViewerContext context;
        context.exportFolder = exportFolder_;
        context.programFolder = ProgramFolder::path();
        context.xmlLanguage = xmlCompiled_;
        frmViewer_ = new FrmViewer(*dialogs_, context, this);
    }
    frmViewer_->show();
    frmViewer_->raise();
}

void FrmMain::mnuAbout_Click()
{
    edit_->online->about();
}

void FrmMain::mnuPrintSample_Click()
{
    setStatusBarText(edit_->online->printPane(ui->txtSample, OnlineServices::kSamplePdf).statusText());
}

void FrmMain::mnuPrintXML_Click()
{
    setStatusBarText(edit_->online->printPane(ui->txtXML, OnlineServices::kXmlPdf).statusText());
}

void FrmMain::mnuOnlineUpdate_Click()
{
    edit_->online->onlineUpdate();
}

void FrmMain::toolbarMessage_Click()
{
    setStatusBarText(edit_->online->downloadMessage());
}
