#include "session/editsession.h"

#include "editorcontrol/languageobject.h"
#include "import/languageconversion.h"
#include "import/languageimport.h"
#include "model/boundedread.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "model/recordfields.h"
#include "model/recordops.h"
#include "model/trace.h"
#include "session/editcommand.h"
#include "session/fieldcommand.h"
#include "session/manualxmlcommand.h"
#include "session/sessionprompts.h"
#include "xmlgen/tokenlisttools.h"

#include <QDir>
#include <QUndoStack>

namespace {

// Far more than any grammar of another editor; bounds what a wrong file can make the window read.
constexpr qint64 kMaxConvertedBytes = qint64(64) << 20;

EditSession::Selection firstTokensetOf(const QVector<Language> &languages, int index)
{
    const bool any = index >= 0 && index < languages.size() && languages[index].tokensetCount() > 0;
    return {index, any ? 0 : -1};
}

} // namespace

EditSession::EditSession(SessionPrompts &prompts, QObject *parent)
    : QObject(parent)
    , prompts_(prompts)
    , preview_(db_, prompts)
    , undo_(std::make_unique<QUndoStack>())
    , ids_(RecordFields::Lists::defaultIds())
{
    connect(undo_.get(), &QUndoStack::indexChanged, this, &EditSession::updateDirty);
    connect(undo_.get(), &QUndoStack::cleanChanged, this, &EditSession::updateDirty);
    previousSink_ = Trace::setSink(
        [this](const QString &status, const QString &debug) { Q_EMIT traceEntry(status, debug); });
    typingClock_.start();
}

EditSession::~EditSession()
{
    Trace::setSink(std::move(previousSink_));
    undo_->disconnect(this);
}

bool EditSession::hasLanguage() const
{
    return db_.currentLanguage >= 0 && db_.currentLanguage < db_.languages.size();
}

bool EditSession::hasTokenset() const
{
    return hasLanguage() && db_.currentTokenset >= 0 && db_.currentTokenset < language().tokensetCount();
}

QVariant EditSession::value(Field field) const
{
    if ((RecordFields::field(field).owner == RecordFields::Owner::Language) ? !hasLanguage() : !hasTokenset())
        return QVariant();
    return RecordFields::value(language(), db_.currentTokenset, field);
}

void EditSession::setHideDefaultAttributes(bool on)
{
    preview_.setWriterOptions(on, preview_.writesEasyRead());
    regenerate();
}

void EditSession::setEasyRead(bool on)
{
    preview_.setWriterOptions(preview_.hidesDefaultAttributes(), on);
    regenerate();
}

// ---- database file

// After the database was read again: no steps to undo, nothing unsaved, the cache forgotten.
void EditSession::reset()
{
    undo_->clear();
    typing_ = false;
    preview_.clearCache();
    preview_.dropManualChanges();
    setSelection({0, -1});
    updateDirty();
    Q_EMIT languagesChanged();
}

FileResult EditSession::load()
{
    const FileResult result = document_.load();
    reset();
    if (!result.ok())
        prompts_.report(result.message, tr("Load Database"));
    return result;
}

EditSession::SaveResult EditSession::save(const FileStamp *agreed)
{
    QString problem;
    const SaveResult saved = document_.save(agreed, problem);
    if (saved == SaveResult::Failed) {
        prompts_.report(problem, tr("Save Database"));
        updateDirty();
    } else if (saved == SaveResult::Saved) {
        typing_ = false;
        undo_->setClean();
        updateDirty();
    }
    return saved;
}

bool EditSession::saveCopy(const QString &path)
{
    const QString problem = document_.saveCopy(path);
    if (!problem.isEmpty())
        prompts_.report(problem, tr("Save Database"));
    return problem.isEmpty();
}

FileResult EditSession::backup()
{
    const FileResult result = document_.backup();
    if (!result.ok())
        prompts_.report(result.message, tr("Backup Database"));
    return result;
}

FileResult EditSession::reload()
{
    preview_.clearRegistry();
    const FileResult result = document_.reload();
    if (result.status != FileResult::Failed) {
        reset();
        selectLanguage(0);
    }
    if (!result.ok())
        prompts_.report(result.message, tr("Reload Database"));
    return result;
}

FileResult EditSession::restore()
{
    const FileResult result = document_.restore();
    if (result.status != FileResult::Failed) {
        registerXmlLanguage();
        reset();
        selectLanguage(0);
    }
    if (!result.ok())
        prompts_.report(result.message, tr("Restore Database"));
    return result;
}

// ---- selection

void EditSession::setSelection(Selection selection)
{
    if (db_.languages.isEmpty()) {
        db_.currentLanguage = 0;
        db_.currentTokenset = -1;
        return;
    }
    db_.currentLanguage = qBound(0, selection.language, int(db_.languages.size()) - 1);
    const int count = language().tokensetCount();
    db_.currentTokenset = count == 0 ? -1 : qBound(0, selection.tokenset, count - 1);
}

bool EditSession::selectLanguage(int index)
{
    rebuildWaiting();
    if (index < 0 || index >= db_.languages.size())
        return false;
    if (preview_.manualChangesPending()) {
        if (!prompts_.confirm(tr("Manual changes will be lost. Continue?"), tr("Write XML"))) {
            // The selection stays with the language whose XML the pane holds.
            const int pane = preview_.paneLanguage();
            if (pane >= 0 && pane < db_.languages.size() && db_.languages[pane].name == preview_.paneLanguageName()
                && pane != db_.currentLanguage) {
                setSelection(firstTokensetOf(db_.languages, pane));
                Q_EMIT languageShown();
            }
            return false;
        }
        preview_.setManualState(false, preview_.manualChangesSavable());
    }
    typing_ = false;
    setSelection(firstTokensetOf(db_.languages, index));
    Q_EMIT languageShown();
    regenerate();
    return true;
}

void EditSession::selectTokenset(int slot)
{
    rebuildWaiting();
    if (!hasLanguage() || slot < 0 || slot >= language().tokensetCount())
        return;
    typing_ = false;
    db_.currentTokenset = slot;
    Q_EMIT tokensetShown();
}

// ---- recording

void EditSession::pushField(Field field, int slot, const QVariant &value, const QString &text, bool typed)
{
    const Language &lang = language();
    const QVariant before = RecordFields::value(lang, slot < 0 ? 0 : slot, field);
    if (before == value)
        return;
    const bool regenerates = RecordFields::field(field).inDefinition;
    if (regenerates && !mayLoseManualChanges()) {
        typing_ = false;
        Q_EMIT fieldChanged(slot, field); // the control shows the stored value again
        return;
    }
    int run = 0;
    if (typed)
        run = typingRun(int(field));
    else
        typing_ = false;
    record(new FieldCommand(*this, text, field, slot, selection(), before, value, run), regenerates);
}

int EditSession::typingRun(int box)
{
    const Selection at = selection();
    const bool joins = typing_ && typingBox_ == box && typingAt_.language == at.language
        && typingAt_.tokenset == at.tokenset && typingClock_.elapsed() <= typingPauseMs_;
    if (!joins)
        ++typingRun_;
    typing_ = true;
    typingBox_ = box;
    typingAt_ = at;
    typingClock_.restart();
    return typingRun_;
}

bool EditSession::mayLoseManualChanges()
{
    return !preview_.manualChangesPending()
        || prompts_.confirm(tr("Manual changes will be lost. Continue?"), tr("Write XML"));
}

void EditSession::record(QUndoCommand *command, bool rebuilds)
{
    if (!dynamic_cast<FieldCommand *>(command) || command->id() < 0)
        rebuildWaiting();
    if (!rebuilds || !preview_.manualChangesPending()) {
        undo_->push(command);
        return;
    }
    const QString manual = preview_.paneXml();
    const Selection at = selection();
    undo_->beginMacro(command->text());
    undo_->push(new EditCommand(*this, command->text(), {[this, at, manual] { putManualXml(at, manual, true); }, at},
                                {[this] { preview_.setManualState(false, false); }, at},
                                {.changesDatabase = false, .regenerates = false}));
    undo_->push(command);
    undo_->endMacro();
}

void EditSession::pushLanguage(const QString &text, const Language &after, Selection afterSelection,
                               StepEffect effect)
{
    const int i = db_.currentLanguage;
    const Language before = db_.languages[i];
    if (before == after || (effect.regenerates && !mayLoseManualChanges()))
        return;
    typing_ = false;
    record(new EditCommand(*this, text, {[this, i, before] { db_.languages[i] = before; }, selection()},
                           {[this, i, after] { db_.languages[i] = after; }, afterSelection}, effect),
           effect.regenerates);
}

void EditSession::pushLanguages(const QString &text, const QVector<Language> &after, Selection afterSelection)
{
    if (!mayLoseManualChanges())
        return;
    const QVector<Language> before = db_.languages;
    typing_ = false;
    record(new EditCommand(*this, text, {[this, before] { db_.languages = before; }, selection()},
                           {[this, after] { db_.languages = after; }, afterSelection},
                           {.languageList = true, .refresh = Refresh::Languages}),
           true);
}

void EditSession::applied(Refresh refresh, bool regenerates, Selection selection, int slot, Field field, bool typed)
{
    setSelection(selection);
    switch (refresh) {
    case Refresh::None: break;
    case Refresh::Field: Q_EMIT fieldChanged(slot, field); break;
    case Refresh::Tokenset: Q_EMIT tokensetShown(); break;
    case Refresh::Tokensets: Q_EMIT tokensetsChanged(); break;
    case Refresh::Languages:
        preview_.clearCache();
        Q_EMIT languagesChanged();
        Q_EMIT languageShown();
        break;
    case Refresh::Language: Q_EMIT languageShown(); break;
    }
    if (regenerates)
        preview_.rebuildAfter(typed);
}

void EditSession::replayed(Selection selection, bool languages, bool rebuild)
{
    typing_ = false;
    setSelection(selection);
    if (languages) {
        preview_.clearCache();
        Q_EMIT languagesChanged();
    }
    Q_EMIT languageShown();
    if (rebuild) {
        // The step's state is shown as it was recorded: manual changes it lost come back with the
        // step that recorded their loss.
        preview_.dropManualChanges();
        regenerate();
    }
}

namespace {

bool changesDatabase(const QUndoCommand *command)
{
    if (const auto *edit = dynamic_cast<const EditCommand *>(command))
        return edit->changesDatabase();
    if (dynamic_cast<const ManualXmlCommand *>(command))
        return false;
    if (command->childCount() == 0)
        return true; // a field
    for (int i = 0; i < command->childCount(); ++i)
        if (changesDatabase(command->child(i)))
            return true;
    return false;
}

} // namespace

// Unsaved work: a step that changes the database lies between the saved state and this one.
void EditSession::updateDirty()
{
    const int clean = undo_->cleanIndex();
    const int index = undo_->index();
    bool dirty = clean < 0;
    for (int i = qMin(clean, index); !dirty && clean >= 0 && i < qMax(clean, index); ++i) {
        dirty = changesDatabase(undo_->command(i));
    }
    db_.dirty = dirty;
    if (dirty != dirty_) {
        dirty_ = dirty;
        Q_EMIT dirtyChanged(dirty);
    }
}

// ---- operations

// A value the field cannot hold is refused where it enters (by the same rules as the command line),
// with a report titled after the command.
bool EditSession::refuses(const QString &problem, const QString &title)
{
    if (!problem.isEmpty())
        prompts_.report(problem, title);
    return !problem.isEmpty();
}

void EditSession::setField(Field field, const QVariant &value, bool typed)
{
    const RecordFields::Field &f = RecordFields::field(field);
    if (f.owner == RecordFields::Owner::Language ? !hasLanguage() : !hasTokenset())
        return;
    const int slot = f.owner == RecordFields::Owner::Language ? -1 : db_.currentTokenset;
    const QString caption = QString::fromLatin1(f.caption);
    if (value.typeId() == QMetaType::QString
        && refuses(RecordFields::textProblem(f, value.toString(), caption), caption)) {
        typing_ = false;
        Q_EMIT fieldChanged(slot, field); // the control shows the stored text again
        return;
    }
    const QString text = (typed ? tr("Edit %1") : tr("Change %1")).arg(caption);
    pushField(field, slot, value, text, typed);
}

void EditSession::endTyping()
{
    typing_ = false;
}

void EditSession::setIncluded(int slot, bool included)
{
    if (!hasLanguage() || slot < 0 || slot >= language().tokensetCount())
        return;
    pushField(Field::Included, slot, included ? 1 : 0,
              included ? tr("Include Tokenset") : tr("Exclude Tokenset"), false);
}

void EditSession::setAllIncluded(bool included)
{
    if (!hasLanguage() || language().tokensetCount() == 0)
        return;
    Language after = language();
    RecordOps::setAllIncluded(after, included);
    Selection at = selection();
    if (included && at.tokenset < 0)
        at.tokenset = 0;
    pushLanguage(included ? tr("Select All Tokensets") : tr("Unselect All Tokensets"), after,
                 at, {.refresh = Refresh::Tokensets});
}

bool EditSession::renameLanguage(const QString &name)
{
    if (!hasLanguage() || name.trimmed().isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), tr("Change Language Name")))
        return false;
    Language after = language();
    after.name = name;
    pushLanguage(tr("Rename Language"), after, selection(),
                 {.languageList = true, .refresh = Refresh::Languages});
    return true;
}

bool EditSession::renameTokenset(const QString &name)
{
    if (!hasTokenset() || name.trimmed().isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("tokenset name")), tr("Change Tokenset Name")))
        return false;
    pushField(Field::Name, db_.currentTokenset, name, tr("Rename Tokenset"), false);
    return true;
}

bool EditSession::deleteLanguage()
{
    if (db_.languages.size() <= 1 || !hasLanguage())
        return false;
    Database after = db_;
    const int next = RecordOps::deleteLanguage(after, db_.currentLanguage);
    pushLanguages(tr("Delete Language"), after.languages, firstTokensetOf(after.languages, next));
    return true;
}

bool EditSession::deleteTokenset()
{
    if (!hasTokenset())
        return false;
    Language after = language();
    const int next = RecordOps::deleteTokenset(after, db_.currentTokenset);
    if (next < 0)
        return false;
    pushLanguage(tr("Delete Tokenset"), after, {db_.currentLanguage, next}, {.refresh = Refresh::Tokensets});
    return true;
}

int EditSession::newTokenset(const QString &name)
{
    if (!hasLanguage() || name.isEmpty())
        return -1;
    if (refuses(RecordFields::nameProblem(name, QStringLiteral("tokenset name")), tr("New Tokenset")))
        return -2;
    Language after = language();
    const int slot = RecordOps::newTokenset(after, name);
    if (slot >= 0)
        pushLanguage(tr("New Tokenset"), after, {db_.currentLanguage, slot},
                     {.refresh = Refresh::Tokensets, .regenerates = false}); // not included yet
    return slot;
}

bool EditSession::moveTokenset(int step)
{
    if (!hasTokenset())
        return false;
    Language after = language();
    const int moved = step < 0 ? RecordOps::moveTokensetUp(after, db_.currentTokenset)
                               : RecordOps::moveTokensetDown(after, db_.currentTokenset);
    if (moved < 0)
        return false;
    pushLanguage(step < 0 ? tr("Move Tokenset Up") : tr("Move Tokenset Down"), after,
                 {db_.currentLanguage, moved}, {.refresh = Refresh::Tokensets});
    return true;
}

void EditSession::duplicateLanguage(const QString &name)
{
    if (!hasLanguage() || name.isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), tr("New Language")))
        return;
    Database after = db_;
    const int index = RecordOps::duplicateLanguage(after, db_.currentLanguage, name);
    pushLanguages(tr("Duplicate Language"), after.languages, firstTokensetOf(after.languages, index));
}

void EditSession::sortLanguages()
{
    Database after = db_;
    RecordOps::sortLanguages(after);
    if (after.languages == db_.languages) {
        selectLanguage(0);
        return;
    }
    pushLanguages(tr("Sort Languages"), after.languages, firstTokensetOf(after.languages, 0));
}

EditSession::NewLanguage EditSession::newLanguage(const QString &name)
{
    NewLanguage made;
    if (name.isEmpty() || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), tr("New Language")))
        return made;
    Database after = db_;
    const LanguageTemplate::Result result =
        LanguageTemplate::LoadSampleData_SingleLanguage(after, name, ProgramFolder::path(), defaultSample_);
    if (result.idsRead) {
        ids_ = result.ids;
        Q_EMIT tokensetIdsChanged();
    }
    pushLanguages(tr("New Language"), after.languages, firstTokensetOf(after.languages, result.index));
    made.index = result.index;
    made.message = result.message;
    return made;
}

EditSession::Imported EditSession::importLanguage(const QString &path, bool autoInclude)
{
    // A grammar of another editor is converted; anything else is read as a language definition, which
    // reports its own failures.
    QByteArray bytes;
    QString cause;
    if (BoundedRead::file(path, kMaxConvertedBytes, bytes, cause) && LanguageConversion::converterFor(bytes))
        return importConverted(path, bytes, autoInclude);
    Database after = db_;
    LanguageObject object;
    const LanguageImport::Result result = LanguageImport::importFile(after, object, path, autoInclude, defaultSample_);
    if (!result.ok)
        return {result.messageText(), {}};
    // A language that would not fit a record of varlex.dat is refused now, not at every later save.
    if (const QString problem = RecordFields::sizeProblem(after.languages[result.index]); !problem.isEmpty())
        return {tr("\"%1\" cannot be imported: %2").arg(QDir::toNativeSeparators(path), problem), {}};
    pushLanguages(tr("Import Language"), after.languages, firstTokensetOf(after.languages, result.index));
    return {QString(), result.changes};
}

EditSession::Imported EditSession::importConverted(const QString &path, const QByteArray &bytes, bool autoInclude)
{
    const QString shown = QDir::toNativeSeparators(path);
    LanguageConversion::Outcome outcome = LanguageConversion::convert(bytes, shown, ConversionOptions(), defaultSample_);
    if (outcome.status != LanguageConversion::Status::Converted)
        return {tr("\"%1\" cannot be imported: %2").arg(shown, outcome.problem), {}};
    if (!autoInclude) {
        for (int k = 0; k < outcome.language.tokensetCount(); ++k)
            outcome.language.tokensets[k].included = 0;
    }
    QVector<Language> languages = db_.languages;
    languages.append(outcome.language);
    pushLanguages(tr("Import Language"), languages, firstTokensetOf(languages, languages.size() - 1));
    // The conversion report goes to the status pane, below what the new language's XML brought.
    QStringList report = outcome.report.text();
    report += outcome.report.summary(outcome.language.name, outcome.language.tokensetCount());
    preview_.appendStatusText(report.join(QStringLiteral("\r\n")));
    return {};
}

void EditSession::rewriteTokens(TokenTool tool)
{
    if (!hasTokenset())
        return;
    using namespace TokenListTools;
    Language after = language();
    Tokenset &ts = after.tokensets[size_t(db_.currentTokenset)];
    QString caption;
    const auto sort = [&](Order order, Case letterCase, const char *text) {
        ts.tokens = sortLines(ts.tokens, order, letterCase);
        ts.tokens2 = sortLines(ts.tokens2, order, letterCase);
        caption = QString::fromLatin1(text);
    };
    switch (tool) {
    case TokenTool::Sort: sort(Order::Ascending, Case::Insensitive, "Sort Tokens"); break;
    case TokenTool::SortCase: sort(Order::Ascending, Case::Sensitive, "Sort Tokens"); break;
    case TokenTool::ReverseSort: sort(Order::Descending, Case::Insensitive, "Reverse Sort Tokens"); break;
    case TokenTool::ReverseSortCase: sort(Order::Descending, Case::Sensitive, "Reverse Sort Tokens"); break;
    case TokenTool::LowerCase:
        ts.tokens = lowerCase(ts.tokens);
        caption = tr("Lower Case Tokens");
        break;
    case TokenTool::TitleCase:
        ts.tokens = titleCase(ts.tokens);
        caption = tr("Title Case Tokens");
        break;
    case TokenTool::RemoveAttributes:
        ts.tokens = removeAttributes(ts.tokens);
        ts.tokens2 = removeAttributes(ts.tokens2);
        caption = tr("Remove Token Attributes");
        break;
    }
    pushLanguage(caption, after, selection(), {.refresh = Refresh::Tokenset});
}

void EditSession::removeAttributesCurrentLanguage()
{
    if (!hasLanguage())
        return;
    Language after = language();
    TokenListTools::removeAttributes(after);
    pushLanguage(tr("Remove Token Attributes"), after, selection(), {.refresh = Refresh::Tokenset});
}

void EditSession::removeAttributesAllLanguages()
{
    QVector<Language> after = db_.languages;
    for (Language &l : after)
        TokenListTools::removeAttributes(l);
    if (after != db_.languages)
        pushLanguages(tr("Remove Token Attributes (All Languages)"), after, selection());
}

void EditSession::setMemberListFolder(const QString &folder)
{
    if (!mayLoseManualChanges())
        return;
    const QString before = preview_.memberListFolder();
    typing_ = false;
    record(new EditCommand(*this, tr("Select Memberlist Folder"),
                           {[this, before] { loadMemberLists(before); }, selection()},
                           {[this, folder] { loadMemberLists(folder); }, selection()},
                           {.changesDatabase = false, .refresh = Refresh::Language}),
           true);
}

void EditSession::setMarginImageFolder(const QString &folder)
{
    const QString before = imageFolder_;
    const auto apply = [this](const QString &to) {
        imageFolder_ = to;
        Q_EMIT marginImageFolderChanged(to);
    };
    typing_ = false;
    undo_->push(new EditCommand(*this, tr("Select Image Folder"),
                                {[apply, before] { apply(before); }, selection()},
                                {[apply, folder] { apply(folder); }, selection()},
                                {.changesDatabase = false, .regenerates = false}));
}

// ---- manual XML and preview

void EditSession::editManualXml(const QString &text)
{
    rebuildWaiting(); // the pane shows the records' XML before it is typed into
    if (text == preview_.paneXml())
        return;
    const int run = typingRun(kXmlPane);
    undo_->push(new ManualXmlCommand(*this, selection(), preview_.paneXml(), text, run));
}

void EditSession::putManualXml(Selection at, const QString &text, bool replay)
{
    if (replay) {
        typing_ = false;
        // Typing in another language's XML was lost when that language was left: it is shown again.
        if (at.language != preview_.paneLanguage() || at.language != db_.currentLanguage)
            replayed(at, false, true);
        preview_.showPaneXml(text);
    }
    preview_.takePaneXml(text);
}

void EditSession::applyManualXml(const QString &text)
{
    const QString before = preview_.shownXml();
    const Selection at = selection();
    typing_ = false;
    // Taken back, the generated XML is the working file again and the pane holds the typed text.
    undo_->push(new EditCommand(*this, tr("Apply Manual Changes"),
                                {[this, at, before, text] {
                                     preview_.showXml(before, false);
                                     putManualXml(at, text, true);
                                 },
                                 at},
                                {[this, text] { preview_.showXml(text, true); }, at},
                                {.changesDatabase = false, .regenerates = false}));
}
