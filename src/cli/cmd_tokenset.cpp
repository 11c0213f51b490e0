// varlex-cli tokenset new|delete|rename|move: one command each, so that each has its own options and help.
#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/output.h"
#include "model/recordfields.h"
#include "model/recordops.h"

namespace {

// Opens the database and the language; with a --tokenset option, its slot too.
int open(const Cli::Arguments &args, Cli::DatabaseEdit &edit, int &index, int &slot)
{
    if (const int code = edit.openLanguage(args, index))
        return code;
    return args.has("tokenset") ? Cli::chooseTokenset(args, edit.db, index, args.value("tokenset"), slot) : Cli::Ok;
}

int add(const Cli::Arguments &args)
{
    const QString name = args.operands().at(0);
    if (name.isEmpty())
        return args.usage(QStringLiteral("NAME must not be empty"));
    if (const QString problem = RecordFields::nameProblem(name, QStringLiteral("tokenset name")); !problem.isEmpty())
        return args.usage(problem);
    Cli::DatabaseEdit edit;
    int index = -1;
    int slot = -1;
    if (int code = open(args, edit, index, slot); code || (code = Cli::refuseTokensetName(args, edit.db, index, name)))
        return code;
    if (RecordOps::newTokenset(edit.db.languages[index], name) < 0)
        return Cli::fail(Cli::CheckFailed, Cli::languageLabel(edit.db, index) + QStringLiteral(": Too many tokensets!"));
    return edit.save();
}

int remove(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    int index = -1;
    int slot = -1;
    if (const int code = open(args, edit, index, slot))
        return code;
    if (RecordOps::deleteTokenset(edit.db.languages[index], slot) < 0)
        return Cli::fail(Cli::CheckFailed, Cli::languageLabel(edit.db, index) + QStringLiteral(": Cannot delete last tokenset!"));
    return edit.save();
}

int rename(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    int index = -1;
    int slot = -1;
    if (int code = open(args, edit, index, slot);
        code || (code = Cli::refuseTokensetName(args, edit.db, index, args.operands().at(0), slot)))
        return code;
    const RecordFields::Field *field = RecordFields::find(RecordFields::Owner::Tokenset, u"name");
    if (const QString problem = RecordFields::set(*field, edit.db.languages[index], slot, args.operands().at(0), {});
        !problem.isEmpty())
        return args.usage(Cli::languageLabel(edit.db, index) + QStringLiteral(": ") + problem);
    return edit.save();
}

int move(const Cli::Arguments &args)
{
    if (int(args.has("up")) + int(args.has("down")) + int(args.has("to")) != 1)
        return args.usage(QStringLiteral("move needs one of --up, --down or --to SLOT"));
    if (bool number = true; args.has("to") && (args.value("to").toInt(&number), !number))
        return args.usage(QStringLiteral("--to needs a slot number, not '%1'").arg(args.value("to")));
    Cli::DatabaseEdit edit;
    int index = -1;
    int slot = -1;
    if (const int code = open(args, edit, index, slot))
        return code;
    Language &language = edit.db.languages[index];
    const int last = language.tokensetCount() - 1;
    bool ok = true;
    const int target = args.has("up") ? slot - 1 : args.has("down") ? slot + 1 : args.value("to").toInt(&ok);
    if (!ok || target < 0 || target > last)
        return Cli::fail(Cli::CheckFailed, Cli::languageLabel(edit.db, index)
                                               + QStringLiteral(": the tokenset in slot %1 cannot move to slot %2 (slots 0 to %3)")
                                                     .arg(slot)
                                                     .arg(ok ? QString::number(target) : args.value("to"))
                                                     .arg(last));
    while (slot < target)
        slot = RecordOps::moveTokensetDown(language, slot);
    while (slot > target)
        slot = RecordOps::moveTokensetUp(language, slot);
    return edit.save();
}

const Cli::Option kTokensetOption{"tokenset", "NAME|SLOT", "the tokenset (a slot number or a name)"};

const Cli::Command kNew{
    "tokenset new", "add a tokenset to a language", "(--index N | --name NAME) [--] NAME",
    "Adds a tokenset named NAME in the first free slot, as the window does (id text, type list, not\n"
    "included; 51 tokensets at most), and saves. A name another tokenset of the language has is refused\n"
    "(exit 1) unless --allow-duplicate is given.\n",
    {Cli::kIndexOption, Cli::kNameOption, Cli::kAllowDuplicateOption}, 1, 1, "NAME", add};
const Cli::Command kDelete{
    "tokenset delete", "remove a tokenset from a language", "(--index N | --name NAME) --tokenset NAME|SLOT",
    "Removes the tokenset, moves the later tokensets up one slot and saves. The last tokenset cannot go\n"
    "(exit 1).\n",
    {Cli::kIndexOption, Cli::kNameOption, kTokensetOption}, 0, 0, "", remove, {"tokenset"}};
const Cli::Command kRename{
    "tokenset rename", "rename a tokenset of a language", "(--index N | --name NAME) --tokenset NAME|SLOT [--] NEWNAME",
    "Renames the tokenset and saves (a name another tokenset has: as for new). References to the old name stay as they are ('varlex-cli validate'\n"
    "reports them).\n",
    {Cli::kIndexOption, Cli::kNameOption, kTokensetOption, Cli::kAllowDuplicateOption}, 1, 1, "NEWNAME", rename, {"tokenset"}};
const Cli::Command kMove{
    "tokenset move", "move a tokenset to another slot", "(--index N | --name NAME) --tokenset NAME|SLOT (--up | --down | --to SLOT)",
    "Exchanges the tokenset with its neighbours until it reaches the slot, and saves.\n",
    {Cli::kIndexOption, Cli::kNameOption, kTokensetOption, {"up", nullptr, "move one slot up"},
     {"down", nullptr, "move one slot down"}, {"to", "SLOT", "move to this slot"}},
    0, 0, "", move, {"tokenset"}};
const Cli::Register regNew(kNew);
const Cli::Register regDelete(kDelete);
const Cli::Register regRename(kRename);
const Cli::Register regMove(kMove);

} // namespace
