#include "cli/arguments.h"
#include "cli/command.h"
#include "cli/output.h"
#include "model/codepagesetting.h"
#include "model/nativename.h"
#include "model/programfolder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

#ifdef __GLIBC__
#include <malloc.h>
#endif

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
        text += QStringLiteral("  %1  %2\n").arg(QLatin1String(c->name), -15).arg(QLatin1String(c->summary));
    text += QStringLiteral("  %1  %2\n").arg(QLatin1String("help"), -15).arg(QLatin1String("show the help of a command"));
    text += QStringLiteral(
        "\nRun 'varlex-cli help COMMAND' (or 'varlex-cli COMMAND --help') for a command's options,\n"
        "'varlex-cli help tokenset new' for one of a group.\n"
        "Exit status: 0 ok, 1 a check failed or a file could not be written, 2 usage error,\n"
        "3 unreadable or damaged input.\n");
    return text;
}

// The lines of a group's help: the usage of each of its commands.
QString groupHelp(const QString &name)
{
    QString text = QStringLiteral("Usage:\n");
    for (const Cli::Command *c : Cli::group(name))
        text += QStringLiteral("  varlex-cli %1 %2\n    %3\n").arg(QLatin1String(c->name), QLatin1String(c->synopsis), QLatin1String(c->summary));
    return text + QStringLiteral("Run 'varlex-cli help %1 ACTION' for the options of one.\n").arg(name);
}

// The command that words name, taken from the front of words: "list", or a group and its action
// ("tokenset new"). Reports an unknown name (or action) and returns nullptr.
const Cli::Command *takeCommand(QStringList &words, const QString &context)
{
    const QString name = words.takeFirst();
    if (const Cli::Command *c = Cli::findCommand(name))
        return c;
    if (Cli::group(name).empty()) {
        Cli::fail(Cli::Usage, (context.isEmpty() ? QStringLiteral("unknown command '%1'") : context + QStringLiteral("no command named '%1'")).arg(name)
                                  + QStringLiteral(" (see 'varlex-cli --help')"));
        return nullptr;
    }
    QStringList actions;
    for (const Cli::Command *c : Cli::group(name))
        actions << QLatin1String(c->name).mid(name.size() + 1).toString();
    const QString action = words.isEmpty() ? QString() : words.takeFirst();
    if (const Cli::Command *c = action.isEmpty() ? nullptr : Cli::findCommand(name + u' ' + action))
        return c;
    Cli::fail(Cli::Usage, QStringLiteral("%1%2: %3 (%4; see 'varlex-cli help %2')")
                              .arg(context, name,
                                   action.isEmpty() ? QStringLiteral("an action is missing") : QStringLiteral("unknown action '%1'").arg(action),
                                   actions.join(QLatin1String(", "))));
    return nullptr;
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
    if (rest.constFirst() == QLatin1String("help")) {
        rest.removeFirst();
        if (rest.isEmpty() || rest == QStringList{QStringLiteral("help")}) {
            Cli::out(generalHelp().toUtf8());
            return Cli::Ok;
        }
        if (rest.size() == 1 && !Cli::group(rest[0]).empty()) {
            Cli::out(groupHelp(rest[0]).toUtf8());
            return Cli::Ok;
        }
        const Cli::Command *command = takeCommand(rest, QStringLiteral("help: "));
        if (!command)
            return Cli::Usage;
        if (!rest.isEmpty())
            return Cli::fail(Cli::Usage, QStringLiteral("help: unexpected argument '%1'").arg(rest[0]));
        Cli::out(Cli::Arguments::helpText(*command).toUtf8());
        return Cli::Ok;
    }
    const Cli::Command *command = takeCommand(rest, QString());
    if (!command)
        return Cli::Usage;
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
    if (const QString file = args.value(Cli::kOutputOption.name);
        !file.isEmpty() && file != QLatin1String("-") && args.takes(Cli::kOutputOption)) {
        if (const QString problem = Cli::redirectOutput(file); !problem.isEmpty())
            return Cli::fail(Cli::CheckFailed, problem);
    }
    if (ProgramFolder::resolve(args.value(Cli::kFolderOption.name)).isEmpty())
        return Cli::fail(Cli::CheckFailed, QStringLiteral("no folder for the database: %1; set HOME or give --folder DIR")
                                               .arg(ProgramFolder::homeProblem()));
    if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
        Cli::warn(problem);
    return command->run(args);
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // Converting a grammar compiles thousands of large regexps: without this the heap's top is given
    // back and taken again for each, which costs more system time than the work itself.
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varlex"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varlex"));
    // From argv rather than arguments(): a file name that is not UTF-8 keeps its bytes.
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << NativeName::fromBytes(QByteArray(argv[i]));
    return Cli::finish(run(args));
}
