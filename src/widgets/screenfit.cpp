#include "widgets/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace ScreenFit {

namespace {

bool showsEnough(const QRect &frame, const QRect &screen)
{
    const QRect title = screen.intersected(QRect(frame.left(), frame.top(), frame.width(), kTitleStrip));
    const QRect visible = screen.intersected(frame);
    return title.width() >= std::min(frame.width(), kMinVisibleWidth)
        && visible.height() >= std::min(frame.height(), kMinVisibleHeight);
}

// How far apart two rectangles are (0 when they touch or overlap), squared.
qint64 distance(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}

qint64 area(const QRect &r)
{
    return r.isEmpty() ? 0 : qint64(r.width()) * r.height();
}

} // namespace

QRect place(const QRect &frame, const QList<QRect> &screens)
{
    if (screens.isEmpty() || frame.isEmpty())
        return frame;
    for (const QRect &screen : screens) {
        if (showsEnough(frame, screen))
            return frame;
    }
    // The screen that holds most of the window, else the closest one.
    const QRect *nearest = &screens.first();
    for (const QRect &screen : screens) {
        const qint64 overlap = area(screen.intersected(frame));
        const qint64 best = area(nearest->intersected(frame));
        if (overlap > best || (overlap == best && distance(screen, frame) < distance(*nearest, frame)))
            nearest = &screen;
    }
    const QSize size(std::min(frame.width(), nearest->width()), std::min(frame.height(), nearest->height()));
    const int left = std::clamp(frame.left(), nearest->left(), nearest->right() + 1 - size.width());
    const int top = std::clamp(frame.top(), nearest->top(), nearest->bottom() + 1 - size.height());
    return QRect(QPoint(left, top), size);
}

QSize fitSize(const QSize &size)
{
    QRect all;
    for (const QScreen *screen : QGuiApplication::screens())
        all = all.united(screen->availableGeometry());
    return all.isEmpty() ? size : size.boundedTo(2 * all.size());
}

void keepVisible(QWidget *window)
{
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens.append(screen->availableGeometry());
    // A window not shown yet has no frame: take the one its parent window has, or guess one from the
    // style's title bar.
    const QWidget *framed = window->isVisible() ? window : window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const int border = window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    QMargins margins(border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border, border, border);
    if (framed && framed->isVisible()) {
        const QRect outer = framed->frameGeometry();
        const QRect inner = framed->geometry();
        margins = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                           outer.bottom() - inner.bottom());
    }
    const QRect frame(window->pos(), window->size().grownBy(margins));
    const QRect placed = place(frame, screens);
    if (placed == frame)
        return;
    window->move(placed.topLeft());
    window->resize(placed.size().shrunkBy(margins));
}

} // namespace ScreenFit
