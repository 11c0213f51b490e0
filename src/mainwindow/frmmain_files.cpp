// The database commands of the File menu.
#include "mainwindow/frmmain.h"
#include "mainwindow/languagelistpanel.h"
#include "model/programfolder.h"
#include "session/editsession.h"
#include "ui_frmmain.h"

#include <QDir>

bool FrmMain::askOk(const QString &text, const QString &title)
{
    return !ui->mnuConfirmation->isChecked()
        || dialogs_->message(this, text, title, Dialogs::Buttons::OkCancel, Dialogs::Icon::Question)
        == Dialogs::Answer::Ok;
}

void FrmMain::importFiles(const QStringList &files)
{
    for (const QString &file : files)
        languageList_->importFile(file);
}

void FrmMain::mnuSave_Click()
{
    saveDatabase();
}

// Saves varlex.dat. When another program (or another Varlex) changed the file since it was loaded,
// overwriting it would lose that change in silence: the user chooses to overwrite it, to save the
// changes to another file instead, or to save nothing. The database lock is held only while the
// session checks and writes, never while the question is open; a file changed again while it was
// open is asked about again.
bool FrmMain::saveDatabase()
{
    FileStamp agreed;
    for (bool asked = false;; asked = true) {
        const EditSession::SaveResult saved = session_->save(asked ? &agreed : nullptr);
        if (saved != EditSession::SaveResult::ChangedOnDisk)
            return saved == EditSession::SaveResult::Saved;
        agreed = session_->databaseOnDisk();
        const QString question = tr("varlex.dat was changed on disk by another program since Varlex read it.");
        switch (dialogs_->choose(this, question, tr("Save Database"),
                                 {tr("Overwrite"), tr("Save As..."), tr("Cancel")},
                                 Dialogs::Icon::Exclamation)) {
        case 0: break;
        case 1: {
            const QString path = dialogs_->saveFile(this, tr("Save Database As"),
                                                    QDir(ProgramFolder::path()).filePath(QStringLiteral("varlex-copy.dat")),
                                                    tr("Varlex database (*.dat)"));
            return !path.isEmpty() && session_->saveCopy(path);
        }
        default: return false;
        }
    }
}

void FrmMain::mnuBackup_Click()
{
    session_->backup();
}

void FrmMain::mnuRestore_Click()
{
    if (askOk(tr("Restore database from backup?"), tr("Restore Database")))
        session_->restore();
}

void FrmMain::mnuReload_Click()
{
    if (askOk(tr("Are you sure?"), tr("Reload Database")))
        session_->reload();
}
