#include "cli/command.h"

#include <algorithm>
#include <cstring>

namespace Cli {

static std::vector<const Command *> &registry()
{
    static std::vector<const Command *> list;
    return list;
}

std::vector<const Command *> commands()
{
    std::vector<const Command *> sorted = registry();
    std::sort(sorted.begin(), sorted.end(), [](const Command *a, const Command *b) { return std::strcmp(a->name, b->name) < 0; });
    return sorted;
}

const Command *findCommand(const QString &name)
{
    for (const Command *c : registry()) {
        if (name == QLatin1String(c->name))
            return c;
    }
    return nullptr;
}

std::vector<const Command *> group(const QString &name)
{
    std::vector<const Command *> members;
    for (const Command *c : commands()) {
        if (QLatin1String(c->name).startsWith(name + u' '))
            members.push_back(c);
    }
    return members;
}

Register::Register(const Command &command)
{
    registry().push_back(&command);
}

} // namespace Cli
