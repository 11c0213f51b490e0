#include "viewer/frmviewer.h"

#include "widgets/editorpane.h"
#include "widgets/dialogs.h"
#include "widgets/findbar.h"
#include "widgets/screenfit.h"
#include "model/ansicodec.h"
#include "model/atomicfile.h"
#include "online/paneprinting.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSettings>
#include <QHBoxLayout>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <cmath>

namespace {

struct GeometryKey {
    const char *key;
    double fallback;
};
// Left, top, width, height in twips; a width or height below the useful size takes that size.
constexpr GeometryKey kGeometry[] = {
    {"ImportLeft", 2400}, {"ImportTop", 2400}, {"ImportWidth", 0}, {"ImportHeight", 0}};
// Where the list ends and the pane begins, in twips.
constexpr GeometryKey kSplit = {"ImportSplit", 2400};
constexpr double kMarginTwips = 60;
const QString kVarlexLng = QStringLiteral("varlex.lng");

} // namespace

FrmViewer::FrmViewer(Dialogs &dialogs, ViewerContext context, QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , dialogs_(dialogs)
    , context_(std::move(context))
{
    setObjectName(QStringLiteral("frmViewer"));
    setAttribute(Qt::WA_DeleteOnClose);

    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("central"));
    setCentralWidget(central_);
    // The list keeps its width when the window is resized; the user moves the line between them.
    splitter_ = new QSplitter(Qt::Horizontal, central_);
    splitter_->setObjectName(QStringLiteral("splFiles"));
    splitter_->setChildrenCollapsible(false);
    lstFiles_ = new QListWidget(splitter_);
    lstFiles_->setObjectName(QStringLiteral("lstFiles"));
    lstFiles_->setSelectionMode(QAbstractItemView::SingleSelection);
    txtFile_ = new EditorPane(splitter_);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setEolMode(QsciScintilla::EolWindows);
    new FindBar(txtFile_);
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    auto *layout = new QHBoxLayout(central_);
    const int m = toPixels(kMarginTwips);
    layout->setContentsMargins(m, m, m, m);
    layout->addWidget(splitter_);
    // "*" in the title while the shown file has edits that are not saved.
    connect(txtFile_, &QsciScintilla::modificationChanged, this, &QWidget::setWindowModified);

    auto *mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto addItem = [this, mnuFile](const char *name, const QString &caption, void (FrmViewer::*handler)()) {
        QAction *action = mnuFile->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addItem("mnuSave", tr("&Save"), &FrmViewer::mnuSave_Click);
    addItem("mnuPrint", tr("&Print"), &FrmViewer::mnuPrint_Click);
    addItem("mnuDelete", tr("&Delete"), &FrmViewer::mnuDelete_Click);

    toolbar_ = addToolBar(QStringLiteral("Toolbar1"));
    toolbar_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar_->setMovable(false);
    const struct {
        const char *key;
        const char *tip;
        const char *theme;
        QStyle::StandardPixmap fallback;
    } buttons[] = {{"save", QT_TRANSLATE_NOOP("FrmViewer", "Save"), "document-save", QStyle::SP_DialogSaveButton},
                   {"print", QT_TRANSLATE_NOOP("FrmViewer", "Print"), "document-print", QStyle::SP_FileDialogDetailedView},
                   {"delete", QT_TRANSLATE_NOOP("FrmViewer", "Delete"), "edit-delete", QStyle::SP_TrashIcon}};
    for (const auto &b : buttons) {
        const QIcon icon = QIcon::fromTheme(QLatin1String(b.theme), style()->standardIcon(b.fallback));
        QAction *action = toolbar_->addAction(icon, tr(b.tip));
        action->setObjectName(QStringLiteral("Toolbar1_") + QLatin1String(b.key));
        action->setData(QLatin1String(b.key));
        action->setToolTip(tr(b.tip));
    }
    connect(toolbar_, &QToolBar::actionTriggered, this,
            [this](QAction *action) { Toolbar1_ButtonClick(action->data().toString()); });

    mnuPopUp_ = new QMenu(QStringLiteral("PopUp"), this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    QAction *mnuVarlex = mnuPopUp_->addAction(tr("Show Varlex.lng"));
    mnuVarlex->setObjectName(QStringLiteral("mnuVarlex"));
    connect(mnuVarlex, &QAction::triggered, this, &FrmViewer::mnuVarlex_Click);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    connect(lstFiles_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            lstFiles_Click();
    });
    // A click on the empty part of the list, or a key that only deselects, would leave the shown
    // file without its highlight: it comes back once the event is over.
    connect(lstFiles_, &QListWidget::itemSelectionChanged, this, [this] {
        if (highlightedName() != shownName_)
            QTimer::singleShot(0, this, &FrmViewer::highlightShownFile);
    });
    lstFiles_->viewport()->installEventFilter(this);
    lstFiles_->installEventFilter(this);

    Form_Load();
}

double FrmViewer::twipsPerPixel() const
{
    const int dpi = logicalDpiX();
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

int FrmViewer::toPixels(double twips) const
{
    return int(std::lround(twips / twipsPerPixel()));
}

void FrmViewer::colourPane(EditorPane *pane) const
{
    pane->setLanguage(context_.xmlLanguage);
}

void FrmViewer::Form_Load()
{
    setWindowTitle(tr("Language Viewer  (%1)").arg(context_.exportFolder) + QStringLiteral("[*]"));
    Settings(QStringLiteral("get"));

    refreshFiles();
    colourPane(txtFile_);
    // The first file is shown at once: the viewer is opened to look at files.
    if (lstFiles_->count() > 0)
        lstFiles_->setCurrentRow(0);
}

// Wide enough for the whole title beside the frame's buttons, tall enough for a page of a file; at
// most most of the screen.
QSize FrmViewer::usefulSize() const
{
    const QString title = windowTitle().remove(QStringLiteral("[*]")) + QStringLiteral("*");
    QSize size(std::max(fontMetrics().horizontalAdvance(title) + 200, 760), 540);
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    return size;
}

void FrmViewer::refreshFiles()
{
    // Sorted by name without regard to case, the order a user finds in a file manager.
    const QStringList names = QDir(context_.exportFolder)
                                  .entryList({QStringLiteral("*.lng")}, QDir::Files,
                                             QDir::Name | QDir::IgnoreCase);
    {
        const QSignalBlocker block(lstFiles_);
        lstFiles_->clear();
        lstFiles_->addItems(names);
    }
    // A file gone meanwhile leaves the pane, unless it holds edits (closing still offers them).
    if (!shownName_.isEmpty() && !names.contains(shownName_) && !txtFile_->isModified()) {
        showText(QString(), QString());
        statusBar()->clearMessage();
    }
    highlightShownFile();
}

void FrmViewer::showFiles()
{
    show();
    refreshFiles();
    raise();
    activateWindow();
}

void FrmViewer::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    refreshFiles();
}

void FrmViewer::Settings(const QString &task)
{
    // The main window's store: application Varlex, section "Settings".
    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.beginGroup(QStringLiteral("Settings"));
    const double tpp = twipsPerPixel();
    if (task == QLatin1String("get")) {
        double twips[4];
        for (int i = 0; i < 4; ++i) {
            bool ok = false;
            const double value = store.value(QLatin1String(kGeometry[i].key)).toString().toDouble(&ok);
            // A stored value that is not a usable number falls back to its default.
            twips[i] = ok && std::isfinite(value) && std::fabs(value) < 1e7 ? value : kGeometry[i].fallback;
        }
        const QSize useful = usefulSize();
        const int left = int(std::lround(twips[0] / tpp));
        const int top = int(std::lround(twips[1] / tpp));
        const int width = std::max(int(std::lround(twips[2] / tpp)), useful.width());
        const int height = std::max(int(std::lround(twips[3] / tpp)), useful.height());
        move(left, top);
        resize(width, height);
        ScreenFit::keepVisible(this);
        bool ok = false;
        const double split = store.value(QLatin1String(kSplit.key)).toString().toDouble(&ok);
        const int listWidth = int(std::lround((ok && split > 0 && split < 1e6 ? split : kSplit.fallback) / tpp));
        splitter_->setSizes({listWidth, std::max(width - listWidth, 1)});
        return;
    }
    if (isMinimized() || isMaximized() || isFullScreen())
        return;
    const int values[4] = {x(), y(), width(), height()};
    for (int i = 0; i < 4; ++i)
        store.setValue(QLatin1String(kGeometry[i].key), QString::number(std::lround(values[i] * tpp)));
    store.setValue(QLatin1String(kSplit.key), QString::number(std::lround(lstFiles_->width() * tpp)));
}

QString FrmViewer::highlightedName() const
{
    const QList<QListWidgetItem *> selected = lstFiles_->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

QString FrmViewer::selectedFile() const
{
    const QString name = highlightedName();
    return name.isEmpty() ? QString() : QDir(context_.exportFolder).filePath(name);
}

// Makes the list highlight the file the pane shows, and nothing when it shows none.
void FrmViewer::highlightShownFile()
{
    const QSignalBlocker block(lstFiles_);
    const QList<QListWidgetItem *> found = shownName_.isEmpty()
        ? QList<QListWidgetItem *>()
        : lstFiles_->findItems(shownName_, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty()) {
        // Through the view, so that focus coming back to the list does not make its first entry
        // current (and show it) by itself.
        lstFiles_->setCurrentIndex(QModelIndex());
        lstFiles_->clearSelection();
    } else {
        lstFiles_->setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    }
}

// True when a file is highlighted; otherwise says so.
bool FrmViewer::fileChosen(const QString &title)
{
    if (!highlightedName().isEmpty())
        return true;
    dialogs_.message(this, tr("No file is selected. Choose one in the list first."), title,
                     Dialogs::Buttons::Ok, Dialogs::Icon::Information);
    return false;
}

void FrmViewer::report(const QString &title, const QString &text)
{
    dialogs_.message(this, text, title, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

bool FrmViewer::readFile(const QString &path, const QString &title, QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report(title, tr("Could not read \"%1\": %2")
                          .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    text = AnsiCodec::decode(file.readAll());
    return true;
}

// The list's highlight always names the file the pane holds, so Save never writes one file's text
// into another: when the user keeps the edits of the shown file, or a file cannot be shown, the
// highlight goes back.
void FrmViewer::lstFiles_Click()
{
    const QListWidgetItem *item = lstFiles_->currentItem();
    if (!item || item->text() == shownName_)
        return;
    const QString name = item->text();
    if (!offerSave()) {
        highlightShownFile();
        // A mouse press selects the entry it hit after announcing it; put the highlight back once
        // the press is over.
        QTimer::singleShot(0, this, &FrmViewer::highlightShownFile);
        return;
    }
    showText(QString(), QString());
    QString text;
    if (readFile(QDir(context_.exportFolder).filePath(name), tr("Open File"), text))
        showText(text, name);
    highlightShownFile();
    QTimer::singleShot(0, this, &FrmViewer::highlightShownFile);
}

void FrmViewer::showText(const QString &text, const QString &name)
{
    txtFile_->setText(text);
    txtFile_->setModified(false);
    shownName_ = name;
}

// Edits of the shown file are not dropped in silence when the pane is about to show something else
// or the window closes. Returns false when the user cancels.
bool FrmViewer::offerSave()
{
    if (!txtFile_->isModified() || shownName_.isEmpty())
        return true;
    switch (dialogs_.message(this, tr("Save changes to \"%1\"?").arg(shownName_), tr("Save File"),
                             Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes: return saveFile(QDir(context_.exportFolder).filePath(shownName_));
    case Dialogs::Answer::No: return true;
    default: return false;
    }
}

bool FrmViewer::queryClose()
{
    closeAgreed_ = offerSave();
    return closeAgreed_;
}

void FrmViewer::lstFiles_MouseUp(Qt::MouseButton button, const QPoint &globalPos)
{
    if (button == Qt::RightButton)
        mnuPopUp_->popup(globalPos);
}

void FrmViewer::mnuVarlex_Click()
{
    if (!offerSave())
        return;
    QString text;
    if (!readFile(QDir(context_.programFolder).filePath(kVarlexLng), tr("Show Varlex.lng"), text))
        return;
    // The pane no longer shows a file of the list: nothing is highlighted, so Save cannot write the
    // preview over one.
    showText(text, QString());
    highlightShownFile();
}

void FrmViewer::mnuSave_Click()
{
    if (fileChosen(tr("Save File")))
        saveFile(selectedFile());
}

bool FrmViewer::saveFile(const QString &path)
{
    QString text = txtFile_->text();
    // The file ends with a line break; one already there is not doubled on every save.
    if (!text.endsWith(QLatin1Char('\n')) && !text.endsWith(QLatin1Char('\r')))
        text += QStringLiteral("\r\n");
    const QByteArray bytes = AnsiCodec::encode(text);
    if (AnsiCodec::decode(bytes) != text
        && dialogs_.message(this,
                            tr("\"%1\" holds characters that the code page %2 cannot hold; they "
                               "will be saved as \"?\". Save anyway?")
                                .arg(QFileInfo(path).fileName(), AnsiCodec::codePage()),
                            tr("Save File"), Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
               != Dialogs::Answer::Ok)
        return false;
    QString cause;
    if (!AtomicFile::write(path, bytes, &cause)) {
        report(tr("Save File"), QStringLiteral("Could not save \"%1\": %2")
                                                .arg(QDir::toNativeSeparators(path), cause));
        return false;
    }
    txtFile_->setModified(false);
    statusBar()->showMessage(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void FrmViewer::mnuPrint_Click()
{
    if (!fileChosen(tr("Print File")))
        return;
    const QString path = selectedFile();
    QString text;
    if (!readFile(path, tr("Print File"), text))
        return;
    // The file as stored, not the pane's unsaved edits, coloured like the pane.
    EditorPane page;
    colourPane(&page);
    page.setText(text);
    const QString name = QFileInfo(path).fileName();
    const PanePrinting::Result result =
        PanePrinting::print(&page, QDir(context_.programFolder).filePath(name + QStringLiteral(".pdf")), name);
    if (result.kind == PanePrinting::Result::Kind::Failed) {
        report(tr("Print File"),
               tr("Could not print \"%1\": %2").arg(QDir::toNativeSeparators(path), result.error));
        return;
    }
    statusBar()->showMessage(result.statusText());
}

void FrmViewer::mnuDelete_Click()
{
    if (!fileChosen(tr("Delete File")))
        return;
    const QString path = selectedFile();
    if (dialogs_.message(this, tr("Are you sure?"), tr("Delete File"),
                         Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
        != Dialogs::Answer::Ok)
        return;
    QFile file(path);
    if (!file.remove()) {
        report(tr("Delete File"), tr("Could not delete \"%1\": %2")
                                                  .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    const int row = lstFiles_->row(lstFiles_->selectedItems().first());
    showText(QString(), QString()); // the deleted file's edits go with it
    statusBar()->clearMessage();     // it may name the file
    {
        const QSignalBlocker block(lstFiles_);
        delete lstFiles_->takeItem(row);
        lstFiles_->setCurrentRow(-1);
        lstFiles_->clearSelection();
    }
    if (lstFiles_->count() > 0)
        lstFiles_->setCurrentRow(std::min(row, lstFiles_->count() - 1)); // shows it
}

void FrmViewer::Toolbar1_ButtonClick(const QString &key)
{
    if (key == QLatin1String("save"))
        mnuSave_Click();
    else if (key == QLatin1String("print"))
        mnuPrint_Click();
    else if (key == QLatin1String("delete"))
        mnuDelete_Click();
}

void FrmViewer::closeEvent(QCloseEvent *event)
{
    if (!closeAgreed_ && !offerSave()) {
        event->ignore();
        return;
    }
    Settings(QStringLiteral("save"));
    event->accept();
}

bool FrmViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lstFiles_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        lstFiles_MouseUp(mouse->button(), mouse->globalPosition().toPoint());
    } else if (watched == lstFiles_ && event->type() == QEvent::ContextMenu
               && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The menu key (or Shift+F10) opens the popup at the current entry, as a right click does.
        const QListWidgetItem *item = lstFiles_->currentItem();
        const QPoint at = item ? lstFiles_->visualItemRect(item).bottomLeft() : QPoint(0, 0);
        mnuPopUp_->popup(lstFiles_->viewport()->mapToGlobal(at));
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
