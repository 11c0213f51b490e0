#pragma once

// QScintilla's headers use the plain signals/slots keywords, which this project switches off.
#ifndef signals
#define VARLEX_DEFINED_QT_KEYWORDS
#define signals Q_SIGNALS
#define slots Q_SLOTS
#endif
#include <Qsci/qsciscintilla.h>
#ifdef VARLEX_DEFINED_QT_KEYWORDS
#undef signals
#undef slots
#undef VARLEX_DEFINED_QT_KEYWORDS
#endif
