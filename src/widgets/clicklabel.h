#pragma once

#include <QObject>

#include <functional>

class QLabel;

// Makes a label act like a button: the handler runs when a mouse button is released over it, with
// that button. The label shows the pointing hand.
class ClickLabel : public QObject {
public:
    using Handler = std::function<void(Qt::MouseButton)>;

    static void onRelease(QLabel *label, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClickLabel(QLabel *label, Handler handler);

    Handler handler_;
};
