#include "cli/command.h"
#include "editorcontrol/languageobject.h"
#include "import/languageimport.h"
#include "model/databasestore.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"

#include <QDir>
#include <QFileInfo>

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
    QStringList files;
    bool autoInclude = true;
    for (const QString &arg : allArgs.mid(1)) {
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            Cli::out(kUsage);
            return Cli::Ok;
        }
        if (arg == QLatin1String("--no-auto-include"))
            autoInclude = false;
        else if (arg.startsWith(QLatin1String("--")))
            return Cli::fail(Cli::Usage, QStringLiteral("import: unknown option %1 (see varlex-cli import --help)").arg(arg));
        else
            files.append(arg);
    }
    if (files.isEmpty())
        return Cli::fail(Cli::Usage, QStringLiteral("import needs at least one FILE (see varlex-cli import --help)"));

    const QString folder = ProgramFolder::path();
    if (!QFileInfo(folder).isDir())
        return Cli::fail(Cli::BadInput, QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(folder)));
    Database db;
    const FileResult loaded = DatabaseStore::LoadFileData(db, folder);
    if (!loaded.ok())
        return Cli::fail(Cli::BadInput, loaded.message + QStringLiteral(" Nothing was changed."));

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
