#include "mainwindow/frmmain.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varlex"));
    QApplication::setOrganizationName(QStringLiteral("Varlex"));
    QApplication::setApplicationVersion(QStringLiteral(VARLEX_VERSION));
    // The installed icon theme's icon when there is one, else the copy built into the program.
    QApplication::setDesktopFileName(QStringLiteral("varlex"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("varlex"), QIcon(QStringLiteral(":/varlex.png"))));
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
    return app.exec();
}
