// Start-up, shutdown and the option toggles of the main window.
#include "mainwindow/frmmain.h"
#include "mainwindow/languagelistpanel.h"
#include "mainwindow/previewpanel.h"
#include "mainwindow/tokensetpropertiespanel.h"
#include "mainwindow/tracepanel.h"
#include "mainwindow/updateinfo.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "online/onlineservices.h"
#include "session/editsession.h"
#include "ui_frmmain.h"
#include "widgets/editorpane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

void FrmMain::Form_Load()
{
    // 1. The program folder is the current folder.
    const QString folder = ProgramFolder::path().isEmpty() ? ProgramFolder::resolve() : ProgramFolder::path();
    QDir::setCurrent(folder);
    online_ = std::make_unique<OnlineServices>(this, *dialogs_, folder);

    // 2. The sample pane's margin images come from the folder the preview panel loads.
    // 3. The feedback text in the status bar.
    statusText_ = tr("Suggestions or problems? Tell the author: Help > Email Author.");
    setStatusBarText(statusText_);

    // 4. Everything up to the first language is traced in the status pane.
    trace_->traceStartUp();

    // 5. Default folders.
    const QDir dir(folder);
    session_->setMarginImageFolderQuietly(dir.filePath(QStringLiteral("margin_images")));
    languageList_->setImportFolder(dir.filePath(QStringLiteral("language_def")));
    session_->setExportFolder(dir.filePath(QStringLiteral("language_def")));
    const QString defaultMemberFolder = dir.filePath(QStringLiteral("language_mem"));

    // 6. The status pane lies over the token boxes (the layout puts both in one cell).
    // 7, 8. Font size, separator; the red flag and the validity message (the trace panel's).
    settingsSaveFlag_ = true;
    tokensetProperties_->setTokenFontSize(font().pointSize()); // the size of every other control
    attributeSeparator_ = QStringLiteral(" ");

    // 9. Nothing reads these files back, so a read-only folder only loses them.
    UpdateInfo::write(folder, QStringLiteral(VARLEX_VERSION), QFileInfo(QCoreApplication::applicationFilePath()).size());

    // 10. Member lists, from the default folder (the settings are read later).
    session_->loadMemberLists(defaultMemberFolder);

    // 11.
    session_->setDefaultSampleText(LanguageTemplate::defaultSampleText(folder));

    // 12, 13. An empty registry, then the XML pane's own language.
    session_->registerXmlLanguage();
    ui->txtXML->setLanguage(session_->preview().xmlLanguage());

    // 14.
    session_->load();

    // 15. A member list folder chosen in an earlier session replaces the default one loaded above.
    Settings(QStringLiteral("get"));

    // 16.
    preview_->LoadImages();

    // 17 to 19.
    applyEditorOptions();
    applyEasyRead();
    session_->setWriterOptions(ui->mnuHideAttributes->isChecked(), ui->mnuEasyRead->isChecked());

    // 20.
    trace_->showStatusPaneAsChecked();

    // 21, 22. Clean, nothing selected; the list's handler displays the first language.
    languageList_->selectLanguage(0);
}

void FrmMain::applyEasyRead()
{
    const bool on = ui->mnuEasyRead->isChecked();
    toolbarButton(QStringLiteral("easy"))->setChecked(on);
    attributeSeparator_ = on ? QStringLiteral("\r\n") : QStringLiteral(" ");
}

// The five editor options of the sample pane, in the order of start-up step 17: line number bold,
// line numbering, drop files, left margin, white space.
namespace {

enum SampleOption { LeftMargin, WhiteSpace, DropFiles, LineNumbering, LineNumberBold };

bool sampleOption(const EditorPane *pane, int option)
{
    switch (option) {
    case LeftMargin: return pane->leftMarginVisible();
    case WhiteSpace: return pane->whiteSpaceVisible();
    case DropFiles: return pane->dropFilesEnabled();
    case LineNumbering: return pane->lineNumbersVisible();
    default: return pane->boldSelectionLineNumber();
    }
}

void setSampleOption(EditorPane *pane, int option, bool on)
{
    switch (option) {
    case LeftMargin: pane->setLeftMarginVisible(on); break;
    case WhiteSpace: pane->setWhiteSpaceVisible(on); break;
    case DropFiles: pane->setDropFilesEnabled(on); break;
    case LineNumbering: pane->setLineNumbersVisible(on); break;
    default: pane->setBoldSelectionLineNumber(on); break;
    }
}

} // namespace

void FrmMain::applyEditorOptions()
{
    EditorPane *pane = preview_->samplePane();
    setSampleOption(pane, LineNumberBold, ui->mnuLineNumberBold->isChecked());
    setSampleOption(pane, LineNumbering, ui->mnuLineNumbering->isChecked());
    setSampleOption(pane, DropFiles, ui->mnuDropFiles->isChecked());
    setSampleOption(pane, LeftMargin, ui->mnuDisplayLeft->isChecked());
    setSampleOption(pane, WhiteSpace, ui->mnuDisplayWhite->isChecked());
}

// The pane's property and the menu check are inverted independently; start-up made them agree.
void FrmMain::toggleSampleOption(int option)
{
    EditorPane *pane = preview_->samplePane();
    setSampleOption(pane, option, !sampleOption(pane, option));
}

void FrmMain::mnuExit_Click()
{
    close();
}

// True when the window may close. A failed save keeps it open with every change.
bool FrmMain::Form_QueryUnload()
{
    if (!session_->isDirty())
        return true;
    switch (dialogs_->message(this, tr("Save changes?"), tr("Save Changes"),
                              Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes: return saveDatabase();
    case Dialogs::Answer::No: return true;
    default: return false;
    }
}

void FrmMain::Form_Unload()
{
    Settings(QStringLiteral("save"));
    if (frmViewer_) {
        frmViewer_->close();
        delete frmViewer_.data();
    }
}
