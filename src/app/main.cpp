#include "mainwindow/frmmain.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varlex"));
    QApplication::setOrganizationName(QStringLiteral("Varlex"));
    QApplication::setApplicationVersion(QStringLiteral(VARLEX_VERSION));
    ProgramFolder::resolve();
    if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
        qWarning("%s", qPrintable(problem));

    FrmMain window;
    window.show();
    return app.exec();
}
