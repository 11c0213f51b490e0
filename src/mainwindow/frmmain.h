#pragma once

#include "editorcontrol/editorglobals.h"
#include "widgets/dialogs.h"
#include "model/database.h"
#include "model/trace.h"
#include "xmlgen/writerhost.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

namespace Ui {
class frmMain;
}
class FrmDebug;
struct EditState;
class QAction;
class QLabel;
class QSettings;
class QsciScintilla;
class CompiledLanguage;
class XmlWriter;
struct WriteResult;

// The main window. It owns the language database in memory, every editing control, the menus, the
// toolbar and the option flags for the whole run. Its handlers are split by concern over several
// files: frmmain.cpp (construction, wiring, close), frmmain_startup.cpp (start-up, shutdown, option
// toggles), frmmain_settings.cpp, frmmain_files.cpp (database commands) and frmmain_trace.cpp (trace,
// validity, layout). Each handler reads its control, calls a lower-layer operation and refreshes.
class FrmMain : public QMainWindow, private WriterHost {
    Q_OBJECT
public:
    // Runs the start-up sequence. dialogs answers every modal question (the real dialogs when null).
    explicit FrmMain(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr);
    ~FrmMain() override;

    // The per-user settings store: application "Varlex", keys in the group "Settings".
    static std::unique_ptr<QSettings> settingsStore();

    // Background colour of a colour label, 0x00BBGGRR.
    static void setBackColor(QLabel *label, qint32 color);
    static qint32 backColor(const QLabel *label);

    Database &db() { return db_; }
    // The editor control's global object: registered languages and member lists.
    EditorGlobals &G() { return G_; }
    XmlWriter &xmlWriter();
    // Gives a pane the language that colours XML ("xml.lng"); plain text when it could not be loaded.
    void applyXmlLanguage(QsciScintilla *pane) const;
    Dialogs &dialogs() { return *dialogs_; }
    QAction *toolbarButton(const QString &key) const;

    // ---- main-window state (read by the other handlers and the tests)
    QString exportFolder() const override { return exportFolder_; }
    QString importFolder() const { return importFolder_; }
    QString memberListFolder() const { return memberListFolder_; }
    QString marginImageFolder() const { return marginImageFolder_; }
    QString defaultSampleText() const { return defaultSampleText_; }
    int tokenFontSize() const { return tokenFontSize_; }
    QString indentUnit() const { return indentUnit_; }
    QString attributeSeparator() const { return attributeSeparator_; }
    bool statusPaneShown() const { return statusPaneShown_; }
    bool debugWindowOpen() const override { return debugWindowOpen_; }
    QString validityMessage() const { return validityMessage_; }
    QString statusText() const { return statusText_; }
    FrmDebug *debugWindow() const;

    // The text of the status bar StatusBar1 (hints of menu items show over it for a moment).
    void setStatusBarText(const QString &text);
    QString statusBarText() const;

    // ---- settings and start-up
    void Settings(const QString &task);

    // ---- database commands
    void LoadFileData();
    bool SaveChanges();
    void mnuSave_Click();
    void mnuBackup_Click();
    void mnuRestore_Click();
    void mnuReload_Click();
    void mnuExit_Click();

    // ---- trace, validity and layout
    // The trace entry sink: the status label goes to the status pane in Trace mode, the debug label
    // to the trace window once it has been opened.
    void traceEntry(const QString &statusLabel, const QString &debugLabel);
    // Text for the trace window (kept while it is closed, once it has been opened).
    void appendDebugText(const QString &text) override;
    // A timing line: an empty line, then the timing text.
    void appendTimingLine(const QString &timing);
    void mnuDebug_Click();
    void mnuDirty_Click();
    void mnuView_Click();
    void lblSample_Click();
    void Form_Resize();

    // ---- XML and preview
    // Runs the XML writer for language iSel (to varlex.lng when writeLocal; iScope 1 rebuilds every
    // tokenset, 0 only the current one) and reports a file that could not be written.
    WriteResult WriteXML(int iSel, bool writeLocal, int iScope);
    // Shows varlex.lng in the XML pane and colours the sample pane with it.
    void ViewLanguage();

    // ---- toolbar
    void Toolbar1_ButtonClick(const QString &key);

    // ---- language and tokenset lists (frmmain_lists.cpp)
    void lstLang_Click();
    void DisplayLanguage();
    void DisplayTokensetList();
    void lstTokenset_Click();
    void lstTokenset_ItemCheck(int item);
    void lblTokensets_Click();
    void mnuSelectAll_Click();
    void mnuUnselectAll_Click();
    void mnuChangeLanguageName_Click();
    void mnuChangeTokensetName_Click();
    void mnuDelete_Click();
    void mnuDeleteTokenset_Click();
    void mnuNewTokenset_Click();
    void mnuUp_Click();
    void mnuDown_Click();
    void moveCurrentTokenset(int (*move)(Language &, int));
    void mnuDuplicate_Click();
    void mnuSortLanguages_Click();

    // ---- tokenset properties (frmmain_properties.cpp)
    void DisplayTokensetProperties();
    int GetIDIndex(const QString &text) const;
    int GetRuleIndex(const QString &text) const;
    int GetTMemberListIndex(const QString &text) const;
    int GetLMemberListIndex(const QString &text) const;
    void chkScope_Click();

    // ---- colours and choice lists (frmmain_colours.cpp)
    qint32 GetColor();
    void lblForeColor_Click();
    void lblBackColor_Click();
    void lblcolor_MouseUp(int index, Qt::MouseButton button);
    void mnucolor_Click(int index);
    void LoadValidInheritList();
    void LoadValidScopeLists();

    // ---- manual XML changes, sample edits, seek (frmmain_manualxml.cpp)
    void ViewManualChanges();
    void cmdApply_Click();
    void cmdSave_Click();
    void GoToTokenset();
    void txtXML_Change();
    void txtSample_Change();

    // ---- new language, import, member lists, margin images (frmmain_import.cpp)
    void mnuNew_Click();
    bool ChooseImportFile();
    void mnuImport_Click();
    void mnuSelectMemberlist_Click();
    void LoadImages();
    void mnuSelectImageFolder_Click();
    void imgMargin_Click();
    QStringList marginImageKeys() const;

    // ---- token list tools (frmmain_tokentools.cpp)
    void sortTokens(int order, int letterCase);
    void mnuLowerCase_Click();
    void mnuTitleCase_Click();
    void mnuRemoveAttributes_Click();
    void mnuRemoveOne_Click();
    void mnuRemoveAll_Click();
    void mnuToggleFont_Click();
    void insertTemplate(int box, int item);

    // ---- export, viewer and online commands (frmmain_export.cpp)
    void mnuCreate_Click();
    void mnuCreateAll_Click();
    QString SelectRootFolder();
    void mnuSelectLanguage_Click();
    void mnuShowLanguageFile_Click();
    void mnuAbout_Click();
    void mnuPrintSample_Click();
    void mnuPrintXML_Click();
    void mnuOnlineUpdate_Click();
    void toolbarMessage_Click();

Q_SIGNALS:
    // The toolbar button "message": fetch the daily message and show it in the status bar.
    void messageRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the XML writer reads from and shows in the window.
    bool hideDefaultAttributes() const override;
    bool easyReadFormat() const override;
    bool validityChecked() const override;
    bool traceChecked() const override;
    QString programFolder() const override;
    const MemberlistLookup *memberlists() const override;
    bool applyEnabled() const override;
    bool confirm(const QString &text, const QString &title) override;
    void setLoading(bool on) override;
    void setRedFlag(qint32 colour) override;
    void disableApplyAndSave() override;
    void setStatusText(const QString &text) override;
    void appendStatusText(const QString &text) override;

    void setupToolbar();
    void nameSeparators();
    void wireMenus();
    void onLabelClick(QLabel *label, std::function<void(Qt::MouseButton)> handler);

    void Form_Load();
    bool Form_QueryUnload();
    void Form_Unload();
    void LoadMemberLists();
    void loadXmlLanguage();
    void registerXmlLanguage();
    void applyEditorOptions();
    void applyTokenFont();
    void applyStatusPane(bool shown, const QString &text);
    void reloadDatabase();
    void fillLanguageList();

    // Option toggles: the menu item has already inverted its check when these run.
    void mnuEasyRead_Click();
    void mnuHideAttributes_Click();
    void applyEasyRead();
    void regenerate(int mode);
    void wireEditing();
    void wirePropertyControls();
    void propertyChanged(int mode);
    bool noTokenset() const;
    void enableTokensetControls(bool on);
    void showTokens2(bool shown);
    void selectTokenset(int index);
    bool askSure(const QString &title);

    // The five editor options of the sample pane.
    enum class SampleOption { LeftMargin, WhiteSpace, DropFiles, LineNumbering, LineNumberBold };
    bool sampleOption(SampleOption option) const;
    void setSampleOption(SampleOption option, bool on);
    void toggleSampleOption(SampleOption option, QAction *item);

    void reportFileError(const QString &title, const QString &text);

    std::unique_ptr<Ui::frmMain> ui;
    std::unique_ptr<EditState> edit_;
    std::unique_ptr<Dialogs> dialogs_;
    Trace::Sink previousSink_;
    QHash<QObject *, std::function<void(Qt::MouseButton)>> labelHandlers_;
    QLabel *statusLabel_ = nullptr;

    Database db_;
    QString databaseFile_;
    QString exportFolder_;
    QString importFolder_;
    QString memberListFolder_;
    QString marginImageFolder_;
    QString defaultSampleText_;
    int tokenFontSize_ = 8;
    QString indentUnit_;
    QString attributeSeparator_ = QStringLiteral(" ");
    bool statusPaneShown_ = false;
    bool debugWindowOpen_ = false;
    QString validityMessage_;
    QString statusText_;
    bool settingsSaveFlag_ = false;
    bool previewRegistered_ = false;
    bool splitterPlaced_ = false;
    // The geometry as read at start-up, in twips and in pixels: written back unchanged while the
    // window has not moved, so that rounding to whole pixels does not creep into the settings.
    std::array<float, 4> startTwips_{};
    QRect startPixels_;

    EditorGlobals G_;
    std::shared_ptr<LanguageObject> xmlLanguage_;     // colours the XML panes; null when unusable
    std::shared_ptr<const CompiledLanguage> xmlCompiled_;
    std::shared_ptr<LanguageObject> previewLanguage_; // the language being edited, from varlex.lng
    std::unique_ptr<XmlWriter> writer_;

    QPointer<FrmDebug> frmDebug_;
    QPointer<QWidget> frmAbout_;
    QPointer<QWidget> frmViewer_;
};
