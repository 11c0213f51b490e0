#include "online/updatehandover.h"

#include "widgets/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

UpdateHandOver::UpdateHandOver(Dialogs &dialogs, const QString &programFolder, Starter starter)
    : dialogs_(dialogs)
    , folder_(programFolder)
    , starter_(starter ? std::move(starter) : Starter(&UpdateHandOver::startDetached))
{
}

bool UpdateHandOver::startDetached(const QString &program, const QString &workingFolder)
{
    return QProcess::startDetached(program, {}, workingFolder);
}

// Puts Update.exe in the place of diVozara.exe. The old updater is moved aside first and put
// back when the rename fails, so a failure never leaves the folder without an updater.
bool UpdateHandOver::replaceUpdater() const
{
    const QDir dir(folder_);
    const QString update = dir.filePath(kUpdate);
    const QString updater = dir.filePath(kUpdater);
    if (!QFileInfo(updater).isFile())
        return false;
    const QString aside = dir.filePath(kUpdater + QStringLiteral(".old"));
    QFile::remove(aside);
    if (!QFile::rename(updater, aside))
        return false;
    if (!QFile::rename(update, updater)) {
        QFile::rename(aside, updater);
        return false;
    }
    QFile::remove(aside);
    // A downloaded file may arrive without the permission to run it.
    QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner | QFile::ExeUser);
    return true;
}

bool UpdateHandOver::run(QWidget *parent)
{
    if (dialogs_.message(parent, QCoreApplication::translate("UpdateHandover", "Varlex will close to check for online updates!"),
                         QCoreApplication::translate("UpdateHandover", "Online Update"), Dialogs::Buttons::OkCancel,
                         Dialogs::Icon::Information)
        != Dialogs::Answer::Ok)
        return false;

    const QDir dir(folder_);
    bool ok = true;
    if (QFileInfo::exists(dir.filePath(kUpdate)))
        ok = replaceUpdater();
    if (ok)
        ok = starter_(dir.filePath(kUpdater), folder_);
    if (!ok) {
        dialogs_.message(parent, QCoreApplication::translate("UpdateHandover", "Error updating Varlex.  Close all programs and try again!"),
                         QStringLiteral("diVozara"), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        return false;
    }
    return true;
}
