#pragma once

// QScintilla's headers use the Qt keywords "signals" and "slots", which this project switches off
// (QT_NO_KEYWORDS). Include QScintilla through this header.
#ifndef signals
#define signals Q_SIGNALS
#endif
#ifndef slots
#define slots Q_SLOTS
#endif

#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>
