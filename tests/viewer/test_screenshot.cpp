#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/languageobject.h"
#include "viewer/frmviewer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QScreen>
#include <QSet>
#include <QTest>

// Takes the picture of the viewer for the documentation on a real display: make test runs it under
// Xvfb when xvfb-run is there (scripts/screenshot-viewer.sh names the PNG through VARLEX_SCREENSHOT).
TEST(ViewerScreenshot, Capture)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs an X display (tests/CMakeLists.txt runs it under xvfb-run)";
    TestUtil::TempFolder scratch;
    QString target = qEnvironmentVariable("VARLEX_SCREENSHOT");
    if (target.isEmpty())
        target = scratch.file(QStringLiteral("viewer.png"));

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
    // The picture shows the window drawn: the coloured file text and the frame, not one flat colour.
    const QImage image = QImage(target).scaled(frame.size() / 4);
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    EXPECT_EQ(image.size(), frame.size() / 4);
    EXPECT_GT(colours.size(), 8);
    viewer->close();
}
