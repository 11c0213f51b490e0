#pragma once

#include "online/links.h"
#include "online/onlineconfig.h"
#include "online/paneprinting.h"
#include "online/updatehandover.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class DailyMessage;
class Dialogs;
class EditorPane;
class QWidget;

// What the main window's Help menu, print commands and a few toolbar keys call. The window owns
// one of these; each method is the whole work of its handler.
class OnlineServices {
public:
    inline static const QString kSamplePdf = QStringLiteral("varlex-sample.pdf");
    inline static const QString kXmlPdf = QStringLiteral("varlex-xml.pdf");

    // The configuration comes from programFolder/online.ini (docs/online.md).
    OnlineServices(QWidget *window, Dialogs &dialogs, const QString &programFolder);
    OnlineServices(QWidget *window, Dialogs &dialogs, const QString &programFolder, OnlineConfig config,
                   Links::Opener opener = {}, UpdateHandOver::Starter starter = {});

    ~OnlineServices();

    // Toolbar key "message": fetches the daily message in the background while the window stays
    // usable, with progress and a Cancel button (cmdCancelMessage) in the window's status bar; show
    // then gets the text for the status bar (not after Cancel). A second call while one runs does
    // nothing.
    void downloadMessage(std::function<void(const QString &text)> show, int timeoutMs = 15000);

    // mnuOnlineUpdate_Click: after a successful hand-over the window is asked to close (its normal
    // closing path, with the save question). Returns true then.
    bool onlineUpdate();

    void email() { links_.email(window_); } // also toolbar key "email"
    void webSite() { links_.webSite(window_); }
    void forums() { links_.forums(window_); }
    void support() { links_.support(window_); }
    void onlineHelp() { links_.onlineHelp(window_); }
    void about(); // mnuAbout_Click

    // mnuPrintSample_Click / mnuPrintXML_Click (pdfName kSamplePdf / kXmlPdf): prints the pane, or
    // writes pdfName into the program folder when no printer is set up. The window shows
    // result.statusText() in its status bar.
    PanePrinting::Result printPane(EditorPane *pane, const QString &pdfName);

    const OnlineConfig &config() const { return config_; }

private:
    void endProgress();

    QPointer<QWidget> window_;
    QString folder_;
    OnlineConfig config_;
    Links links_;
    UpdateHandOver update_;
    std::unique_ptr<DailyMessage> message_;
    QPointer<QWidget> progress_;
};
