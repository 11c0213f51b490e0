// The window's command line: help and version without a display, files imported after start-up.
#include "mainwindow/windowcommandline.h"
#include "mainwindow/windowfixture.h"

#include <QDir>
#include <QProcess>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out, err;
};

// The installed program as a file manager or a terminal without a display starts it.
ProgramRun runWindowProgram(const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VARLEX_GUI_PATH), args);
    p.waitForFinished(30000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

} // namespace

TEST(WindowCommandLine, HelpVersionAndUsageErrorsEndWithoutADisplay)
{
    const ProgramRun help = runWindowProgram({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("[FILE.lng...]")) && help.out.contains(QStringLiteral("--version")))
        << help.out.toStdString();
    const ProgramRun version = runWindowProgram({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("Varlex " VARLEX_VERSION "\n"));
    const ProgramRun wrong = runWindowProgram({QStringLiteral("--colour")});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.out.isEmpty() && wrong.err.contains(QStringLiteral("colour")));
    // Without a display the window says so in one line instead of aborting.
    const ProgramRun window = runWindowProgram({});
    EXPECT_EQ(window.exitCode, 1);
    EXPECT_TRUE(window.err.contains(QStringLiteral("no display"))) << window.err.toStdString();
}

TEST(WindowCommandLine, FilesBecomeAbsoluteBeforeStartUpChangesTheFolder)
{
    const WindowCommandLine line = WindowCommandLine::read(
        {QStringLiteral("varlex"), QStringLiteral("a.lng"), QStringLiteral("/tmp/b c.lng"), QStringLiteral("--"),
         QStringLiteral("-dash.lng")});
    EXPECT_FALSE(line.exitNow);
    EXPECT_EQ(line.files, QStringList({QDir::current().absoluteFilePath(QStringLiteral("a.lng")), QStringLiteral("/tmp/b c.lng"),
                                       QDir::current().absoluteFilePath(QStringLiteral("-dash.lng"))}));
}

TEST_F(WindowTest, FilesFromTheCommandLineAreImportedAfterStartUp)
{
    start();
    folder.write(QStringLiteral("in/Other.lng"), workingFile().toLatin1());
    window->importFiles({folder.file(QStringLiteral("in/Other.lng")), folder.file(QStringLiteral("in/missing.lng")),
                         folder.file(QStringLiteral("in/Other.lng"))});
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Pascal", "Empty", "Basic", "Basic"}));
    ASSERT_EQ(dialogs->messages.size(), 1u); // the missing file, said once, the others still imported
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("missing.lng")));
}
