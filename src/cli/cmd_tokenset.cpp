#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/output.h"
#include "model/recordfields.h"
#include "model/recordops.h"

namespace {

// Checks that the action got what it needs and nothing it does not use.
QString checkShape(const Cli::Arguments &args, const QString &action)
{
    const bool isNew = action == QLatin1String("new");
    const bool isRename = action == QLatin1String("rename");
    const bool isMove = action == QLatin1String("move");
    if (!isNew && !isRename && !isMove && action != QLatin1String("delete"))
        return QStringLiteral("unknown action '%1' (new, delete, rename or move)").arg(action);
    if (args.operands().size() != (isNew || isRename ? 2 : 1))
        return isNew || isRename ? QStringLiteral("%1 needs a NAME").arg(action)
                                 : QStringLiteral("unexpected argument '%1'").arg(args.operands().constLast());
    if (isNew == args.has("tokenset"))
        return isNew ? QStringLiteral("new takes no --tokenset") : QStringLiteral("%1 needs --tokenset NAME|SLOT").arg(action);
    const int moves = int(args.has("up")) + int(args.has("down")) + int(args.has("to"));
    if (isMove != (moves == 1))
        return isMove ? QStringLiteral("move needs one of --up, --down or --to SLOT")
                      : QStringLiteral("--up, --down and --to belong to move");
    return QString();
}

int run(const Cli::Arguments &args)
{
    const QString action = args.operands().at(0);
    if (const QString problem = checkShape(args, action); !problem.isEmpty())
        return args.usage(problem);
    Cli::DatabaseEdit edit;
    int index = -1;
    int slot = -1;
    if (int code = edit.openLanguage(args, index); code
        || (args.has("tokenset") && (code = Cli::chooseTokenset(args, edit.db, index, args.value("tokenset"), slot))))
        return code;
    Language &language = edit.db.languages[index];
    const QString label = Cli::languageLabel(edit.db, index);
    const QString name = args.operands().value(1);
    if (action == QLatin1String("new")) {
        if (name.isEmpty())
            return args.usage(QStringLiteral("NAME must not be empty"));
        if (RecordOps::newTokenset(language, name) < 0)
            return Cli::fail(Cli::CheckFailed, label + QStringLiteral(": Too many tokensets!"));
    } else if (action == QLatin1String("delete")) {
        if (RecordOps::deleteTokenset(language, slot) < 0)
            return Cli::fail(Cli::CheckFailed, label + QStringLiteral(": Cannot delete last tokenset!"));
    } else if (action == QLatin1String("rename")) {
        const RecordFields::Field *field = RecordFields::find(RecordFields::Owner::Tokenset, u"name");
        if (const QString problem = RecordFields::set(*field, language, slot, name, {}); !problem.isEmpty())
            return args.usage(label + QStringLiteral(": ") + problem);
    } else {
        const int last = language.tokensetCount() - 1;
        bool ok = true;
        int target = args.has("up") ? slot - 1 : args.has("down") ? slot + 1 : args.value("to").toInt(&ok);
        if (!ok || target < 0 || target > last)
            return Cli::fail(Cli::CheckFailed, label + QStringLiteral(": the tokenset in slot %1 cannot move to slot %2 (slots 0 to %3)")
                                                       .arg(slot)
                                                       .arg(ok ? QString::number(target) : args.value("to"))
                                                       .arg(last));
        while (slot < target)
            slot = RecordOps::moveTokensetDown(language, slot);
        while (slot > target)
            slot = RecordOps::moveTokensetUp(language, slot);
    }
    return edit.save();
}

const Cli::Command kCommand{
    "tokenset", "add, delete, rename or move a tokenset of a language",
    "new|delete|rename|move (--index N | --name NAME) ...",
    "  tokenset new    (--index N | --name NAME) NAME\n"
    "  tokenset delete (--index N | --name NAME) --tokenset NAME|SLOT\n"
    "  tokenset rename (--index N | --name NAME) --tokenset NAME|SLOT NEWNAME\n"
    "  tokenset move   (--index N | --name NAME) --tokenset NAME|SLOT (--up | --down | --to SLOT)\n"
    "Each saves the database. new fills the first free slot as the window does (id text, type list,\n"
    "not included; 51 tokensets at most); delete moves the later tokensets up one slot (the last\n"
    "tokenset cannot go); rename keeps references to the old name as they are (validate reports them);\n"
    "move exchanges the tokenset with its neighbours until it reaches the slot.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"tokenset", "NAME|SLOT", "the tokenset (a slot number or a name)"},
     {"up", nullptr, "move one slot up"}, {"down", nullptr, "move one slot down"}, {"to", "SLOT", "move to this slot"}},
    1, 2, "ACTION", run};
const Cli::Register reg(kCommand);

} // namespace
