#pragma once

#include <QString>
#include <QStringList>

// Rewriting of regular-expression text that converters of other editors' grammars share. Each
// function keeps what the pattern matches; they know escapes, character classes and groups.
namespace RegexText {

// The pattern of an extended ("x" flag) regexp without the blanks and # comments that mode ignores,
// so it means the same without the flag. Blanks inside [...] and escaped ones stay.
QString stripExtended(const QString &pattern);

// Characters beyond ASCII written as \x{...}, so a pattern survives an ANSI file; control characters
// too (a token line cannot hold a line break).
QString asciiOnly(const QString &pattern);

// The pattern with its capturing groups made non-capturing, for use inside another pattern; false
// when it refers to a group (\1, \k<name>, (?P=name), recursion), which would then change meaning.
bool nonCapturing(const QString &pattern, QString &out);

// Whether the pattern refers back to a group of its own.
bool hasBackReference(const QString &pattern);

// A regexp that matches `text` literally, ASCII only.
QString escapeLiteral(const QString &text);

// The alternatives of the pattern at its top level (one: the pattern itself).
QStringList topLevelAlternatives(const QString &pattern);

// Whether the pattern, at the top level, is an alternation (a|b): then it needs a group before
// anything is put beside it.
bool hasTopLevelAlternation(const QString &pattern);

// The pattern as a group that can be put beside others: "(?:pattern)", or as it is when that is safe.
QString grouped(const QString &pattern);

} // namespace RegexText

namespace RegexText {

// The text inside the capturing group named or numbered `group` ("1", "quote"), or a null string
// when the pattern has no such group.
QString groupText(const QString &pattern, const QString &group);

// The index just after the group whose "(" stands at `open`, or -1 when the pattern does not close it.
qsizetype groupEnd(const QString &pattern, qsizetype open);

} // namespace RegexText
