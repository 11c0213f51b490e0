#include "mainwindow/languagepropertiespanel.h"
#include "ui_frmmain.h"
#include "mainwindow/typingkeys.h"
#include "session/editsession.h"
#include "session/tracelabels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

using Field = RecordFields::FieldId;

LanguagePropertiesPanel::LanguagePropertiesPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , chkDefaultCase_(context.ui.chkDefaultCase)
    , chkOverride_(context.ui.chkOverride)
    , chkWhite_(context.ui.chkWhite)
    , txtWordChars_(context.ui.txtWordChars)
    , cmbLMemberList_(context.ui.cmbLMemberList)
{
    const std::pair<QCheckBox *, Field> flags[] = {
        {chkDefaultCase_, Field::CaseSensitive}, {chkOverride_, Field::ApplyCase}, {chkWhite_, Field::WhiteSpace}};
    for (const auto &[box, field] : flags)
        connect(box, &QCheckBox::clicked, this, [this, box, field] {
            if (!filling_)
                session_.setField(field, box->isChecked() ? 1 : 0);
        });
    connect(txtWordChars_, &QLineEdit::textChanged, this, &LanguagePropertiesPanel::txtWordChars_Change);
    connect(cmbLMemberList_, &QComboBox::currentIndexChanged, this, &LanguagePropertiesPanel::cmbLMemberList_Click);
    TypingKeys::install(txtWordChars_, session_);
    connect(&session_, &EditSession::languageShown, this, &LanguagePropertiesPanel::DisplayLanguage);
    connect(&session_, &EditSession::fieldChanged, this, &LanguagePropertiesPanel::fieldChanged);
    connect(&session_, &EditSession::fieldReplayed, this, [this](int slot, Field field, int position) {
        if (slot < 0 && field == Field::WordChars)
            txtWordChars_->setCursorPosition(position); // where an undo or redo changed the text
    });
    connect(&session_.preview(), &PreviewPipeline::memberListsChanged, this, &LanguagePropertiesPanel::fillMemberLists);
}

int LanguagePropertiesPanel::GetLMemberListIndex(const QString &text) const
{
    return qMax(0, cmbLMemberList_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void LanguagePropertiesPanel::fillMemberLists()
{
    const QSignalBlocker blocker(cmbLMemberList_);
    cmbLMemberList_->clear();
    cmbLMemberList_->addItem(QStringLiteral("<none>"));
    cmbLMemberList_->addItems(session_.preview().memberListNames());
    cmbLMemberList_->setCurrentIndex(0);
}

void LanguagePropertiesPanel::DisplayLanguage()
{
    TraceLabels::enter(TraceLabels::Point::DisplayLanguage);
    showFields(false);
}

// keepCaret: the word characters are shown again after a refused change, with the caret kept.
void LanguagePropertiesPanel::showFields(bool keepCaret)
{
    if (!session_.hasLanguage())
        return;
    filling_ = true;
    const Language &language = session_.language();
    chkDefaultCase_->setChecked(language.casesensitive != 0);
    chkOverride_->setChecked(language.applycase != 0);
    chkWhite_->setChecked(language.whitespaceasparamblock != 0);
    if (txtWordChars_->text() != language.wordchars) {
        const int caret = txtWordChars_->cursorPosition();
        txtWordChars_->setText(language.wordchars);
        if (keepCaret)
            txtWordChars_->setCursorPosition(caret);
    }
    cmbLMemberList_->setCurrentIndex(GetLMemberListIndex(language.memberlist));
    filling_ = false;
}

// A field changed by a step of the session: show it unless the control already does.
void LanguagePropertiesPanel::fieldChanged(int slot, RecordFields::FieldId field)
{
    if (slot < 0 && field != Field::SampleText)
        showFields(true);
}

void LanguagePropertiesPanel::txtWordChars_Change()
{
    TraceLabels::enter(TraceLabels::Point::txtWordChars_Change);
    if (!filling_)
        session_.setField(Field::WordChars, txtWordChars_->text(), true);
}

void LanguagePropertiesPanel::cmbLMemberList_Click(int index)
{
    TraceLabels::enter(TraceLabels::Point::cmbLMemberList_Click);
    if (!filling_ && index >= 0)
        session_.setField(Field::MemberList, cmbLMemberList_->itemText(index));
}
