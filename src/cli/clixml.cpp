#include "cli/clixml.h"

#include "cli/clidatabase.h"
#include "cli/command.h"
#include "editorcontrol/memberlistfolder.h"
#include "model/programfolder.h"

#include <QDir>
#include <QSettings>

namespace Cli {

namespace {

QString setting(const char *key, const QString &fallback)
{
    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.beginGroup(QStringLiteral("Settings"));
    const QString value = store.value(QString::fromLatin1(key)).toString();
    return value.isEmpty() ? fallback : value;
}

} // namespace

QString parseXmlOptions(const QStringList &args, const QStringList &accepted, XmlOptions &options)
{
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        QString value;
        bool hasValue = false;
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.startsWith(QLatin1String("--")) && eq > 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasValue = true;
        }
        if (!accepted.contains(arg))
            return QStringLiteral("unknown argument %1").arg(args[i]);
        const bool needsValue = arg == QLatin1String("--index") || arg == QLatin1String("--to");
        if (needsValue && !hasValue) {
            if (i + 1 >= args.size())
                return QStringLiteral("%1 needs a value").arg(arg);
            value = args[++i];
        } else if (!needsValue && hasValue) {
            return QStringLiteral("%1 takes no value").arg(arg);
        }
        if (arg == QLatin1String("--index")) {
            bool ok = false;
            options.index = value.toInt(&ok);
            if (!ok || options.index < 0)
                return QStringLiteral("--index needs a language index (0, 1, ...), not \"%1\"").arg(value);
        } else if (arg == QLatin1String("--to")) {
            if (value.isEmpty())
                return QStringLiteral("--to needs a folder");
            options.to = value;
        } else if (arg == QLatin1String("--all")) {
            options.all = true;
        } else if (arg == QLatin1String("--hide-defaults")) {
            options.hideDefaults = true;
        } else if (arg == QLatin1String("--easyread")) {
            options.easyRead = true;
        }
    }
    return QString();
}

QString CliWriterHost::programFolder() const
{
    return ProgramFolder::path();
}

QString CliWriterHost::exportFolder() const
{
    if (!options.to.isEmpty())
        return options.to;
    return setting("ExpFolder", QDir(ProgramFolder::path()).filePath(QStringLiteral("language_def")));
}

QString memberListFolder()
{
    return setting("MemFolder", QDir(ProgramFolder::path()).filePath(QStringLiteral("language_mem")));
}

int loadForXml(Database &db, CliWriterHost &host, bool &damaged)
{
    const FileResult r = loadDatabase(db);
    if (r.status == FileResult::Failed)
        return fail(BadInput, r.message);
    damaged = r.status == FileResult::Damaged;
    if (damaged)
        fail(Ok, r.message);
    const MemberListFolder::Result lists = MemberListFolder::LoadMemberLists(host.globals, memberListFolder());
    for (const QString &problem : lists.problems)
        fail(Ok, QStringLiteral("member list left out: ") + problem);
    return Ok;
}

int checkIndex(const Database &db, int index, const char *command)
{
    if (index >= 0 && index < db.languages.size())
        return Ok;
    return fail(Usage, QStringLiteral("%1: there is no language with index %2 (the database holds 0 to %3)")
                           .arg(QLatin1String(command)).arg(index).arg(db.upperIndex()));
}

} // namespace Cli
