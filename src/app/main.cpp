#include "mainwindow/frmmain.h"
#include "model/programfolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varlex"));
    QApplication::setOrganizationName(QStringLiteral("Varlex"));
    QApplication::setApplicationVersion(QStringLiteral(VARLEX_VERSION));
    ProgramFolder::resolve();

    FrmMain window;
    window.show();
    return app.exec();
}
