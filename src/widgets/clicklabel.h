#pragma once

#include <QObject>

#include <functional>

class QLabel;

// Makes a label act like a button: the handler runs when a mouse button is released over it, with
// that button. The label shows the pointing hand. Unless it is a mouse shortcut only, the label also
// takes the focus with Tab (drawn with a frame, or a thicker one), and Space or Enter act as a click with the left
// button; with Shift, or the menu key, as a click with the right button.
class ClickLabel : public QObject {
public:
    using Handler = std::function<void(Qt::MouseButton)>;
    enum class Keyboard { Reachable, MouseOnly };

    static void onRelease(QLabel *label, Handler handler, Keyboard keyboard = Keyboard::Reachable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClickLabel(QLabel *label, Handler handler);

    Handler handler_;
    int frameStyle_; // the label's own frame, shown again when the focus leaves
    int lineWidth_;
};
