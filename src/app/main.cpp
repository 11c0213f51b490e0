#include "mainwindow/frmmain.h"
#include "mainwindow/windowcommandline.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"
#include "widgets/apptranslations.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include <cstdio>

namespace {

void setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("Varlex"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varlex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARLEX_VERSION));
}

// The command line is read before the window system starts, so that --help and --version work
// without a display.
WindowCommandLine readCommandLine(int argc, char *argv[])
{
    QCoreApplication reader(argc, argv);
    setIdentity();
    AppTranslations::install();
    return WindowCommandLine::read(QCoreApplication::arguments());
}

// On X11 and Wayland systems a missing display is said in one line instead of Qt's abort.
bool displayMissing()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    const WindowCommandLine line = readCommandLine(argc, argv);
    std::fputs(qPrintable(line.output), stdout);
    std::fputs(qPrintable(line.error), stderr);
    if (line.exitNow)
        return line.exitCode;
    if (displayMissing()) {
        std::fputs("varlex: no display found; the window cannot open here (varlex-cli works without one).\n", stderr);
        return 1;
    }

    QApplication app(argc, argv);
    setIdentity();
    AppTranslations::install();
    // The installed icon theme's icon when there is one, else the copy built into the program.
    QApplication::setDesktopFileName(QStringLiteral(VARLEX_APP_ID));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral(VARLEX_APP_ID), QIcon(QStringLiteral(":/" VARLEX_APP_ID ".png"))));
    if (ProgramFolder::resolve().isEmpty()) {
        const QString problem = QStringLiteral("Varlex has no folder for its database: %1. Set HOME to your home folder "
                                               "and start Varlex again.")
                                    .arg(ProgramFolder::homeProblem());
        qCritical("%s", qPrintable(problem));
        QMessageBox::critical(nullptr, QStringLiteral("Varlex"), problem);
        return 1;
    }
    if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
        qWarning("%s", qPrintable(problem));

    FrmMain window;
    window.show();
    window.importFiles(line.files);
    return app.exec();
}
