#pragma once

#include <QPlainTextEdit>

// A read-only text pane for trace and validity output. It keeps its text with CR LF line ends, as
// the trace lines are built, shows it with plain line breaks, and empties itself on a double-click.
class TraceBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TraceBox(QWidget *parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString &text);
    // Appends text at the end without rebuilding the whole pane.
    void append(const QString &text);

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString text_;
};
