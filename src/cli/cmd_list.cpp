#include "cli/clidatabase.h"
#include "cli/command.h"

namespace {

const char kUsage[] = "Usage: varlex-cli list\n"
                      "Lists the languages of varlex.dat, one a line: index, TAB, name, TAB, number of tokensets.\n"
                      "A damaged file lists what could be read and exits with 3.\n";

int run(const QStringList &args)
{
    if (Cli::wantsHelp(args.mid(1), kUsage))
        return Cli::Ok;
    if (args.size() > 1)
        return Cli::fail(Cli::Usage, QStringLiteral("list takes no arguments (see varlex-cli list --help)"));
    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (r.status == FileResult::Failed)
        return Cli::fail(Cli::BadInput, r.message);
    QByteArray text;
    for (int i = 0; i < db.languages.size(); ++i) {
        const Language &l = db.languages[i];
        text += QByteArray::number(i) + '\t' + l.name.toUtf8() + '\t' + QByteArray::number(l.tokensetCount()) + '\n';
    }
    Cli::out(text);
    return r.ok() ? Cli::Ok : Cli::fail(Cli::BadInput, r.message);
}

const Cli::Register reg({"list", "list the languages of the database", run});

} // namespace
