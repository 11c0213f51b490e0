#pragma once

#include <QString>

// The questions and reports of the editing session, answered by whoever shows the session: the
// window through its dialogs, a test through a script.
class SessionPrompts {
public:
    virtual ~SessionPrompts() = default;

    // An OK/Cancel question with the exclamation icon; true for OK.
    virtual bool confirm(const QString &text, const QString &title) = 0;
    // A report with the exclamation icon and an OK button.
    virtual void report(const QString &text, const QString &title) = 0;
};
