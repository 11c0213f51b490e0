#pragma once

#include <QString>
#include <QStringView>

// A name or token inside a message, in double quotes: a backslash, a quote and every control
// character written as in C (\\, \", \t, \r, \n, \xNN), so that the message stays one line and the
// text inside the quotes reads back exactly. A text longer than `shown` characters (when > 0) is
// cut there and ends with "...".
QString quotedText(QStringView text, qsizetype shown = 0);
