#include "cli/clidatabase.h"

#include "cli/arguments.h"
#include "cli/output.h"
#include "model/databasestore.h"
#include "model/programfolder.h"
#include "model/textescape.h"
#include "model/quotedtext.h"

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

QList<int> named(const QStringList &names, const QString &given)
{
    QList<int> found;
    for (int i = 0; i < names.size(); ++i) {
        if (TextEscape::oneLine(names[i]) == given)
            found.append(i);
    }
    for (int i = 0; found.isEmpty() && i < names.size(); ++i) {
        if (names[i] == given)
            found.append(i);
    }
    return found;
}

QStringList languageNames(const Database &db)
{
    QStringList names;
    for (const Language &l : db.languages)
        names.append(l.name);
    return names;
}

QStringList tokensetNames(const Language &language)
{
    QStringList names;
    for (int k = 0, n = language.tokensetCount(); k < n; ++k)
        names.append(language.tokensets[k].name);
    return names;
}

namespace {

QString indexList(const QList<int> &indexes)
{
    QStringList list;
    for (int i : indexes)
        list.append(QString::number(i));
    return list.join(QLatin1String(", "));
}

} // namespace

int refuseLanguageName(const Arguments &args, const Database &db, const QString &name, int except, const QString &where)
{
    if (args.has(kAllowDuplicateOption.name))
        return Ok;
    for (int i = 0; i < db.languages.size(); ++i) {
        if (i != except && db.languages[i].name == name)
            return fail(CheckFailed, QStringLiteral("%1: a language %2 already exists (index %3); give --allow-duplicate for a second one")
                                         .arg(where.isEmpty() ? QString::fromLatin1(args.command().name) : where, quotedText(name))
                                         .arg(i));
    }
    return Ok;
}

int refuseTokensetName(const Arguments &args, const Database &db, int index, const QString &name, int except)
{
    if (args.has(kAllowDuplicateOption.name))
        return Ok;
    const QStringList names = tokensetNames(db.languages[index]);
    for (int k = 0; k < names.size(); ++k) {
        if (k != except && names[k] == name)
            return fail(CheckFailed, QStringLiteral("%1: a tokenset %2 already exists (slot %3); give --allow-duplicate for a second one")
                                         .arg(languageLabel(db, index), quotedText(name))
                                         .arg(k));
    }
    return Ok;
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
    const QList<int> found = named(languageNames(db), name);
    if (found.isEmpty())
        return args.usage(QStringLiteral("no such language: %1").arg(quotedText(name)));
    if (found.size() > 1)
        return args.usage(QStringLiteral("%1 names more than one language (indexes %2); choose one with --index")
                              .arg(quotedText(name), indexList(found)));
    index = found.constFirst();
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
    const QList<int> found = named(tokensetNames(language), given);
    if (found.size() == 1) {
        slot = found.constFirst();
        return Ok;
    }
    if (found.isEmpty())
        return args.usage(QStringLiteral("%1: no tokenset is named %2").arg(languageLabel(db, index), quotedText(given)));
    return args.usage(QStringLiteral("%1: %2 names more than one tokenset (slots %3); choose one by its slot")
                          .arg(languageLabel(db, index), quotedText(given), indexList(found)));
}

QString languageLabel(const Database &db, int index)
{
    return QStringLiteral("%1 (index %2)").arg(TextEscape::oneLine(db.languages[index].name)).arg(index);
}

} // namespace Cli
