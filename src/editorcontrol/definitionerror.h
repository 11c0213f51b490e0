#pragma once

#include <QString>

// Why a definition or member list file could not be loaded, and where. Line and column count from 1;
// 0 means the problem has no place in the text (a file that cannot be opened).
struct DefinitionError {
    QString file;
    qint64 line = 0;
    qint64 column = 0;
    QString problem;

    bool isEmpty() const { return problem.isEmpty(); }
    // "FILE, line L, column C: PROBLEM", or "FILE: PROBLEM" without a place.
    QString toString() const
    {
        const QString where = file.isEmpty() ? QStringLiteral("(text)") : file;
        if (line <= 0)
            return QStringLiteral("%1: %2").arg(where, problem);
        return QStringLiteral("%1, line %2, column %3: %4").arg(where).arg(line).arg(column).arg(problem);
    }
    // The form compilers use, which editors and build logs turn into links: "FILE:LINE:COLUMN:
    // SEVERITY: PROBLEM" ("FILE: SEVERITY: PROBLEM" without a place).
    QString compilerLine(const char *severity = "error") const
    {
        const QString where = file.isEmpty() ? QStringLiteral("(text)") : file;
        if (line <= 0)
            return QStringLiteral("%1: %2: %3").arg(where, QLatin1String(severity), problem);
        return QStringLiteral("%1:%2:%3: %4: %5").arg(where).arg(line).arg(column).arg(QLatin1String(severity), problem);
    }
};
