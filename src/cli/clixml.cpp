#include "cli/clixml.h"

#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/output.h"
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

CliWriterHost::CliWriterHost(const Arguments &args)
    : hideDefaults_(args.has(kHideDefaults))
    , easyRead_(args.has(kEasyRead))
    , to_(args.has("output") ? args.value("output") : args.value("to"))
{
}

QString CliWriterHost::programFolder() const
{
    return ProgramFolder::path();
}

QString CliWriterHost::exportFolder() const
{
    if (!to_.isEmpty())
        return to_;
    return setting("ExpFolder", QDir(ProgramFolder::path()).filePath(QStringLiteral("language_def")));
}

QString memberListFolder()
{
    return setting("MemFolder", QDir(ProgramFolder::path()).filePath(QStringLiteral("language_mem")));
}

QStringList loadMemberLists(EditorGlobals &globals)
{
    const MemberListFolder::Result lists = MemberListFolder::LoadMemberLists(globals, memberListFolder());
    for (const QString &problem : lists.problems)
        warn(QStringLiteral("member list left out: ") + problem);
    return lists.names;
}

int loadForXml(Database &db, CliWriterHost &host, bool &damaged)
{
    if (const int code = loadForReading(db, damaged))
        return code;
    loadMemberLists(host.globals);
    return Ok;
}

} // namespace Cli
