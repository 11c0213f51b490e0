#include "cli/clidatabase.h"

#include "cli/arguments.h"
#include "cli/output.h"
#include "model/databasestore.h"
#include "model/programfolder.h"
#include "model/textescape.h"

#include <QDir>
#include <QFileInfo>

namespace Cli {

bool databaseExists()
{
    const QFileInfo file(DatabaseStore::databasePath(ProgramFolder::path()));
    return file.exists() || file.isSymLink();
}

FileResult loadDatabase(Database &db)
{
    const QString folder = ProgramFolder::path();
    if (!QFileInfo(folder).isDir())
        return FileResult::failed(QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(folder)));
    if (!databaseExists())
        return FileResult::failed(QStringLiteral("no database in %1").arg(QDir::toNativeSeparators(folder)));
    return DatabaseStore::LoadFileData(db, folder);
}

int loadForReading(Database &db, bool &damaged)
{
    const FileResult r = loadDatabase(db);
    damaged = r.status == FileResult::Damaged;
    if (!r.ok())
        fail(BadInput, r.message);
    return r.status == FileResult::Failed ? BadInput : Ok;
}

int chooseLanguage(const Arguments &args, const Database &db, bool required, int &index)
{
    index = -1;
    const bool byIndex = args.has(kIndexOption.name);
    const bool byName = args.has(kNameOption.name);
    if (byIndex && byName)
        return args.usage(QStringLiteral("choose a language with either --index or --name, not both"));
    if (!byIndex && !byName)
        return required ? args.usage(QStringLiteral("choose a language with --index N or --name NAME")) : Ok;
    if (byIndex) {
        const QString text = args.value(kIndexOption.name);
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!ok || n < 0)
            return args.usage(QStringLiteral("--index needs a language index (0, 1, ...), not '%1'").arg(text));
        if (n > db.upperIndex())
            return args.usage(QStringLiteral("no such language: index %1 (the database holds 0 to %2)").arg(n).arg(db.upperIndex()));
        index = n;
        return Ok;
    }
    const QString name = args.value(kNameOption.name);
    QStringList found;
    for (int i = 0; i < db.languages.size(); ++i) {
        if (db.languages[i].name == name) {
            found.append(QString::number(i));
            index = i;
        }
    }
    if (found.isEmpty())
        return args.usage(QStringLiteral("no such language: \"%1\"").arg(TextEscape::oneLine(name)));
    if (found.size() > 1) {
        index = -1;
        return args.usage(QStringLiteral("\"%1\" names more than one language (indexes %2); choose one with --index")
                              .arg(TextEscape::oneLine(name), found.join(QLatin1String(", "))));
    }
    return Ok;
}

int chooseTokenset(const Arguments &args, const Database &db, int index, const QString &given, int &slot)
{
    const Language &language = db.languages[index];
    const int count = language.tokensetCount();
    bool isNumber = false;
    slot = given.toInt(&isNumber);
    if (isNumber) {
        if (slot >= 0 && slot < count)
            return Ok;
        return args.usage(QStringLiteral("%1: no tokenset in slot %2 (its tokensets are in slots 0 to %3)")
                              .arg(languageLabel(db, index), given)
                              .arg(count - 1));
    }
    QStringList found;
    for (int k = 0; k < count; ++k) {
        if (language.tokensets[k].name == given) {
            found.append(QString::number(k));
            slot = k;
        }
    }
    if (found.size() == 1)
        return Ok;
    if (found.isEmpty())
        return args.usage(QStringLiteral("%1: no tokenset is named \"%2\"").arg(languageLabel(db, index), TextEscape::oneLine(given)));
    return args.usage(QStringLiteral("%1: \"%2\" names more than one tokenset (slots %3); choose one by its slot")
                          .arg(languageLabel(db, index), TextEscape::oneLine(given), found.join(QLatin1String(", "))));
}

QString languageLabel(const Database &db, int index)
{
    return QStringLiteral("%1 (index %2)").arg(TextEscape::oneLine(db.languages[index].name)).arg(index);
}

} // namespace Cli
