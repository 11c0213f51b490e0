#pragma once

#include "lint/finding.h"

#include <QString>
#include <QVector>

#include <functional>

struct Database;
struct Language;

// A checker for definition authors: it looks at a language the way the colouring engine and the
// definition reader will, and names what will not work as the author meant it.
namespace Lint {

// The findings of one language, errors first, then warnings, then notes.
QVector<Finding> lintLanguage(const Language &language);

// The findings of language `index` of the database, its name also checked against the others'.
QVector<Finding> lintLanguage(const Database &db, int index);

// The same, for a caller that shows progress and can stop it (the window, on a worker thread):
// progress is called between the checks with the checks done and their number, and between the
// regexps of the regexp check with -1 for both; returning false stops the lint, which then returns
// false and leaves findings empty.
using Progress = std::function<bool(int done, int total)>;
bool lintLanguage(const Database &db, int index, const Progress &progress, QVector<Finding> &findings);

// A definition file, read as import reads it. False (with `problem` set: file, place and cause) when
// the file cannot be read at all.
bool lintFile(const QString &path, QVector<Finding> &findings, QString &problem);
bool lintFileData(const QByteArray &bytes, const QString &fileName, QVector<Finding> &findings, QString &problem);

bool hasErrors(const QVector<Finding> &findings);

// A finding as one line, "LOCATION: SEVERITY: MESSAGE [RULE]", with LOCATION the language (as
// `where` names it), tokenset and token; line breaks and tabs are written \r, \n and \t.
QString findingLine(const Finding &finding, const QString &where);
// Where in the language a finding is: `tokenset "T", token "X"` (quoted with escapes), or empty.
QString findingPlace(const Finding &finding);

// The text of the window's validity pane: one line per finding, or a line saying there is none.
QString validityText(const QVector<Finding> &findings);

} // namespace Lint
