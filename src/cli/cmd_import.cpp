#include "cli/clidatabase.h"
#include "cli/command.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"
#include "model/databasestore.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"

namespace {

const char kUsage[] =
    "Usage: varlex-cli import FILE... [--no-auto-include]\n"
    "Appends one language per language definition file (.lng) to the database, in the order given,\n"
    "and saves it. Each language gets the sample text of sample.txt; its tokensets are included in\n"
    "the generated XML unless --no-auto-include is given. A file that cannot be read or imported is\n"
    "reported with its reason and adds nothing; the others are still imported. Exit status 3 when\n"
    "any file failed or the database is damaged (then nothing is changed).\n";

int run(const QStringList &allArgs)
{
    const QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    QStringList files;
    bool autoInclude = true;
    for (const QString &arg : args) {
        if (arg == QLatin1String("--no-auto-include"))
            autoInclude = false;
        else if (arg.startsWith(QLatin1String("--")))
            return Cli::fail(Cli::Usage, QStringLiteral("import: unknown option %1 (see varlex-cli import --help)").arg(arg));
        else
            files.append(arg);
    }
    if (files.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("import needs at least one FILE (see varlex-cli import --help)"));

    Database db;
    const FileResult loaded = Cli::loadDatabase(db);
    if (!loaded.ok())
        return Cli::fail(Cli::BadInput, loaded.message + QStringLiteral(" Nothing was changed."));

    const QString folder = ProgramFolder::path();
    const QString sampleText = LanguageTemplate::defaultSampleText(folder);
    LanguageObject object;
    int failed = 0;
    int imported = 0;
    for (const QString &file : files) {
        const LanguageImport::Result r = LanguageImport::importFile(db, object, file, autoInclude, sampleText);
        if (!r.ok) {
            Cli::fail(Cli::BadInput, QStringLiteral("import: ") + r.description);
            ++failed;
            continue;
        }
        ++imported;
        Cli::outLine(QStringLiteral("%1: language %2 \"%3\"").arg(file).arg(r.index).arg(db.languages[r.index].name));
    }
    if (imported > 0) {
        const FileResult saved = DatabaseStore::SaveChanges(db, folder);
        if (!saved.ok())
            return Cli::fail(Cli::CheckFailed, saved.message);
    }
    return failed > 0 ? Cli::BadInput : Cli::Ok;
}

const Cli::Register reg({"import", "append languages read from language definition files", run});

} // namespace
