#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/clixml.h"
#include "cli/databaseedit.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "cli/recordjson.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "model/recordfields.h"
#include "model/textescape.h"

namespace {

// The id choices: the lines of IDList.txt, as a new language leaves them, else the built-in ids.
QStringList idChoices()
{
    QByteArray bytes;
    QString problem;
    if (Cli::readInput(ProgramFolder::file(QLatin1String(LanguageTemplate::kIdFile)), 1 << 20, bytes, problem)) {
        const QStringList ids = LanguageTemplate::idLines(Cli::decodeText(bytes));
        if (!ids.isEmpty())
            return ids;
    }
    return RecordFields::Lists::defaultIds();
}

int run(const Cli::Arguments &args)
{
    Cli::DatabaseEdit edit;
    int index = -1;
    if (const int code = edit.openLanguage(args, index))
        return code;
    int slot = -1;
    if (args.has("tokenset")) {
        if (const int code = Cli::chooseTokenset(args, edit.db, index, args.value("tokenset"), slot))
            return code;
    }
    const RecordFields::Owner owner = slot < 0 ? RecordFields::Owner::Language : RecordFields::Owner::Tokenset;
    QString where = Cli::languageLabel(edit.db, index);
    if (slot >= 0)
        where += QStringLiteral(", tokenset \"%1\" (slot %2)").arg(TextEscape::oneLine(edit.db.languages[index].tokensets[slot].name)).arg(slot);

    RecordFields::Lists lists;
    bool listsRead = false;
    Language changed = edit.db.languages[index];
    for (const QString &assignment : args.operands()) {
        const qsizetype eq = assignment.indexOf(u'=');
        const RecordFields::Field *field = eq > 0 ? RecordFields::find(owner, QStringView(assignment).left(eq)) : nullptr;
        if (!field) {
            QStringList names;
            for (const RecordFields::Field &f : RecordFields::fields()) {
                if (f.owner == owner)
                    names.append(QLatin1String(f.name));
            }
            return args.usage(QStringLiteral("%1: '%2' is not FIELD=VALUE with one of the fields %3")
                                  .arg(where, assignment, names.join(QLatin1String(", "))));
        }
        if (field->kind == RecordFields::Kind::Choice && !listsRead) {
            EditorGlobals globals;
            lists.memberLists = Cli::loadMemberLists(globals);
            lists.ids = idChoices();
            listsRead = true;
        }
        // A value as show --json prints it (a token array, null) means what the window's control holds.
        const QString value = Cli::RecordJson::settable(field->name, assignment.mid(eq + 1),
                                                        field->kind == RecordFields::Kind::Choice
                                                            ? RecordFields::choices(*field, changed, slot, lists)
                                                            : QStringList());
        if (const QString problem = RecordFields::set(*field, changed, slot, value, lists); !problem.isEmpty())
            return args.usage(where + QStringLiteral(": ") + problem);
    }
    // A name may not become one that another language or tokenset carries.
    const Language &before = edit.db.languages[index];
    int code = Cli::Ok;
    if (slot < 0 && changed.name != before.name)
        code = Cli::refuseLanguageName(args, edit.db, changed.name, index);
    else if (slot >= 0 && changed.tokensets[slot].name != before.tokensets[slot].name)
        code = Cli::refuseTokensetName(args, edit.db, index, changed.tokensets[slot].name, slot);
    if (code)
        return code;
    edit.db.languages[index] = changed;
    return edit.save();
}

const Cli::Command kCommand{
    "set", "change fields of a language or of one of its tokensets",
    "(--index N | --name NAME) [--tokenset NAME|SLOT] FIELD=VALUE...",
    "Sets each FIELD to VALUE, on the language or, with --tokenset, on that tokenset (a slot number or a\n"
    "name), and saves; one value that is refused leaves everything unchanged (exit 2). The values follow\n"
    "the window's controls:\n"
    "  flags (casesensitive, applycase, whitespaceasparamblock; normalizecase, matchbraces, autoindent,\n"
    "    enabled, included, hidden, singlelinescope, chain, symmetrical, regexp): 0, 1, true or false\n"
    "  colours (forecolor, backcolor): a number 0..16777215 (0x00BBGGRR) or #RRGGBB\n"
    "  lists: type list|scope; fontstyle normal|bold|italic|bolditalic|underline; rule NULL|Word|\n"
    "    LeadWith|TrailWith|LeadWith TrailWith|Col; id one of IDList.txt; inheritfrom <none> or another\n"
    "    tokenset; validscope.0 .. validscope.9 <none>, NULL or a scope tokenset; memberlist, tmemberlist\n"
    "    <none> or a list of the member-list folder\n"
    "  texts: name (not blank), wordchars, lead, trail (one line); tokens, tokens2, sampletext (any line\n"
    "    breaks become CR LF); tokens and tokens2 also take the JSON array of token objects show prints\n"
    "  null (as show prints a reference to nothing) is <none> for the lists that offer it\n"
    "A name another language (or tokenset) has is refused (exit 1) unless --allow-duplicate is given.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"tokenset", "NAME|SLOT", "set fields of this tokenset"}, Cli::kAllowDuplicateOption},
    1, -1, "FIELD=VALUE", run};
const Cli::Register reg(kCommand);

} // namespace
