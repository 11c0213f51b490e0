#include "widgets/clicklabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

ClickLabel::ClickLabel(QLabel *label, Handler handler)
    : QObject(label)
    , handler_(std::move(handler))
    , frameStyle_(label->frameStyle())
    , lineWidth_(label->lineWidth())
{
}

void ClickLabel::onRelease(QLabel *label, Handler handler, Keyboard keyboard)
{
    label->installEventFilter(new ClickLabel(label, std::move(handler)));
    label->setCursor(Qt::PointingHandCursor);
    if (keyboard == Keyboard::Reachable)
        label->setFocusPolicy(Qt::TabFocus);
}

bool ClickLabel::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = static_cast<QLabel *>(watched);
    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (label->rect().contains(mouse->position().toPoint())) {
            const Handler handler = handler_; // the handler may remove this filter
            handler(mouse->button());
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        const auto *press = static_cast<QKeyEvent *>(event);
        const int key = press->key();
        if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Menu) {
            // A held key acts once: its repeats would reach whatever the click gave the focus to.
            if (!press->isAutoRepeat()) {
                const Handler handler = handler_;
                handler(key == Qt::Key_Menu || press->modifiers().testFlag(Qt::ShiftModifier) ? Qt::RightButton
                                                                                             : Qt::LeftButton);
            }
            return true;
        }
        break;
    }
    case QEvent::FocusIn: // a frame, one line thicker than a frame it may have
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(frameStyle_ == QFrame::NoFrame ? 1 : lineWidth_ + 1);
        break;
    case QEvent::FocusOut:
        label->setFrameStyle(frameStyle_);
        label->setLineWidth(lineWidth_);
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
