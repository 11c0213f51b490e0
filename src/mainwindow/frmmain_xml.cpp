// The XML writer's side of the window: options, buttons, red flag, status pane and trace window.
#include "mainwindow/frmmain.h"
#include "widgets/tracebox.h"
#include "model/programfolder.h"
#include "ui_frmmain.h"
#include "xmlgen/xmlwriter.h"

WriteResult FrmMain::WriteXML(int iSel, bool writeLocal, int iScope)
{
    const WriteResult result = writer_->WriteXML(iSel, writeLocal, iScope);
    if (result.status != WriteResult::Status::Cancelled)
        validityMessage_ = writer_->validityMessage();
    if (result.status == WriteResult::Status::Failed)
        dialogs_->message(this, result.error, QStringLiteral("Write XML"), Dialogs::Buttons::Ok,
                          Dialogs::Icon::Exclamation);
    return result;
}

XmlWriter &FrmMain::xmlWriter()
{
    return *writer_;
}

bool FrmMain::hideDefaultAttributes() const
{
    return ui->mnuHideAttributes->isChecked();
}

bool FrmMain::easyReadFormat() const
{
    return ui->mnuEasyRead->isChecked();
}

bool FrmMain::validityChecked() const
{
    return ui->mnuDirty->isChecked();
}

bool FrmMain::traceChecked() const
{
    return ui->mnuDebug->isChecked();
}

QString FrmMain::programFolder() const
{
    return ProgramFolder::path();
}

const MemberlistLookup *FrmMain::memberlists() const
{
    return &G_;
}

bool FrmMain::applyEnabled() const
{
    return ui->cmdApply->isEnabled();
}

bool FrmMain::confirm(const QString &text, const QString &title)
{
    return dialogs_->message(this, text, title, Dialogs::Buttons::OkCancel, Dialogs::Icon::Exclamation)
        == Dialogs::Answer::Ok;
}

void FrmMain::setLoading(bool on)
{
    db_.loading = on;
}

void FrmMain::setRedFlag(qint32 colour)
{
    setBackColor(ui->lblRedFlag, colour);
}

void FrmMain::disableApplyAndSave()
{
    ui->cmdApply->setEnabled(false);
    ui->cmdSave->setEnabled(false);
}

void FrmMain::setStatusText(const QString &text)
{
    ui->txtStatus->setText(text);
}

void FrmMain::appendStatusText(const QString &text)
{
    ui->txtStatus->append(text);
}
