#pragma once

#include "editorcontrol/definitionerror.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// One member list (.mbr file): a name and the members offered for completion, each with an optional
// tip. See docs/memberlists.md for the file form.
class MemberListObject {
public:
    struct Member {
        QString name;
        QString tip;
        bool operator==(const Member &) const = default;
    };

    // Loads a list; on failure returns false, keeps the previous contents and holds the error.
    bool load(const QString &path);
    bool loadData(const QByteArray &bytes, const QString &fileName);

    bool isLoaded() const { return loaded_; }
    QString name() const { return name_; }
    QString fileName() const { return fileName_; }
    const QVector<Member> &members() const { return members_; }
    const DefinitionError &error() const { return error_; }

private:
    bool loaded_ = false;
    QString name_;
    QString fileName_;
    QVector<Member> members_;
    DefinitionError error_;
};
