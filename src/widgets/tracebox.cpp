#include "widgets/tracebox.h"

#include <QScrollBar>
#include <QTextCursor>

namespace {

QString shown(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TraceBox::TraceBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

void TraceBox::setText(const QString &text)
{
    text_ = text;
    setPlainText(shown(text));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TraceBox::append(const QString &text)
{
    if (text.isEmpty())
        return;
    text_ += text;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown(text));
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TraceBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    setText(QString());
}
