// The persistent settings of the main window: read once at start-up, written once at shutdown.
#include "mainwindow/frmmain.h"
#include "mainwindow/languagelistpanel.h"
#include "mainwindow/tokensetpropertiespanel.h"
#include "mainwindow/settingsvalue.h"
#include "model/programfolder.h"
#include "session/editsession.h"
#include "ui_frmmain.h"
#include "widgets/screenfit.h"

#include <QDir>
#include <QScreen>
#include <QSettings>
#include <QSplitter>

namespace {

constexpr qint32 kDefaultColors[10] = {0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF, 0x00FF00,
                                       0x00FFFF, 0xFF00FF, 0xFFFF80, 0xC0C0FF, 0x808080};

constexpr int kMinFontHeight = 1;
constexpr int kMaxFontHeight = 200;

// The largest window a first run opens, and room below it for the title bar and the frame.
constexpr QSize kLargestDefault(1600, 1100);
constexpr int kFrameAllowance = 60;

} // namespace

void FrmMain::Settings(const QString &task)
{
    using namespace SettingsValue;
    const auto store = settingsStore();
    const double dpiX = logicalDpiX();
    const double dpiY = logicalDpiY();
    const QDir folder(ProgramFolder::path());
    // The Boolean keys that follow the folders and the font, in stored order, and those after the colours.
    const std::pair<const char *, QAction *> flagsBefore[] = {
        {"Confirmation", ui->mnuConfirmation}, {"EasyRead", ui->mnuEasyRead}, {"AutoSeek", ui->mnuAutoSeek},
        {"AutoInclude", ui->mnuAutoInclude},   {"Status", ui->mnuDebug},      {"CodeMaxSave", ui->mnuCodeMax},
    };
    const std::pair<const char *, QAction *> flagsAfter[] = {
        {"LineNumbering", ui->mnuLineNumbering}, {"LineNumberBold", ui->mnuLineNumberBold},
        {"DropFiles", ui->mnuDropFiles},         {"DisplayWhite", ui->mnuDisplayWhite},
        {"DisplayLeft", ui->mnuDisplayLeft},     {"HideAttributes", ui->mnuHideAttributes},
    };
    const auto defaultOf = [](const char *key) {
        return qstrcmp(key, "Confirmation") == 0 || qstrcmp(key, "AutoInclude") == 0;
    };
    const auto text = [&store](const char *key, const QString &fallback) {
        return store->value(QString::fromLatin1(key), fallback).toString();
    };

    if (task == QLatin1String("get")) {
        const float left = toFloat(text("MainLeft", QStringLiteral("1200")), 1200);
        const float top = toFloat(text("MainTop", QStringLiteral("1200")), 1200);
        float width = toFloat(text("MainWidth", QStringLiteral("13000")), 13000);
        float height = toFloat(text("MainHeight", QStringLiteral("10000")), 10000);
        move(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY));
        resize(ScreenFit::fitSize(QSize(twipsToPixels(width, dpiX), twipsToPixels(height, dpiY))));
        if (!store->contains(QStringLiteral("MainWidth")) && !store->contains(QStringLiteral("MainHeight"))) {
            // First run: the default size is made for a small screen; a larger one gets a larger window.
            const QRect screen = this->screen()->availableGeometry();
            resize(qBound(this->width(), screen.right() - 2 * x(), kLargestDefault.width()),
                   qBound(this->height(), screen.bottom() - y() - kFrameAllowance, kLargestDefault.height()));
            width = pixelsToTwips(this->width(), dpiX);
            height = pixelsToTwips(this->height(), dpiY);
        }
        // The stored place stays in the settings while the window is not moved, even when it has to
        // open elsewhere because that place is off the screens.
        startTwips_ = {left, top, width, height};
        ScreenFit::keepVisible(this);
        startPixels_ = QRect(x(), y(), this->width(), this->height());
        // The splitters take their places when the window is first laid out (showEvent).
        splitterStates_.clear();
        for (const QSplitter *splitter : splitters())
            splitterStates_ << QByteArray::fromBase64(text(splitter->objectName().toLatin1().constData(), QString()).toLatin1());
        languageList_->setImportFolder(text("LangFolder", folder.filePath(QStringLiteral("language_def"))));
        const QString memberFolder = text("MemFolder", folder.filePath(QStringLiteral("language_mem")));
        if (memberFolder != session_->preview().memberListFolder()) // chosen in an earlier session
            session_->loadMemberLists(memberFolder);
        session_->setExportFolder(text("ExpFolder", folder.filePath(QStringLiteral("language_def"))));
        tokensetProperties_->setTokenFontSize(
            toInt(text("FontHeight", QString::number(font().pointSize())), font().pointSize(), kMinFontHeight, kMaxFontHeight));
        for (const auto &[key, item] : flagsBefore)
            item->setChecked(toBool(text(key, fromBool(defaultOf(key))), defaultOf(key)));
        for (int i = 0; i < 10; ++i) {
            const QByteArray key = "Color" + QByteArray::number(i);
            tokensetProperties_->setSwatch(
                i, toColor(text(key.constData(), QString::number(kDefaultColors[i])), kDefaultColors[i]));
        }
        for (const auto &[key, item] : flagsAfter)
            item->setChecked(toBool(text(key, fromBool(false)), false));
        return;
    }

    if (!settingsSaveFlag_)
        return;
    if (!isMinimized() && !isMaximized() && !isFullScreen()) {
        const int pixels[4] = {x(), y(), this->width(), this->height()};
        const int unchanged[4] = {startPixels_.x(), startPixels_.y(), startPixels_.width(), startPixels_.height()};
        const char *const keys[4] = {"MainLeft", "MainTop", "MainWidth", "MainHeight"};
        for (int i = 0; i < 4; ++i) {
            const float twips = pixels[i] == unchanged[i] ? startTwips_[size_t(i)]
                                                           : pixelsToTwips(pixels[i], i % 2 == 0 ? dpiX : dpiY);
            store->setValue(QString::fromLatin1(keys[i]), fromFloat(twips));
        }
    }
    for (const QSplitter *splitter : splitters())
        store->setValue(splitter->objectName(), QString::fromLatin1(splitter->saveState().toBase64()));
    store->setValue(QStringLiteral("LangFolder"), languageList_->importFolder());
    store->setValue(QStringLiteral("MemFolder"), session_->preview().memberListFolder());
    store->setValue(QStringLiteral("ExpFolder"), session_->preview().exportFolder());
    store->setValue(QStringLiteral("FontHeight"), QString::number(tokensetProperties_->tokenFontSize()));
    for (const auto &[key, item] : flagsBefore)
        store->setValue(QString::fromLatin1(key), fromBool(item->isChecked()));
    for (int i = 0; i < 10; ++i)
        store->setValue(QStringLiteral("Color%1").arg(i), QString::number(qMax(0, tokensetProperties_->swatch(i))));
    for (const auto &[key, item] : flagsAfter)
        store->setValue(QString::fromLatin1(key), fromBool(item->isChecked()));
    store->sync();
}
