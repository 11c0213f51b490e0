#include "widgets/clicklabel.h"

#include <QLabel>
#include <QMouseEvent>

ClickLabel::ClickLabel(QLabel *label, Handler handler)
    : QObject(label)
    , handler_(std::move(handler))
{
}

void ClickLabel::onRelease(QLabel *label, Handler handler)
{
    label->installEventFilter(new ClickLabel(label, std::move(handler)));
    label->setCursor(Qt::PointingHandCursor);
}

bool ClickLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint())) {
            const Handler handler = handler_; // the handler may remove this filter
            handler(mouse->button());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
