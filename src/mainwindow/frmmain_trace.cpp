// Trace and validity output, the trace window, the full-window XML view and the layout.
#include "mainwindow/frmdebug.h"
#include "mainwindow/frmmain.h"
#include "widgets/tracebox.h"
#include "ui_frmmain.h"

#include <QCoreApplication>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Pixels of a distance given in twips, at the widget's dots per inch.
int twips(const QWidget *widget, int value)
{
    return value * widget->logicalDpiX() / 1440;
}

} // namespace

FrmDebug *FrmMain::debugWindow() const
{
    return frmDebug_;
}

void FrmMain::traceEntry(const QString &statusLabel, const QString &debugLabel)
{
    if (statusPaneShown_ && !ui->mnuDirty->isChecked())
        ui->txtStatus->append(statusLabel + kCrLf);
    appendDebugText(debugLabel + kCrLf);
}

void FrmMain::appendDebugText(const QString &text)
{
    if (debugWindowOpen_ && frmDebug_)
        frmDebug_->txtStatus()->append(text);
}

void FrmMain::appendTimingLine(const QString &timing)
{
    appendDebugText(kCrLf + timing + kCrLf);
}

// Shows or hides the status pane with a fresh text; the token labels take its place when hidden.
void FrmMain::applyStatusPane(bool shown, const QString &text)
{
    ui->txtStatus->setVisible(shown);
    statusPaneShown_ = shown;
    ui->txtStatus->setText(text);
    ui->lblTokens->setVisible(!shown);
    ui->lbltokens2->setVisible(!shown && !ui->txtTokens2->isHidden());
    Form_Resize();
}

void FrmMain::mnuDebug_Click()
{
    const bool shown = ui->mnuDebug->isChecked();
    applyStatusPane(shown, shown ? QStringLiteral("<Trace Mode>") + kCrLf : QStringLiteral("<Troubleshooting disabled>"));
}

void FrmMain::mnuDirty_Click()
{
    const bool shown = ui->mnuDirty->isChecked();
    applyStatusPane(shown, shown ? QStringLiteral("<Validity Mode>") + kCrLf + validityMessage_
                                 : QStringLiteral("<Troubleshooting disabled>"));
}

// The XML pane covers the frames while the full-window view is on.
void FrmMain::mnuView_Click()
{
    const bool on = ui->mnuView->isChecked();
    toolbarButton(QStringLiteral("full"))->setChecked(on);
    ui->fraUpper->setVisible(!on);
    ui->fraSample->setVisible(!on);
    if (on)
        ui->txtXML->setFocus();
    Form_Resize();
}

void FrmMain::lblSample_Click()
{
    if (!frmDebug_)
        frmDebug_ = new FrmDebug(this);
    const QRect main = frameGeometry();
    frmDebug_->move(main.x() + main.width() + twips(this, 300), main.y());
    frmDebug_->resize(frmDebug_->width(), main.height());
    frmDebug_->show();
    frmDebug_->raise();
    debugWindowOpen_ = true;
}

// The layouts keep the relations of the panes: the XML pane spans the window below the frames (or
// all of it in full-window view), the token boxes share the frame's width with a gap or the first
// takes it alone, and the status pane lies over them. This applies pending changes at once.
void FrmMain::Form_Resize()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QLayout *layout = centralWidget()->layout())
        layout->activate();
    ui->splitMain->refresh();
    for (QWidget *frame : {ui->fraUpper, ui->fraSample, ui->fraXML})
        if (frame->layout())
            frame->layout()->activate();
    if (ui->Frame2->layout())
        ui->Frame2->layout()->activate();
}
