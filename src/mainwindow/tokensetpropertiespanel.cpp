#include "mainwindow/tokensetpropertiespanel.h"
#include "ui_frmmain.h"
#include "mainwindow/typingkeys.h"
#include "session/editsession.h"
#include "session/tracelabels.h"
#include "widgets/clicklabel.h"
#include "widgets/colorlabel.h"
#include "widgets/tabkeys.h"
#include "xmlgen/tokenlisttools.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>

using Field = RecordFields::FieldId;
using Point = TraceLabels::Point;

namespace {

// Token boxes show one token per line; the records join the lines with CR LF.
QString toBox(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString fromBox(const QPlainTextEdit *box)
{
    return box->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

int exactIndex(const QComboBox *box, const QString &text)
{
    return box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void selectExact(QComboBox *box, const QString &text)
{
    if (const int i = exactIndex(box, text); i >= 0)
        box->setCurrentIndex(i);
}

// A text shown again after a refused change (keepCaret) keeps the caret where it was, as far as the
// text allows; a tokenset shown afresh starts with the caret where setting the text puts it.
void setText(QLineEdit *box, const QString &text, bool keepCaret)
{
    if (box->text() == text)
        return;
    const int caret = box->cursorPosition();
    box->setText(text);
    if (keepCaret)
        box->setCursorPosition(caret);
}

void setBox(QPlainTextEdit *box, const QString &text, bool keepCaret)
{
    if (fromBox(box) == text)
        return;
    const int caret = box->textCursor().position();
    box->setPlainText(toBox(text));
    if (!keepCaret)
        return;
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(qMin(caret, box->document()->characterCount() - 1));
    box->setTextCursor(cursor);
}

// The caret at a place of the text as stored (lines joined with CR LF), the view scrolled to it.
void placeCaret(QPlainTextEdit *box, const QString &stored, int position)
{
    QTextCursor cursor = box->textCursor();
    const int inBox = position - int(QStringView(stored).left(position).count(QLatin1String("\r\n")));
    cursor.setPosition(qBound(0, inBox, box->document()->characterCount() - 1));
    box->setTextCursor(cursor);
    box->ensureCursorVisible();
}

const char *const kTemplates[6] = {" :::: :::: True ::::", " :::: :::: True :::: word", " :::: :::: False :::: word",
                                   " :::: ListMembers", " :::: CommitMember", " :::: ParameterInfo"};

// The check boxes bound to a flag of the tokenset.
struct FlagBox {
    QCheckBox *Ui::frmMain::*box;
    Field field;
};
constexpr FlagBox kFlags[] = {
    {&Ui::frmMain::chkCase, Field::TokensetCase},   {&Ui::frmMain::chkNormalize, Field::NormalizeCase},
    {&Ui::frmMain::chkMatch, Field::MatchBraces},   {&Ui::frmMain::chkAutoIndent, Field::AutoIndent},
    {&Ui::frmMain::chkEnable, Field::Enabled},      {&Ui::frmMain::chkHidden, Field::Hidden},
    {&Ui::frmMain::chkSingle, Field::SingleLineScope}, {&Ui::frmMain::chkChain, Field::Chain},
    {&Ui::frmMain::chkSymmetrical, Field::Symmetrical}, {&Ui::frmMain::chkRegExp, Field::RegExp},
};

} // namespace

TokensetPropertiesPanel::TokensetPropertiesPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , cmbID_(context.ui.cmbID)
    , chkScope_(context.ui.chkScope)
    , cmbFontStyle_(context.ui.cmbFontStyle)
    , lblForeColor_(context.ui.lblForeColor)
    , lblBackColor_(context.ui.lblBackColor)
    , cmbInherit_(context.ui.cmbInherit)
    , cmbTMemberList_(context.ui.cmbTMemberList)
    , cmbRule_(context.ui.cmbRule)
    , txtLead_(context.ui.txtLead)
    , txtTrail_(context.ui.txtTrail)
    , txtTokens_(context.ui.txtTokens)
    , txtTokens2_(context.ui.txtTokens2)
    , lblTokens_(context.ui.lblTokens)
    , lbltokens2_(context.ui.lbltokens2)
    , swatches_{context.ui.lblcolor_0, context.ui.lblcolor_1, context.ui.lblcolor_2, context.ui.lblcolor_3,
                context.ui.lblcolor_4, context.ui.lblcolor_5, context.ui.lblcolor_6, context.ui.lblcolor_7,
                context.ui.lblcolor_8, context.ui.lblcolor_9}
    , cmbValidScopes_{context.ui.cmbValidScopes_0, context.ui.cmbValidScopes_1, context.ui.cmbValidScopes_2,
                      context.ui.cmbValidScopes_3, context.ui.cmbValidScopes_4, context.ui.cmbValidScopes_5,
                      context.ui.cmbValidScopes_6, context.ui.cmbValidScopes_7, context.ui.cmbValidScopes_8,
                      context.ui.cmbValidScopes_9}
{
    for (const FlagBox &flag : kFlags)
        flags_.push_back(context.ui.*flag.box);
    cmbID_->addItems(session_.tokensetIds());
    wireFields();
    wireTools();
    // Another language or tokenset, or other tokensets: the choice lists name them, then the fields.
    const auto showAll = [this] {
        LoadValidScopeLists();
        LoadValidInheritList();
        DisplayTokensetProperties();
    };
    connect(&session_, &EditSession::languageShown, this, showAll);
    connect(&session_, &EditSession::tokensetsChanged, this, showAll);
    connect(&session_, &EditSession::tokensetShown, this, showAll);
    connect(&session_, &EditSession::fieldChanged, this, &TokensetPropertiesPanel::fieldChanged);
    connect(&session_, &EditSession::fieldReplayed, this, &TokensetPropertiesPanel::fieldReplayed);
    connect(&session_.preview(), &PreviewPipeline::memberListsChanged, this, [this] {
        const QSignalBlocker blocker(cmbTMemberList_);
        cmbTMemberList_->clear();
        cmbTMemberList_->addItem(QStringLiteral("<none>"));
        cmbTMemberList_->addItems(session_.preview().memberListNames());
        cmbTMemberList_->setCurrentIndex(0);
    });
    connect(&session_, &EditSession::tokensetIdsChanged, this, [this] {
        const QSignalBlocker blocker(cmbID_);
        cmbID_->clear();
        cmbID_->addItems(session_.tokensetIds());
    });
}

void TokensetPropertiesPanel::wireFields()
{
    for (size_t i = 0; i < flags_.size(); ++i) {
        QCheckBox *box = flags_[i];
        const Field field = kFlags[i].field;
        connect(box, &QCheckBox::clicked, this, [this, box, field] {
            if (!filling_)
                session_.setField(field, box->isChecked() ? 1 : 0);
        });
    }
    connect(chkScope_, &QCheckBox::clicked, this, &TokensetPropertiesPanel::chkScope_Click);

    // Drop-down lists store the text of the chosen entry.
    const auto bindCombo = [this](QComboBox *box, Point point, Field field) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, box, point, field](int index) {
            TraceLabels::enter(point);
            if (!filling_ && index >= 0)
                session_.setField(field, box->itemText(index));
        });
    };
    bindCombo(cmbID_, Point::cmbID_Click, Field::Id);
    bindCombo(cmbFontStyle_, Point::cmbFontStyle_Click, Field::FontStyle);
    bindCombo(cmbInherit_, Point::cmbInherit_Click, Field::InheritFrom);
    bindCombo(cmbTMemberList_, Point::cmbTMemberList_Click, Field::TMemberList);
    bindCombo(cmbRule_, Point::cmbRule_Click, Field::Rule);
    for (int i = 0; i < 10; ++i)
        bindCombo(cmbValidScopes_[size_t(i)], Point::cmbValidScopes_Click, RecordFields::validScope(i));

    // Text boxes store their whole text after every change; keystrokes join one undo step.
    const auto bindLine = [this](QLineEdit *box, Point point, Field field) {
        connect(box, &QLineEdit::textChanged, this, [this, box, point, field] {
            TraceLabels::enter(point);
            if (!filling_)
                session_.setField(field, box->text(), true);
        });
        TypingKeys::install(box, session_);
    };
    bindLine(txtLead_, Point::txtLead_Change, Field::Lead);
    bindLine(txtTrail_, Point::txtTrail_Change, Field::Trail);
    connect(txtTokens_, &QPlainTextEdit::textChanged, this, [this] { tokensChanged(txtTokens_, Field::Tokens); });
    connect(txtTokens2_, &QPlainTextEdit::textChanged, this, [this] { tokensChanged(txtTokens2_, Field::Tokens2); });
    const auto showFormat = [this](bool focused) {
        Q_EMIT hint(focused ? QStringLiteral("token :::: action :::: regexp :::: rule") : QString());
    };
    for (QPlainTextEdit *box : {txtTokens_, txtTokens2_}) {
        box->setUndoRedoEnabled(false); // the window's Edit menu undoes
        TypingKeys::install(box, session_, showFormat);
        TabKeys::leaveWithCtrlTab(box); // Tab types a tab: tokens may hold one
    }

    // Colours.
    ClickLabel::onRelease(lblForeColor_, [this](Qt::MouseButton) { lblForeColor_Click(); });
    ClickLabel::onRelease(lblBackColor_, [this](Qt::MouseButton) { lblBackColor_Click(); });
    const Ui::frmMain &ui = context_.ui;
    QAction *const colourItems[] = {ui.mnucolor_0, ui.mnucolor_1, ui.mnucolor_2, ui.mnucolor_3, ui.mnucolor_4,
                                    ui.mnucolor_5, ui.mnucolor_6, ui.mnucolor_7, ui.mnucolor_8, ui.mnucolor_9};
    for (int i = 0; i < 10; ++i) {
        ClickLabel::onRelease(swatches_[size_t(i)], [this, i](Qt::MouseButton button) { lblcolor_MouseUp(i, button); });
        connect(colourItems[i], &QAction::triggered, this, [this, i] { mnucolor_Click(i); });
    }
    ClickLabel::onRelease(context_.ui.Label7, [this](Qt::MouseButton) { cmbFontStyle_->setCurrentIndex(1); },
                          ClickLabel::Keyboard::MouseOnly); // the list beside it is reachable
}

void TokensetPropertiesPanel::tokensChanged(QPlainTextEdit *box, Field field)
{
    TraceLabels::enter(field == Field::Tokens ? Point::txtTokens_Change : Point::txtTokens2_Change);
    if (!filling_)
        session_.setField(field, fromBox(box), true);
}

void TokensetPropertiesPanel::wireTools()
{
    using Tool = EditSession::TokenTool;
    const Ui::frmMain &ui = context_.ui;
    const std::pair<QAction *, Tool> sorts[] = {{ui.mnuSort, Tool::Sort},
                                                {ui.mnuSortCase, Tool::SortCase},
                                                {ui.mnuReverseSort, Tool::ReverseSort},
                                                {ui.mnuReverseSortCase, Tool::ReverseSortCase},
                                                {ui.mnuLowerCase, Tool::LowerCase},
                                                {ui.mnuTitleCase, Tool::TitleCase}};
    for (const auto &[action, tool] : sorts)
        connect(action, &QAction::triggered, this, [this, tool = tool] { sortTokens(tool); });
    const auto menu = [this](QAction *action, void (TokensetPropertiesPanel::*handler)()) {
        connect(action, &QAction::triggered, this, handler);
    };
    menu(context_.ui.mnuRemoveAttributes, &TokensetPropertiesPanel::mnuRemoveAttributes_Click);
    menu(context_.ui.mnuRemoveOne, &TokensetPropertiesPanel::mnuRemoveOne_Click);
    menu(context_.ui.mnuRemoveAll, &TokensetPropertiesPanel::mnuRemoveAll_Click);
    menu(context_.ui.mnuToggleFont, &TokensetPropertiesPanel::mnuToggleFont_Click);
    QAction *const inserts1[] = {ui.mnuInsert1, ui.mnuInsert2, ui.mnuInsert3, ui.mnuInsert4, ui.mnuInsert5, ui.mnuInsert6};
    QAction *const inserts2[] = {ui.mnuInsert21, ui.mnuInsert22, ui.mnuInsert23,
                                 ui.mnuInsert24, ui.mnuInsert25, ui.mnuInsert26};
    for (int item = 0; item < 6; ++item) {
        connect(inserts1[item], &QAction::triggered, this, [this, item] { insertTemplate(1, item); });
        connect(inserts2[item], &QAction::triggered, this, [this, item] { insertTemplate(2, item); });
    }
    QMenu *popup1 = context_.ui.mnuPopupToken;
    QMenu *popup2 = context_.ui.mnuPopupToken2;
    // Below the label, whether it was clicked or chosen with the keyboard.
    ClickLabel::onRelease(lblTokens_, [this, popup1](Qt::MouseButton) {
        popup1->popup(lblTokens_->mapToGlobal(QPoint(0, lblTokens_->height())));
    });
    ClickLabel::onRelease(lbltokens2_, [this, popup2](Qt::MouseButton) {
        popup2->popup(lbltokens2_->mapToGlobal(QPoint(0, lbltokens2_->height())));
    });
}

// ---- lookups and lists

int TokensetPropertiesPanel::GetIDIndex(const QString &text) const { return exactIndex(cmbID_, text); }
int TokensetPropertiesPanel::GetRuleIndex(const QString &text) const { return qMax(0, exactIndex(cmbRule_, text)); }
int TokensetPropertiesPanel::GetTMemberListIndex(const QString &text) const
{
    return qMax(0, exactIndex(cmbTMemberList_, text));
}

void TokensetPropertiesPanel::LoadValidInheritList()
{
    TraceLabels::enter(Point::LoadValidInheritList);
    const QSignalBlocker blocker(cmbInherit_);
    cmbInherit_->clear();
    cmbInherit_->addItem(QStringLiteral("<none>"));
    cmbInherit_->setCurrentIndex(0);
    if (session_.hasLanguage()) {
        const Language &language = session_.language();
        const int count = language.tokensetCount();
        const int current = session_.currentTokenset();
        const QString own = current >= 0 && current < count ? language.tokensets[size_t(current)].name : QString();
        for (int j = 0; j < count; ++j)
            if (language.tokensets[size_t(j)].name != own)
                cmbInherit_->addItem(language.tokensets[size_t(j)].name);
    }
}

void TokensetPropertiesPanel::LoadValidScopeLists()
{
    TraceLabels::enter(Point::LoadValidScopeLists);
    QStringList entries = {QStringLiteral("<none>"), QStringLiteral("NULL")};
    if (session_.hasLanguage()) {
        const Language &language = session_.language();
        for (int j = 0; j < language.tokensetCount(); ++j)
            if (language.tokensets[size_t(j)].type == QLatin1String("scope"))
                entries.append(language.tokensets[size_t(j)].name);
    }
    for (QComboBox *box : cmbValidScopes_) {
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(entries);
        box->setCurrentIndex(0);
    }
}

// ---- display

void TokensetPropertiesPanel::enableControls(bool on)
{
    for (QComboBox *box : combos())
        box->setEnabled(on);
    for (QCheckBox *box : checkBoxes())
        box->setEnabled(on);
    for (QWidget *w : std::initializer_list<QWidget *>{txtLead_, txtTrail_, txtTokens_, txtTokens2_, lblForeColor_,
                                                       lblBackColor_})
        w->setEnabled(on);
}

std::vector<QComboBox *> TokensetPropertiesPanel::combos() const
{
    std::vector<QComboBox *> boxes{cmbID_, cmbFontStyle_, cmbInherit_, cmbTMemberList_, cmbRule_};
    boxes.insert(boxes.end(), cmbValidScopes_.begin(), cmbValidScopes_.end());
    return boxes;
}

std::vector<QCheckBox *> TokensetPropertiesPanel::checkBoxes() const
{
    std::vector<QCheckBox *> boxes = flags_;
    boxes.push_back(chkScope_);
    return boxes;
}

void TokensetPropertiesPanel::clearTokenset()
{
    enableControls(false);
    for (QComboBox *box : combos())
        box->setCurrentIndex(-1);
    for (QCheckBox *box : checkBoxes())
        box->setChecked(false);
    for (QLineEdit *box : {txtLead_, txtTrail_})
        box->clear();
    txtTokens_->clear();
    txtTokens2_->clear();
    ColorLabel::setBackColor(lblForeColor_, -1);
    ColorLabel::setBackColor(lblBackColor_, -1);
}

void TokensetPropertiesPanel::showTokens2(bool shown)
{
    if (statusPaneShown_)
        return;
    txtTokens2_->setVisible(shown);
    lbltokens2_->setVisible(shown);
}

void TokensetPropertiesPanel::setStatusPaneShown(bool shown)
{
    statusPaneShown_ = shown;
    lblTokens_->setVisible(!shown);
    lbltokens2_->setVisible(!shown && !txtTokens2_->isHidden());
}

void TokensetPropertiesPanel::DisplayTokensetProperties()
{
    TraceLabels::enter(Point::DisplayTokensetProperties);
    showTokenset();
}

void TokensetPropertiesPanel::showTokenset()
{
    filling_ = true;
    if (!session_.hasTokenset()) {
        clearTokenset();
        filling_ = false;
        return;
    }
    enableControls(true);
    const Tokenset &ts = session_.tokenset();
    for (int i = 0; i < 10; ++i)
        selectExact(cmbValidScopes_[size_t(i)], ts.validscope[size_t(i)]);
    selectExact(cmbInherit_, ts.inheritfrom);
    for (const Field field : {Field::ForeColor, Field::FontStyle, Field::Type, Field::BackColor})
        showField(field);
    for (const FlagBox &flag : kFlags)
        if (flag.field != Field::RegExp)
            showField(flag.field);
    for (const Field field : {Field::Tokens, Field::Tokens2, Field::Id, Field::TMemberList, Field::RegExp, Field::Rule,
                              Field::Lead, Field::Trail})
        showField(field);
    filling_ = false;
}

// Shows one field of the current tokenset in its control, leaving a control that shows it already.
void TokensetPropertiesPanel::showField(Field field)
{
    const bool wasFilling = filling_;
    filling_ = true;
    const Tokenset &ts = session_.tokenset();
    for (size_t i = 0; i < flags_.size(); ++i)
        if (kFlags[i].field == field)
            flags_[i]->setChecked(session_.value(field).toInt() != 0);
    switch (field) {
    case Field::ForeColor: ColorLabel::setBackColor(lblForeColor_, ts.forecolor); break;
    case Field::BackColor: ColorLabel::setBackColor(lblBackColor_, ts.backcolor); break;
    case Field::FontStyle:
        selectExact(cmbFontStyle_, ts.fontstyle);
        break;
    case Field::Type:
        if (ts.type == QLatin1String("list") || ts.type == QLatin1String("scope")) {
            const bool scope = ts.type == QLatin1String("scope");
            chkScope_->setChecked(scope);
            showTokens2(scope);
        }
        Q_EMIT layoutChanged();
        break;
    case Field::Tokens: setBox(txtTokens_, ts.tokens, keepCaret_); break;
    case Field::Tokens2: setBox(txtTokens2_, ts.tokens2, keepCaret_); break;
    case Field::Id: cmbID_->setCurrentIndex(GetIDIndex(ts.id)); break;
    case Field::TMemberList: cmbTMemberList_->setCurrentIndex(GetTMemberListIndex(ts.tmemberlist)); break;
    case Field::Rule: cmbRule_->setCurrentIndex(GetRuleIndex(ts.rule)); break;
    case Field::Lead: setText(txtLead_, ts.lead, keepCaret_); break;
    case Field::Trail: setText(txtTrail_, ts.trail, keepCaret_); break;
    case Field::InheritFrom: selectExact(cmbInherit_, ts.inheritfrom); break;
    default:
        for (int i = 0; i < 10; ++i)
            if (field == RecordFields::validScope(i))
                selectExact(cmbValidScopes_[size_t(i)], ts.validscope[size_t(i)]);
        break;
    }
    filling_ = wasFilling;
}

// A field changed by a step of the session. A name or an inclusion changes what the choice lists
// offer; a type change rebuilds the valid-scope lists, which then show "<none>" until the tokenset
// is shown again.
void TokensetPropertiesPanel::fieldChanged(int slot, Field field)
{
    if (slot < 0 || !session_.hasTokenset())
        return;
    if (field == Field::Name || field == Field::Included) {
        LoadValidScopeLists();
        LoadValidInheritList();
        DisplayTokensetProperties();
    } else if (slot == session_.currentTokenset()) {
        keepCaret_ = true;
        showField(field);
        keepCaret_ = false;
        if (field == Field::Type)
            LoadValidScopeLists();
    }
}

// An undo or redo put a text back: the caret goes where the change was.
void TokensetPropertiesPanel::fieldReplayed(int slot, Field field, int position)
{
    if (slot < 0 || slot != session_.currentTokenset())
        return;
    const QString stored = session_.value(field).toString();
    switch (field) {
    case Field::Tokens: placeCaret(txtTokens_, stored, position); break;
    case Field::Tokens2: placeCaret(txtTokens2_, stored, position); break;
    case Field::Lead: txtLead_->setCursorPosition(position); break;
    case Field::Trail: txtTrail_->setCursorPosition(position); break;
    default: break;
    }
}

// ---- handlers

void TokensetPropertiesPanel::chkScope_Click()
{
    if (filling_ || !session_.hasTokenset())
        return;
    session_.setField(Field::Type, chkScope_->checkState() == Qt::Checked ? QStringLiteral("scope") : QStringLiteral("list"));
}

qint32 TokensetPropertiesPanel::GetColor()
{
    return context_.dialogs.color(context_.window);
}

void TokensetPropertiesPanel::setColour(Field field, qint32 colour)
{
    session_.setField(field, colour);
}

void TokensetPropertiesPanel::lblForeColor_Click()
{
    if (!session_.hasTokenset())
        return;
    if (const qint32 c = GetColor(); c != -1)
        setColour(Field::ForeColor, c);
}

void TokensetPropertiesPanel::lblBackColor_Click()
{
    if (!session_.hasTokenset())
        return;
    if (const qint32 c = GetColor(); c != -1)
        setColour(Field::BackColor, c);
}

// The right button takes the swatch as back colour, any other as fore colour.
void TokensetPropertiesPanel::lblcolor_MouseUp(int index, Qt::MouseButton button)
{
    if (index < 0 || index > 9 || !session_.hasTokenset())
        return;
    setColour(button == Qt::RightButton ? Field::BackColor : Field::ForeColor, swatch(index));
}

void TokensetPropertiesPanel::mnucolor_Click(int index)
{
    if (index < 0 || index > 9)
        return;
    if (const qint32 c = GetColor(); c != -1)
        setSwatch(index, c);
}

qint32 TokensetPropertiesPanel::swatch(int index) const
{
    return ColorLabel::backColor(swatches_[size_t(index)]);
}

void TokensetPropertiesPanel::setSwatch(int index, qint32 color)
{
    ColorLabel::setBackColor(swatches_[size_t(index)], color);
}

void TokensetPropertiesPanel::sortTokens(EditSession::TokenTool tool) const
{
    session_.rewriteTokens(tool);
}

void TokensetPropertiesPanel::mnuRemoveAttributes_Click()
{
    if (session_.hasTokenset() && context_.askSure(tr("Remove Attributes")))
        session_.rewriteTokens(EditSession::TokenTool::RemoveAttributes);
}

void TokensetPropertiesPanel::mnuRemoveOne_Click()
{
    if (session_.hasLanguage() && context_.askSure(tr("Remove Attributes")))
        session_.removeAttributesCurrentLanguage();
}

void TokensetPropertiesPanel::mnuRemoveAll_Click()
{
    if (session_.hasLanguage() && context_.askSure(tr("Remove Attributes")))
        session_.removeAttributesAllLanguages();
}

void TokensetPropertiesPanel::setTokenFontSize(int size)
{
    tokenFontSize_ = size;
    applyTokenFont();
}

void TokensetPropertiesPanel::applyTokenFont()
{
    for (QWidget *box : {static_cast<QWidget *>(txtTokens_), static_cast<QWidget *>(txtTokens2_)}) {
        QFont font = box->font();
        font.setPointSize(tokenFontSize_);
        box->setFont(font);
    }
}

void TokensetPropertiesPanel::mnuToggleFont_Click()
{
    setTokenFontSize(TokenListTools::nextFontSize(tokenFontSize_));
}

void TokensetPropertiesPanel::insertTemplate(int box, int item)
{
    if (item < 0 || item > 5 || !session_.hasTokenset())
        return;
    QPlainTextEdit *target = box == 2 ? txtTokens2_ : txtTokens_;
    session_.endTyping(); // the template is a step of its own
    target->insertPlainText(QString::fromLatin1(kTemplates[item]));
    session_.endTyping();
    target->setFocus();
}
