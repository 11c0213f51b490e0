#pragma once

// The QScintilla headers use the words signals and slots, which the project turns off
// (QT_NO_KEYWORDS). Include them through this header only.
#define signals Q_SIGNALS
#define slots Q_SLOTS
#include <Qsci/qscilexercustom.h>
#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>
#include <Qsci/qsciscintillabase.h>
#undef signals
#undef slots
