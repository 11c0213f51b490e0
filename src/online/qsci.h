#pragma once

// QScintilla's headers use the Qt keywords "signals" and "slots", which this project switches off
// (QT_NO_KEYWORDS). Include QScintilla through this header.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>
#undef signals
#undef slots
