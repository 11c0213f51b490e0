#include "mainwindow/frmmain.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varlex"));
    QApplication::setOrganizationName(QStringLiteral("Varlex"));
    QApplication::setApplicationVersion(QStringLiteral(VARLEX_VERSION));
    // The installed icon theme's icon when there is one, else the copy built into the program.
    QApplication::setDesktopFileName(QStringLiteral("varlex"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("varlex"), QIcon(QStringLiteral(":/varlex.png"))));
    ProgramFolder::resolve();
    if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
        qWarning("%s", qPrintable(problem));

    FrmMain window;
    window.show();
    return app.exec();
}
