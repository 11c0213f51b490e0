#pragma once

#include "widgets/editorpane.h"

#include <QApplication>
#include <QString>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace PaneTest {

// Moves the caret to a line and byte column.
inline void putCaret(EditorPane &pane, int line, int column)
{
    pane.SendScintilla(QsciScintillaBase::SCI_GOTOPOS,
                       pane.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line) + column);
}

// Lets the pane paint once: the editor reports caret moves and styles the visible text while painting.
inline void settle(EditorPane &pane)
{
    if (!pane.isVisible()) {
        pane.resize(500, 400);
        pane.show();
    }
    pane.viewport()->repaint();
    QApplication::processEvents();
}

} // namespace PaneTest
