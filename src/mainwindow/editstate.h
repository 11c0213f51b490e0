#pragma once

#include "online/onlineservices.h"

#include <QString>
#include <QStringList>

#include <memory>

// What the editing handlers of the main window keep for the whole run besides the records.
struct EditState {
    bool checkAllToggle = false; // lblTokensets_Click: the marks the next click sets
    int marginClicks = 0;
    QStringList imageKeys;       // keys of the margin images, in image order
    QString importFile;          // the file ChooseImportFile chose
    std::unique_ptr<OnlineServices> online;
};
