#pragma once

#include <QString>

#include <vector>

// Sub-commands of varlex-cli register themselves here, one file each. A command declares its options
// and operands; the shared parser (arguments.h) reads every command line by the same rules and
// writes the help from the same declaration.
namespace Cli {

enum Exit { Ok = 0, CheckFailed = 1, Usage = 2, BadInput = 3 };

class Arguments;

// --NAME, or --NAME VALUE / --NAME=VALUE when `value` names the value in the help ("N", "FILE").
struct Option {
    const char *name;
    const char *value = nullptr; // nullptr: a flag
    const char *help = "";
    bool repeatable = false; // may be given more than once; Arguments::values() returns each
};

// Options shared by the commands that work on one language.
inline const Option kIndexOption{"index", "N", "the language at index N (0 is the first)"};
inline const Option kNameOption{"name", "NAME", "the language named NAME"};

struct Command {
    const char *name;
    const char *summary;  // one line for the list of commands
    const char *synopsis; // what follows "varlex-cli NAME" in the usage line
    const char *about;    // what the command does; lines end with \n
    std::vector<Option> options;
    int minOperands = 0; // arguments that are not options
    int maxOperands = 0; // -1: any number
    const char *operand = "ARGUMENT"; // names a missing operand in the usage error
    int (*run)(const Arguments &args) = nullptr;
};

// Every registered command, in name order.
std::vector<const Command *> commands();
const Command *findCommand(const QString &name);

struct Register {
    explicit Register(const Command &command);
};

} // namespace Cli
