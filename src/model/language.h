#pragma once

#include "model/tokensetslots.h"

#include <QString>

// One language of the database: a few language-wide fields and 51 tokenset slots. Used slots are
// contiguous from slot 0; the first slot with an empty name ends them.
struct Language {
    static constexpr int kSlots = TokensetSlots::kCount;
    static constexpr int kValidScopes = 11;

    QString name;
    qint32 casesensitive = 0;
    qint32 applycase = 0;
    QString wordchars;
    qint32 whitespaceasparamblock = 0;
    QString memberlist;
    QString sampletext;
    TokensetSlots tokensets;

    // Number of used slots: those before the first empty name.
    int tokensetCount() const
    {
        int n = 0;
        while (n < kSlots && !tokensets[n].name.isEmpty())
            ++n;
        return n;
    }

    bool operator==(const Language &) const = default;
};
