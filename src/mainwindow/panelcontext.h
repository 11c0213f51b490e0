#pragma once

#include "widgets/dialogs.h"

#include <QWidget>

#include <functional>

class EditSession;

// What every panel of the main window is given: the session it shows and edits, the dialogs seam,
// the window (the parent of its questions and the root of its controls) and the options of the
// Options menu it reads when it runs.
struct PanelContext {
    EditSession &session;
    Dialogs &dialogs;
    QWidget *window;
    std::function<bool()> confirmation; // mnuConfirmation: destructive commands ask first

    // A control of the window by its object name; every panel asks for its own controls only.
    template <typename T>
    T *control(const char *name) const
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        Q_ASSERT_X(found, "PanelContext::control", name);
        return found;
    }

    // "Are you sure?" with OK and Cancel, asked only while Confirmation is checked; true to go on.
    bool askSure(const QString &title) const
    {
        return !confirmation()
            || dialogs.message(window, QStringLiteral("Are you sure?"), title, Dialogs::Buttons::OkCancel,
                               Dialogs::Icon::Question)
            == Dialogs::Answer::Ok;
    }

    void inform(const QString &text, const QString &title, Dialogs::Icon icon = Dialogs::Icon::Exclamation) const
    {
        dialogs.message(window, text, title, Dialogs::Buttons::Ok, icon);
    }
};
