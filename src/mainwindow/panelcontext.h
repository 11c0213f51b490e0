#pragma once

#include "widgets/dialogs.h"

#include <QCoreApplication>
#include <QWidget>

#include <functional>

class EditSession;
namespace Ui {
class frmMain;
}

// What every panel of the main window is given: the session it shows and edits, the dialogs seam,
// the window (the parent of its questions), the window's form, from which each panel takes its own
// controls, typed, in its constructor (and touches no other), and the options of the Options menu it
// reads when it runs.
struct PanelContext {
    EditSession &session;
    Dialogs &dialogs;
    QWidget *window;
    const Ui::frmMain &ui;
    std::function<bool()> confirmation; // mnuConfirmation: destructive commands ask first
    std::function<bool()> autoInclude;  // mnuAutoInclude: an imported language's tokensets are included

    // "Are you sure?" with OK and Cancel, asked only while Confirmation is checked; true to go on.
    bool askSure(const QString &title) const
    {
        return !confirmation()
            || dialogs.message(window, QCoreApplication::translate("PanelContext", "Are you sure?"), title, Dialogs::Buttons::OkCancel,
                               Dialogs::Icon::Question)
            == Dialogs::Answer::Ok;
    }

    void inform(const QString &text, const QString &title, Dialogs::Icon icon = Dialogs::Icon::Exclamation) const
    {
        dialogs.message(window, text, title, Dialogs::Buttons::Ok, icon);
    }
};
