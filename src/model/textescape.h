#pragma once

#include <QString>
#include <QStringView>

// Text shown on one line of a terminal or a report, so that no character in a name or token can break
// the line or reach the terminal as a control sequence.
namespace TextEscape {

// TAB, CR and LF as \t, \r and \n; every other control character (C0, DEL, C1) as \xHH.
QString controls(QStringView text);

// The same, with a backslash doubled first, so that the result reads back unambiguously: the form of
// a field in a one-line format (list, export's file names, a span's tokenset, names in messages).
QString oneLine(QStringView text);

} // namespace TextEscape
