#include "online/onlineservices.h"

#include "online/dailymessage.h"
#include "online/frmabout.h"

#include <QDir>
#include <QWidget>

OnlineServices::OnlineServices(QWidget *window, Dialogs &dialogs, const QString &programFolder)
    : OnlineServices(window, dialogs, programFolder, OnlineConfig::load(programFolder))
{
}

OnlineServices::OnlineServices(QWidget *window, Dialogs &dialogs, const QString &programFolder,
                               OnlineConfig config, Links::Opener opener, UpdateHandOver::Starter starter)
    : window_(window)
    , folder_(programFolder)
    , config_(config)
    , links_(dialogs, std::move(config), std::move(opener))
    , update_(dialogs, programFolder, std::move(starter))
{
}

QString OnlineServices::downloadMessage(int timeoutMs)
{
    return DailyMessage::download(config_, folder_, timeoutMs);
}

bool OnlineServices::onlineUpdate()
{
    if (!update_.run(window_))
        return false;
    if (window_)
        window_->close();
    return true;
}

void OnlineServices::about()
{
    FrmAbout::showModal(window_);
}

PanePrinting::Result OnlineServices::printPane(EditorPane *pane, const QString &pdfName)
{
    return PanePrinting::print(pane, QDir(folder_).filePath(pdfName), QStringLiteral("Varlex"));
}
