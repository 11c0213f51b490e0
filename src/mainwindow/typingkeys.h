#pragma once

#include <QObject>

#include <functional>

class EditSession;
class QWidget;

// For a box the user types into: Undo and Redo keys go to the window's Edit menu (the session's
// steps) instead of the box's own history, and leaving the box ends its typing step. An optional
// handler hears the box gain (true) and lose (false) the focus.
class TypingKeys : public QObject {
    Q_OBJECT

public:
    static void install(QWidget *box, EditSession &session, std::function<void(bool)> onFocus = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TypingKeys(QWidget *box, EditSession &session, std::function<void(bool)> onFocus);

    EditSession &session_;
    std::function<void(bool)> onFocus_;
};
