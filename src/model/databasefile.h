#pragma once

#include "model/language.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

// The byte layout of varlex.dat: a signed 32-bit upper index N, then N + 1 language records in field
// order. Texts are a 16-bit length and that many ANSI bytes; numbers are signed 32-bit; everything is
// little-endian, with no padding. docs/database.md describes the layout field by field.
namespace DatabaseFile {

inline constexpr const char *kFileName = "varlex.dat";
inline constexpr const char *kBackupSuffix = ".old";
inline constexpr const char *kDamagedSuffix = ".damaged";

// Smallest possible language record: its own fields and 51 free tokenset slots.
inline constexpr qint64 kMinLanguageBytes = 4916;
inline constexpr qint64 kFreeTokensetBytes = 96;
inline constexpr qint64 kMaxTextBytes = 65535;

struct Decoded {
    QVector<Language> languages; // never empty
    bool damaged = false;        // truncated, impossible count, or bytes after the last record
    QString problem;             // what was wrong, for a message; empty when not damaged
};

// Reads a whole file image. Never fails: what cannot be read is left empty or zero, the number of
// languages is bounded by what the size can hold, and damage is reported in the result.
Decoded decode(QByteArrayView bytes);

// Writes the file image of the languages into out. Refuses (returns false, out unspecified) when a
// text is longer than 65535 bytes in ANSI form or there is no language; problem then names the
// language, the tokenset slot (if any) and the field.
bool encode(const QVector<Language> &languages, QByteArray &out, QString *problem = nullptr);

} // namespace DatabaseFile
