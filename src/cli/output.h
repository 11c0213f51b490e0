#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// What varlex-cli writes: exact bytes on standard output, one line per error on standard error.
namespace Cli {

void out(QByteArrayView bytes);
void outLine(const QString &line); // UTF-8 and a line feed

// Writes "varlex-cli: MESSAGE" as one line on standard error (control characters inside it are
// written as TextEscape::controls writes them) and returns code.
int fail(int code, const QString &message);
// The same line for a warning: the command goes on.
void warn(const QString &message);

// Writes a message that points into a file, "FILE:LINE:COLUMN: error: ...", as one line on standard
// error without the program's name before it, so that editors and build logs find the place; returns code.
int failAt(int code, const QString &compilerLine);
// The same line for a warning ("FILE:LINE:COLUMN: warning: ..."): the command goes on.
void warnAt(const QString &compilerLine);

// Text for a pipe: each CR LF line end as LF (a lone CR stays, as it is no line end of the record).
QString withLineFeeds(const QString &text);

// Sends standard output to a new file beside `file`, which finish() puts in file's place once the
// command has run (exit 0 or 1) and every byte is on disk; otherwise file stays as it was. Returns
// the problem, or an empty string.
QString redirectOutput(const QString &file);

// Flushes standard output at the end of a command. When any write to it failed (a full disk, a
// closed terminal), reports the cause and returns CheckFailed unless code already says a failure.
int finish(int code);

} // namespace Cli
