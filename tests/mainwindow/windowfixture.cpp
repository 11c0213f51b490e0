#include "mainwindow/windowfixture.h"
#include "model/programfolder.h"

#include <QFile>
#include <QTest>

void WindowTest::SetUp()
{
    for (const char *name : {"xml.lng", "sample.txt"})
        folder.write(QString::fromLatin1(name), TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("data/") + QLatin1String(name))));
    ProgramFolder::resolve(folder.path());
    FrmMain::settingsStore()->remove(QString());
    pendingDialogs = std::make_unique<ScriptedDialogs>();
    dialogs = pendingDialogs.get();
}

void WindowTest::TearDown()
{
    window.reset();
    FrmMain::settingsStore()->remove(QString());
}

FrmMain &WindowTest::start()
{
    if (!pendingDialogs) {
        pendingDialogs = std::make_unique<ScriptedDialogs>();
        dialogs = pendingDialogs.get();
    }
    window = std::make_unique<FrmMain>(std::move(pendingDialogs));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->Form_Resize();
    return *window;
}

bool WindowTest::closeWindow()
{
    return window->close();
}

void WindowTest::storeSetting(const QString &key, const QString &value)
{
    FrmMain::settingsStore()->setValue(key, value);
}

QString WindowTest::storedSetting(const QString &key)
{
    return FrmMain::settingsStore()->value(key).toString();
}
