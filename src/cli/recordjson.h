#pragma once

#include "model/language.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// The JSON that list and show print for scripts, one meaning per key: flags true/false, colours
// "#RRGGBB", null where a field names nothing, token lists as arrays of token objects, and only the
// used tokenset slots, each with its slot number. docs/cli.md describes it; kSchema counts its
// versions, so that a script can tell when it changes.
namespace Cli::RecordJson {

inline constexpr int kSchema = 2;

QJsonObject language(const Language &language, int index);
QJsonObject tokenset(const Tokenset &tokenset, int slot);
// One object per token line: {"text", "action", "regexp", "rule"}, the attribute fields null when
// the line does not have them.
QJsonArray tokens(const QString &text);

// What `set` makes of a value as show prints it: a token array back into token lines, null into
// "<none>" for a field that offers it. Anything else comes back unchanged.
QString settable(const char *field, const QString &value, const QStringList &choices);

} // namespace Cli::RecordJson
