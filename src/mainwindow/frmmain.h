#pragma once

#include "session/sessionprompts.h"
#include "widgets/dialogs.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>

namespace Ui {
class frmMain;
}
class EditSession;
class ElidedLabel;
class LanguageListPanel;
class LanguagePropertiesPanel;
class OnlineServices;
class PreviewPanel;
class QAction;
class QLabel;
class QSettings;
class QSplitter;
class TokensetListPanel;
class TokensetPropertiesPanel;
class TracePanel;

// The main window: a shell of menus, toolbar, status bar, settings and closing around six panels
// (language list, tokenset list, language properties, tokenset properties, preview, trace) that show
// the editing session and turn every change of a control into one session operation.
class FrmMain : public QMainWindow, private SessionPrompts {
    Q_OBJECT
public:
    // Runs the start-up sequence. dialogs answers every modal question (the real dialogs when null).
    explicit FrmMain(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr);
    ~FrmMain() override;

    // The per-user settings store: application "Varlex", keys in the group "Settings".
    static std::unique_ptr<QSettings> settingsStore();

    EditSession &session() { return *session_; }
    Dialogs &dialogs() { return *dialogs_; }
    LanguageListPanel &languageList() { return *languageList_; }
    TokensetListPanel &tokensetList() { return *tokensetList_; }
    LanguagePropertiesPanel &languageProperties() { return *languageProperties_; }
    TokensetPropertiesPanel &tokensetProperties() { return *tokensetProperties_; }
    PreviewPanel &preview() { return *preview_; }
    TracePanel &trace() { return *trace_; }
    QAction *toolbarButton(const QString &key) const;
    // Imports the language files named on the command line, one after the other.
    void importFiles(const QStringList &files);

    // ---- window state
    QString exportFolder() const;
    QString importFolder() const;
    QString memberListFolder() const;
    QString marginImageFolder() const;
    QString defaultSampleText() const;
    QString attributeSeparator() const { return attributeSeparator_; }
    QString statusText() const { return statusText_; }
    // The text of the status bar StatusBar1.
    void setStatusBarText(const QString &text);
    QString statusBarText() const;

    // ---- settings, database commands, options, layout
    void Settings(const QString &task);
    void mnuSave_Click();
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuReload_Click();
    void mnuExit_Click();
    void mnuView_Click();
    void Form_Resize();
    void Toolbar1_ButtonClick(const QString &key);

    // ---- export, viewer and online commands
    void mnuCreate_Click();
    void mnuCreateAll_Click();
    void mnuExportKde_Click();
    QString SelectRootFolder();
    void mnuSelectLanguage_Click();
    void mnuSelectMemberlist_Click();
    void mnuSelectImageFolder_Click();
    void mnuShowLanguageFile_Click();
    void mnuPrintSample_Click();
    void mnuPrintXML_Click();
    void toolbarMessage_Click();

Q_SIGNALS:
    // The toolbar button "message": fetch the daily message and show it in the status bar.
    void messageRequested();

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // SessionPrompts: the session's questions through the dialogs.
    bool confirm(const QString &text, const QString &title) override;
    void report(const QString &text, const QString &title) override;

    void setupLayout();
    QList<QSplitter *> splitters() const; // main, upper, left: their places are settings
    void setupToolbar();
    void setupEditMenu();
    void nameSeparators();
    void wireMenus();
    void wirePanels();
    void Form_Load();
    bool Form_QueryUnload();
    bool saveDatabase();
    void Form_Unload();
    void applyEasyRead();
    void applyEditorOptions();
    void toggleSampleOption(int option);
    bool askOk(const QString &text, const QString &title);

    std::unique_ptr<Ui::frmMain> ui;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<EditSession> session_;
    LanguageListPanel *languageList_ = nullptr;
    TokensetListPanel *tokensetList_ = nullptr;
    LanguagePropertiesPanel *languageProperties_ = nullptr;
    TokensetPropertiesPanel *tokensetProperties_ = nullptr;
    PreviewPanel *preview_ = nullptr;
    TracePanel *trace_ = nullptr;
    std::unique_ptr<OnlineServices> online_;
    ElidedLabel *statusLabel_ = nullptr;

    QString attributeSeparator_ = QStringLiteral(" ");
    QString statusText_;
    bool settingsSaveFlag_ = false;
    bool splitterPlaced_ = false;
    QList<QByteArray> splitterStates_; // as stored, for splitters() at the first show
    // The geometry as read at start-up, in twips and in pixels: written back unchanged while the
    // window has not moved, so that rounding to whole pixels does not creep into the settings.
    std::array<float, 4> startTwips_{};
    QRect startPixels_;

    QPointer<QWidget> frmViewer_;
};
