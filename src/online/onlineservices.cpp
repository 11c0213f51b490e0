#include "online/onlineservices.h"

#include "online/dailymessage.h"
#include "online/frmabout.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
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

OnlineServices::~OnlineServices()
{
    message_.reset();
    endProgress();
}

void OnlineServices::downloadMessage(std::function<void(const QString &text)> show, int timeoutMs)
{
    if (message_ && message_->running())
        return;
    message_ = std::make_unique<DailyMessage>(config_, folder_, timeoutMs);
    DailyMessage *message = message_.get();
    QObject::connect(message, &DailyMessage::finished, message, [this, show = std::move(show)](const QString &text) {
        endProgress();
        if (show)
            show(text);
    });
    if (auto *main = qobject_cast<QMainWindow *>(window_.data())) {
        auto *box = new QWidget;
        box->setObjectName(QStringLiteral("fraMessageProgress"));
        auto *layout = new QHBoxLayout(box);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(QCoreApplication::translate("OnlineServices", "Fetching the daily message..."), box));
        auto *bar = new QProgressBar(box);
        bar->setObjectName(QStringLiteral("prgMessage"));
        bar->setRange(0, 0); // busy until the size is known
        // Room for the groove and the whole percentage beside it, in the font it is drawn with.
        bar->setFixedWidth(bar->fontMetrics().horizontalAdvance(QStringLiteral("100%")) * 2 + 120);
        layout->addWidget(bar);
        auto *cancel = new QToolButton(box);
        cancel->setObjectName(QStringLiteral("cmdCancelMessage"));
        cancel->setText(QCoreApplication::translate("OnlineServices", "Cancel"));
        layout->addWidget(cancel);
        main->statusBar()->addPermanentWidget(box);
        progress_ = box;
        QObject::connect(cancel, &QToolButton::clicked, message, [this, message] {
            message->cancel();
            endProgress();
        });
        QObject::connect(message, &DailyMessage::progress, bar, [bar](qint64 received, qint64 total) {
            if (total > 0) {
                bar->setRange(0, 1000);
                bar->setValue(int(1000 * std::min(received, total) / total));
            }
        });
    }
    message->start();
}

void OnlineServices::endProgress()
{
    delete progress_.data();
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
