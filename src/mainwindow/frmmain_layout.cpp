// The layout of the main window: the full-window XML view and the relations the panes keep.
#include "mainwindow/frmmain.h"
#include "ui_frmmain.h"

#include <QCoreApplication>

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
