#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Sub-commands of varlex-cli register themselves here, one file each.
namespace Cli {

enum Exit { Ok = 0, CheckFailed = 1, Usage = 2, BadInput = 3 };

struct Command {
    const char *name;
    const char *summary;
    // args[0] is "varlex-cli COMMAND"; the rest are the command's own arguments.
    int (*run)(const QStringList &args);
};

const std::vector<Command> &commands();

struct Register {
    explicit Register(const Command &command);
};

// Output helpers: stdout gets exact bytes; an error is one line on stderr.
void out(const QByteArray &bytes);
void outLine(const QString &line);
int fail(int code, const QString &message);

} // namespace Cli
