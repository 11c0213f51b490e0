// The database commands of the File menu and the question when the window closes.
#include "mainwindow/frmmain.h"
#include "model/databasestore.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"

#include <QSignalBlocker>

void FrmMain::reportFileError(const QString &title, const QString &text)
{
    dialogs_->message(this, text, title, Dialogs::Buttons::Ok, Dialogs::Icon::Exclamation);
}

// The language list shows the names of the languages in array order, with nothing selected.
void FrmMain::fillLanguageList()
{
    const QSignalBlocker blocker(ui->lstLang);
    ui->lstLang->clear();
    for (const Language &language : std::as_const(db_.languages))
        ui->lstLang->addItem(language.name);
    ui->lstLang->setCurrentRow(-1);
}

void FrmMain::LoadFileData()
{
    const FileResult result = DatabaseStore::LoadFileData(db_, ProgramFolder::path());
    fillLanguageList();
    if (!result.ok())
        reportFileError(QStringLiteral("Load Database"), result.message);
}

bool FrmMain::SaveChanges()
{
    const FileResult result = DatabaseStore::SaveChanges(db_, ProgramFolder::path());
    if (!result.ok()) {
        reportFileError(QStringLiteral("Save Database"), result.message);
        return false;
    }
    return true;
}

void FrmMain::mnuSave_Click()
{
    SaveChanges();
}

void FrmMain::mnuBackup_Click()
{
    const FileResult result = DatabaseStore::Backup(ProgramFolder::path());
    if (!result.ok())
        reportFileError(QStringLiteral("Backup Database"), result.message);
}

void FrmMain::mnuRestore_Click()
{
    if (ui->mnuConfirmation->isChecked()
        && dialogs_->message(this, QStringLiteral("Restore database from backup?"), QStringLiteral("Restore Database"),
                             Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
            != Dialogs::Answer::Ok)
        return;
    const FileResult result = DatabaseStore::Restore(db_, ProgramFolder::path());
    if (result.status == FileResult::Failed) {
        reportFileError(QStringLiteral("Restore Database"), result.message);
        return;
    }
    registerXmlLanguage();
    previewRegistered_ = false;
    reloadDatabase();
    if (!result.ok())
        reportFileError(QStringLiteral("Restore Database"), result.message);
}

void FrmMain::mnuReload_Click()
{
    if (ui->mnuConfirmation->isChecked()
        && dialogs_->message(this, QStringLiteral("Are you sure?"), QStringLiteral("Reload Database"),
                             Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
            != Dialogs::Answer::Ok)
        return;
    G_.clearLanguages();
    previewRegistered_ = false;
    const FileResult result = DatabaseStore::Reload(db_, ProgramFolder::path());
    if (result.status == FileResult::Failed) {
        reportFileError(QStringLiteral("Reload Database"), result.message);
        return;
    }
    reloadDatabase();
    if (!result.ok())
        reportFileError(QStringLiteral("Reload Database"), result.message);
}

// After the store has read the database again: refill the language list and display language 0.
void FrmMain::reloadDatabase()
{
    fillLanguageList();
    db_.dirty = false;
    db_.loading = false;
    if (ui->lstLang->count() > 0)
        ui->lstLang->setCurrentRow(0);
}

// True when the window may close. A failed save keeps it open with every change.
bool FrmMain::Form_QueryUnload()
{
    if (!db_.dirty)
        return true;
    switch (dialogs_->message(this, QStringLiteral("Save changes?"), QStringLiteral("Save Changes"),
                              Dialogs::Buttons::YesNoCancel, Dialogs::Icon::Question)) {
    case Dialogs::Answer::Yes: return SaveChanges();
    case Dialogs::Answer::No: return true;
    default: return false;
    }
}
