#pragma once

#include <QString>

// The member lists registered with the editor control. The registry of the editor control
// implements it for the window; the command-line tool fills one from the member-list folder.
class MemberlistLookup {
public:
    virtual ~MemberlistLookup() = default;
    // True when a member list of exactly this name (case-sensitive) is registered.
    virtual bool exists(const QString &name) const = 0;
};
