// Export of language files, the folder choosers, and the viewer, print and daily message commands.
#include "mainwindow/frmmain.h"
#include "mainwindow/hourglass.h"
#include "mainwindow/languagelistpanel.h"
#include "mainwindow/previewpanel.h"
#include "model/programfolder.h"
#include "online/onlineservices.h"
#include "session/editsession.h"
#include "ui_frmmain.h"
#include "viewer/frmviewer.h"
#include "xmlgen/outputfile.h"

#include <QDir>
#include <QProgressDialog>
#include <QSettings>

QString FrmMain::exportFolder() const { return session_->preview().exportFolder(); }
QString FrmMain::importFolder() const { return languageList_->importFolder(); }
QString FrmMain::memberListFolder() const { return session_->preview().memberListFolder(); }
QString FrmMain::marginImageFolder() const { return session_->marginImageFolder(); }
QString FrmMain::defaultSampleText() const { return session_->defaultSampleText(); }

void FrmMain::mnuCreate_Click()
{
    if (!session_->hasLanguage())
        return;
    Hourglass busy;
    const WriteResult result = session_->exportCurrent();
    if (result.status == WriteResult::Status::Failed)
        report(result.error, tr("Export Language File"));
}

// Every language in database order, each rebuilt whole. A language that cannot be written is
// reported with the others at the end; the rest are written. Stop ends it after the language in hand.
void FrmMain::mnuCreateAll_Click()
{
    // A folder that cannot be made fails every language alike: said once.
    if (const QString problem = OutputFile::ensureFolder(session_->preview().exportFolder()); !problem.isEmpty()) {
        report(problem, tr("Export Language Files"));
        return;
    }
    Hourglass busy;
    const int count = int(session_->db().languages.size());
    QProgressDialog progress(tr("Exporting language files..."), tr("Stop"), 0, count, this);
    progress.setWindowTitle(tr("Export XML Language Files"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(700);
    const LanguageExport::Report result = session_->exportAll([&progress](int index) {
        progress.setValue(index);
        return !progress.wasCanceled();
    });
    progress.setValue(count);
    // Failures and two languages written to one file are reported together, once.
    if (const QString message = result.message(); !message.isEmpty())
        report(message, tr("Export Language Files"));
}

// The chosen folder, or an empty string on Cancel. Paths are kept as chosen: letter case matters
// on most file systems here.
QString FrmMain::SelectRootFolder()
{
    return dialogs_->folder(this, tr("Select Output Folder"), ProgramFolder::path());
}

void FrmMain::mnuSelectLanguage_Click()
{
    const QString folder = SelectRootFolder();
    if (!folder.isEmpty())
        session_->setExportFolder(folder);
}

void FrmMain::mnuSelectMemberlist_Click()
{
    const QString folder = SelectRootFolder();
    if (!folder.isEmpty())
        session_->setMemberListFolder(folder);
}

void FrmMain::mnuSelectImageFolder_Click()
{
    const QString folder = SelectRootFolder();
    if (!folder.isEmpty())
        session_->setMarginImageFolder(folder);
}

void FrmMain::mnuShowLanguageFile_Click()
{
    if (!frmViewer_) {
        ViewerContext context;
        context.exportFolder = session_->preview().exportFolder();
        context.programFolder = ProgramFolder::path();
        context.xmlLanguage = session_->preview().xmlLanguage();
        frmViewer_ = new FrmViewer(*dialogs_, context, this);
    }
    static_cast<FrmViewer *>(frmViewer_.data())->showFiles();
}

void FrmMain::mnuPrintSample_Click()
{
    setStatusBarText(online_->printPane(preview_->samplePane(), OnlineServices::kSamplePdf).statusText());
}

void FrmMain::mnuPrintXML_Click()
{
    setStatusBarText(online_->printPane(preview_->xmlPane(), OnlineServices::kXmlPdf).statusText());
}

void FrmMain::toolbarMessage_Click()
{
    online_->downloadMessage([this](const QString &text) { setStatusBarText(text); });
}

// The current language as a KDE syntax definition into the export folder. The file patterns are asked
// for each time, offered as last given for this language (kept in the settings, not the database).
void FrmMain::mnuExportKde_Click()
{
    if (!session_->hasLanguage())
        return;
    const QString title = tr("Export KDE Syntax Definition");
    const QString language = session_->db().languages[session_->db().currentLanguage].name;
    const auto store = settingsStore();
    const QString key = QStringLiteral("KdeFilePatterns/") + QString::fromLatin1(language.toUtf8().toPercentEncoding());
    const QString patterns = dialogs_->input(
        this, tr("File patterns of the language, separated by ';' (for example *.c;*.h):"), title,
        store->value(key, QStringLiteral("*.") + language.toLower()).toString());
    if (patterns.isEmpty())
        return;
    store->setValue(key, patterns);
    Hourglass busy;
    const KdeExport::Outcome outcome = session_->exportKde(patterns);
    if (!outcome.ok())
        report(outcome.error, title);
    else
        setStatusBarText(tr("Exported %1").arg(QDir::toNativeSeparators(outcome.file)));
}
