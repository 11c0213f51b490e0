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

Register::Register(const Command &command)
{
    registry().push_back(&command);
}

} // namespace Cli
