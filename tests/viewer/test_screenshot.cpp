#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/languageobject.h"
#include "viewer/frmviewer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTest>

// Takes the picture of the viewer for the documentation. Runs only when VARLEX_SCREENSHOT names the
// PNG to write, on a real display (scripts/screenshot-viewer.sh runs it under Xvfb).
TEST(ViewerScreenshot, Capture)
{
    const QString target = qEnvironmentVariable("VARLEX_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "VARLEX_SCREENSHOT is not set";

    TestUtil::TempFolder program;
    QDir().mkpath(program.file(QStringLiteral("language_def")));
    const QDir languages(TestUtil::sourcePath(QStringLiteral("data/languages")));
    for (const QString &name : languages.entryList({QStringLiteral("*.lng")}, QDir::Files))
        QFile::copy(languages.filePath(name), program.file(QStringLiteral("language_def/") + name));

    LanguageObject xml;
    ASSERT_TRUE(xml.load(TestUtil::sourcePath(QStringLiteral("data/xml.lng"))));
    ScriptedDialogs dialogs;
    auto *viewer = new FrmViewer(dialogs, ViewerContext{program.file(QStringLiteral("language_def")), program.path(),
                                                        CompiledLanguage::compile(*xml.definition())});
    viewer->setGeometry(40, 40, 900, 560);
    viewer->show();
    viewer->findChild<QListWidget *>(QStringLiteral("lstFiles"))->setCurrentRow(4);
    QTest::qWait(1500);

    const QRect frame = viewer->frameGeometry();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    EXPECT_TRUE(shot.save(target, "PNG"));
    viewer->close();
}
