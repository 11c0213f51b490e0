#include "editorcontrol/editorglobals.h"

void EditorGlobals::clearLanguages()
{
    languages_.clear();
}

std::shared_ptr<LanguageObject> EditorGlobals::language(int index) const
{
    if (index < 0 || index >= languages_.size())
        return nullptr;
    return languages_[index];
}

bool EditorGlobals::registerLanguage(const std::shared_ptr<LanguageObject> &language)
{
    if (!language || !language->isLoaded() || isRegistered(language.get()))
        return false;
    languages_.append(language);
    return true;
}

bool EditorGlobals::unregisterLanguage(const LanguageObject *language)
{
    for (qsizetype i = 0; i < languages_.size(); ++i) {
        if (languages_[i].get() == language) {
            languages_.removeAt(i);
            return true;
        }
    }
    return false;
}

bool EditorGlobals::isRegistered(const LanguageObject *language) const
{
    for (const std::shared_ptr<LanguageObject> &l : languages_) {
        if (l.get() == language)
            return true;
    }
    return false;
}

std::shared_ptr<LanguageObject> EditorGlobals::findLanguage(const QString &name) const
{
    for (const std::shared_ptr<LanguageObject> &l : languages_) {
        if (l->name().compare(name, Qt::CaseInsensitive) == 0)
            return l;
    }
    return nullptr;
}

void EditorGlobals::clearMemberLists()
{
    memberLists_.clear();
}

std::shared_ptr<MemberListObject> EditorGlobals::memberList(int index) const
{
    if (index < 0 || index >= memberLists_.size())
        return nullptr;
    return memberLists_[index];
}

std::shared_ptr<MemberListObject> EditorGlobals::memberList(const QString &name) const
{
    for (const std::shared_ptr<MemberListObject> &m : memberLists_) {
        if (m->name() == name)
            return m;
    }
    return nullptr;
}

bool EditorGlobals::registerMemberList(const std::shared_ptr<MemberListObject> &list)
{
    if (!list || !list->isLoaded())
        return false;
    for (const std::shared_ptr<MemberListObject> &m : memberLists_) {
        if (m == list)
            return false;
    }
    memberLists_.append(list);
    return true;
}

QStringList EditorGlobals::memberListNames() const
{
    QStringList names;
    for (const std::shared_ptr<MemberListObject> &m : memberLists_)
        names.append(m->name());
    return names;
}
