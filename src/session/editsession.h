#pragma once

#include "import/kdeexport.h"
#include "model/fileresult.h"
#include "model/recordfields.h"
#include "model/trace.h"
#include "session/databasedocument.h"
#include "session/previewpipeline.h"
#include "xmlgen/languageexport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class QUndoCommand;
class QUndoStack;
class SessionPrompts;

// The editing session of the main window: the database document with its current language and
// tokenset, the history of undo steps and the unsaved state, and the preview of the current language.
// Every change a user can make is one operation here; the operation decides what to regenerate,
// records its undo step and says what changed, so the panels only show the session and turn a
// control's change into one call. Callers see the records and the preview read-only. Selecting is
// not recorded.
class EditSession : public QObject {
    Q_OBJECT
public:
    using Field = RecordFields::FieldId;

    struct Selection {
        int language = 0;
        int tokenset = -1;
    };

    using OutputModes = PreviewPipeline::OutputModes;

    // Kinds of token list rewrite, on the current tokenset's lists.
    enum class TokenTool { Sort, SortCase, ReverseSort, ReverseSortCase, LowerCase, TitleCase, RemoveAttributes };

    explicit EditSession(SessionPrompts &prompts, QObject *parent = nullptr);
    ~EditSession() override;

    // ---- state
    const Database &db() const { return db_; }
    bool hasLanguage() const;
    bool hasTokenset() const;
    int currentLanguage() const { return db_.currentLanguage; }
    int currentTokenset() const { return db_.currentTokenset; }
    const Language &language() const { return db_.current(); }
    const Tokenset &tokenset() const { return db_.current().tokensets[size_t(db_.currentTokenset)]; }
    QVariant value(Field field) const;
    bool isDirty() const { return dirty_; }
    QUndoStack &undoStack() { return *undo_; }
    // The writer, the registry and the XML pane's state, with the signals of what the panes show.
    const PreviewPipeline &preview() const { return preview_; }
    bool manualChangesPending() const { return preview_.manualChangesPending(); }
    bool manualChangesSavable() const { return preview_.manualChangesSavable(); }
    const QStringList &tokensetIds() const { return ids_; }

    // ---- folders and options
    void setExportFolder(const QString &folder) { preview_.setExportFolder(folder); }
    void setDefaultSampleText(const QString &text) { defaultSample_ = text; }
    const QString &defaultSampleText() const { return defaultSample_; }
    QString marginImageFolder() const { return imageFolder_; }
    // The writer's options. The setters rebuild the current language's XML (nothing is recorded);
    // setWriterOptions() only takes them, for start-up.
    void setWriterOptions(bool hideDefaultAttributes, bool easyRead)
    {
        preview_.setWriterOptions(hideDefaultAttributes, easyRead);
    }
    void setHideDefaultAttributes(bool on);
    void setEasyRead(bool on);
    void setOutputModes(OutputModes modes) { preview_.setOutputModes(modes); }
    // Typing in one box within this time of the last keystroke joins the same undo step.
    void setTypingPause(int milliseconds) { typingPauseMs_ = milliseconds; }
    // With an event loop (the window): a typed step rebuilds the preview once the keys already waiting
    // have been handled, so keys that arrive while one is rebuilt share one rebuild and nothing waits
    // for the preview of a text that is out of date. Any other operation rebuilds first.
    void setCoalescedTyping(bool on) { preview_.setCoalescedTyping(on); }
    // Runs the rebuild that typing left waiting, if any.
    void rebuildWaiting() { preview_.rebuildWaiting(); }

    // ---- registry and database file (none of these is recorded; loading clears the undo steps)
    // Empties the registry and registers "xml.lng" for the XML panes; false (reported) when unusable.
    bool registerXmlLanguage() { return preview_.registerXmlLanguage(); }
    // Loads the member lists of a folder into the registry; the problems are reported.
    void loadMemberLists(const QString &folder) { preview_.loadMemberLists(folder); }
    void setMarginImageFolderQuietly(const QString &folder) { imageFolder_ = folder; }
    FileResult load();
    // Saves varlex.dat (see DatabaseDocument::save); a failure is reported. Saved marks the history
    // clean.
    using SaveResult = DatabaseDocument::SaveResult;
    SaveResult save(const FileStamp *agreed = nullptr);
    // varlex.dat as it is now, to agree to overwrite it.
    FileStamp databaseOnDisk() const { return document_.onDisk(); }
    // Writes the languages as a database file at path, leaving varlex.dat and the unsaved state as
    // they are; false after a report.
    bool saveCopy(const QString &path);
    FileResult backup();
    FileResult reload();
    FileResult restore();

    // ---- selection (not recorded)
    // Makes language index current and shows it. While the XML pane holds manual changes, asks first;
    // Cancel keeps the selection on the language the pane shows. False when nothing changed.
    bool selectLanguage(int index);
    void selectTokenset(int slot);

    // ---- operations (each one undo step)
    // Stores a field of the current language or tokenset. A typed change joins the step of the
    // previous keystroke in the same box until a pause or endTyping().
    void setField(Field field, const QVariant &value, bool typed = false);
    void endTyping();
    void setIncluded(int slot, bool included);
    void setAllIncluded(bool included);
    bool renameLanguage(const QString &name);
    bool renameTokenset(const QString &name);
    // Returns false with nothing changed for the last language.
    bool deleteLanguage();
    bool deleteTokenset();
    // The slot of the new tokenset; -1 when all slots are used, -2 when the name was refused.
    int newTokenset(const QString &name);
    bool moveTokenset(int step); // -1 up, +1 down
    void duplicateLanguage(const QString &name);
    void sortLanguages();
    // A new language from the template; its index, with the template's report and id list.
    struct NewLanguage {
        int index = -1;
        QString message;
    };
    NewLanguage newLanguage(const QString &name);
    // Imports a language file as a new language: the failure text, or the tokens that had to change.
    struct Imported {
        QString problem;
        QStringList changes;
    };
    // A grammar of another editor (told by content) is converted first; the conversion report goes to
    // the status pane.
    Imported importLanguage(const QString &path, bool autoInclude);
    void rewriteTokens(TokenTool tool);
    void removeAttributesCurrentLanguage();
    void removeAttributesAllLanguages();
    void setMemberListFolder(const QString &folder);
    void setMarginImageFolder(const QString &folder);

    // ---- manual XML and preview
    // The user typed in the XML pane: one undo step (keystrokes join as in a box). The pane holds manual
    // changes while its text differs from the XML shown last (generated or applied).
    void editManualXml(const QString &text);
    // Applies the XML pane's text as the preview (one undo step; the records do not change).
    void applyManualXml(const QString &text);
    // Writes the XML pane's text to language_def/NAME.lng, NAME being the pane's language; false after
    // a report.
    bool saveManualXml(const QString &text) { return preview_.saveManualXml(text); }
    // Rebuilds the current language and shows it. The writer's cache keeps every tokenset whose
    // inputs did not change, so this is as cheap after a keystroke as a rebuild of one tokenset.
    void regenerate() { preview_.regenerate(); }

    // ---- export (not recorded)
    WriteResult exportCurrent() { return preview_.exportCurrent(); }
    // The current language as a KDE syntax definition into the export folder, with these file patterns.
    KdeExport::Outcome exportKde(const QString &extensions) { return preview_.exportKde(extensions); }
    // Every language in order, each rebuilt whole; `next` is told each index first and may stop.
    LanguageExport::Report exportAll(const std::function<bool(int index)> &next = {})
    {
        return preview_.exportAll(next);
    }

Q_SIGNALS:
    // The language list changed (names, order or number).
    void languagesChanged();
    // The current language is to be shown afresh: its fields, its tokenset list, the current tokenset.
    void languageShown();
    // The tokenset list of the current language changed (names, marks, order or number).
    void tokensetsChanged();
    // Another tokenset of the same language became current.
    void tokensetShown();
    // One field changed: of the current language (slot -1), or of a tokenset slot of it.
    void fieldChanged(int slot, RecordFields::FieldId field);
    // An undo or redo put a text field back: the change ends at `position` of the text as stored,
    // where its control puts the caret (after the language was shown afresh).
    void fieldReplayed(int slot, RecordFields::FieldId field, int position);
    // An undo or redo put the XML pane's typing back: the change ends at `position` of the pane's text.
    void manualXmlReplayed(int position);
    void marginImageFolderChanged(const QString &folder);
    void tokensetIdsChanged();
    // (What the panes show, the writer's report and the member lists come from preview().)

    void dirtyChanged(bool dirty);
    // A trace entry of the session or a layer below it (see TraceLabels).
    void traceEntry(const QString &statusLabel, const QString &debugLabel);

private:
    friend class EditCommand;
    friend class FieldCommand;
    friend class ManualXmlCommand;

    // What the panels show again after a step has been applied the first time.
    enum class Refresh { None, Field, Tokenset, Tokensets, Language, Languages };

    // What a recorded step touches: the records (or only the preview), the language list, what the
    // panels show again after its first doing, and whether the generated definition changes.
    struct StepEffect {
        bool changesDatabase = true;
        bool languageList = false;
        Refresh refresh = Refresh::None;
        bool regenerates = true;
    };

    Imported importConverted(const QString &path, const QByteArray &bytes, bool autoInclude);
    bool refuses(const QString &problem, const QString &title);
    // The XML pane's text of a step of its own typing; replay: after an undo or redo (shown afresh).
    void putManualXml(Selection at, const QString &text, bool replay);
    // Before a step that rebuilds the XML while the pane holds manual changes: asks whether they may be
    // lost. Cancel leaves everything as it was.
    bool mayLoseManualChanges();
    // Records a step; one that rebuilds the XML over manual changes records their loss with it, so that
    // undoing the step shows them again.
    void record(QUndoCommand *command, bool rebuilds);
    // The typing run a keystroke in a box (a field, or kXmlPane) joins.
    int typingRun(int box);
    static constexpr int kXmlPane = -1;

    Selection selection() const { return {db_.currentLanguage, db_.currentTokenset}; }
    void setSelection(Selection selection);
    // Records one field of the current language (slot -1) or of a tokenset slot of it.
    void pushField(Field field, int slot, const QVariant &value, const QString &text, bool typed);
    // Records a change of the current language's record (before and after whole).
    void pushLanguage(const QString &text, const Language &after, Selection afterSelection, StepEffect effect);
    // Records a change of the language list.
    void pushLanguages(const QString &text, const QVector<Language> &after, Selection afterSelection);
    // After a step's first application: what the operation changed. After an undo or a redo: the
    // step's language shown afresh and rebuilt whole.
    void applied(Refresh refresh, bool regenerates, Selection selection, int slot, Field field, bool typed = false);
    void replayed(Selection selection, bool languages, bool rebuild);
    void updateDirty();
    void reset();

    SessionPrompts &prompts_;
    DatabaseDocument document_;
    Database &db_ = document_.records();
    PreviewPipeline preview_;
    std::unique_ptr<QUndoStack> undo_;
    Trace::Sink previousSink_;

    QString imageFolder_;
    QString defaultSample_;
    QStringList ids_;
    bool dirty_ = false;

    // The run of keystrokes that joins one undo step.
    bool typing_ = false;
    int typingRun_ = 0;
    int typingBox_ = 0;
    Selection typingAt_;
    QElapsedTimer typingClock_;
    int typingPauseMs_ = 1500;
};
