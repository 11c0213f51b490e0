#include "mainwindow/frmdebug.h"
#include "widgets/tracebox.h"

#include <QCloseEvent>

FrmDebug::FrmDebug(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , txtStatus_(new TraceBox(this))
{
    setObjectName(QStringLiteral("frmDebug"));
    setWindowTitle(tr("Varlex Debug"));
    txtStatus_->setObjectName(QStringLiteral("txtStatus"));
    txtStatus_->setToolTip(tr("Double-click to clear"));
    resize(360, 480);
}

void FrmDebug::closeEvent(QCloseEvent *event)
{
    txtStatus_->setText(QString());
    event->accept();
}

// The pane fills the window, leaving a small margin at the right.
void FrmDebug::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    txtStatus_->setGeometry(0, 0, qMax(0, width() - 10), height());
}
