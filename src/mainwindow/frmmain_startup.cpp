// Start-up, shutdown and the option toggles of the main window.
#include "editorcontrol/compiledlanguage.h"
#include "mainwindow/frmdebug.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/updateinfo.h"
#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"
#include "xmlgen/xmlwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kBuiltInSample = QStringLiteral("<< and if else 12.5 'help'");
const QString kFeedbackText =
    QStringLiteral("Suggestions or problems? Tell the author: Help > Email Author.");

} // namespace

void FrmMain::Form_Load()
{
    // 1. The program folder is the current folder.
    const QString folder = ProgramFolder::path().isEmpty() ? ProgramFolder::resolve() : ProgramFolder::path();
    QDir::setCurrent(folder);

    // 2. The sample pane's margin images come from the image list that LoadImages fills.

    // 3. The feedback text in the status bar.
    statusText_ = kFeedbackText;
    setStatusBarText(statusText_);

    // 4. Everything up to the first language is traced in the status pane.
    db_.loading = true;
    statusPaneShown_ = true;

    // 5. Default folders.
    marginImageFolder_ = QDir(folder).filePath(QStringLiteral("margin_images"));
    importFolder_ = QDir(folder).filePath(QStringLiteral("language_def"));
    exportFolder_ = QDir(folder).filePath(QStringLiteral("language_def"));
    memberListFolder_ = QDir(folder).filePath(QStringLiteral("language_mem"));

    // 6. The status pane lies over the token boxes (the layout puts both in one cell).

    // 7.
    settingsSaveFlag_ = true;
    databaseFile_ = QStringLiteral("varlex.dat");
    tokenFontSize_ = 8;
    indentUnit_ = QString(5, QLatin1Char(' '));
    attributeSeparator_ = QStringLiteral(" ");

    // 8.
    setBackColor(ui->lblRedFlag, 0x00FF00);
    validityMessage_ = QStringLiteral("No errors detected!");

    // 9. Nothing reads these files back, so a read-only folder only loses them.
    UpdateInfo::write(folder, QStringLiteral(VARLEX_VERSION),
                      QFileInfo(QCoreApplication::applicationFilePath()).size());

    // 10. Member lists, from the default folder (the settings are read later).
    LoadMemberLists();

    // 11.
    {
        QFile sample(QDir(folder).filePath(QStringLiteral("sample.txt")));
        defaultSampleText_ = sample.open(QIODevice::ReadOnly) ? AnsiCodec::decode(sample.readAll()) : kBuiltInSample;
    }

    // 12, 13. An empty registry, then the XML pane's own language.
    registerXmlLanguage();

    // 14.
    LoadFileData();

    // 15.
    Settings(QStringLiteral("get"));
    // A member list folder chosen in an earlier session replaces the default one loaded above.
    if (memberListFolder_ != QDir(folder).filePath(QStringLiteral("language_mem")))
        LoadMemberLists();

    // 16.
    LoadImages();

    // 17 to 19.
    applyEditorOptions();
    applyTokenFont();
    applyEasyRead();

    // 20.
    statusPaneShown_ = ui->mnuDebug->isChecked();
    ui->txtStatus->setVisible(statusPaneShown_);
    ui->lblTokens->setVisible(!statusPaneShown_);
    ui->lbltokens2->setVisible(!statusPaneShown_ && !ui->txtTokens2->isHidden());

    // 21.
    db_.dirty = false;
    db_.loading = false;
    db_.currentTokenset = -1;

    // 22. The list's handler displays the first language.
    if (ui->lstLang->count() > 0)
        ui->lstLang->setCurrentRow(0);
}

// Empties the registry and registers "xml.lng" for the XML pane. When the file is missing or
// malformed the program goes on with a plain XML pane and says so once.
void FrmMain::registerXmlLanguage()
{
    G_.clearLanguages();
    auto language = std::make_shared<LanguageObject>();
    if (language->load(ProgramFolder::file(QStringLiteral("xml.lng")))) {
        G_.registerLanguage(language);
        xmlLanguage_ = language;
        xmlCompiled_ = CompiledLanguage::compile(*language->definition());
        ui->txtXML->setLanguage(xmlCompiled_);
        return;
    }
    xmlLanguage_.reset();
    xmlCompiled_.reset();
    ui->txtXML->setLanguage(nullptr);
    dialogs_->message(this,
                      QStringLiteral("The XML code cannot be coloured: %1\r\nIt is shown as plain text.")
                          .arg(language->error().toString()),
                      QStringLiteral("XML Language"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

void FrmMain::applyXmlLanguage(QsciScintilla *pane) const
{
    if (auto *editor = qobject_cast<EditorPane *>(pane))
        editor->setLanguage(xmlCompiled_);
}

void FrmMain::setStatusBarText(const QString &text)
{
    statusLabel_->setText(text);
}

QString FrmMain::statusBarText() const
{
    return statusLabel_->text();
}

void FrmMain::applyTokenFont()
{
    for (QWidget *box : {static_cast<QWidget *>(ui->txtTokens), static_cast<QWidget *>(ui->txtTokens2)}) {
        QFont font = box->font();
        font.setPointSize(tokenFontSize_);
        box->setFont(font);
    }
}

void FrmMain::applyEasyRead()
{
    const bool on = ui->mnuEasyRead->isChecked();
    toolbarButton(QStringLiteral("easy"))->setChecked(on);
    attributeSeparator_ = on ? QStringLiteral("\r\n") : QStringLiteral(" ");
}

void FrmMain::mnuEasyRead_Click()
{
    applyEasyRead();
    regenerate(1);
}

void FrmMain::mnuHideAttributes_Click()
{
    regenerate(1);
}

// Rebuilds the definition of the current language and reloads the preview; the dirty flag stays.
void FrmMain::regenerate(int mode)
{
    if (db_.currentLanguage < 0 || db_.currentLanguage >= db_.languages.size())
        return;
    if (WriteXML(db_.currentLanguage, true, mode).written())
        ViewLanguage();
}

// Start-up copies the menu state into the sample pane, in this order.
void FrmMain::applyEditorOptions()
{
    setSampleOption(SampleOption::LineNumberBold, ui->mnuLineNumberBold->isChecked());
    setSampleOption(SampleOption::LineNumbering, ui->mnuLineNumbering->isChecked());
    setSampleOption(SampleOption::DropFiles, ui->mnuDropFiles->isChecked());
    setSampleOption(SampleOption::LeftMargin, ui->mnuDisplayLeft->isChecked());
    setSampleOption(SampleOption::WhiteSpace, ui->mnuDisplayWhite->isChecked());
}

bool FrmMain::sampleOption(SampleOption option) const
{
    const EditorPane *pane = ui->txtSample;
    switch (option) {
    case SampleOption::LeftMargin: return pane->leftMarginVisible();
    case SampleOption::WhiteSpace: return pane->whiteSpaceVisible();
    case SampleOption::DropFiles: return pane->dropFilesEnabled();
    case SampleOption::LineNumbering: return pane->lineNumbersVisible();
    case SampleOption::LineNumberBold: return pane->boldSelectionLineNumber();
    }
    return false;
}

void FrmMain::setSampleOption(SampleOption option, bool on)
{
    EditorPane *pane = ui->txtSample;
    switch (option) {
    case SampleOption::LeftMargin: pane->setLeftMarginVisible(on); break;
    case SampleOption::WhiteSpace: pane->setWhiteSpaceVisible(on); break;
    case SampleOption::DropFiles: pane->setDropFilesEnabled(on); break;
    case SampleOption::LineNumbering: pane->setLineNumbersVisible(on); break;
    case SampleOption::LineNumberBold: pane->setBoldSelectionLineNumber(on); break;
    }
}

// The pane's property and the menu check are inverted independently; start-up made them agree.
void FrmMain::toggleSampleOption(SampleOption option, QAction *item)
{
    Q_UNUSED(item); // the menu item has inverted its own check
    setSampleOption(option, !sampleOption(option));
}

void FrmMain::mnuExit_Click()
{
    close();
}

void FrmMain::Form_Unload()
{
    Settings(QStringLiteral("save"));
    for (QPointer<QWidget> *window : {&frmAbout_, &frmViewer_}) {
        if (*window) {
            (*window)->close();
            delete window->data();
        }
    }
    if (frmDebug_) {
        frmDebug_->close();
        delete frmDebug_.data();
    }
}
