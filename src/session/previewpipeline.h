#pragma once

#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/editorglobals.h"
#include "import/kdeexport.h"
#include "xmlgen/languageexport.h"
#include "xmlgen/writerhost.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

struct Database;
class LanguageObject;
class SessionPrompts;
class XmlWriter;

// What the panes show of the current language. The XML writer, whose cache keeps every tokenset
// whose inputs did not change, writes varlex.lng; the file is read back into the XML pane and
// compiled for the sample pane. The editor registry holds the XML language, the preview language
// and the member lists. It keeps the XML pane's state (typed, applied or saved manual changes)
// and, with an event loop, lets typed keys share one rebuild. It reads the records, never changes
// them: the session decides when to rebuild.
class PreviewPipeline : public QObject, private WriterHost {
    Q_OBJECT
public:
    // How the status pane and the trace window take the writer's report.
    struct OutputModes {
        bool trace = false;
        bool validity = false;
        bool debugWindow = false;
    };

    PreviewPipeline(const Database &database, SessionPrompts &prompts, QObject *parent = nullptr);
    ~PreviewPipeline() override;

    // ---- what it shows and holds
    const XmlWriter &writer() const { return *writer_; }
    const EditorGlobals &registry() const { return registry_; }
    CompiledLanguagePtr xmlLanguage() const { return xmlCompiled_; }
    const QString &validityMessage() const { return validity_; }
    // The language whose XML the XML pane holds (name as it was when the XML was shown), its index.
    const QString &paneLanguageName() const { return paneName_; }
    int paneLanguage() const { return paneLanguage_; }
    // The XML pane's text as shown or typed, and the working file's text as last shown.
    const QString &paneXml() const { return paneXml_; }
    const QString &shownXml() const { return shownXml_; }
    // The XML pane holds manual changes not yet applied (Apply is on) or not yet saved (Save is on).
    bool manualChangesPending() const { return manualPending_; }
    bool manualChangesSavable() const { return manualSavable_; }
    bool hidesDefaultAttributes() const { return hide_; }
    bool writesEasyRead() const { return easyRead_; }
    QString exportFolder() const override { return exportFolder_; }
    QString memberListFolder() const { return memberFolder_; }
    QStringList memberListNames() const { return registry_.memberListNames(); }

    // ---- options
    void setExportFolder(const QString &folder) { exportFolder_ = folder; }
    void setWriterOptions(bool hideDefaultAttributes, bool easyRead);
    void setOutputModes(OutputModes modes) { modes_ = modes; }
    void setCoalescedTyping(bool on) { coalesce_ = on; }

    // ---- registry
    // Empties the registry and registers "xml.lng" for the XML panes; false (reported) when unusable.
    bool registerXmlLanguage();
    // Empties the registry, as a database read again leaves it.
    void clearRegistry();
    // Loads the member lists of a folder into the registry; the problems are reported.
    void loadMemberLists(const QString &folder);

    // ---- rebuilding
    // Rebuilds the current language and shows it.
    void regenerate();
    // After a typed step with coalesced typing: the rebuild waits until the keys already waiting
    // have been handled. Else it is done now.
    void rebuildAfter(bool typed);
    // Runs the rebuild that typing left waiting, if any.
    void rebuildWaiting();
    // Forgets the writer's cached texts, so that the next rebuild builds every tokenset.
    void clearCache();

    // ---- the XML pane
    // Makes a text the working file and the preview, as Apply does: the XML pane shows the file as
    // read back. A text that does not load leaves the sample uncoloured; a manual one is reported.
    void showXml(const QString &text, bool manual);
    // Shows a text in the XML pane.
    void showPaneXml(const QString &text);
    // The XML pane holds this text: manual changes while it differs from the XML shown last.
    void takePaneXml(const QString &text);
    void setManualState(bool pending, bool savable);
    // No manual changes, applied or typed.
    void dropManualChanges();
    // Writes the XML pane's text to language_def/NAME.lng, NAME being the pane's language; false
    // after a report.
    bool saveManualXml(const QString &text);
    // A line for the status pane, below what the writer put there.
    void appendStatusText(const QString &text) override { Q_EMIT statusTextAppended(text); }

    // ---- export
    WriteResult exportCurrent();
    KdeExport::Outcome exportKde(const QString &extensions);
    LanguageExport::Report exportAll(const std::function<bool(int index)> &next);

Q_SIGNALS:
    // The XML pane's text, then the sample pane's language and text.
    void previewXml(const QString &xml);
    void previewLanguage(CompiledLanguagePtr language, const QString &sampleText);
    void manualStateChanged();
    // The writer's validity check: the message and the flag colour (0x00BBGGRR).
    void validityChanged(const QString &message, qint32 flagColour);
    // The writer's report for the status pane (replace or append) and the trace window.
    void statusTextSet(const QString &text);
    void statusTextAppended(const QString &text);
    void debugTextAppended(const QString &text);
    // The member lists of the registry changed.
    void memberListsChanged();

private:
    // WriterHost
    bool hideDefaultAttributes() const override { return hide_; }
    bool easyReadFormat() const override { return easyRead_; }
    bool validityChecked() const override { return modes_.validity; }
    bool traceChecked() const override { return modes_.trace; }
    bool debugWindowOpen() const override { return modes_.debugWindow; }
    QString programFolder() const override;
    const MemberlistLookup *memberlists() const override { return &registry_; }
    bool applyEnabled() const override { return manualPending_; }
    bool confirm(const QString &text, const QString &title) override;
    void setRedFlag(qint32 colour) override;
    void disableApplyAndSave() override { dropManualChanges(); }
    void setStatusText(const QString &text) override { Q_EMIT statusTextSet(text); }
    void appendDebugText(const QString &text) override { Q_EMIT debugTextAppended(text); }

    bool hasLanguage() const;
    void viewLanguage();
    void previewFailed(const QString &description);
    void appendTiming(const QString &suffix);
    bool loadPreview(const QByteArray &bytes, const QString &path);

    const Database &db_;
    SessionPrompts &prompts_;
    std::unique_ptr<XmlWriter> writer_;
    EditorGlobals registry_;
    std::shared_ptr<LanguageObject> previewObject_;
    CompiledLanguagePtr previewCompiled_;
    CompiledLanguagePtr xmlCompiled_;
    bool previewRegistered_ = false;

    QString exportFolder_;
    QString memberFolder_;
    bool hide_ = false;
    bool easyRead_ = false;
    OutputModes modes_;
    QString validity_;
    QString lastWriteError_;

    bool manualPending_ = false;
    bool manualSavable_ = false;
    QString shownXml_; // the text of the working file as last shown
    QString paneXml_;  // the XML pane's text, as shown or typed
    bool manualApplied_ = false; // the pane shows applied manual changes not yet saved
    QString paneName_;
    int paneLanguage_ = -1;

    bool coalesce_ = false;
    bool rebuildWaiting_ = false; // a rebuild typing left waiting
    bool rebuildPosted_ = false;
};
