#include "cli/arguments.h"
#include "cli/databaseedit.h"
#include "model/recordops.h"

namespace {

int run(const Cli::Arguments &)
{
    Cli::DatabaseEdit edit;
    if (const int code = edit.open())
        return code;
    RecordOps::sortLanguages(edit.db);
    return edit.save();
}

const Cli::Command kCommand{
    "sort", "sort the languages by name", "",
    "Sorts the languages by their lower-case names, character code by character code, and saves.\n",
    {}, 0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
