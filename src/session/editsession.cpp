#include "session/editsession.h"

#include "editorcontrol/languageobject.h"
#include "editorcontrol/memberlistfolder.h"
#include "import/languageconversion.h"
#include "import/languageimport.h"
#include "model/boundedread.h"
#include "model/ansicodec.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "model/recordfields.h"
#include "model/recordops.h"
#include "model/trace.h"
#include "session/editcommand.h"
#include "session/fieldcommand.h"
#include "session/manualxmlcommand.h"
#include "session/sessionprompts.h"
#include "session/tracelabels.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/tokenlisttools.h"
#include "xmlgen/xmlwriter.h"

#include <QDir>
#include <QFile>
#include <QTimer>
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
    , writer_(std::make_unique<XmlWriter>(db_, static_cast<WriterHost &>(*this)))
    , undo_(std::make_unique<QUndoStack>())
    , previewObject_(std::make_shared<LanguageObject>())
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
    hide_ = on;
    regenerate();
}

void EditSession::setEasyRead(bool on)
{
    easyRead_ = on;
    regenerate();
}

QString EditSession::programFolder() const
{
    return ProgramFolder::path();
}

bool EditSession::confirm(const QString &text, const QString &title)
{
    return prompts_.confirm(text, title);
}

void EditSession::setRedFlag(qint32 colour)
{
    validity_ = writer_->validityMessage();
    Q_EMIT validityChanged(validity_, colour);
}

void EditSession::disableApplyAndSave()
{
    manualApplied_ = false;
    setManualState(false, false);
}

// ---- registry and database file

bool EditSession::registerXmlLanguage()
{
    G_.clearLanguages();
    previewRegistered_ = false;
    auto language = std::make_shared<LanguageObject>();
    if (language->load(ProgramFolder::file(QStringLiteral("xml.lng")))) {
        G_.registerLanguage(language);
        xmlCompiled_ = CompiledLanguage::compile(*language->definition());
        return true;
    }
    xmlCompiled_.reset();
    prompts_.report(QStringLiteral("The XML code cannot be coloured: %1\r\nIt is shown as plain text.")
                        .arg(language->error().toString()),
                    QStringLiteral("XML Language"));
    return false;
}

void EditSession::loadMemberLists(const QString &folder)
{
    TraceLabels::enter(TraceLabels::Point::LoadMemberLists);
    memberFolder_ = folder;
    const MemberListFolder::Result result = MemberListFolder::LoadMemberLists(G_, folder);
    Q_EMIT memberListsChanged();
    if (!result.problems.isEmpty())
        prompts_.report(QStringLiteral("These member lists could not be loaded and are left out:\r\n")
                            + result.problems.join(QStringLiteral("\r\n")),
                        QStringLiteral("Load Member Lists"));
}

// After the database was read again: no steps to undo, nothing unsaved, the cache forgotten.
void EditSession::reset()
{
    undo_->clear();
    typing_ = false;
    writer_->clearCache();
    manualApplied_ = false;
    setManualState(false, false);
    setSelection({0, -1});
    updateDirty();
    Q_EMIT languagesChanged();
}

FileResult EditSession::load()
{
    const FileResult result = document_.load();
    reset();
    if (!result.ok())
        prompts_.report(result.message, QStringLiteral("Load Database"));
    return result;
}

EditSession::SaveResult EditSession::save(const FileStamp *agreed)
{
    QString problem;
    const SaveResult saved = document_.save(agreed, problem);
    if (saved == SaveResult::Failed) {
        prompts_.report(problem, QStringLiteral("Save Database"));
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
        prompts_.report(problem, QStringLiteral("Save Database"));
    return problem.isEmpty();
}

FileResult EditSession::backup()
{
    const FileResult result = document_.backup();
    if (!result.ok())
        prompts_.report(result.message, QStringLiteral("Backup Database"));
    return result;
}

FileResult EditSession::reload()
{
    G_.clearLanguages();
    previewRegistered_ = false;
    const FileResult result = document_.reload();
    if (result.status != FileResult::Failed) {
        reset();
        selectLanguage(0);
    }
    if (!result.ok())
        prompts_.report(result.message, QStringLiteral("Reload Database"));
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
        prompts_.report(result.message, QStringLiteral("Restore Database"));
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
    if (manualPending_) {
        if (!prompts_.confirm(QStringLiteral("Manual changes will be lost. Continue?"), QStringLiteral("Write XML"))) {
            // The selection stays with the language whose XML the pane holds.
            if (paneLanguage_ >= 0 && paneLanguage_ < db_.languages.size()
                && db_.languages[paneLanguage_].name == paneName_ && paneLanguage_ != db_.currentLanguage) {
                setSelection(firstTokensetOf(db_.languages, paneLanguage_));
                Q_EMIT languageShown();
            }
            return false;
        }
        setManualState(false, manualSavable_);
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
    return !manualPending_
        || prompts_.confirm(QStringLiteral("Manual changes will be lost. Continue?"), QStringLiteral("Write XML"));
}

void EditSession::record(QUndoCommand *command, bool rebuilds)
{
    if (!dynamic_cast<FieldCommand *>(command) || command->id() < 0)
        rebuildWaiting();
    if (!rebuilds || !manualPending_) {
        undo_->push(command);
        return;
    }
    const QString manual = paneXml_;
    const Selection at = selection();
    undo_->beginMacro(command->text());
    undo_->push(new EditCommand(*this, command->text(), {[this, at, manual] { putManualXml(at, manual, true); }, at},
                                {[this] { setManualState(false, false); }, at},
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
        writer_->clearCache();
        Q_EMIT languagesChanged();
        Q_EMIT languageShown();
        break;
    case Refresh::Language: Q_EMIT languageShown(); break;
    }
    if (!regenerates)
        return;
    if (!typed || !coalesce_) {
        regenerate();
        return;
    }
    rebuildWaiting_ = true;
    if (!rebuildPosted_) {
        rebuildPosted_ = true;
        QTimer::singleShot(0, this, [this] {
            rebuildPosted_ = false;
            rebuildWaiting();
        });
    }
}

void EditSession::rebuildWaiting()
{
    if (rebuildWaiting_)
        regenerate();
}

void EditSession::replayed(Selection selection, bool languages, bool rebuild)
{
    typing_ = false;
    setSelection(selection);
    if (languages) {
        writer_->clearCache();
        Q_EMIT languagesChanged();
    }
    Q_EMIT languageShown();
    if (rebuild) {
        // The step's state is shown as it was recorded: manual changes it lost come back with the
        // step that recorded their loss.
        manualApplied_ = false;
        setManualState(false, false);
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
    const QString text = (typed ? QStringLiteral("Edit ") : QStringLiteral("Change ")) + caption;
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
              included ? QStringLiteral("Include Tokenset") : QStringLiteral("Exclude Tokenset"), false);
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
    pushLanguage(included ? QStringLiteral("Select All Tokensets") : QStringLiteral("Unselect All Tokensets"), after,
                 at, {.refresh = Refresh::Tokensets});
}

bool EditSession::renameLanguage(const QString &name)
{
    if (!hasLanguage() || name.trimmed().isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), QStringLiteral("Change Language Name")))
        return false;
    Language after = language();
    after.name = name;
    pushLanguage(QStringLiteral("Rename Language"), after, selection(),
                 {.languageList = true, .refresh = Refresh::Languages});
    return true;
}

bool EditSession::renameTokenset(const QString &name)
{
    if (!hasTokenset() || name.trimmed().isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("tokenset name")), QStringLiteral("Change Tokenset Name")))
        return false;
    pushField(Field::Name, db_.currentTokenset, name, QStringLiteral("Rename Tokenset"), false);
    return true;
}

bool EditSession::deleteLanguage()
{
    if (db_.languages.size() <= 1 || !hasLanguage())
        return false;
    Database after = db_;
    const int next = RecordOps::deleteLanguage(after, db_.currentLanguage);
    pushLanguages(QStringLiteral("Delete Language"), after.languages, firstTokensetOf(after.languages, next));
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
    pushLanguage(QStringLiteral("Delete Tokenset"), after, {db_.currentLanguage, next}, {.refresh = Refresh::Tokensets});
    return true;
}

int EditSession::newTokenset(const QString &name)
{
    if (!hasLanguage() || name.isEmpty())
        return -1;
    if (refuses(RecordFields::nameProblem(name, QStringLiteral("tokenset name")), QStringLiteral("New Tokenset")))
        return -2;
    Language after = language();
    const int slot = RecordOps::newTokenset(after, name);
    if (slot >= 0)
        pushLanguage(QStringLiteral("New Tokenset"), after, {db_.currentLanguage, slot},
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
    pushLanguage(step < 0 ? QStringLiteral("Move Tokenset Up") : QStringLiteral("Move Tokenset Down"), after,
                 {db_.currentLanguage, moved}, {.refresh = Refresh::Tokensets});
    return true;
}

void EditSession::duplicateLanguage(const QString &name)
{
    if (!hasLanguage() || name.isEmpty()
        || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), QStringLiteral("New Language")))
        return;
    Database after = db_;
    const int index = RecordOps::duplicateLanguage(after, db_.currentLanguage, name);
    pushLanguages(QStringLiteral("Duplicate Language"), after.languages, firstTokensetOf(after.languages, index));
}

void EditSession::sortLanguages()
{
    Database after = db_;
    RecordOps::sortLanguages(after);
    if (after.languages == db_.languages) {
        selectLanguage(0);
        return;
    }
    pushLanguages(QStringLiteral("Sort Languages"), after.languages, firstTokensetOf(after.languages, 0));
}

EditSession::NewLanguage EditSession::newLanguage(const QString &name)
{
    NewLanguage made;
    if (name.isEmpty() || refuses(RecordFields::nameProblem(name, QStringLiteral("language name")), QStringLiteral("New Language")))
        return made;
    Database after = db_;
    const LanguageTemplate::Result result =
        LanguageTemplate::LoadSampleData_SingleLanguage(after, name, ProgramFolder::path(), defaultSample_);
    if (result.idsRead) {
        ids_ = result.ids;
        Q_EMIT tokensetIdsChanged();
    }
    pushLanguages(QStringLiteral("New Language"), after.languages, firstTokensetOf(after.languages, result.index));
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
        return {QStringLiteral("\"%1\" cannot be imported: %2").arg(QDir::toNativeSeparators(path), problem), {}};
    pushLanguages(QStringLiteral("Import Language"), after.languages, firstTokensetOf(after.languages, result.index));
    return {QString(), result.changes};
}

EditSession::Imported EditSession::importConverted(const QString &path, const QByteArray &bytes, bool autoInclude)
{
    const QString shown = QDir::toNativeSeparators(path);
    LanguageConversion::Outcome outcome = LanguageConversion::convert(bytes, shown, ConversionOptions(), defaultSample_);
    if (outcome.status != LanguageConversion::Status::Converted)
        return {QStringLiteral("\"%1\" cannot be imported: %2").arg(shown, outcome.problem), {}};
    if (!autoInclude) {
        for (int k = 0; k < outcome.language.tokensetCount(); ++k)
            outcome.language.tokensets[k].included = 0;
    }
    QVector<Language> languages = db_.languages;
    languages.append(outcome.language);
    pushLanguages(QStringLiteral("Import Language"), languages, firstTokensetOf(languages, languages.size() - 1));
    // The conversion report goes to the status pane, below what the new language's XML brought.
    QStringList report = outcome.report.text();
    report += outcome.report.summary(outcome.language.name, outcome.language.tokensetCount());
    Q_EMIT statusTextAppended(report.join(QStringLiteral("\r\n")));
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
        caption = QStringLiteral("Lower Case Tokens");
        break;
    case TokenTool::TitleCase:
        ts.tokens = titleCase(ts.tokens);
        caption = QStringLiteral("Title Case Tokens");
        break;
    case TokenTool::RemoveAttributes:
        ts.tokens = removeAttributes(ts.tokens);
        ts.tokens2 = removeAttributes(ts.tokens2);
        caption = QStringLiteral("Remove Token Attributes");
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
    pushLanguage(QStringLiteral("Remove Token Attributes"), after, selection(), {.refresh = Refresh::Tokenset});
}

void EditSession::removeAttributesAllLanguages()
{
    QVector<Language> after = db_.languages;
    for (Language &l : after)
        TokenListTools::removeAttributes(l);
    if (after != db_.languages)
        pushLanguages(QStringLiteral("Remove Token Attributes (All Languages)"), after, selection());
}

void EditSession::setMemberListFolder(const QString &folder)
{
    if (!mayLoseManualChanges())
        return;
    const QString before = memberFolder_;
    typing_ = false;
    record(new EditCommand(*this, QStringLiteral("Select Memberlist Folder"),
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
    undo_->push(new EditCommand(*this, QStringLiteral("Select Image Folder"),
                                {[apply, before] { apply(before); }, selection()},
                                {[apply, folder] { apply(folder); }, selection()},
                                {.changesDatabase = false, .regenerates = false}));
}

// ---- manual XML and preview

void EditSession::setManualState(bool pending, bool savable)
{
    if (pending == manualPending_ && savable == manualSavable_)
        return;
    manualPending_ = pending;
    manualSavable_ = savable;
    Q_EMIT manualStateChanged();
}

void EditSession::showPaneXml(const QString &text)
{
    paneXml_ = text;
    Q_EMIT previewXml(text);
}

void EditSession::editManualXml(const QString &text)
{
    rebuildWaiting(); // the pane shows the records' XML before it is typed into
    if (text == paneXml_)
        return;
    const int run = typingRun(kXmlPane);
    undo_->push(new ManualXmlCommand(*this, selection(), paneXml_, text, run));
}

void EditSession::putManualXml(Selection at, const QString &text, bool replay)
{
    if (replay) {
        typing_ = false;
        // Typing in another language's XML was lost when that language was left: it is shown again.
        if (at.language != paneLanguage_ || at.language != db_.currentLanguage)
            replayed(at, false, true);
        showPaneXml(text);
    }
    paneXml_ = text;
    const bool pending = text != shownXml_;
    setManualState(pending, pending || manualApplied_);
}

void EditSession::applyManualXml(const QString &text)
{
    const QString before = shownXml_;
    const Selection at = selection();
    typing_ = false;
    // Taken back, the generated XML is the working file again and the pane holds the typed text.
    undo_->push(new EditCommand(*this, QStringLiteral("Apply Manual Changes"),
                                {[this, at, before, text] {
                                     showXml(before, false);
                                     putManualXml(at, text, true);
                                 },
                                 at},
                                {[this, text] { showXml(text, true); }, at},
                                {.changesDatabase = false, .regenerates = false}));
}

// Makes a text the working file and the preview, as Apply does: the XML pane shows the file as read
// back. A text that does not load leaves the sample uncoloured; a manual one is reported.
void EditSession::showXml(const QString &text, bool manual)
{
    const QString path = ProgramFolder::file(XmlWriter::kWorkingFile);
    const QString name = hasLanguage() ? language().name : QString();
    // Apply writes the pane's text as one line; taking it back writes the earlier file as it was.
    const QByteArray written = manual ? XmlWriter::fileBytes(text) : AnsiCodec::encode(text);
    QString problem = OutputFile::write(path, written, OutputFile::Sync::Replaceable);
    QByteArray bytes;
    if (problem.isEmpty()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            bytes = file.readAll();
        shownXml_ = AnsiCodec::decode(bytes);
        manualApplied_ = manual;
        setManualState(false, manual);
        showPaneXml(shownXml_);
        if (loadPreview(bytes, path)) {
            Q_EMIT previewLanguage(previewCompiled_, hasLanguage() ? language().sampletext : QString());
            return;
        }
    }
    Q_EMIT previewLanguage(nullptr, hasLanguage() ? language().sampletext : QString());
    if (manual)
        prompts_.report(QStringLiteral("Error reading manually changed language: ") + name, QStringLiteral("Error"));
}

bool EditSession::saveManualXml(const QString &text)
{
    const QString folder = ProgramFolder::file(QStringLiteral("language_def"));
    QString problem;
    const QString path = OutputFile::languageFile(folder, paneName_, &problem);
    if (!problem.isEmpty())
        problem = QStringLiteral("Cannot save the language \"%1\": %2.").arg(paneName_, problem);
    else
        problem = OutputFile::ensureFolder(folder);
    if (problem.isEmpty())
        problem = OutputFile::write(path, XmlWriter::fileBytes(text));
    if (!problem.isEmpty()) {
        prompts_.report(problem, QStringLiteral("Save Language File"));
        return false;
    }
    manualApplied_ = false;
    setManualState(manualPending_, false);
    return true;
}

void EditSession::regenerate()
{
    rebuildWaiting_ = false; // a waiting rebuild is part of this one
    if (!hasLanguage())
        return;
    // Mode 0: the writer rebuilds the current tokenset and every other whose inputs changed.
    const WriteResult result = writer_->WriteXML(db_.currentLanguage, true, 0);
    if (result.status == WriteResult::Status::Cancelled)
        return;
    if (result.status == WriteResult::Status::Failed) {
        // One report per cause: typing on in a folder that cannot be written says it once.
        if (result.error != lastWriteError_)
            prompts_.report(result.error, QStringLiteral("Write XML"));
        lastWriteError_ = result.error;
        return;
    }
    lastWriteError_.clear();
    viewLanguage();
}

void EditSession::appendTiming(const QString &suffix)
{
    if (modes_.debugWindow)
        Q_EMIT debugTextAppended(QStringLiteral("\r\n")
                                 + XmlWriter::timingLine(writer_->startTick(), XmlWriter::tickCount(), suffix)
                                 + QStringLiteral("\r\n"));
}

bool EditSession::loadPreview(const QByteArray &bytes, const QString &path)
{
    if (previewRegistered_)
        G_.unregisterLanguage(previewObject_.get());
    previewRegistered_ = false;
    if (!previewObject_->loadData(bytes, path))
        return false;
    previewRegistered_ = G_.registerLanguage(previewObject_);
    previewCompiled_ = CompiledLanguage::compile(*previewObject_->definition());
    return true;
}

void EditSession::previewFailed(const QString &description)
{
    // The reader's message and the language's name stand apart, so that neither runs into the other.
    prompts_.report(QStringLiteral("Error reading language file!  Display may contain syntax errors.\r\n\r\n")
                        + description + QStringLiteral("\r\n\r\nLanguage: ") + language().name,
                    QStringLiteral("Error"));
}

// Shows what the writer wrote: the XML pane gets varlex.lng as read back, the sample pane the
// language loaded from it.
void EditSession::viewLanguage()
{
    TraceLabels::enter(TraceLabels::Point::ViewLanguage);
    const QString path = ProgramFolder::file(XmlWriter::kWorkingFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        previewFailed(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
    shownXml_ = AnsiCodec::decode(bytes);
    paneLanguage_ = db_.currentLanguage;
    paneName_ = language().name;
    showPaneXml(shownXml_);
    appendTiming(QStringLiteral(" seconds ViewLanguage - after read varlex.lng"));
    if (!loadPreview(bytes, path)) {
        previewFailed(previewObject_->error().toString());
        return;
    }
    Q_EMIT previewLanguage(previewCompiled_, language().sampletext);
    appendTiming(QStringLiteral(" seconds end of ViewLanguage"));
}

// ---- export

WriteResult EditSession::exportCurrent()
{
    rebuildWaiting();
    return hasLanguage() ? LanguageExport::exportCurrent(*writer_) : WriteResult{};
}

KdeExport::Outcome EditSession::exportKde(const QString &extensions)
{
    if (!hasLanguage())
        return {};
    if (const QString problem = OutputFile::ensureFolder(exportFolder()); !problem.isEmpty())
        return {QString(), problem, {}};
    return KdeExport::exportLanguage(*writer_, db().currentLanguage, exportFolder(), extensions);
}

LanguageExport::Report EditSession::exportAll(const std::function<bool(int index)> &next)
{
    return LanguageExport::exportAll(*writer_, next);
}
