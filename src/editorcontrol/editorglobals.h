#pragma once

#include "editorcontrol/languageobject.h"
#include "editorcontrol/memberlistobject.h"
#include "xmlgen/memberlistlookup.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

// The editor control's global object (G): the registered languages, in order of registration, and the
// registered member lists. One per main window. The XML writer asks it whether a member list exists.
class EditorGlobals : public MemberlistLookup {
public:
    // Languages. Only a loaded object can be registered, and each object once.
    void clearLanguages();
    int languageCount() const { return int(languages_.size()); }
    std::shared_ptr<LanguageObject> language(int index) const; // null when out of range
    bool registerLanguage(const std::shared_ptr<LanguageObject> &language);
    bool unregisterLanguage(const LanguageObject *language);
    bool isRegistered(const LanguageObject *language) const;
    // The first registered language of this name (letter case ignored), or null.
    std::shared_ptr<LanguageObject> findLanguage(const QString &name) const;

    // Member lists. Only a loaded list can be registered, and each object once.
    void clearMemberLists();
    int memberListCount() const { return int(memberLists_.size()); }
    std::shared_ptr<MemberListObject> memberList(int index) const; // null when out of range
    // The first registered list whose name is exactly this one (letter case counts), or null.
    std::shared_ptr<MemberListObject> memberList(const QString &name) const;
    bool registerMemberList(const std::shared_ptr<MemberListObject> &list);
    bool memberListExists(const QString &name) const { return memberList(name) != nullptr; }
    bool exists(const QString &name) const override { return memberListExists(name); }
    QStringList memberListNames() const;

private:
    QVector<std::shared_ptr<LanguageObject>> languages_;
    QVector<std::shared_ptr<MemberListObject>> memberLists_;
};
