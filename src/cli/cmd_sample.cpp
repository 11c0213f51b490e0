#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "model/recordfields.h"

namespace {

// A sample text holds at most 65535 ANSI bytes; its UTF-8 form takes at most three bytes for each.
constexpr qint64 kMaxSampleInput = 3 * 65535 + 3;

int show(const Cli::Arguments &args)
{
    Database db;
    bool damaged = false;
    int index = -1;
    if (int code = Cli::loadForReading(db, damaged); code || (code = Cli::chooseLanguage(args, db, true, index)))
        return code;
    Cli::out(Cli::withLineFeeds(db.languages[index].sampletext).toUtf8());
    return damaged ? Cli::BadInput : Cli::Ok;
}

int run(const Cli::Arguments &args)
{
    if (!args.has("set"))
        return show(args);
    if (args.has(Cli::kOutputOption.name))
        return args.usage(QStringLiteral("--output belongs to printing the sample text, not to --set"));
    Cli::DatabaseEdit edit;
    int index = -1;
    if (int code = edit.open(); code || (code = Cli::chooseLanguage(args, edit.db, true, index)))
        return code;
    QByteArray bytes;
    QString problem;
    if (!Cli::readInput(args.value("set"), kMaxSampleInput, bytes, problem))
        return Cli::fail(Cli::BadInput, problem);
    // Stored with CR LF line ends as the window's sample pane keeps them, so that what sample prints
    // (LF) comes back unchanged.
    const RecordFields::Field *field = RecordFields::find(RecordFields::Owner::Language, u"sampletext");
    if (const QString problem = RecordFields::set(*field, edit.db.languages[index], -1, Cli::decodeText(bytes), {});
        !problem.isEmpty())
        return Cli::fail(Cli::CheckFailed, Cli::languageLabel(edit.db, index) + QStringLiteral(": ") + problem);
    return edit.save();
}

const Cli::Command kCommand{
    "sample", "print or replace the sample text of a language", "(--index N | --name NAME) [--set FILE|- | --output FILE]",
    "Prints the sample text of the language (UTF-8, LF line ends), or with --set replaces it with the\n"
    "text of FILE (standard input for -) and saves; its line breaks are stored as CR LF, as the window\n"
    "keeps them. The file is read as UTF-8, or as ANSI text when it is not valid UTF-8. A text longer than 65535 bytes in ANSI form does not fit the database: it is refused and\n"
    "nothing changes.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"set", "FILE", "replace the sample text with the text of FILE (- for standard input)"}, Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
