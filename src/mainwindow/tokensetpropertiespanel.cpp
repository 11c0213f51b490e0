#include "mainwindow/tokensetpropertiespanel.h"
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

using RecordField::Field;
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
    const char *name;
    Field field;
};
constexpr FlagBox kFlags[] = {
    {"chkCase", Field::TokensetCase},   {"chkNormalize", Field::NormalizeCase},
    {"chkMatch", Field::MatchBraces},   {"chkAutoIndent", Field::AutoIndent},
    {"chkEnable", Field::Enabled},      {"chkHidden", Field::Hidden},
    {"chkSingle", Field::SingleLineScope}, {"chkChain", Field::Chain},
    {"chkSymmetrical", Field::Symmetrical}, {"chkRegExp", Field::RegExp},
};

} // namespace

TokensetPropertiesPanel::TokensetPropertiesPanel(PanelContext context, QObject *parent)
    : QObject(parent)
    , context_(context)
    , session_(context.session)
    , frame_(context.control<QWidget>("Frame2"))
    , cmbID_(context.control<QComboBox>("cmbID"))
    , chkScope_(context.control<QCheckBox>("chkScope"))
    , cmbFontStyle_(context.control<QComboBox>("cmbFontStyle"))
    , lblForeColor_(context.control<QLabel>("lblForeColor"))
    , lblBackColor_(context.control<QLabel>("lblBackColor"))
    , cmbInherit_(context.control<QComboBox>("cmbInherit"))
    , cmbTMemberList_(context.control<QComboBox>("cmbTMemberList"))
    , cmbRule_(context.control<QComboBox>("cmbRule"))
    , txtLead_(context.control<QLineEdit>("txtLead"))
    , txtTrail_(context.control<QLineEdit>("txtTrail"))
    , txtTokens_(context.control<QPlainTextEdit>("txtTokens"))
    , txtTokens2_(context.control<QPlainTextEdit>("txtTokens2"))
    , lblTokens_(context.control<QLabel>("lblTokens"))
    , lbltokens2_(context.control<QLabel>("lbltokens2"))
{
    for (int i = 0; i < 10; ++i) {
        swatches_[size_t(i)] = context.control<QLabel>(QStringLiteral("lblcolor_%1").arg(i).toLatin1().constData());
        cmbValidScopes_[size_t(i)] =
            context.control<QComboBox>(QStringLiteral("cmbValidScopes_%1").arg(i).toLatin1().constData());
    }
    cmbID_->addItems(session_.tokensetIds());
    wireFields();
    wireTools();
    connect(&session_, &EditSession::languageShown, this, [this] {
        LoadValidScopeLists();
        LoadValidInheritList();
        DisplayTokensetProperties();
    });
    connect(&session_, &EditSession::tokensetsChanged, this, [this] {
        LoadValidScopeLists();
        LoadValidInheritList();
        DisplayTokensetProperties();
    });
    connect(&session_, &EditSession::tokensetShown, this, [this] {
        LoadValidScopeLists();
        LoadValidInheritList();
        DisplayTokensetProperties();
    });
    connect(&session_, &EditSession::fieldChanged, this, &TokensetPropertiesPanel::fieldChanged);
    connect(&session_, &EditSession::fieldReplayed, this, &TokensetPropertiesPanel::fieldReplayed);
    connect(&session_, &EditSession::memberListsChanged, this, [this] {
        const QSignalBlocker blocker(cmbTMemberList_);
        cmbTMemberList_->clear();
        cmbTMemberList_->addItem(QStringLiteral("<none>"));
        cmbTMemberList_->addItems(session_.memberListNames());
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
    for (const FlagBox &flag : kFlags) {
        QCheckBox *box = context_.control<QCheckBox>(flag.name);
        const Field field = flag.field;
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
        bindCombo(cmbValidScopes_[size_t(i)], Point::cmbValidScopes_Click, RecordField::validScope(i));

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
    for (int i = 0; i < 10; ++i) {
        ClickLabel::onRelease(swatches_[size_t(i)], [this, i](Qt::MouseButton button) { lblcolor_MouseUp(i, button); },
                              ClickLabel::Keyboard::MouseOnly); // ForeColor and BackColor choose any colour
        connect(context_.control<QAction>(QStringLiteral("mnucolor_%1").arg(i).toLatin1().constData()),
                &QAction::triggered, this, [this, i] { mnucolor_Click(i); });
    }
    ClickLabel::onRelease(context_.control<QLabel>("Label7"), [this](Qt::MouseButton) { cmbFontStyle_->setCurrentIndex(1); },
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
    const std::pair<const char *, Tool> sorts[] = {{"mnuSort", Tool::Sort},
                                                   {"mnuSortCase", Tool::SortCase},
                                                   {"mnuReverseSort", Tool::ReverseSort},
                                                   {"mnuReverseSortCase", Tool::ReverseSortCase},
                                                   {"mnuLowerCase", Tool::LowerCase},
                                                   {"mnuTitleCase", Tool::TitleCase}};
    for (const auto &[name, tool] : sorts)
        connect(context_.control<QAction>(name), &QAction::triggered, this, [this, tool = tool] { sortTokens(tool); });
    const auto menu = [this](const char *name, void (TokensetPropertiesPanel::*handler)()) {
        connect(context_.control<QAction>(name), &QAction::triggered, this, handler);
    };
    menu("mnuRemoveAttributes", &TokensetPropertiesPanel::mnuRemoveAttributes_Click);
    menu("mnuRemoveOne", &TokensetPropertiesPanel::mnuRemoveOne_Click);
    menu("mnuRemoveAll", &TokensetPropertiesPanel::mnuRemoveAll_Click);
    menu("mnuToggleFont", &TokensetPropertiesPanel::mnuToggleFont_Click);
    for (int item = 0; item < 6; ++item) {
        connect(context_.control<QAction>(QStringLiteral("mnuInsert%1").arg(item + 1).toLatin1().constData()),
                &QAction::triggered, this, [this, item] { insertTemplate(1, item); });
        connect(context_.control<QAction>(QStringLiteral("mnuInsert2%1").arg(item + 1).toLatin1().constData()),
                &QAction::triggered, this, [this, item] { insertTemplate(2, item); });
    }
    QMenu *popup1 = context_.control<QMenu>("mnuPopupToken");
    QMenu *popup2 = context_.control<QMenu>("mnuPopupToken2");
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
    for (QWidget *w : frame_->findChildren<QWidget *>()) {
        if (w->objectName() == QLatin1String("txtStatus") || w->parentWidget()->objectName() == QLatin1String("txtStatus"))
            continue;
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
            || qobject_cast<QPlainTextEdit *>(w) || w == lblForeColor_ || w == lblBackColor_)
            w->setEnabled(on);
    }
}

void TokensetPropertiesPanel::clearTokenset()
{
    enableControls(false);
    for (QComboBox *box : frame_->findChildren<QComboBox *>())
        box->setCurrentIndex(-1);
    for (QCheckBox *box : frame_->findChildren<QCheckBox *>())
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
    for (const FlagBox &flag : kFlags)
        if (flag.field == field)
            context_.control<QCheckBox>(flag.name)->setChecked(session_.value(field).toInt() != 0);
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
            if (field == RecordField::validScope(i))
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
    if (session_.hasTokenset() && context_.askSure(QStringLiteral("Remove Attributes")))
        session_.rewriteTokens(EditSession::TokenTool::RemoveAttributes);
}

void TokensetPropertiesPanel::mnuRemoveOne_Click()
{
    if (session_.hasLanguage() && context_.askSure(QStringLiteral("Remove Attributes")))
        session_.removeAttributesCurrentLanguage();
}

void TokensetPropertiesPanel::mnuRemoveAll_Click()
{
    if (session_.hasLanguage() && context_.askSure(QStringLiteral("Remove Attributes")))
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
