#pragma once

#include "model/filestamp.h"
#include "model/language.h"

#include <QString>
#include <QVector>

// The in-memory database the main window works on: the language array (index i is item i of the
// language list; N is size() - 1) and the selection and state flags that travel with it.
struct Database {
    QVector<Language> languages;
    int currentLanguage = 0;
    int currentTokenset = -1;
    bool loading = false;
    bool dirty = false;
    // Set when the file last loaded was damaged or unreadable: the next write over it first keeps
    // the old file as varlex.dat.damaged, so nothing the loader could not read is lost.
    bool fileDamaged = false;
    // varlex.dat as it was when last loaded or saved, to tell whether someone else changed it since.
    FileStamp stamp;

    int upperIndex() const { return int(languages.size()) - 1; }
    Language &current() { return languages[currentLanguage]; }
    const Language &current() const { return languages[currentLanguage]; }
    bool hasCurrentTokenset() const
    {
        return currentLanguage >= 0 && currentLanguage < languages.size() && currentTokenset >= 0
            && currentTokenset < Language::kSlots;
    }
};
