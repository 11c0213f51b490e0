#pragma once

#include <QString>
#include <array>
#include <cstdint>

// One tokenset slot of a language. Field order and types are those of the database file; an empty
// name marks a free slot and ends the used slots of a language.
struct Tokenset {
    QString name;
    QString id;
    QString type;
    qint32 forecolor = 0;
    QString fontstyle;
    QString inheritfrom;
    qint32 backcolor = 0;
    qint32 casesensitive = 0;
    qint32 normalizecase = 0;
    qint32 matchbraces = 0;
    qint32 autoindent = 0;
    qint32 enabled = 0;
    qint32 included = 0;
    qint32 hidden = 0;
    qint32 singlelinescope = 0;
    qint32 chain = 0;
    qint32 symmetrical = 0;
    QString tmemberlist;
    QString tokens;
    QString tokens2;
    qint32 regexp = 0;
    QString rule;
    QString lead;
    QString trail;
    std::array<QString, 11> validscope;

    bool operator==(const Tokenset &) const = default;
};
