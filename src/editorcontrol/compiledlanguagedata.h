#pragma once

#include "editorcontrol/compiledlanguage.h"

#include <QVector>

// Internals of CompiledLanguage, shared with the highlighter only.
struct CompiledLanguageData {
    LanguageDefinition definition;
    QStringList problems;
    QVector<TokensetStyle> styles;
    TokensetStyle defaultStyle;
    int textTokenset = -1;
};
