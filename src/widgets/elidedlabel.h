#pragma once

#include <QLabel>

// A one-line label for texts of any length (the status bar's): it never asks for more width than
// it is given, shows as much of the text as fits with "..." after it, and keeps the whole text in
// text() and its tool tip.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setFullText(const QString &text);
    const QString &fullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void elide();

    QString full_;
};
