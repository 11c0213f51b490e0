#include "mainwindow/frmmain.h"

#include <QListWidget>

FrmMain::FrmMain(QWidget *parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Varlex - Language File Generator"));
    lstLang_ = new QListWidget(this);
    lstLang_->setObjectName(QStringLiteral("lstLang"));
    setCentralWidget(lstLang_);
}
