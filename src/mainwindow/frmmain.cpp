#include "mainwindow/frmmain.h"
#include "mainwindow/accessiblenames.h"
#include "mainwindow/languagelistpanel.h"
#include "mainwindow/languagepropertiespanel.h"
#include "mainwindow/previewpanel.h"
#include "mainwindow/tokensetlistpanel.h"
#include "mainwindow/tokensetpropertiespanel.h"
#include "mainwindow/toolbaricons.h"
#include "mainwindow/tracepanel.h"
#include "mainwindow/typingkeys.h"
#include "model/programfolder.h"
#include "online/onlineservices.h"
#include "session/editsession.h"
#include "ui_frmmain.h"
#include "viewer/frmviewer.h"
#include "widgets/clicklabel.h"
#include "widgets/editorpane.h"
#include "widgets/elidedlabel.h"

#include <QCloseEvent>
#include <QSettings>
#include <QSplitter>
#include <QToolBar>
#include <QUndoStack>

namespace {

struct ToolbarButton {
    const char *key;
    const char *toolTip;
    const char *item; // the menu item it runs
};

// Toolbar1, in order; a click is dispatched on the key.
constexpr ToolbarButton kToolbar[] = {
    {"refresh", QT_TRANSLATE_NOOP("FrmMain", "Reload database"), "mnuReload"},
    {"save", QT_TRANSLATE_NOOP("FrmMain", "Save Database"), "mnuSave"},
    {"print", QT_TRANSLATE_NOOP("FrmMain", "Print XML Code"), "mnuPrintXML"},
    {"new", QT_TRANSLATE_NOOP("FrmMain", "New Language"), "mnuNew"},
    {"delete", QT_TRANSLATE_NOOP("FrmMain", "Delete Language"), "mnuDelete"},
    {"openlang", QT_TRANSLATE_NOOP("FrmMain", "Import Language"), "mnuImport"},
    {"view", QT_TRANSLATE_NOOP("FrmMain", "View Language Files"), "mnuShowLanguageFile"},
    {"seek", QT_TRANSLATE_NOOP("FrmMain", "Seek Tokenset in XML Code"), "mnuSeek"},
    {"plus", QT_TRANSLATE_NOOP("FrmMain", "Add Tokenset"), "mnuNewTokenset"},
    {"minus", QT_TRANSLATE_NOOP("FrmMain", "Remove Tokenset"), "mnuDeleteTokenset"},
    {"up", QT_TRANSLATE_NOOP("FrmMain", "Move Tokenset Up"), "mnuUp"},
    {"down", QT_TRANSLATE_NOOP("FrmMain", "Move Tokenset Down"), "mnuDown"},
    {"font", QT_TRANSLATE_NOOP("FrmMain", "Toggle Tokens Font Size"), "mnuToggleFont"},
    {"easy", QT_TRANSLATE_NOOP("FrmMain", "EasyRead Format"), "mnuEasyRead"},
    {"full", QT_TRANSLATE_NOOP("FrmMain", "Full Window XML Code"), "mnuView"},
    {"deleteattributes", QT_TRANSLATE_NOOP("FrmMain", "Remove Token Attributes (Selected Tokenset)"), "mnuRemoveAttributes"},
    {"message", QT_TRANSLATE_NOOP("FrmMain", "Get Varlex Message"), "mnuMessage"},
    {"email", QT_TRANSLATE_NOOP("FrmMain", "Email Author"), "mnuEmail"},
};

// Names of the separator lines of each menu, top to bottom.
struct MenuSeparators {
    const char *menu;
    std::initializer_list<const char *> names;
};

} // namespace

FrmMain::FrmMain(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : QMainWindow(parent)
    , ui(std::make_unique<Ui::frmMain>())
    , dialogs_(dialogs ? std::move(dialogs) : std::make_unique<QtDialogs>())
    , session_(std::make_unique<EditSession>(static_cast<SessionPrompts &>(*this)))
{
    session_->setCoalescedTyping(true); // keys typed faster than the preview is rebuilt share one rebuild
    ui->setupUi(this);
    AccessibleNames::apply(this);
    setWindowTitle(windowTitle() + QStringLiteral("[*]"));
    statusLabel_ = new ElidedLabel(ui->StatusBar1); // a long message never widens the window
    statusLabel_->setObjectName(QStringLiteral("lblStatusText"));
    ui->StatusBar1->addWidget(statusLabel_, 1);
    setupLayout();
    setupToolbar();
    setupEditMenu();
    nameSeparators();
    wirePanels();
    wireMenus();
    Form_Load();
}

// The typing filters call into the session and the panels, which die before the child widgets do:
// a focus change while the window is torn down must not reach them.
FrmMain::~FrmMain()
{
    qDeleteAll(findChildren<TypingKeys *>());
}

std::unique_ptr<QSettings> FrmMain::settingsStore()
{
    auto store = std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

bool FrmMain::confirm(const QString &text, const QString &title)
{
    return dialogs_->message(this, text, title, Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation)
        == Dialogs::Answer::Ok;
}

void FrmMain::report(const QString &text, const QString &title)
{
    dialogs_->message(this, text, title, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

QAction *FrmMain::toolbarButton(const QString &key) const
{
    for (QAction *action : ui->Toolbar1->actions())
        if (action->property("key").toString() == key)
            return action;
    return nullptr;
}

void FrmMain::setupToolbar()
{
    for (const ToolbarButton &button : kToolbar) {
        const QString key = QString::fromLatin1(button.key);
        QAction *action = ui->Toolbar1->addAction(ToolbarIcons::icon(key, style(), palette()), tr(button.toolTip));
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setProperty("key", key);
        action->setToolTip(tr(button.toolTip));
        if (key == QLatin1String("easy") || key == QLatin1String("full"))
            action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        if (key == QLatin1String("save") || key == QLatin1String("view") || key == QLatin1String("down")
            || key == QLatin1String("full") || key == QLatin1String("deleteattributes"))
            ui->Toolbar1->addSeparator();
    }
}

// Under another palette (a dark theme chosen while running) the drawn icons take colours that show.
void FrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        for (QAction *action : ui->Toolbar1->actions())
            if (const QString key = action->property("key").toString(); !key.isEmpty())
                action->setIcon(ToolbarIcons::icon(key, style(), palette()));
}

// Edit > Undo and Redo name the step they take back or do again ("Undo Rename Tokenset").
void FrmMain::setupEditMenu()
{
    auto *menu = new QMenu(tr("&Edit"), this);
    menu->setObjectName(QStringLiteral("mnuUndoRedo"));
    QAction *undo = session_->undoStack().createUndoAction(menu, tr("&Undo"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction *redo = session_->undoStack().createRedoAction(menu, tr("&Redo"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu->addAction(undo);
    menu->addAction(redo);
    menuBar()->insertMenu(ui->mnuEdit->menuAction(), menu);
}

void FrmMain::nameSeparators()
{
    const MenuSeparators table[] = {
        {"mnuFile", {"mnuSep00", "mnuSep01"}},
        {"mnuEdit", {"mnuSep34", "mnuSep28", "mnuSep74"}},
        {"mnuTokens", {"mnuSep83", "mnuSep81", "mnuSep92"}},
        {"mnuHelp", {"mnuSep03", "mnuSep04"}},
    };
    for (const MenuSeparators &entry : table) {
        QMenu *menu = findChild<QMenu *>(QString::fromLatin1(entry.menu));
        auto name = entry.names.begin();
        for (QAction *action : menu->actions())
            if (action->isSeparator() && name != entry.names.end())
                action->setObjectName(QString::fromLatin1(*name++));
    }
}

void FrmMain::wirePanels()
{
    const PanelContext context{*session_, *dialogs_, this, *ui, [this] { return ui->mnuConfirmation->isChecked(); },
                               [this] { return ui->mnuAutoInclude->isChecked(); }};
    // The order of construction is the order in which a shown language fills the panels.
    trace_ = new TracePanel(context, this);
    languageList_ = new LanguageListPanel(context, this);
    languageProperties_ = new LanguagePropertiesPanel(context, this);
    tokensetList_ = new TokensetListPanel(context, this);
    tokensetProperties_ = new TokensetPropertiesPanel(context, this);
    preview_ = new PreviewPanel(context, this);

    connect(session_.get(), &EditSession::dirtyChanged, this, &QWidget::setWindowModified);
    connect(tokensetProperties_, &TokensetPropertiesPanel::layoutChanged, this, &FrmMain::Form_Resize);
    connect(tokensetProperties_, &TokensetPropertiesPanel::hint, this,
            [this](const QString &text) { setStatusBarText(text.isEmpty() ? statusText_ : text); });
    connect(preview_, &PreviewPanel::hint, this, &FrmMain::setStatusBarText);
    connect(trace_, &TracePanel::statusPaneChanged, this, [this](bool shown) {
        tokensetProperties_->setStatusPaneShown(shown);
        Form_Resize();
    });
    connect(preview_->samplePane(), &EditorPane::matchLimitReached, trace_, &TracePanel::reportProblem);
    connect(tokensetList_, &TokensetListPanel::tokensetClicked, this, [this] {
        if (ui->mnuAutoSeek->isChecked() && isVisible())
            preview_->GoToTokenset();
    });
}

void FrmMain::wireMenus()
{
    const auto menu = [this](QAction *action, void (FrmMain::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    menu(ui->mnuReload, &FrmMain::mnuReload_Click);
    menu(ui->mnuSave, &FrmMain::mnuSave_Click);
    menu(ui->mnuBackup, &FrmMain::mnuBackup_Click);
    menu(ui->mnuRestore, &FrmMain::mnuRestore_Click);
    menu(ui->mnuExit, &FrmMain::mnuExit_Click);
    menu(ui->mnuView, &FrmMain::mnuView_Click);
    menu(ui->mnuCreate, &FrmMain::mnuCreate_Click);
    menu(ui->mnuCreateAll, &FrmMain::mnuCreateAll_Click);
    menu(ui->mnuExportKde, &FrmMain::mnuExportKde_Click);
    menu(ui->mnuSelectLanguage, &FrmMain::mnuSelectLanguage_Click);
    menu(ui->mnuSelectMemberlist, &FrmMain::mnuSelectMemberlist_Click);
    menu(ui->mnuSelectImageFolder, &FrmMain::mnuSelectImageFolder_Click);
    menu(ui->mnuShowLanguageFile, &FrmMain::mnuShowLanguageFile_Click);
    menu(ui->mnuPrintSample, &FrmMain::mnuPrintSample_Click);
    menu(ui->mnuPrintXML, &FrmMain::mnuPrintXML_Click);
    // The keys a desktop user expects; the menus show them.
    ui->mnuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ui->mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    ui->mnuOnlineHelp->setShortcut(QKeySequence(Qt::Key_F1));

    // Options: the checked state is the option; these also rebuild or restyle.
    connect(ui->mnuEasyRead, &QAction::triggered, this, [this] {
        applyEasyRead();
        session_->setEasyRead(ui->mnuEasyRead->isChecked());
    });
    connect(ui->mnuHideAttributes, &QAction::triggered, this,
            [this] { session_->setHideDefaultAttributes(ui->mnuHideAttributes->isChecked()); });
    const QAction *const editorOptions[] = {ui->mnuDisplayLeft, ui->mnuDisplayWhite, ui->mnuDropFiles,
                                            ui->mnuLineNumbering, ui->mnuLineNumberBold};
    for (int i = 0; i < 5; ++i)
        connect(editorOptions[i], &QAction::triggered, this, [this, i] { toggleSampleOption(i); });
    ClickLabel::onRelease(ui->lblXML, [this](Qt::MouseButton) { ui->mnuView->trigger(); });

    connect(ui->mnuAbout, &QAction::triggered, this, [this] { online_->about(); });
    connect(ui->mnuOnlineUpdate, &QAction::triggered, this, [this] { online_->onlineUpdate(); });
    connect(ui->mnuEmail, &QAction::triggered, this, [this] { online_->email(); });
    connect(ui->mnuWebSite, &QAction::triggered, this, [this] { online_->webSite(); });
    connect(ui->mnuForums, &QAction::triggered, this, [this] { online_->forums(); });
    connect(ui->mnuMessage, &QAction::triggered, this, &FrmMain::messageRequested);
    connect(ui->mnuSupport, &QAction::triggered, this, [this] { online_->support(); });
    connect(ui->mnuOnlineHelp, &QAction::triggered, this, [this] { online_->onlineHelp(); });
    connect(this, &FrmMain::messageRequested, this, &FrmMain::toolbarMessage_Click);
}

void FrmMain::Toolbar1_ButtonClick(const QString &key)
{
    const QString item = key == QLatin1String("import") ? QStringLiteral("openlang") : key;
    for (const ToolbarButton &button : kToolbar)
        if (item == QLatin1String(button.key) && button.item)
            findChild<QAction *>(QString::fromLatin1(button.item))->trigger();
}

void FrmMain::setStatusBarText(const QString &text)
{
    statusLabel_->setFullText(text);
}

QString FrmMain::statusBarText() const
{
    return statusLabel_->fullText();
}

// At the first show the splitters take the places stored in the settings. Without one, the frames
// get at least the height they need and half of a tall window, and the two panes below share the
// rest alike: the sample is what the user came to see coloured.
void FrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (splitterPlaced_)
        return;
    splitterPlaced_ = true;
    Form_Resize(); // lays the window out at its size first
    bool mainRestored = false;
    const QList<QSplitter *> placed = splitters();
    for (qsizetype i = 0; i < placed.size() && i < splitterStates_.size(); ++i)
        mainRestored |= placed[i]->restoreState(splitterStates_[i]) && placed[i] == ui->splitMain;
    if (mainRestored)
        return;
    const int handles = ui->splitMain->handleWidth() * 2;
    const int frames = qMax(ui->fraUpper->minimumSizeHint().height(), ui->splitMain->height() / 2);
    const int rest = ui->splitMain->height() - frames - handles;
    if (rest > 0)
        ui->splitMain->setSizes({frames, rest / 2, rest - rest / 2});
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    // The viewer's unsaved edits count as much as the database's: Cancel in either keeps both open.
    auto *viewer = qobject_cast<FrmViewer *>(frmViewer_.data());
    if (!Form_QueryUnload() || (viewer && !viewer->queryClose())) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}
