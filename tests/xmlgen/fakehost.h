#pragma once

#include "model/database.h"
#include "xmlgen/memberlistlookup.h"
#include "xmlgen/writerhost.h"

#include <QSet>
#include <QString>
#include <QStringList>

// Member lists registered by name.
class FakeMemberlists : public MemberlistLookup {
public:
    QSet<QString> names;
    bool exists(const QString &name) const override { return names.contains(name); }
};

// A host that plays the main window: options as fields, every window step recorded.
class RecordingHost : public WriterHost {
public:
    bool hide = false;
    bool easyRead = false;
    bool validity = false;
    bool trace = false;
    bool debugOpen = false;
    bool apply = false;
    bool answerOk = true;
    QString folder;
    QString exportTo;
    FakeMemberlists lists;

    QStringList questions;
    QList<qint32> flags;
    int disabled = 0;
    QList<bool> loading;
    QString status;
    QString debug;

    bool hideDefaultAttributes() const override { return hide; }
    bool easyReadFormat() const override { return easyRead; }
    bool validityChecked() const override { return validity; }
    bool traceChecked() const override { return trace; }
    bool debugWindowOpen() const override { return debugOpen; }
    QString programFolder() const override { return folder; }
    QString exportFolder() const override { return exportTo; }
    const MemberlistLookup *memberlists() const override { return &lists; }
    bool applyEnabled() const override { return apply; }
    bool confirm(const QString &text, const QString &title) override
    {
        questions += title + u'|' + text;
        return answerOk;
    }
    void setLoading(bool on) override { loading += on; }
    void setRedFlag(qint32 colour) override { flags += colour; }
    void disableApplyAndSave() override
    {
        apply = false;
        ++disabled;
    }
    void setStatusText(const QString &text) override { status = text; }
    void appendStatusText(const QString &text) override { status += text; }
    void appendDebugText(const QString &text) override { debug += text; }
};

// A tokenset with the usual defaults of a new one: a list, every reference "<none>".
inline Tokenset makeTokenset(const QString &name, const QString &id = QStringLiteral("keywords"))
{
    Tokenset ts;
    ts.name = name;
    ts.id = id;
    ts.type = QStringLiteral("list");
    ts.fontstyle = QStringLiteral("normal");
    ts.inheritfrom = QStringLiteral("<none>");
    ts.tmemberlist = QStringLiteral("<none>");
    ts.included = 1;
    ts.rule = QStringLiteral("Word");
    ts.regexp = 1;
    ts.validscope.fill(QStringLiteral("<none>"));
    ts.validscope[0] = QStringLiteral("NULL");
    return ts;
}

// The Demo language of the worked example: one included tokenset "Keywords".
inline Language demoLanguage()
{
    Language lang;
    lang.name = QStringLiteral("Demo");
    lang.whitespaceasparamblock = 1;
    lang.wordchars = QStringLiteral("[\\w]");
    lang.memberlist = QStringLiteral("<none>");
    Tokenset ts = makeTokenset(QStringLiteral("Keywords"));
    ts.backcolor = 16777215;
    ts.forecolor = 16711680;
    ts.fontstyle = QStringLiteral("bold");
    ts.enabled = 1;
    lang.tokensets[0] = ts;
    return lang;
}
