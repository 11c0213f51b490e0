#pragma once

#include "online/onlineconfig.h"

#include <QString>

#include <functional>

class Dialogs;
class QUrl;
class QWidget;

// The web and mail links of the Help menu. Each hands its address to the desktop's default
// handler and tells the user when no handler took it.
class Links {
public:
    // Opens an address; returns false when nothing could open it. Replaceable for tests.
    using Opener = std::function<bool(const QUrl &url)>;

    Links(Dialogs &dialogs, OnlineConfig config, Opener opener = {});

    void webSite(QWidget *parent);    // mnuWebSite_Click
    void forums(QWidget *parent);     // mnuForums_Click
    void support(QWidget *parent);    // mnuSupport_Click
    void onlineHelp(QWidget *parent); // mnuOnlineHelp_Click
    void email(QWidget *parent);      // mnuEmail_Click and the toolbar key "email"

    const OnlineConfig &config() const { return config_; }

private:
    void open(QWidget *parent, const QString &address, const QString &failure, bool exclamation);

    Dialogs &dialogs_;
    OnlineConfig config_;
    Opener opener_;
};
