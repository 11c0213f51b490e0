// Connects the editing controls, menus and labels of the main window to their handlers.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "model/programfolder.h"
#include "online/onlineservices.h"
#include "ui_frmmain.h"

#include <QCursor>
#include <QEvent>

namespace {

// The status bar shows the token line format while a token box has the focus.
class FocusHint : public QObject {
public:
    FocusHint(QObject *parent, std::function<void(bool)> onFocus) : QObject(parent), onFocus_(std::move(onFocus)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            onFocus_(true);
        else if (event->type() == QEvent::FocusOut)
            onFocus_(false);
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(bool)> onFocus_;
};

} // namespace

void FrmMain::wireEditing()
{
    edit_ = std::make_unique<EditState>();
    const QString folder = ProgramFolder::path().isEmpty() ? ProgramFolder::resolve() : ProgramFolder::path();
    edit_->online = std::make_unique<OnlineServices>(this, *dialogs_, folder);

    // Lists.
    connect(ui->lstTokenset, &QListWidget::currentRowChanged, this, [this] { lstTokenset_Click(); });
    connect(ui->lstTokenset, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { lstTokenset_ItemCheck(ui->lstTokenset->row(item)); });
    ui->lstLang->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->lstLang, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { ui->mnuPopupLanguage->popup(ui->lstLang->viewport()->mapToGlobal(pos)); });
    ui->lstTokenset->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->lstTokenset, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        ui->mnuPopupTokenset->popup(ui->lstTokenset->viewport()->mapToGlobal(pos));
    });
    onLabelClick(ui->lblTokensets, [this](Qt::MouseButton) { lblTokensets_Click(); });

    const auto menu = [this](QAction *action, void (FrmMain::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    menu(ui->mnuChangeLanguageName, &FrmMain::mnuChangeLanguageName_Click);
    menu(ui->mnuChangeTokensetName, &FrmMain::mnuChangeTokensetName_Click);
    menu(ui->mnuSelectAll, &FrmMain::mnuSelectAll_Click);
    menu(ui->mnuUnselectAll, &FrmMain::mnuUnselectAll_Click);
    menu(ui->mnuNew, &FrmMain::mnuNew_Click);
    menu(ui->mnuDuplicate, &FrmMain::mnuDuplicate_Click);
    menu(ui->mnuDelete, &FrmMain::mnuDelete_Click);
    menu(ui->mnuSortLanguages, &FrmMain::mnuSortLanguages_Click);
    menu(ui->mnuNewTokenset, &FrmMain::mnuNewTokenset_Click);
    menu(ui->mnuDeleteTokenset, &FrmMain::mnuDeleteTokenset_Click);
    menu(ui->mnuUp, &FrmMain::mnuUp_Click);
    menu(ui->mnuDown, &FrmMain::mnuDown_Click);
    menu(ui->mnuImport, &FrmMain::mnuImport_Click);
    menu(ui->mnuSelectMemberlist, &FrmMain::mnuSelectMemberlist_Click);
    menu(ui->mnuSelectImageFolder, &FrmMain::mnuSelectImageFolder_Click);
    menu(ui->mnuSeek, &FrmMain::GoToTokenset);

    // Properties, colours, preview. The id choices until a new language reads IDList.txt.
    if (ui->cmbID->count() == 0)
        ui->cmbID->addItems(QString::fromLatin1(
            "argseparators attributeblocks attributekeywordblocks attributetext blockcomments cdatadelimiters "
            "cdatatext charliterals environmentvars escapeseqs hyperlinks identifiers keywords linecomments "
            "linenumbers numbers operators parameterblocks scopekeywords sectionheadings statementdelims strings "
            "tagattributenames tagdelimiters tagelementnames tagentities tagtext text valuenames variables "
            "whitespace").split(QLatin1Char(' ')));
    wirePropertyControls();
    onLabelClick(ui->lblForeColor, [this](Qt::MouseButton) { lblForeColor_Click(); });
    onLabelClick(ui->lblBackColor, [this](Qt::MouseButton) { lblBackColor_Click(); });
    for (int i = 0; i < 10; ++i) {
        onLabelClick(findChild<QLabel *>(QStringLiteral("lblcolor_%1").arg(i)),
                     [this, i](Qt::MouseButton button) { lblcolor_MouseUp(i, button); });
        connect(findChild<QAction *>(QStringLiteral("mnucolor_%1").arg(i)), &QAction::triggered, this,
                [this, i] { mnucolor_Click(i); });
    }
    connect(ui->cmdApply, &QPushButton::clicked, this, &FrmMain::cmdApply_Click);
    connect(ui->cmdSave, &QPushButton::clicked, this, &FrmMain::cmdSave_Click);
    connect(ui->txtXML, &EditorPane::changed, this, &FrmMain::txtXML_Change);
    connect(ui->txtSample, &EditorPane::changed, this, &FrmMain::txtSample_Change);
    connect(ui->imgMargin, &QToolButton::clicked, this, &FrmMain::imgMargin_Click);
    ui->txtSample->setMemberLookup(EditorPane::registryLookup(&G_));

    // Token list tools.
    connect(ui->mnuSort, &QAction::triggered, this, [this] { sortTokens(0, 0); });
    connect(ui->mnuSortCase, &QAction::triggered, this, [this] { sortTokens(0, 1); });
    connect(ui->mnuReverseSort, &QAction::triggered, this, [this] { sortTokens(1, 0); });
    connect(ui->mnuReverseSortCase, &QAction::triggered, this, [this] { sortTokens(1, 1); });
    menu(ui->mnuLowerCase, &FrmMain::mnuLowerCase_Click);
    menu(ui->mnuTitleCase, &FrmMain::mnuTitleCase_Click);
    menu(ui->mnuRemoveAttributes, &FrmMain::mnuRemoveAttributes_Click);
    menu(ui->mnuRemoveOne, &FrmMain::mnuRemoveOne_Click);
    menu(ui->mnuRemoveAll, &FrmMain::mnuRemoveAll_Click);
    menu(ui->mnuToggleFont, &FrmMain::mnuToggleFont_Click);
    for (int item = 0; item < 6; ++item) {
        connect(findChild<QAction *>(QStringLiteral("mnuInsert%1").arg(item + 1)), &QAction::triggered, this,
                [this, item] { insertTemplate(1, item); });
        connect(findChild<QAction *>(QStringLiteral("mnuInsert2%1").arg(item + 1)), &QAction::triggered, this,
                [this, item] { insertTemplate(2, item); });
    }
    onLabelClick(ui->lblTokens, [this](Qt::MouseButton) { ui->mnuPopupToken->popup(QCursor::pos()); });
    onLabelClick(ui->lbltokens2, [this](Qt::MouseButton) { ui->mnuPopupToken2->popup(QCursor::pos()); });
    auto *hint = new FocusHint(this, [this](bool focused) {
        setStatusBarText(focused ? QStringLiteral("token :::: action :::: regexp :::: rule") : statusText_);
    });
    ui->txtTokens->installEventFilter(hint);
    ui->txtTokens2->installEventFilter(hint);

    // Export, viewer, printing, help.
    menu(ui->mnuCreate, &FrmMain::mnuCreate_Click);
    menu(ui->mnuCreateAll, &FrmMain::mnuCreateAll_Click);
    menu(ui->mnuSelectLanguage, &FrmMain::mnuSelectLanguage_Click);
    menu(ui->mnuShowLanguageFile, &FrmMain::mnuShowLanguageFile_Click);
    menu(ui->mnuAbout, &FrmMain::mnuAbout_Click);
    menu(ui->mnuPrintSample, &FrmMain::mnuPrintSample_Click);
    menu(ui->mnuPrintXML, &FrmMain::mnuPrintXML_Click);
    menu(ui->mnuOnlineUpdate, &FrmMain::mnuOnlineUpdate_Click);
    connect(ui->mnuEmail, &QAction::triggered, this, [this] { edit_->online->email(); });
    connect(ui->mnuWebSite, &QAction::triggered, this, [this] { edit_->online->webSite(); });
    connect(ui->mnuForums, &QAction::triggered, this, [this] { edit_->online->forums(); });
    connect(ui->mnuSupport, &QAction::triggered, this, [this] { edit_->online->support(); });
    connect(ui->mnuOnlineHelp, &QAction::triggered, this, [this] { edit_->online->onlineHelp(); });
    connect(this, &FrmMain::messageRequested, this, &FrmMain::toolbarMessage_Click);
}
