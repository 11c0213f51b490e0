#include "cli/arguments.h"
#include "cli/databaseedit.h"

namespace {

int run(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    if (const int code = edit.open(args.has("repair")))
        return code;
    return edit.save();
}

const Cli::Command kCommand{
    "save", "load and save the database again", "[--repair]",
    "Loads varlex.dat and saves it again; a well-formed file comes back byte for byte. A damaged file is\n"
    "refused (exit 3) unless --repair is given: then it is kept as varlex.dat.damaged and what could be\n"
    "read is saved in its place. Exit status 1: the file could not be written (the old file is\n"
    "unchanged).\n",
    {{"repair", nullptr, "save what a damaged file holds, keeping the file as varlex.dat.damaged"}}, 0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
