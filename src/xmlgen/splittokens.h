#pragma once

#include <QString>

struct Tokenset;

// Turns the two token list texts of a tokenset (one token per line, optional fields after "::::":
// action, regexp, rule) into its <tokens> element and, for a scope tokenset, its <tokens2> element.
// The list defaults come from the tokenset's regexp, rule, lead and trail. The result begins with
// its own line break; every input yields XML.
QString SplitTokens(const QString &t1, const QString &t2, const QString &type, const Tokenset &tokenset,
                    bool hide);

// Appends the same text to out (the writer's fast path).
void appendSplitTokens(QString &out, const QString &t1, const QString &t2, const QString &type,
                       const Tokenset &tokenset, bool hide);
