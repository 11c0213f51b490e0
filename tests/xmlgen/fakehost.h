#pragma once

#include "model/database.h"
#include "xmlgen/memberlistlookup.h"
#include "xmlgen/writerhost.h"

#include <QSet>
#include <QStringList>

class FakeMemberlists : public MemberlistLookup {
public:
    QSet<QString> names;
    bool exists(const QString &name) const override { return names.contains(name); }
};

// Plays the main window: options as fields, every window step recorded.
class RecordingHost : public WriterHost {
public:
    bool hide = false, easyRead = false, validity = false, trace = false, debugOpen = false;
    bool apply = false, answerOk = true;
    QString folder, exportTo, status, debug;
    FakeMemberlists lists;
    QStringList questions;
    QList<qint32> flags;
    QList<bool> loading;

    bool hideDefaultAttributes() const override { return hide; }
    bool easyReadFormat() const override { return easyRead; }
    bool validityChecked() const override { return validity; }
    bool traceChecked() const override { return trace; }
    bool debugWindowOpen() const override { return debugOpen; }
    QString programFolder() const override { return folder; }
    QString exportFolder() const override { return exportTo; }
    const MemberlistLookup *memberlists() const override { return &lists; }
    bool applyEnabled() const override { return apply; }
    bool confirm(const QString &text, const QString &title) override { questions += title + u'|' + text; return answerOk; }
    void setLoading(bool on) override { loading += on; }
    void setRedFlag(qint32 colour) override { flags += colour; }
    void disableApplyAndSave() override { apply = false; }
    void setStatusText(const QString &text) override { status = text; }
    void appendStatusText(const QString &text) override { status += text; }
    void appendDebugText(const QString &text) override { debug += text; }
};

// A new tokenset as the window makes one: a list, no references, valid at the outermost level.
inline Tokenset makeTokenset(const QString &name)
{
    Tokenset ts;
    ts.name = name;
    ts.id = QStringLiteral("keywords");
    ts.type = QStringLiteral("list");
    ts.fontstyle = QStringLiteral("normal");
    ts.inheritfrom = ts.tmemberlist = QStringLiteral("<none>");
    ts.included = ts.regexp = 1;
    ts.rule = QStringLiteral("Word");
    ts.validscope.fill(QStringLiteral("<none>"));
    ts.validscope[0] = QStringLiteral("NULL");
    return ts;
}

// The language Demo with its one tokenset Keywords, as in the documented example.
inline Language demoLanguage()
{
    Language lang;
    lang.name = QStringLiteral("Demo");
    lang.whitespaceasparamblock = 1;
    lang.wordchars = QStringLiteral("[\\w]");
    lang.memberlist = QStringLiteral("<none>");
    Tokenset &ts = lang.tokensets[0] = makeTokenset(QStringLiteral("Keywords"));
    ts.backcolor = 16777215;
    ts.forecolor = 16711680;
    ts.fontstyle = QStringLiteral("bold");
    ts.enabled = 1;
    return lang;
}
