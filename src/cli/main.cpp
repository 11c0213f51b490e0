#include "cli/command.h"
#include "model/codepagesetting.h"
#include "model/programfolder.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace Cli {

static std::vector<Command> &registry()
{
    static std::vector<Command> list;
    return list;
}

const std::vector<Command> &commands()
{
    return registry();
}

Register::Register(const Command &command)
{
    registry().push_back(command);
}

void out(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void outLine(const QString &line)
{
    out(line.toUtf8() + '\n');
}

int fail(int code, const QString &message)
{
    std::fputs(("varlex-cli: " + message + '\n').toUtf8().constData(), stderr);
    return code;
}

} // namespace Cli

static void printUsage(FILE *to)
{
    QString text = QStringLiteral(
        "Usage: varlex-cli [--folder DIR] COMMAND [OPTIONS]\n"
        "Works with the Varlex language database without a display.\n\n"
        "  --folder DIR   the program folder (default: as the Varlex window resolves it)\n\n"
        "Commands:\n");
    for (const Cli::Command &c : Cli::commands())
        text += QStringLiteral("  %1%2\n").arg(QString::fromLatin1(c.name), -12).arg(QString::fromLatin1(c.summary));
    text += QStringLiteral("\nRun 'varlex-cli COMMAND --help' for a command's options.\n"
                           "Exit status: 0 ok, 1 a check failed, 2 usage error, 3 unreadable or damaged input.\n");
    std::fputs(text.toUtf8().constData(), to);
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varlex"));
    QCoreApplication::setOrganizationName(QStringLiteral("Varlex"));

    QStringList args = app.arguments();
    args.removeFirst();
    QString folder;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--folder")) {
            if (i + 1 >= args.size())
                return Cli::fail(Cli::Usage, QStringLiteral("--folder needs a folder"));
            folder = args[i + 1];
            args.remove(i, 2);
            break;
        }
        if (args[i].startsWith(QLatin1String("--folder="))) {
            folder = args[i].mid(9);
            args.removeAt(i);
            break;
        }
    }
    if (args.isEmpty() || args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h")
        || args[0] == QLatin1String("help")) {
        printUsage(args.isEmpty() ? stderr : stdout);
        return args.isEmpty() ? Cli::Usage : Cli::Ok;
    }
    const QString name = args.takeFirst();
    for (const Cli::Command &c : Cli::commands()) {
        if (name == QLatin1String(c.name)) {
            ProgramFolder::resolve(folder);
            if (const QString problem = CodePageSetting::apply(); !problem.isEmpty())
                Cli::fail(Cli::Ok, problem);
            args.prepend(QStringLiteral("varlex-cli ") + name);
            return c.run(args);
        }
    }
    return Cli::fail(Cli::Usage, QStringLiteral("unknown command '%1' (see varlex-cli --help)").arg(name));
}
