#pragma once

#include <QString>

#include <vector>

// Sub-commands of varlex-cli register themselves here, one file each. A command declares its options
// and operands; the shared parser (arguments.h) reads every command line by the same rules and
// writes the help from the same declaration.
namespace Cli {

enum Exit { Ok = 0, CheckFailed = 1, Usage = 2, BadInput = 3 };

class Arguments;

// --NAME, or --NAME VALUE / --NAME=VALUE when `value` names the value in the help ("N", "FILE"); with
// a short name also -X, -X VALUE and -XVALUE.
struct Option {
    const char *name;
    const char *value = nullptr; // nullptr: a flag
    const char *help = "";
    bool repeatable = false; // may be given more than once; Arguments::values() returns each
    char shortName = 0;      // 0: none
};

// Options shared by the commands that work on one language.
inline const Option kIndexOption{"index", "N", "the language at index N (0 is the first)", false, 'i'};
inline const Option kNameOption{"name", "NAME", "the language named NAME (as list prints it)", false, 'n'};
// Lets a command give a name that another language (or tokenset of the language) already carries.
inline const Option kAllowDuplicateOption{"allow-duplicate", nullptr, "allow a name that another one already has"};
// Where the text of a command goes: FILE replaced once the command has run, or - for standard output.
inline const Option kOutputOption{"output", "FILE", "write the output to FILE instead of standard output", false, 'o'};

// A command; one of a group ("tokenset new", "tokenset move") is named by the group and its action.
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
    std::vector<const char *> required = {}; // options that must be given
};

// Every registered command, in name order.
std::vector<const Command *> commands();
const Command *findCommand(const QString &name);
// The commands of a group ("tokenset"), in name order; empty when name is no group.
std::vector<const Command *> group(const QString &name);

struct Register {
    explicit Register(const Command &command);
};

} // namespace Cli
