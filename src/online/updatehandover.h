#pragma once

#include <QString>

#include <functional>

class Dialogs;
class QWidget;

// The hand-over to the separate updater program "diVozara.exe" in the program folder: after the
// user agrees, a downloaded "Update.exe" replaces the updater, the updater is started on its own
// and the program closes so that it can be updated.
class UpdateHandOver {
public:
    // Starts a program detached from this one; returns false when it could not be started.
    using Starter = std::function<bool(const QString &program, const QString &workingFolder)>;

    inline static const QString kUpdater = QStringLiteral("diVozara.exe");
    inline static const QString kUpdate = QStringLiteral("Update.exe");

    UpdateHandOver(Dialogs &dialogs, const QString &programFolder, Starter starter = {});

    // Asks, replaces and starts. Returns true when the updater runs and the window should close;
    // false when the user cancelled or the hand-over failed (the error has been shown).
    bool run(QWidget *parent);

    static bool startDetached(const QString &program, const QString &workingFolder);

private:
    bool replaceUpdater() const;

    Dialogs &dialogs_;
    QString folder_;
    Starter starter_;
};
