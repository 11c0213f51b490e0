#include "online/links.h"

#include "widgets/dialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

namespace {

// The number shown after "Error " when the desktop has no handler for the address.
constexpr int kNoHandler = 1;

} // namespace

Links::Links(Dialogs &dialogs, OnlineConfig config, Opener opener)
    : dialogs_(dialogs)
    , config_(std::move(config))
    , opener_(opener ? std::move(opener) : Opener([](const QUrl &url) { return QDesktopServices::openUrl(url); }))
{
}

void Links::open(QWidget *parent, const QString &address, const QString &failure, bool exclamation)
{
    const QUrl url(address);
    if (url.isValid() && opener_(url))
        return;
    // The address stands in the details, where it can be copied into a browser by hand.
    dialogs_.detailed(parent, failure + QString::number(kNoHandler), QString(), address,
                      exclamation ? Dialogs::Icon::Exclamation : Dialogs::Icon::None);
}

void Links::webSite(QWidget *parent)
{
    open(parent, config_.webSiteUrl(), QCoreApplication::translate("Links", "Could not locate web site!  Error "), false);
}

void Links::forums(QWidget *parent)
{
    open(parent, config_.forumUrl(), QCoreApplication::translate("Links", "Could not locate forum site!  Error "), false);
}

void Links::support(QWidget *parent)
{
    open(parent, config_.supportPage,
         QCoreApplication::translate("Links", "Something went wrong, but I don't know what!  Error "), true);
}

void Links::onlineHelp(QWidget *parent)
{
    open(parent, config_.onlineHelpUrl(),
         QCoreApplication::translate("Links", "Something went wrong, but I don't know what!  Error "), true);
}

void Links::email(QWidget *parent)
{
    const QUrl url(config_.mailUrl());
    if (url.isValid() && opener_(url))
        return;
    dialogs_.detailed(parent, QCoreApplication::translate("Links", "Error sending email!"), QCoreApplication::translate("Links", "Send Email to Author"),
                      config_.mailUrl(), Dialogs::Icon::Exclamation);
}
