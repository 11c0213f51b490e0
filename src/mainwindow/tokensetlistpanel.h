#pragma once

#include "mainwindow/panelcontext.h"
#include "model/recordfields.h"

#include <QObject>

class QListWidget;
class QMenu;

// The tokenset list lstTokenset (check mark = the tokenset is written), its label that checks or
// unchecks all, its right-click menu and the Tokensets menu commands.
class TokensetListPanel : public QObject {
    Q_OBJECT
public:
    explicit TokensetListPanel(PanelContext context, QObject *parent = nullptr);

    void lstTokenset_Click();
    void lstTokenset_ItemCheck(int item);
    void lblTokensets_Click();
    void mnuSelectAll_Click();
    void mnuUnselectAll_Click();
    void mnuChangeTokensetName_Click();
    void mnuNewTokenset_Click();
    void mnuDeleteTokenset_Click();
    void mnuUp_Click();
    void mnuDown_Click();

Q_SIGNALS:
    // A tokenset was selected by the user (AutoSeek follows it in the XML pane).
    void tokensetClicked();

private:
    void DisplayTokensetList();
    void warnIfNameShared(const QString &name, const QString &title);
    void showSelection();
    void fieldChanged(int slot, RecordFields::FieldId field);

    PanelContext context_;
    EditSession &session_;
    QListWidget *lstTokenset_;
    QMenu *mnuPopupTokenset_;
    bool checkAllToggle_ = false; // the marks the next click on the label sets
    bool filling_ = false;
};
