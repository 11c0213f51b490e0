#include "mainwindow/frmmain.h"
#include "mainwindow/editstate.h"
#include "mainwindow/frmdebug.h"
#include "mainwindow/toolbaricons.h"
#include "ui_frmmain.h"
#include "xmlgen/xmlwriter.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QToolBar>

namespace {

struct ToolbarButton {
    const char *key;
    const char *toolTip;
};

// Toolbar1, in order; a click is dispatched on the key.
constexpr ToolbarButton kToolbar[] = {
    {"refresh", "Reload database"},
    {"save", "Save Database"},
    {"print", "Print XML Code"},
    {"new", "New Language"},
    {"delete", "Delete Language"},
    {"openlang", "Import Language"},
    {"view", "View Language Files"},
    {"seek", "Seek Tokenset in XML Code"},
    {"plus", "Add Tokenset"},
    {"minus", "Remove Tokenset"},
    {"up", "Move Tokenset Up"},
    {"down", "Move Tokenset Down"},
    {"font", "Toggle Tokens Font Size"},
    {"easy", "EasyRead Format"},
    {"full", "Full Window XML Code"},
    {"deleteattributes", "Remove Token Attributes (Selected Tokenset)"},
    {"message", "Get Varlex Message"},
    {"email", "Email Author"},
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
    , previewLanguage_(std::make_shared<LanguageObject>())
    , writer_(std::make_unique<XmlWriter>(db_, static_cast<WriterHost &>(*this)))
{
    ui->setupUi(this);
    statusLabel_ = new QLabel(ui->StatusBar1);
    statusLabel_->setObjectName(QStringLiteral("lblStatusText"));
    ui->StatusBar1->addWidget(statusLabel_, 1);
    // Extra height goes to the panes below the frames, most of it to the XML pane.
    ui->splitMain->setStretchFactor(0, 0);
    ui->splitMain->setStretchFactor(1, 1);
    ui->splitMain->setStretchFactor(2, 2);
    setupToolbar();
    nameSeparators();
    wireMenus();
    wireEditing();
    previousSink_ = Trace::setSink(
        [this](const QString &statusLabel, const QString &debugLabel) { traceEntry(statusLabel, debugLabel); });
    Form_Load();
}

FrmMain::~FrmMain()
{
    Trace::setSink(std::move(previousSink_));
}

std::unique_ptr<QSettings> FrmMain::settingsStore()
{
    auto store = std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store->beginGroup(QStringLiteral("Settings"));
    return store;
}

void FrmMain::setBackColor(QLabel *label, qint32 color)
{
    label->setProperty("backColor", color);
    QPalette palette = label->palette();
    const QColor c = color < 0 ? QColor(Qt::transparent) : QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    palette.setColor(QPalette::Window, c);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

qint32 FrmMain::backColor(const QLabel *label)
{
    const QVariant value = label->property("backColor");
    return value.isValid() ? value.toInt() : -1;
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
        QAction *action = ui->Toolbar1->addAction(ToolbarIcons::icon(key, style()), QString::fromLatin1(button.toolTip));
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setProperty("key", key);
        action->setToolTip(QString::fromLatin1(button.toolTip));
        if (key == QLatin1String("easy") || key == QLatin1String("full"))
            action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this, key] { Toolbar1_ButtonClick(key); });
        if (key == QLatin1String("save") || key == QLatin1String("view") || key == QLatin1String("down")
            || key == QLatin1String("full") || key == QLatin1String("deleteattributes"))
            ui->Toolbar1->addSeparator();
    }
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

void FrmMain::wireMenus()
{
    connect(ui->mnuReload, &QAction::triggered, this, &FrmMain::mnuReload_Click);
    connect(ui->mnuSave, &QAction::triggered, this, &FrmMain::mnuSave_Click);
    connect(ui->mnuBackup, &QAction::triggered, this, &FrmMain::mnuBackup_Click);
    connect(ui->mnuRestore, &QAction::triggered, this, &FrmMain::mnuRestore_Click);
    connect(ui->mnuExit, &QAction::triggered, this, &FrmMain::mnuExit_Click);

    // Plain option toggles: the checked state is the option; nothing else happens.
    connect(ui->mnuEasyRead, &QAction::triggered, this, &FrmMain::mnuEasyRead_Click);
    connect(ui->mnuHideAttributes, &QAction::triggered, this, &FrmMain::mnuHideAttributes_Click);
    connect(ui->mnuDisplayLeft, &QAction::triggered, this,
            [this] { toggleSampleOption(SampleOption::LeftMargin, ui->mnuDisplayLeft); });
    connect(ui->mnuDisplayWhite, &QAction::triggered, this,
            [this] { toggleSampleOption(SampleOption::WhiteSpace, ui->mnuDisplayWhite); });
    connect(ui->mnuDropFiles, &QAction::triggered, this,
            [this] { toggleSampleOption(SampleOption::DropFiles, ui->mnuDropFiles); });
    connect(ui->mnuLineNumbering, &QAction::triggered, this,
            [this] { toggleSampleOption(SampleOption::LineNumbering, ui->mnuLineNumbering); });
    connect(ui->mnuLineNumberBold, &QAction::triggered, this,
            [this] { toggleSampleOption(SampleOption::LineNumberBold, ui->mnuLineNumberBold); });

    connect(ui->mnuDebug, &QAction::triggered, this, &FrmMain::mnuDebug_Click);
    connect(ui->mnuDirty, &QAction::triggered, this, &FrmMain::mnuDirty_Click);
    connect(ui->mnuView, &QAction::triggered, this, &FrmMain::mnuView_Click);

    onLabelClick(ui->lblStatus, [this](Qt::MouseButton) { ui->mnuDebug->trigger(); });
    onLabelClick(ui->lblRedFlag, [this](Qt::MouseButton) { ui->mnuDirty->trigger(); });
    onLabelClick(ui->lblXML, [this](Qt::MouseButton) { ui->mnuView->trigger(); });
    onLabelClick(ui->lblSample, [this](Qt::MouseButton) { lblSample_Click(); });
    onLabelClick(ui->Label7, [this](Qt::MouseButton) { ui->cmbFontStyle->setCurrentIndex(1); });

    connect(ui->lstLang, &QListWidget::currentRowChanged, this, [this] { lstLang_Click(); });
}

void FrmMain::onLabelClick(QLabel *label, std::function<void(Qt::MouseButton)> handler)
{
    labelHandlers_.insert(label, std::move(handler));
    label->installEventFilter(this);
    label->setCursor(Qt::PointingHandCursor);
}

// Labels act on the release of a mouse button over them, like a click.
bool FrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto it = labelHandlers_.find(watched);
        if (it != labelHandlers_.end()) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->rect().contains(mouse->position().toPoint())) {
                const auto handler = it.value(); // the handler may change the table
                handler(mouse->button());
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void FrmMain::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("refresh"))
        ui->mnuReload->trigger();
    else if (key == QLatin1String("save"))
        ui->mnuSave->trigger();
    else if (key == QLatin1String("print"))
        ui->mnuPrintXML->trigger();
    else if (key == QLatin1String("new"))
        ui->mnuNew->trigger();
    else if (key == QLatin1String("delete"))
        ui->mnuDelete->trigger();
    else if (key == QLatin1String("openlang") || key == QLatin1String("import"))
        ui->mnuImport->trigger();
    else if (key == QLatin1String("view"))
        ui->mnuShowLanguageFile->trigger();
    else if (key == QLatin1String("seek"))
        ui->mnuSeek->trigger();
    else if (key == QLatin1String("plus"))
        ui->mnuNewTokenset->trigger();
    else if (key == QLatin1String("minus"))
        ui->mnuDeleteTokenset->trigger();
    else if (key == QLatin1String("up"))
        ui->mnuUp->trigger();
    else if (key == QLatin1String("down"))
        ui->mnuDown->trigger();
    else if (key == QLatin1String("font"))
        ui->mnuToggleFont->trigger();
    else if (key == QLatin1String("easy"))
        ui->mnuEasyRead->trigger();
    else if (key == QLatin1String("full"))
        ui->mnuView->trigger();
    else if (key == QLatin1String("deleteattributes"))
        ui->mnuRemoveAttributes->trigger();
    else if (key == QLatin1String("message"))
        Q_EMIT messageRequested();
    else if (key == QLatin1String("email"))
        ui->mnuEmail->trigger();
}

// At the first show the frames get the height they need and the two panes below share the rest,
// a third for the sample and two thirds for the XML code.
void FrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (splitterPlaced_)
        return;
    splitterPlaced_ = true;
    const int handles = ui->splitMain->handleWidth() * 2;
    const int frames = ui->fraUpper->minimumSizeHint().height();
    const int rest = ui->splitMain->height() - frames - handles;
    if (rest > 0)
        ui->splitMain->setSizes({frames, rest / 3, rest - rest / 3});
}

void FrmMain::closeEvent(QCloseEvent *event)
{
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}
