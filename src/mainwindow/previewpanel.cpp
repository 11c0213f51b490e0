#include "mainwindow/previewpanel.h"
#include "ui_frmmain.h"
#include "mainwindow/typingkeys.h"
#include "session/editsession.h"
#include "session/tracelabels.h"
#include "widgets/editorpane.h"
#include "widgets/findbar.h"
#include "widgets/panelexer.h"
#include "widgets/tabkeys.h"
#include "xmlgen/tokensetseek.h"

#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

using Point = TraceLabels::Point;

PreviewPanel::PreviewPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , txtXML_(context.ui.txtXML)
    , txtSample_(context.ui.txtSample)
    , cmdApply_(context.ui.cmdApply)
    , cmdSave_(context.ui.cmdSave)
{
    connect(cmdApply_, &QPushButton::clicked, this, &PreviewPanel::cmdApply_Click);
    connect(cmdSave_, &QPushButton::clicked, this, &PreviewPanel::cmdSave_Click);
    connect(txtXML_, &EditorPane::changed, this, &PreviewPanel::txtXML_Change);
    connect(txtSample_, &EditorPane::changed, this, &PreviewPanel::txtSample_Change);
    connect(context.ui.imgMargin, &QToolButton::clicked, this, &PreviewPanel::imgMargin_Click);
    connect(context.ui.mnuSeek, &QAction::triggered, this, &PreviewPanel::GoToTokenset);
    txtSample_->setFollowsPalette(false); // the language's own colours, as the user designs them
    // Any definition and any text: a slow one colours in the background, never holding up typing.
    txtSample_->paneLexer()->setBackground(true);
    txtSample_->setMemberLookup(EditorPane::registryLookup(&session_.preview().registry()));
    new FindBar(txtXML_);
    new FindBar(txtSample_);
    // Both panes' typing is part of the window's one history: Ctrl+Z there is Edit > Undo.
    TypingKeys::install(txtSample_, session_);
    TypingKeys::install(txtXML_, session_);
    for (EditorPane *pane : {txtXML_, txtSample_})
        TabKeys::leaveWithCtrlTab(pane); // Tab walks past a pane until it is typed or clicked in
    connect(&session_, &EditSession::manualXmlReplayed, this,
            [this](int position) { txtXML_->selectCharacters(txtXML_->text(), position, 0); });

    connect(&session_.preview(), &PreviewPipeline::previewXml, this, &PreviewPanel::showXml);
    connect(&session_.preview(), &PreviewPipeline::previewLanguage, this, &PreviewPanel::showSample);
    connect(&session_, &EditSession::languageShown, this, &PreviewPanel::showSampleText);
    connect(&session_, &EditSession::fieldChanged, this, &PreviewPanel::fieldChanged);
    connect(&session_, &EditSession::fieldReplayed, this, [this](int slot, RecordFields::FieldId field, int position) {
        if (slot < 0 && field == RecordFields::FieldId::SampleText) // where an undo or redo changed the text
            txtSample_->selectCharacters(txtSample_->text(), position, 0);
    });
    connect(&session_.preview(), &PreviewPipeline::manualStateChanged, this, &PreviewPanel::showManualState);
    connect(&session_, &EditSession::marginImageFolderChanged, this, &PreviewPanel::LoadImages);
    showManualState();
}

// The program's own text is no manual change.
void PreviewPanel::showXml(const QString &xml)
{
    const bool report = txtXML_->reportChanges();
    txtXML_->setReportChanges(false);
    txtXML_->setText(xml);
    txtXML_->setReportChanges(report);
}

void PreviewPanel::showSample(CompiledLanguagePtr language, const QString &text)
{
    filling_ = true;
    txtSample_->setLanguage(std::move(language));
    txtSample_->setText(text);
    filling_ = false;
}

void PreviewPanel::showSampleText()
{
    if (!session_.hasLanguage())
        return;
    filling_ = true;
    txtSample_->setText(session_.language().sampletext);
    filling_ = false;
}

void PreviewPanel::fieldChanged(int slot, RecordFields::FieldId field)
{
    if (slot < 0 && field == RecordFields::FieldId::SampleText)
        showSampleText();
}

void PreviewPanel::showManualState()
{
    cmdApply_->setEnabled(session_.manualChangesPending());
    cmdSave_->setEnabled(session_.manualChangesSavable());
}

void PreviewPanel::cmdApply_Click()
{
    session_.applyManualXml(txtXML_->text());
}

void PreviewPanel::cmdSave_Click()
{
    session_.saveManualXml(txtXML_->text());
}

void PreviewPanel::txtXML_Change()
{
    TraceLabels::enter(Point::txtXML_Change);
    session_.editManualXml(txtXML_->text());
}

void PreviewPanel::txtSample_Change()
{
    TraceLabels::enter(Point::txtSample_Change);
    if (!filling_)
        session_.setField(RecordFields::FieldId::SampleText, txtSample_->text(), true);
}

// Shows and selects the next start of the current tokenset's element in the XML pane, going round
// at the end as a find does; the name is matched whole, as the writer escapes it, in every form.
void PreviewPanel::GoToTokenset()
{
    TraceLabels::enter(Point::GoToTokenset);
    if (!session_.hasTokenset())
        return;
    const QString xml = txtXML_->text();
    const QString &name = session_.tokenset().name;
    TokensetSeek::Match match = TokensetSeek::find(xml, name, txtXML_->caretCharacter(xml));
    if (!match.found())
        match = TokensetSeek::find(xml, name, 0);
    if (match.found())
        txtXML_->selectCharacters(xml, match.start, match.length);
}

void PreviewPanel::LoadImages()
{
    imageKeys_.clear();
    QList<QPixmap> images;
    const QString folder = session_.marginImageFolder();
    const QDir dir(folder);
    if (!folder.isEmpty() && dir.exists()) {
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
            QString problem;
            const QString key = QStringLiteral("mar:") + name.left(name.size() - 4).toLower();
            QPixmap picture;
            if (name.size() <= 4)
                problem = tr("5 The file name %1 is too short to name an image.").arg(name);
            else if (!picture.load(dir.filePath(name)))
                problem = tr("481 %1 is not a picture.").arg(QDir::toNativeSeparators(dir.filePath(name)));
            else if (imageKeys_.contains(key))
                problem = tr("35602 The image key %1 of %2 is used by another file.").arg(key, name);
            else if (images.size() >= EditorPane::kMaxMarginImages)
                problem = tr("6 Only %1 margin images can be shown; %2 and later files are left out.")
                              .arg(EditorPane::kMaxMarginImages)
                              .arg(name);
            if (!problem.isEmpty()) {
                context_.inform(problem, tr("Load Icons"), Dialogs::Icon::None);
                break;
            }
            images.append(picture);
            imageKeys_.append(key);
        }
    }
    txtSample_->setMarginImages(images);
}

void PreviewPanel::imgMargin_Click()
{
    ++marginClicks_;
    const int line = txtSample_->selectionLine();
    txtSample_->setMarginImageBits(line, txtSample_->marginImageBits(line) ^ 2);
    Q_EMIT hint(QString::number(marginClicks_));
}
