#include "mainwindow/typingkeys.h"
#include "session/editsession.h"

#include <QKeyEvent>
#include <QWidget>

TypingKeys::TypingKeys(QWidget *box, EditSession &session, std::function<void(bool)> onFocus)
    : QObject(box)
    , session_(session)
    , onFocus_(std::move(onFocus))
{
}

void TypingKeys::install(QWidget *box, EditSession &session, std::function<void(bool)> onFocus)
{
    box->installEventFilter(new TypingKeys(box, session, std::move(onFocus)));
}

bool TypingKeys::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // Left unaccepted, the key reaches the window's shortcuts.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)
            || (key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier)) {
            event->ignore();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (onFocus_)
            onFocus_(true);
        break;
    case QEvent::FocusOut:
        session_.endTyping();
        if (onFocus_)
            onFocus_(false);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
