#include "mainwindow/windowcommandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

WindowCommandLine WindowCommandLine::read(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("WindowCommandLine", "Creates and edits syntax-colouring language definition files."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QCoreApplication::translate("WindowCommandLine", "Language files (.lng) to import."),
                                 QStringLiteral("[FILE.lng...]"));

    WindowCommandLine line;
    if (!parser.parse(arguments)) {
        line.exitNow = true;
        line.exitCode = 1;
        line.error = QStringLiteral("%1: %2\n%3\n").arg(QCoreApplication::applicationName().toLower(), parser.errorText(),
                                                       QCoreApplication::translate("WindowCommandLine", "Try '--help'."));
        return line;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        line.exitNow = true;
        line.output = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.exitNow = true;
        line.output = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(), QCoreApplication::applicationVersion());
        return line;
    }
    // The window changes the current folder to the program folder, so relative names are fixed now.
    for (const QString &file : parser.positionalArguments())
        line.files.append(QFileInfo(file).absoluteFilePath());
    return line;
}
