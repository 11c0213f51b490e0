#pragma once

#include "cli/command.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace Cli {

// Options every command takes besides its own.
inline const Option kFolderOption{"folder", "DIR", "the program folder (default: as the Varlex window resolves it)"};

// One command line read by the rules every command shares: --opt VALUE and --opt=VALUE alike (a
// short -o VALUE and -oVALUE too); a
// value that starts with "--" does not count as one (write --opt=--x for that); "--" ends the
// options; "-" is an operand (standard input); --help or -h anywhere before "--" asks for help. A
// missing or empty value, an unknown option, a value given to a flag and a single-value option given
// twice, and a required option not given are usage problems.
class Arguments {
public:
    explicit Arguments(const Command &command);

    // Reads args (what follows the command name). Returns the usage problem, or an empty string.
    // With stopAtFirstOperand the first operand and all that follows are left in rest() unread.
    QString parse(const QStringList &args, bool stopAtFirstOperand = false);

    // An option given before the command name, counted as if it were given here.
    void preset(const char *option, const QString &value);

    const Command &command() const { return *command_; }
    // Whether the command declares this option (the same name and value).
    bool takes(const Option &option) const;
    bool helpWanted() const { return help_; }
    bool has(const char *option) const;
    QString value(const char *option) const; // empty when not given
    QStringList values(const char *option) const;
    const QStringList &operands() const { return operands_; }
    const QStringList &rest() const { return rest_; }

    // Reports a usage problem of this command in one line and returns Usage.
    int usage(const QString &problem) const;

    // The command's help: usage line, description, options.
    static QString helpText(const Command &command);

private:
    const Option *find(QStringView name) const;
    const Option *findShort(QChar name) const;

    const Command *command_;
    QHash<QString, QStringList> values_;
    QStringList operands_;
    QStringList rest_;
    bool help_ = false;
};

} // namespace Cli
