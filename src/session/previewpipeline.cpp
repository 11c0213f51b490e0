#include "session/previewpipeline.h"

#include "editorcontrol/languageobject.h"
#include "editorcontrol/memberlistfolder.h"
#include "model/ansicodec.h"
#include "model/database.h"
#include "model/programfolder.h"
#include "session/sessionprompts.h"
#include "session/tracelabels.h"
#include "xmlgen/outputfile.h"
#include "xmlgen/xmlwriter.h"

#include <QFile>
#include <QTimer>

PreviewPipeline::PreviewPipeline(const Database &database, SessionPrompts &prompts, QObject *parent)
    : QObject(parent)
    , db_(database)
    , prompts_(prompts)
    , writer_(std::make_unique<XmlWriter>(database, static_cast<WriterHost &>(*this)))
    , previewObject_(std::make_shared<LanguageObject>())
{
}

PreviewPipeline::~PreviewPipeline() = default;

bool PreviewPipeline::hasLanguage() const
{
    return db_.currentLanguage >= 0 && db_.currentLanguage < db_.languages.size();
}

QString PreviewPipeline::programFolder() const
{
    return ProgramFolder::path();
}

bool PreviewPipeline::confirm(const QString &text, const QString &title)
{
    return prompts_.confirm(text, title);
}

void PreviewPipeline::setRedFlag(qint32 colour)
{
    validity_ = writer_->validityMessage();
    Q_EMIT validityChanged(validity_, colour);
}

void PreviewPipeline::setWriterOptions(bool hideDefaultAttributes, bool easyRead)
{
    hide_ = hideDefaultAttributes;
    easyRead_ = easyRead;
}

// ---- registry

bool PreviewPipeline::registerXmlLanguage()
{
    clearRegistry();
    auto language = std::make_shared<LanguageObject>();
    if (language->load(ProgramFolder::file(QStringLiteral("xml.lng")))) {
        registry_.registerLanguage(language);
        xmlCompiled_ = CompiledLanguage::compile(*language->definition());
        return true;
    }
    xmlCompiled_.reset();
    prompts_.report(tr("The XML code cannot be coloured: %1\r\nIt is shown as plain text.")
                        .arg(language->error().toString()),
                    tr("XML Language"));
    return false;
}

void PreviewPipeline::clearRegistry()
{
    registry_.clearLanguages();
    previewRegistered_ = false;
}

void PreviewPipeline::loadMemberLists(const QString &folder)
{
    TraceLabels::enter(TraceLabels::Point::LoadMemberLists);
    memberFolder_ = folder;
    const MemberListFolder::Result result = MemberListFolder::LoadMemberLists(registry_, folder);
    Q_EMIT memberListsChanged();
    if (!result.problems.isEmpty())
        prompts_.report(tr("These member lists could not be loaded and are left out:\r\n")
                            + result.problems.join(QStringLiteral("\r\n")),
                        tr("Load Member Lists"));
}

// ---- rebuilding

void PreviewPipeline::regenerate()
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
            prompts_.report(result.error, tr("Write XML"));
        lastWriteError_ = result.error;
        return;
    }
    lastWriteError_.clear();
    viewLanguage();
}

void PreviewPipeline::rebuildAfter(bool typed)
{
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

void PreviewPipeline::rebuildWaiting()
{
    if (rebuildWaiting_)
        regenerate();
}

void PreviewPipeline::clearCache()
{
    writer_->clearCache();
}

void PreviewPipeline::appendTiming(const QString &suffix)
{
    if (modes_.debugWindow)
        Q_EMIT debugTextAppended(QStringLiteral("\r\n")
                                 + XmlWriter::timingLine(writer_->startTick(), XmlWriter::tickCount(), suffix)
                                 + QStringLiteral("\r\n"));
}

bool PreviewPipeline::loadPreview(const QByteArray &bytes, const QString &path)
{
    if (previewRegistered_)
        registry_.unregisterLanguage(previewObject_.get());
    previewRegistered_ = false;
    if (!previewObject_->loadData(bytes, path))
        return false;
    previewRegistered_ = registry_.registerLanguage(previewObject_);
    previewCompiled_ = CompiledLanguage::compile(*previewObject_->definition());
    return true;
}

void PreviewPipeline::previewFailed(const QString &description)
{
    // The reader's message and the language's name stand apart, so that neither runs into the other.
    prompts_.report(tr("Error reading language file!  Display may contain syntax errors.\r\n\r\n")
                        + description + tr("\r\n\r\nLanguage: ") + db_.current().name,
                    tr("Error"));
}

// Shows what the writer wrote: the XML pane gets varlex.lng as read back, the sample pane the
// language loaded from it.
void PreviewPipeline::viewLanguage()
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
    paneName_ = db_.current().name;
    showPaneXml(shownXml_);
    appendTiming(QStringLiteral(" seconds ViewLanguage - after read varlex.lng"));
    if (!loadPreview(bytes, path)) {
        previewFailed(previewObject_->error().toString());
        return;
    }
    Q_EMIT previewLanguage(previewCompiled_, db_.current().sampletext);
    appendTiming(QStringLiteral(" seconds end of ViewLanguage"));
}

// ---- the XML pane

void PreviewPipeline::setManualState(bool pending, bool savable)
{
    if (pending == manualPending_ && savable == manualSavable_)
        return;
    manualPending_ = pending;
    manualSavable_ = savable;
    Q_EMIT manualStateChanged();
}

void PreviewPipeline::dropManualChanges()
{
    manualApplied_ = false;
    setManualState(false, false);
}

void PreviewPipeline::showPaneXml(const QString &text)
{
    paneXml_ = text;
    Q_EMIT previewXml(text);
}

void PreviewPipeline::takePaneXml(const QString &text)
{
    paneXml_ = text;
    const bool pending = text != shownXml_;
    setManualState(pending, pending || manualApplied_);
}

void PreviewPipeline::showXml(const QString &text, bool manual)
{
    const QString path = ProgramFolder::file(XmlWriter::kWorkingFile);
    const QString name = hasLanguage() ? db_.current().name : QString();
    const QString sample = hasLanguage() ? db_.current().sampletext : QString();
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
            Q_EMIT previewLanguage(previewCompiled_, sample);
            return;
        }
    }
    Q_EMIT previewLanguage(nullptr, sample);
    if (manual)
        prompts_.report(tr("Error reading manually changed language: ") + name, tr("Error"));
}

bool PreviewPipeline::saveManualXml(const QString &text)
{
    const QString folder = ProgramFolder::file(QStringLiteral("language_def"));
    QString problem;
    const QString path = OutputFile::languageFile(folder, paneName_, &problem);
    if (!problem.isEmpty())
        problem = tr("Cannot save the language \"%1\": %2.").arg(paneName_, problem);
    else
        problem = OutputFile::ensureFolder(folder);
    if (problem.isEmpty())
        problem = OutputFile::write(path, XmlWriter::fileBytes(text));
    if (!problem.isEmpty()) {
        prompts_.report(problem, tr("Save Language File"));
        return false;
    }
    manualApplied_ = false;
    setManualState(manualPending_, false);
    return true;
}

// ---- export

WriteResult PreviewPipeline::exportCurrent()
{
    rebuildWaiting();
    return hasLanguage() ? LanguageExport::exportCurrent(*writer_) : WriteResult{};
}

KdeExport::Outcome PreviewPipeline::exportKde(const QString &extensions)
{
    if (!hasLanguage())
        return {};
    if (const QString problem = OutputFile::ensureFolder(exportFolder_); !problem.isEmpty())
        return {QString(), problem, {}};
    return KdeExport::exportLanguage(*writer_, db_.currentLanguage, exportFolder_, extensions);
}

LanguageExport::Report PreviewPipeline::exportAll(const std::function<bool(int index)> &next)
{
    return LanguageExport::exportAll(*writer_, next);
}
