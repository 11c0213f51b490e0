#pragma once

#include "import/kdedefinition.h"

#include <QString>

#include <vector>

// Contexts of a KDE definition that colour alike wherever they are opened. A definition written by
// Varlex repeats a scope's context once for each set of closers of scopes around it that close
// through it (rules that look ahead and close the context, so that the context below sees the closer
// again): apart from those rules, and from the repeats they open in turn, the repeats are the same.
// Read back, they are one scope, and the closers chain through it.
namespace KdeAlikeContexts {

// Whether a rule closes its context without taking its text (lookAhead, "#pop").
bool passesOn(const KdeRule &rule);
// Whether a rule closes its context taking its text ("#pop", no look-ahead).
bool closes(const KdeRule &rule);
// What tells one closer from another in any context: its kind, item and match, less the look-ahead
// by which a definition written by Varlex makes a rule give way to longer matches of the rules after
// it (which differ from context to context).
QString closerKey(const KdeRule &rule);

// A pattern written by Varlex without the look-ahead by which it gives way to longer matches of the
// rules after it, and without its leading (*UCP).
QString withoutGuards(QString pattern);

// Whether a rule is one a definition written by Varlex holds (such a closer gives way to the longer
// matches of the rules after it by itself, as the engine ranks them).
bool writtenByVarlex(const KdeRule &rule);

// Per context of the definition, the first context that is alike: the same rules, once those that
// pass on a closer some context closes on are left out, opening contexts that are alike in turn.
// With `closerVariants`, also once closers written by Varlex are left out: a scope whose starts each
// have their own end, which such a definition repeats once per end.
std::vector<int> representatives(const KdeDefinition &definition, bool closerVariants = false);

} // namespace KdeAlikeContexts
