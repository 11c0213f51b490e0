#include "editorcontrol/memberlistfolder.h"

#include "editorcontrol/editorglobals.h"

#include <QDir>

namespace MemberListFolder {

Result LoadMemberLists(EditorGlobals &g, const QString &folder)
{
    Result result;
    g.clearMemberLists();
    if (folder.isEmpty())
        return result;
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.mbr")}, QDir::Files | QDir::Readable, QDir::Unsorted);
    for (const QString &file : files) {
        auto list = std::make_shared<MemberListObject>();
        if (!list->load(dir.filePath(file))) {
            result.problems.append(list->error().toString());
            continue;
        }
        g.registerMemberList(list);
        result.names.append(list->name());
    }
    return result;
}

} // namespace MemberListFolder
