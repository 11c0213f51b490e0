#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/output.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

// The options that may come before the command name.
const Cli::Command kProgram{"varlex-cli", "", "", "", {{"version", nullptr, "print the version"}}, 0, -1};

QString generalHelp()
{
    QString text = QStringLiteral(
        "Usage: varlex-cli [--folder DIR] COMMAND [OPTIONS]\n"
        "Works with the Varlex language database and language definitions without a display.\n\n"
        "  --folder DIR   the program folder (default: as the Varlex window resolves it)\n"
        "  --version      print the version\n"
        "  --help         show this help\n\n"
        "Commands:\n");
    for (const Cli::Command *c : Cli::commands())
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(c->name), -10).arg(QLatin1String(c->summary));
    text += QStringLiteral("  %1  %2\n").arg(QLatin1String("help"), -10).arg(QLatin1String("show the help of a command"));
    text += QStringLiteral(
        "\nRun 'varlex-cli help COMMAND' (or 'varlex-cli COMMAND --help') for a command's options.\n"
        "Exit status: 0 ok, 1 a check failed or a file could not be written, 2 usage error,\n"
        "3 unreadable or damaged input.\n");
    return text;
}

int run(const QStringList &commandLine)
{
    Cli::Arguments global(kProgram);
    if (const QString problem = global.parse(commandLine, true); !problem.isEmpty())
        return Cli::fail(Cli::Usage, problem + QStringLiteral(" (see 'varlex-cli --help')"));
    if (global.helpWanted()) {
        Cli::out(generalHelp().toUtf8());
        return Cli::Ok;
    }
    if (global.has("version")) {
        Cli::outLine(QStringLiteral("varlex-cli " VARLEX_VERSION));
        return Cli::Ok;
    }
    QStringList rest = global.rest();
    if (rest.isEmpty()) {
        std::fputs(generalHelp().toUtf8().constData(), stderr);
        return Cli::Usage;
    }
    const QString name = rest.takeFirst();
    if (name == QLatin1String("help")) {
        const Cli::Command *command = rest.size() == 1 ? Cli::findCommand(rest[0]) : nullptr;
        if (rest.isEmpty())
            Cli::out(generalHelp().toUtf8());
        else if (command)
            Cli::out(Cli::Arguments::helpText(*command).toUtf8());
        else
            return Cli::fail(Cli::Usage, QStringLiteral("help: no command named '%1' (see 'varlex-cli --help')").arg(rest.join(u' ')));
        return Cli::Ok;
    }
    const Cli::Command *command = Cli::findCommand(name);
    if (!command)
        return Cli::fail(Cli::Usage, QStringLiteral("unknown command '%1' (see 'varlex-cli --help')").arg(name));
    Cli::Arguments args(*command);
    if (global.has(Cli::kFolderOption.name))
        args.preset(Cli::kFolderOption.name, global.value(Cli::kFolderOption.name));
    const QString problem = args.parse(rest);
    if (args.helpWanted()) {
        Cli::out(Cli::Arguments::helpText(*command).toUtf8());
        return Cli::Ok;
    }
    if (!problem.isEmpty())
        return args.usage(problem);
    ProgramFolder::resolve(args.value(Cli::kFolderOption.name));
    if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
        Cli::fail(Cli::Ok, problem);
    return command->run(args);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varlex"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varlex"));
    return Cli::finish(run(app.arguments().mid(1)));
}
