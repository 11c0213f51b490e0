// The database commands of the File menu.
#include "mainwindow/frmmain.h"
#include "session/editsession.h"
#include "ui_frmmain.h"

bool FrmMain::askOk(const QString &text, const QString &title)
{
    return !ui->mnuConfirmation->isChecked()
        || dialogs_->message(this, text, title, Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
        == Dialogs::Answer::Ok;
}

void FrmMain::mnuSave_Click()
{
    session_->save();
}

void FrmMain::mnuBackup_Click()
{
    session_->backup();
}

void FrmMain::mnuRestore_Click()
{
    if (askOk(QStringLiteral("Restore database from backup?"), QStringLiteral("Restore Database")))
        session_->restore();
}

void FrmMain::mnuReload_Click()
{
    if (askOk(QStringLiteral("Are you sure?"), QStringLiteral("Reload Database")))
        session_->reload();
}
