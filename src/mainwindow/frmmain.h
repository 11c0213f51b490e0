#pragma once

#include "model/database.h"

#include <QMainWindow>

class QListWidget;

// The main window. For now it lists the languages of the database.
class FrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMain(QWidget *parent = nullptr);

private:
    Database db_;
    QListWidget *lstLang_ = nullptr;
};
