#pragma once

#include <QRegularExpression>
#include <QString>

// Compiled regular expressions shared by the definition reader and the colouring engine. Compiling
// (with JIT) costs tens of microseconds per pattern, and the preview reloads the same definition after
// every edit, so each pattern and option set is compiled once and then shared (QRegularExpression is
// implicitly shared). The cache holds at most 2 * kGenerationSize patterns, those used most recently.
namespace RegexCache {

inline constexpr int kGenerationSize = 8192;

QRegularExpression get(const QString &pattern, QRegularExpression::PatternOptions options);
void clear();
int size();

} // namespace RegexCache
