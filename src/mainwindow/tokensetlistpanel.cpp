#include "mainwindow/tokensetlistpanel.h"
#include "ui_frmmain.h"
#include "widgets/clicklabel.h"
#include "mainwindow/hourglass.h"
#include "session/editsession.h"
#include "session/tracelabels.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>

TokensetListPanel::TokensetListPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , lstTokenset_(context.ui.lstTokenset)
    , mnuPopupTokenset_(context.ui.mnuPopupTokenset)
{
    connect(lstTokenset_, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_)
            lstTokenset_Click();
    });
    connect(lstTokenset_, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (!filling_)
            lstTokenset_ItemCheck(lstTokenset_->row(item));
    });
    lstTokenset_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstTokenset_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { mnuPopupTokenset_->popup(lstTokenset_->viewport()->mapToGlobal(pos)); });
    ClickLabel::onRelease(context.ui.lblTokensets, [this](Qt::MouseButton) { lblTokensets_Click(); });
    const auto menu = [this](QAction *action, void (TokensetListPanel::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    menu(context_.ui.mnuChangeTokensetName, &TokensetListPanel::mnuChangeTokensetName_Click);
    menu(context_.ui.mnuSelectAll, &TokensetListPanel::mnuSelectAll_Click);
    menu(context_.ui.mnuUnselectAll, &TokensetListPanel::mnuUnselectAll_Click);
    menu(context_.ui.mnuNewTokenset, &TokensetListPanel::mnuNewTokenset_Click);
    menu(context_.ui.mnuDeleteTokenset, &TokensetListPanel::mnuDeleteTokenset_Click);
    menu(context_.ui.mnuUp, &TokensetListPanel::mnuUp_Click);
    menu(context_.ui.mnuDown, &TokensetListPanel::mnuDown_Click);
    connect(&session_, &EditSession::languageShown, this, &TokensetListPanel::DisplayTokensetList);
    connect(&session_, &EditSession::tokensetsChanged, this, &TokensetListPanel::DisplayTokensetList);
    connect(&session_, &EditSession::tokensetShown, this, &TokensetListPanel::showSelection);
    connect(&session_, &EditSession::fieldChanged, this, &TokensetListPanel::fieldChanged);
}

// The names of the used slots with their marks, the current tokenset selected. Items are updated
// in place, so a click that changed a mark never finds its item gone.
void TokensetListPanel::DisplayTokensetList()
{
    TraceLabels::enter(TraceLabels::Point::DisplayTokensetList);
    filling_ = true;
    const int count = session_.hasLanguage() ? session_.language().tokensetCount() : 0;
    while (lstTokenset_->count() > count)
        delete lstTokenset_->takeItem(lstTokenset_->count() - 1);
    for (int slot = 0; slot < count; ++slot) {
        const Tokenset &ts = session_.language().tokensets[size_t(slot)];
        QListWidgetItem *item = slot < lstTokenset_->count() ? lstTokenset_->item(slot) : nullptr;
        if (!item) {
            item = new QListWidgetItem(ts.name, lstTokenset_);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        } else if (item->text() != ts.name) {
            item->setText(ts.name);
        }
        // A new item has no check state yet (it reads as unchecked): it gets one, or shows no box.
        const Qt::CheckState mark = ts.included != 0 ? Qt::Checked : Qt::Unchecked;
        if (!item->data(Qt::CheckStateRole).isValid() || item->checkState() != mark)
            item->setCheckState(mark);
    }
    filling_ = false;
    showSelection();
}

void TokensetListPanel::showSelection()
{
    filling_ = true;
    lstTokenset_->setCurrentRow(session_.hasTokenset() ? session_.currentTokenset() : -1);
    filling_ = false;
}

void TokensetListPanel::fieldChanged(int slot, RecordFields::FieldId field)
{
    if (field == RecordFields::FieldId::Name || field == RecordFields::FieldId::Included)
        DisplayTokensetList();
    (void)slot;
}

void TokensetListPanel::lstTokenset_Click()
{
    const int row = lstTokenset_->currentRow();
    if (row < 0)
        return;
    TraceLabels::enter(TraceLabels::Point::lstTokenset_Click);
    session_.selectTokenset(row);
    Q_EMIT tokensetClicked();
}

void TokensetListPanel::lstTokenset_ItemCheck(int item)
{
    if (item < 0 || item >= lstTokenset_->count() || !session_.hasLanguage())
        return;
    const bool checked = lstTokenset_->item(item)->checkState() == Qt::Checked;
    if ((session_.language().tokensets[size_t(item)].included != 0) == checked)
        return; // a renamed item reports a change too
    TraceLabels::enter(TraceLabels::Point::lstTokenset_ItemCheck);
    session_.setIncluded(item, checked);
}

// Checks or unchecks every tokenset, alternately: the first click after start-up unchecks all.
void TokensetListPanel::lblTokensets_Click()
{
    Hourglass busy;
    session_.setAllIncluded(checkAllToggle_);
    checkAllToggle_ = !checkAllToggle_;
}

void TokensetListPanel::mnuSelectAll_Click()
{
    Hourglass busy;
    session_.setAllIncluded(true);
}

void TokensetListPanel::mnuUnselectAll_Click()
{
    Hourglass busy;
    session_.setAllIncluded(false);
}

void TokensetListPanel::mnuChangeTokensetName_Click()
{
    QListWidgetItem *item = lstTokenset_->currentItem();
    if (!item || !session_.hasTokenset())
        return;
    const QString name = context_.dialogs.input(context_.window, tr("Change '%1' to:").arg(item->text()),
                                                tr("Change Tokenset Name"), QString());
    if (session_.renameTokenset(name))
        warnIfNameShared(name, tr("Change Tokenset Name"));
}

// A second tokenset of one name is the user's to make, but scripts address tokensets by name: the
// window says so once it exists.
void TokensetListPanel::warnIfNameShared(const QString &name, const QString &title)
{
    const Language &language = session_.language();
    int count = 0;
    for (int k = 0, n = language.tokensetCount(); k < n; ++k)
        count += language.tokensets[k].name == name;
    if (count > 1)
        context_.inform(
            tr("Another tokenset of this language is also named \"%1\". Both are kept; varlex-cli tells them apart by slot.")
                .arg(name),
            title);
}

void TokensetListPanel::mnuNewTokenset_Click()
{
    if (!session_.hasLanguage())
        return;
    const QString answer = context_.dialogs.input(context_.window, tr("Enter new tokenset name:"), tr("New Tokenset"),
                                                  QStringLiteral("New Tokenset")); // the offered name is data
    if (answer.isEmpty())
        return;
    if (session_.newTokenset(answer) == -1)
        context_.inform(tr("Too many tokensets!"), tr("New Tokenset"));
    else
        warnIfNameShared(answer, tr("New Tokenset"));
}

void TokensetListPanel::mnuDeleteTokenset_Click()
{
    if (!session_.hasTokenset() || !context_.askSure(tr("Delete Tokenset")))
        return;
    if (lstTokenset_->count() == 1) {
        context_.inform(tr("Cannot delete last tokenset!"), tr("Delete Tokenset"),
                        Dialogs::Icon::Information);
        return;
    }
    session_.deleteTokenset();
}

void TokensetListPanel::mnuUp_Click()
{
    Hourglass busy;
    session_.moveTokenset(-1);
}

void TokensetListPanel::mnuDown_Click()
{
    Hourglass busy;
    session_.moveTokenset(1);
}
