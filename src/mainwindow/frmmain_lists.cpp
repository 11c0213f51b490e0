// The language and tokenset lists: filling them, selecting, and the list commands of the Languages
// and Tokensets menus and of the two right-click menus.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "model/recordops.h"
#include "ui_frmmain.h"

#include <QApplication>
#include <QSignalBlocker>

namespace {

// The busy pointer while a handler runs.
struct Hourglass {
    Hourglass() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Hourglass() { QApplication::restoreOverrideCursor(); }
};

void setMark(QListWidgetItem *item, bool checked)
{
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

} // namespace

bool FrmMain::askSure(const QString &title)
{
    return !ui->mnuConfirmation->isChecked()
        || dialogs_->message(this, QStringLiteral("Are you sure?"), title, Dialogs::Buttons::OkCancel,
                             Dialogs::Icon::Question)
            == Dialogs::Answer::Ok;
}

// Selects a tokenset item so that its click handler runs, also when it is already selected.
void FrmMain::selectTokenset(int index)
{
    if (ui->lstTokenset->currentRow() == index)
        lstTokenset_Click();
    else
        ui->lstTokenset->setCurrentRow(index);
}

void FrmMain::DisplayLanguage()
{
    Trace::entry(QStringLiteral("DisplayLanguage"));
    const bool wasLoading = db_.loading;
    db_.loading = true;
    const Language &language = db_.current();
    ui->chkDefaultCase->setChecked(language.casesensitive != 0);
    ui->chkOverride->setChecked(language.applycase != 0);
    ui->chkWhite->setChecked(language.whitespaceasparamblock != 0);
    ui->txtWordChars->setText(language.wordchars);
    ui->txtSample->setText(language.sampletext);
    ui->cmbLMemberList->setCurrentIndex(GetLMemberListIndex(language.memberlist));
    db_.loading = wasLoading;
}

void FrmMain::DisplayTokensetList()
{
    Trace::entry(QStringLiteral("DisplayTokensetList"));
    const bool wasLoading = db_.loading;
    db_.loading = true;
    const QSignalBlocker blocker(ui->lstTokenset);
    ui->lstTokenset->clear();
    const Language &language = db_.current();
    for (int slot = 0; slot < Language::kSlots && !language.tokensets[slot].name.isEmpty(); ++slot) {
        auto *item = new QListWidgetItem(language.tokensets[slot].name, ui->lstTokenset);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        setMark(item, language.tokensets[slot].included != 0);
    }
    ui->lstTokenset->setCurrentRow(-1);
    db_.loading = wasLoading;
}

void FrmMain::lstLang_Click()
{
    if (db_.loading)
        return;
    const int row = ui->lstLang->currentRow();
    if (row < 0 || row >= db_.languages.size())
        return;
    Trace::entry(QStringLiteral("lstLang_click"));
    Hourglass busy;
    db_.currentLanguage = row;
    DisplayLanguage();
    DisplayTokensetList();
    if (ui->lstTokenset->count() > 0)
        selectTokenset(0);
    db_.currentTokenset = ui->lstTokenset->currentRow();
    LoadValidScopeLists();
    LoadValidInheritList();
    DisplayTokensetProperties();
    regenerate(1);
}

void FrmMain::lstTokenset_Click()
{
    if (db_.loading)
        return;
    Trace::entry(QStringLiteral("lstTokenset_click"));
    db_.currentTokenset = ui->lstTokenset->currentRow();
    LoadValidScopeLists();
    LoadValidInheritList();
    DisplayTokensetProperties();
    if (ui->mnuAutoSeek->isChecked() && isVisible())
        GoToTokenset();
}

void FrmMain::lstTokenset_ItemCheck(int item)
{
    if (db_.loading || item < 0 || item >= ui->lstTokenset->count())
        return;
    Tokenset &ts = db_.current().tokensets[item];
    const qint32 included = ui->lstTokenset->item(item)->checkState() == Qt::Checked ? 1 : 0;
    if (ts.included == included) // a renamed item reports a change too
        return;
    Trace::entry(QStringLiteral("lstTokenset_itemcheck"));
    ts.included = included;
    LoadValidScopeLists();
    LoadValidInheritList();
    DisplayTokensetProperties();
    regenerate(1);
    db_.dirty = true;
}

void FrmMain::lblTokensets_Click()
{
    Hourglass busy;
    for (int k = 0; k < ui->lstTokenset->count(); ++k)
        setMark(ui->lstTokenset->item(k), edit_->checkAllToggle);
    edit_->checkAllToggle = !edit_->checkAllToggle;
}

void FrmMain::mnuSelectAll_Click()
{
    if (ui->lstTokenset->count() == 0)
        return;
    Hourglass busy;
    const int remembered = db_.currentTokenset;
    db_.loading = true;
    for (int k = 0; k < ui->lstTokenset->count(); ++k)
        setMark(ui->lstTokenset->item(k), true);
    RecordOps::setAllIncluded(db_.current(), true);
    db_.dirty = true;
    db_.loading = false;
    selectTokenset(remembered < 0 ? 0 : remembered);
    regenerate(1);
}

void FrmMain::mnuUnselectAll_Click()
{
    if (ui->lstTokenset->count() == 0)
        return;
    Hourglass busy;
    db_.loading = true;
    for (int k = 0; k < ui->lstTokenset->count(); ++k)
        setMark(ui->lstTokenset->item(k), false);
    RecordOps::setAllIncluded(db_.current(), false);
    db_.dirty = true;
    db_.loading = false;
    LoadValidScopeLists();
    LoadValidInheritList();
    DisplayTokensetProperties();
    regenerate(1);
}

void FrmMain::mnuChangeLanguageName_Click()
{
    QListWidgetItem *item = ui->lstLang->currentItem();
    if (!item)
        return;
    const QString answer =
        dialogs_->input(this, QStringLiteral("Change '") + item->text() + QStringLiteral("' to:"),
                        QStringLiteral("Change Language Name"), db_.current().name);
    if (answer.trimmed().isEmpty())
        return;
    item->setText(answer);
    db_.current().name = answer;
    regenerate(0);
    db_.dirty = true;
}

void FrmMain::mnuChangeTokensetName_Click()
{
    QListWidgetItem *item = ui->lstTokenset->currentItem();
    if (!item || noTokenset())
        return;
    const QString answer = dialogs_->input(this, QStringLiteral("Change '") + item->text() + QStringLiteral("' to:"),
                                           QStringLiteral("Change Tokenset Name"), QString());
    if (answer.trimmed().isEmpty())
        return;
    {
        const QSignalBlocker blocker(ui->lstTokenset);
        item->setText(answer);
    }
    db_.current().tokensets[db_.currentTokenset].name = answer;
    LoadValidScopeLists();
    LoadValidInheritList();
    DisplayTokensetProperties();
    regenerate(0);
    db_.dirty = true;
}

void FrmMain::mnuDelete_Click()
{
    const int k = ui->lstLang->currentRow();
    if (k < 0)
        return;
    if (ui->lstLang->count() == 1) {
        dialogs_->message(this, QStringLiteral("Cannot delete last language!"), QStringLiteral("Delete Language"),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    if (!askSure(QStringLiteral("Delete Language")))
        return;
    const int next = RecordOps::deleteLanguage(db_, k);
    if (next < 0)
        return;
    {
        const QSignalBlocker blocker(ui->lstLang);
        delete ui->lstLang->takeItem(k);
        ui->lstLang->setCurrentRow(-1);
    }
    db_.dirty = true;
    ui->lstLang->setCurrentRow(next);
}

void FrmMain::mnuDeleteTokenset_Click()
{
    if (noTokenset())
        return;
    if (!askSure(QStringLiteral("Delete Tokenset")))
        return;
    if (ui->lstTokenset->count() == 1) {
        dialogs_->message(this, QStringLiteral("Cannot delete last tokenset!"), QStringLiteral("Delete Tokenset"),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Information);
        return;
    }
    const int next = RecordOps::deleteTokenset(db_.current(), ui->lstTokenset->currentRow());
    if (next < 0)
        return;
    db_.dirty = true;
    DisplayTokensetList();
    selectTokenset(next);
    regenerate(1);
}

void FrmMain::mnuNewTokenset_Click()
{
    if (db_.languages.isEmpty())
        return;
    const QString answer = dialogs_->input(this, QStringLiteral("Enter new tokenset name:"),
                                           QStringLiteral("New Tokenset"), QStringLiteral("New Tokenset"));
    if (answer.isEmpty())
        return;
    const int slot = RecordOps::newTokenset(db_.current(), answer);
    if (slot < 0) {
        dialogs_->message(this, QStringLiteral("Too many tokensets!"), QStringLiteral("New Tokenset"),
                          Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
        return;
    }
    {
        const QSignalBlocker blocker(ui->lstTokenset);
        auto *item = new QListWidgetItem(answer, ui->lstTokenset);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        setMark(item, false);
    }
    enableTokensetControls(true);
    selectTokenset(slot);
    db_.dirty = true;
}

void FrmMain::mnuUp_Click()
{
    moveCurrentTokenset(RecordOps::moveTokensetUp);
}

void FrmMain::mnuDown_Click()
{
    moveCurrentTokenset(RecordOps::moveTokensetDown);
}

// Moves the current tokenset one place with the given record operation and follows it.
void FrmMain::moveCurrentTokenset(int (*move)(Language &, int))
{
    if (noTokenset())
        return;
    Hourglass busy;
    const int moved = move(db_.current(), db_.currentTokenset);
    if (moved < 0)
        return;
    DisplayTokensetList();
    db_.dirty = true;
    db_.currentTokenset = moved;
    selectTokenset(moved);
    regenerate(1);
}

void FrmMain::mnuDuplicate_Click()
{
    if (db_.languages.isEmpty())
        return;
    const QString answer = dialogs_->input(this, QStringLiteral("Enter new langauge name:"),
                                           QStringLiteral("New Language"), QStringLiteral("New Language"));
    if (answer.isEmpty())
        return;
    const int index = RecordOps::duplicateLanguage(db_, db_.currentLanguage, answer);
    if (index < 0)
        return;
    {
        const QSignalBlocker blocker(ui->lstLang);
        ui->lstLang->addItem(answer);
    }
    db_.dirty = true; // unsaved work: closing must offer to save it
    ui->lstLang->setCurrentRow(index);
}

void FrmMain::mnuSortLanguages_Click()
{
    if (db_.languages.isEmpty())
        return;
    RecordOps::sortLanguages(db_);
    fillLanguageList();
    ui->lstLang->setCurrentRow(0);
    db_.dirty = true;
}
