#include "widgets/tabkeys.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class CtrlTabFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) || !(key->modifiers() & Qt::ControlModifier))
            return QObject::eventFilter(watched, event);
        if (event->type() == QEvent::KeyPress) {
            // A plain Tab to the window moves its focus on from the box, as it does from any control.
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                          back ? Qt::ShiftModifier : Qt::NoModifier);
            QCoreApplication::sendEvent(static_cast<QWidget *>(watched)->window(), &tab);
        }
        event->accept();
        return true;
    }
};

} // namespace

namespace TabKeys {

void leaveWithCtrlTab(QWidget *box)
{
    box->installEventFilter(new CtrlTabFilter(box));
}

} // namespace TabKeys
