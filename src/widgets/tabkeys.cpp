#include "widgets/tabkeys.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

// Moves the focus on from a box in which Tab types: Ctrl+Tab always, a plain Tab too while the box
// was reached by the keyboard and the user has not yet typed or clicked in it.
class CtrlTabFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (watched == parent())
                activated_ = reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason;
            return QObject::eventFilter(watched, event);
        }
        case QEvent::MouseButtonPress: activated_ = true; return QObject::eventFilter(watched, event);
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride: break;
        default: return QObject::eventFilter(watched, event);
        }
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (!tab || (!(key->modifiers() & Qt::ControlModifier) && activated_)) {
            if (event->type() == QEvent::KeyPress && !tab && key->modifiers() == Qt::NoModifier && !key->text().isEmpty())
                activated_ = true; // typed in: from now on Tab types a tab
            return QObject::eventFilter(watched, event);
        }
        if (event->type() == QEvent::KeyPress) {
            // A plain Tab to the window moves its focus on from the box, as it does from any control.
            const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            QKeyEvent next(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                           back ? Qt::ShiftModifier : Qt::NoModifier);
            QCoreApplication::sendEvent(static_cast<QWidget *>(parent())->window(), &next);
        }
        event->accept();
        return true;
    }

private:
    bool activated_ = true;
};

} // namespace

namespace TabKeys {

void leaveWithCtrlTab(QWidget *box)
{
    auto *filter = new CtrlTabFilter(box);
    box->installEventFilter(filter);
    if (auto *area = qobject_cast<QAbstractScrollArea *>(box))
        area->viewport()->installEventFilter(filter); // where the clicks go
}

} // namespace TabKeys
