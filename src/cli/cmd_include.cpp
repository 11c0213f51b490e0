// varlex-cli include and exclude: which tokensets a language's definition holds.
#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "model/recordops.h"

namespace {

int mark(const Cli::Arguments &args, bool included)
{
    const bool all = args.has("all");
    if (all == args.has("tokenset"))
        return args.usage(QStringLiteral("choose the tokensets with --tokenset (once or more) or --all"));
    Cli::DatabaseEdit edit;
    int index = -1;
    if (const int code = edit.openLanguage(args, index))
        return code;
    Language &language = edit.db.languages[index];
    if (all)
        RecordOps::setAllIncluded(language, included);
    QList<int> slots;
    for (const QString &given : args.values("tokenset")) {
        int slot = -1;
        if (const int code = Cli::chooseTokenset(args, edit.db, index, given, slot))
            return code;
        slots.append(slot);
    }
    for (int slot : slots)
        language.tokensets[slot].included = included ? 1 : 0;
    return edit.save();
}

int include(const Cli::Arguments &args)
{
    return mark(args, true);
}

int exclude(const Cli::Arguments &args)
{
    return mark(args, false);
}

const std::vector<Cli::Option> kOptions{
    Cli::kIndexOption, Cli::kNameOption, {"tokenset", "NAME|SLOT", "this tokenset (repeat for more)", true},
    {"all", nullptr, "every tokenset of the language"}};
const Cli::Command kInclude{
    "include", "put tokensets into a language's definition", "(--index N | --name NAME) (--tokenset NAME|SLOT... | --all)",
    "Includes the tokensets in the generated definition (the tick in the window's tokenset list) and\n"
    "saves. A new language includes none of its template tokensets.\n",
    kOptions, 0, 0, "", include};
const Cli::Command kExclude{
    "exclude", "leave tokensets out of a language's definition", "(--index N | --name NAME) (--tokenset NAME|SLOT... | --all)",
    "Leaves the tokensets out of the generated definition and saves; their records stay.\n",
    kOptions, 0, 0, "", exclude};
const Cli::Register regInclude(kInclude);
const Cli::Register regExclude(kExclude);

} // namespace
