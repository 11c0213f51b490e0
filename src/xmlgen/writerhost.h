#pragma once

#include <QString>

class MemberlistLookup;

// What the XML writer needs from the window that owns it: the options as they are checked, the
// folders, the XML pane's buttons, the question about manual changes, the red flag, the status pane
// and the trace window. The writer itself knows no widgets. The defaults suit a host without
// windows (command-line tool, benchmarks): no options, no manual changes, no panes.
class WriterHost {
public:
    virtual ~WriterHost() = default;

    // Options, read once when a run starts.
    virtual bool hideDefaultAttributes() const { return false; }
    virtual bool easyReadFormat() const { return false; }
    virtual bool validityChecked() const { return false; } // status pane in Validity mode
    virtual bool traceChecked() const { return false; }    // status pane in Trace mode
    virtual bool debugWindowOpen() const { return false; }

    // Folders: varlex.lng lives in the program folder, exported files in the export folder.
    virtual QString programFolder() const = 0;
    virtual QString exportFolder() const { return QString(); }

    // Registered member lists; null when none are known.
    virtual const MemberlistLookup *memberlists() const { return nullptr; }

    // True while the XML pane holds manual edits that were not applied (its Apply button is on).
    virtual bool applyEnabled() const { return false; }
    // An OK/Cancel question with the exclamation icon; true for OK.
    virtual bool confirm(const QString &text, const QString &title)
    {
        (void)text;
        (void)title;
        return true;
    }

    virtual void setLoading(bool on) { (void)on; }
    virtual void setRedFlag(qint32 colour) { (void)colour; } // back colour of the validity label
    virtual void disableApplyAndSave() {}
    virtual void setStatusText(const QString &text) { (void)text; }
    virtual void appendStatusText(const QString &text) { (void)text; }
    virtual void appendDebugText(const QString &text) { (void)text; }
};
