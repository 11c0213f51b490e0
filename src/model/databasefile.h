#pragma once

#include "model/language.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <functional>

class QIODevice;

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
    QVector<Language> languages; // never empty (empty only after a walk)
    // Truncated, an impossible count, bytes after the last record, or a byte of a text that the
    // code page has no character for (it could not be saved back as it was).
    bool damaged = false;
    QString problem; // what was wrong, for a message; empty when not damaged
};

// Reads a whole file image. Never fails: what cannot be read is left empty or zero, the number of
// languages is bounded by what the size can hold, and damage is reported in the result.
Decoded decode(QByteArrayView bytes);

// The same, reading the image of size bytes from device in blocks, so that it is never in memory
// whole. With hash, sets it to the StampHasher hash of every byte read (model/filestamp.h). With
// walkOnly the languages are read one by one and dropped: only damage is reported.
Decoded decode(QIODevice &device, qint64 size, size_t *hash = nullptr, bool walkOnly = false);

// Writes the file image of the languages, handing it to sink in pieces of about a megabyte (a sink
// that returns false stops the writing). Refuses (returns false) when a text is longer than 65535
// bytes in ANSI form or there is no language; problem then names the language, the tokenset slot
// (if any) and the field.
using Sink = std::function<bool(QByteArrayView piece)>;
bool encode(const QVector<Language> &languages, const Sink &sink, QString *problem = nullptr);

// The same into out (empty after a refusal).
bool encode(const QVector<Language> &languages, QByteArray &out, QString *problem = nullptr);

} // namespace DatabaseFile
