// Start-up, shutdown and the option toggles of the main window.
#include "mainwindow/frmdebug.h"
#include "mainwindow/frmmain.h"
#include "mainwindow/updateinfo.h"
#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"

#define signals Q_SIGNALS
#define slots Q_SLOTS
#include <Qsci/qscilexerxml.h>
#undef signals
#undef slots

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QXmlStreamReader>

namespace {

const QString kBuiltInSample = QStringLiteral("<< and if else 12.5 'help'");
const QString kFeedbackText =
    QStringLiteral("Suggestions or problems? Tell the author: Help > Email Author.");

// Checks that a definition file can colour the XML pane: it must exist and be a well-formed
// document whose root is a language element. Returns the problem, or an empty string.
QString xmlLanguageProblem(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QStringLiteral("the file %1 is missing").arg(QDir::toNativeSeparators(path));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("the file %1 cannot be read: %2").arg(QDir::toNativeSeparators(path), file.errorString());
    if (file.size() == 0)
        return QStringLiteral("the file %1 is empty").arg(QDir::toNativeSeparators(path));
    QXmlStreamReader xml(&file);
    bool sawRoot = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && !sawRoot) {
            sawRoot = true;
            if (xml.name() != QLatin1String("language"))
                return QStringLiteral("the file %1 does not define a language (its root element is \"%2\")")
                    .arg(QDir::toNativeSeparators(path), xml.name().toString());
        }
    }
    if (xml.hasError())
        return QStringLiteral("the file %1 is not well-formed XML (line %2, column %3: %4)")
            .arg(QDir::toNativeSeparators(path))
            .arg(xml.lineNumber())
            .arg(xml.columnNumber())
            .arg(xml.errorString());
    return QString();
}

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

    // 16. Margin images: LoadImages.

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
    const QString problem = xmlLanguageProblem(ProgramFolder::file(QStringLiteral("xml.lng")));
    xmlLanguageOk_ = problem.isEmpty();
    if (xmlLanguageOk_) {
        if (!ui->txtXML->lexer())
            ui->txtXML->setLexer(new QsciLexerXML(ui->txtXML));
        return;
    }
    ui->txtXML->setLexer(nullptr);
    dialogs_->message(this,
                      QStringLiteral("The XML code cannot be coloured: %1.\r\nIt is shown as plain text.").arg(problem),
                      QStringLiteral("XML Language"), Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

void FrmMain::LoadMemberLists()
{
    Trace::entry(QStringLiteral("LoadMemberLists"));
    for (QComboBox *box : {ui->cmbLMemberList, ui->cmbTMemberList}) {
        box->clear();
        box->addItem(QStringLiteral("<none>"));
        box->setCurrentIndex(0);
    }
}

void FrmMain::lstLang_Click()
{
    if (db_.loading)
        return;
    Trace::entry(QStringLiteral("lstLang_click"));
    const int row = ui->lstLang->currentRow();
    if (row >= 0 && row < db_.languages.size())
        db_.currentLanguage = row;
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
    Q_UNUSED(mode);
    // The XML writer and the preview join here when they land.
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
    QsciScintilla *pane = ui->txtSample;
    switch (option) {
    case SampleOption::LeftMargin: return pane->marginWidth(1) > 0;
    case SampleOption::WhiteSpace: return pane->whitespaceVisibility() != QsciScintilla::WsInvisible;
    case SampleOption::DropFiles: return pane->property("dropFiles").toBool();
    case SampleOption::LineNumbering: return pane->marginLineNumbers(0) && pane->marginWidth(0) > 0;
    case SampleOption::LineNumberBold: return pane->property("lineNumberBold").toBool();
    }
    return false;
}

void FrmMain::setSampleOption(SampleOption option, bool on)
{
    QsciScintilla *pane = ui->txtSample;
    switch (option) {
    case SampleOption::LeftMargin:
        pane->setMarginWidth(1, on ? 16 : 0);
        break;
    case SampleOption::WhiteSpace:
        pane->setWhitespaceVisibility(on ? QsciScintilla::WsVisible : QsciScintilla::WsInvisible);
        break;
    case SampleOption::DropFiles:
        pane->setProperty("dropFiles", on);
        break;
    case SampleOption::LineNumbering:
        pane->setMarginLineNumbers(0, on);
        if (on)
            pane->setMarginWidth(0, QStringLiteral("00000"));
        else
            pane->setMarginWidth(0, 0);
        break;
    case SampleOption::LineNumberBold:
        pane->setProperty("lineNumberBold", on);
        break;
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
