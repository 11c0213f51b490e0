#include "mainwindow/languagelistpanel.h"
#include "ui_frmmain.h"
#include "mainwindow/hourglass.h"
#include "import/languageconversion.h"
#include "model/nativename.h"
#include "model/programfolder.h"
#include "session/editsession.h"
#include "session/tracelabels.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QMenu>

#include <algorithm>

LanguageListPanel::LanguageListPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , lstLang_(context.ui.lstLang)
    , mnuPopupLanguage_(context.ui.mnuPopupLanguage)
{
    connect(lstLang_, &QListWidget::currentRowChanged, this, [this] {
        if (!filling_)
            lstLang_Click();
    });
    lstLang_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstLang_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { mnuPopupLanguage_->popup(lstLang_->viewport()->mapToGlobal(pos)); });
    const auto menu = [this](QAction *action, void (LanguageListPanel::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    menu(context_.ui.mnuChangeLanguageName, &LanguageListPanel::mnuChangeLanguageName_Click);
    menu(context_.ui.mnuNew, &LanguageListPanel::mnuNew_Click);
    menu(context_.ui.mnuDuplicate, &LanguageListPanel::mnuDuplicate_Click);
    menu(context_.ui.mnuDelete, &LanguageListPanel::mnuDelete_Click);
    menu(context_.ui.mnuSortLanguages, &LanguageListPanel::mnuSortLanguages_Click);
    menu(context_.ui.mnuImport, &LanguageListPanel::mnuImport_Click);
    connect(&session_, &EditSession::languagesChanged, this, &LanguageListPanel::fillLanguageList);
    connect(&session_, &EditSession::languageShown, this, &LanguageListPanel::showSelection);
}

// The names of the languages in array order; the current one selected once one is shown.
void LanguageListPanel::fillLanguageList()
{
    filling_ = true;
    const QVector<Language> &languages = session_.db().languages;
    while (lstLang_->count() > languages.size())
        delete lstLang_->takeItem(lstLang_->count() - 1);
    for (int i = 0; i < languages.size(); ++i) {
        if (i < lstLang_->count()) {
            if (lstLang_->item(i)->text() != languages[i].name)
                lstLang_->item(i)->setText(languages[i].name);
        } else {
            lstLang_->addItem(languages[i].name);
        }
    }
    lstLang_->setCurrentRow(-1);
    filling_ = false;
}

void LanguageListPanel::showSelection()
{
    filling_ = true;
    lstLang_->setCurrentRow(session_.hasLanguage() ? session_.currentLanguage() : -1,
                            QItemSelectionModel::ClearAndSelect);
    filling_ = false;
}

void LanguageListPanel::selectLanguage(int row)
{
    if (row >= 0 && row < lstLang_->count())
        lstLang_->setCurrentRow(row);
}

void LanguageListPanel::lstLang_Click()
{
    const int row = lstLang_->currentRow();
    if (row < 0)
        return;
    TraceLabels::enter(TraceLabels::Point::lstLang_Click);
    Hourglass busy;
    if (!session_.selectLanguage(row)) {
        // Kept on the pane's language: show it again now and once the click that chose another
        // row has been handled to its end (the view selects the pressed row after this handler).
        showSelection();
        QMetaObject::invokeMethod(this, &LanguageListPanel::showSelection, Qt::QueuedConnection);
    }
}

void LanguageListPanel::mnuChangeLanguageName_Click()
{
    QListWidgetItem *item = lstLang_->currentItem();
    if (!item || !session_.hasLanguage())
        return;
    const QString answer =
        context_.dialogs.input(context_.window, tr("Change '%1' to:").arg(item->text()),
                               tr("Change Language Name"), session_.language().name);
    if (session_.renameLanguage(answer))
        warnIfNameShared(answer, tr("Change Language Name"));
}

// A second language of one name is the user's to make, but scripts address languages by name: the
// window says so once it exists.
void LanguageListPanel::warnIfNameShared(const QString &name, const QString &title)
{
    const auto &languages = session_.db().languages;
    if (std::count_if(languages.cbegin(), languages.cend(), [&name](const Language &l) { return l.name == name; }) > 1)
        context_.inform(tr("Another language is also named \"%1\". Both are kept; varlex-cli tells them apart by index.")
                            .arg(name),
                        title);
}

QString LanguageListPanel::askLanguageName()
{
    return context_.dialogs.input(context_.window, tr("Enter new langauge name:"),
                                  tr("New Language"), QStringLiteral("New Language")); // the offered name is data
}

void LanguageListPanel::mnuNew_Click()
{
    const QString name = askLanguageName();
    const EditSession::NewLanguage made = session_.newLanguage(name);
    if (!made.message.isEmpty())
        context_.inform(made.message, tr("New Language"));
    if (made.index >= 0)
        warnIfNameShared(name, tr("New Language"));
}

void LanguageListPanel::mnuDuplicate_Click()
{
    const QString name = askLanguageName();
    const int before = int(session_.db().languages.size());
    session_.duplicateLanguage(name);
    if (int(session_.db().languages.size()) > before)
        warnIfNameShared(name, tr("New Language"));
}

void LanguageListPanel::mnuDelete_Click()
{
    if (lstLang_->currentRow() < 0)
        return;
    if (lstLang_->count() == 1) {
        context_.inform(tr("Cannot delete last language!"), tr("Delete Language"),
                        Dialogs::Icon::Information);
        return;
    }
    if (context_.askSure(tr("Delete Language")))
        session_.deleteLanguage();
}

void LanguageListPanel::mnuSortLanguages_Click()
{
    session_.sortLanguages();
}

void LanguageListPanel::mnuImport_Click()
{
    // A remembered folder that is gone (removed, or kept from another copy of the program) would open
    // an empty listing; the program's own folder of language files is then the useful place.
    const QString start =
        QFileInfo(importFolder_).isDir() ? importFolder_ : ProgramFolder::file(QStringLiteral("language_def"));
    // A name that is not UTF-8 is opened by its bytes, not by what the dialog could read of it.
    const QString file = NativeName::fromDialog(context_.dialogs.openFile(
        context_.window, tr("Import Language File"), start,
        LanguageConversion::importFilters().join(QStringLiteral(";;"))));
    if (file.isEmpty())
        return;
    importFolder_ = QFileInfo(file).absolutePath();
    importFile(file);
}

void LanguageListPanel::importFile(const QString &file)
{
    const EditSession::Imported imported =
        session_.importLanguage(file, context_.autoInclude());
    if (!imported.problem.isEmpty())
        context_.inform(NativeName::shown(imported.problem), tr("Import Language"));
    else if (!imported.changes.isEmpty())
        context_.inform(tr("The language was imported; these tokens had to change:\n\n")
                            + imported.changes.join(QLatin1Char('\n')),
                        tr("Import Language"));
}
