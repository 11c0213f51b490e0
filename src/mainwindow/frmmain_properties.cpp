// The tokenset and language property controls: filling them from the current record, the index
// lookups, and the change handlers that store a control's value and regenerate the preview.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "ui_frmmain.h"

#include <QSignalBlocker>

namespace {

// Token boxes show one token per line; the records join the lines with CR LF.
QString toBox(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString fromBox(const QString &text)
{
    QString out = text;
    return out.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

int exactIndex(const QComboBox *box, const QString &text)
{
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == text)
            return i;
    return -1;
}

void selectExact(QComboBox *box, const QString &text)
{
    const int i = exactIndex(box, text);
    if (i >= 0)
        box->setCurrentIndex(i);
}

const QStringList kFontStyles = {QStringLiteral("normal"), QStringLiteral("bold"), QStringLiteral("italic"),
                                 QStringLiteral("bolditalic"), QStringLiteral("underline")};

} // namespace

int FrmMain::GetIDIndex(const QString &text) const { return exactIndex(ui->cmbID, text); }
int FrmMain::GetRuleIndex(const QString &text) const { return qMax(0, exactIndex(ui->cmbRule, text)); }
int FrmMain::GetTMemberListIndex(const QString &text) const { return qMax(0, exactIndex(ui->cmbTMemberList, text)); }
int FrmMain::GetLMemberListIndex(const QString &text) const { return qMax(0, exactIndex(ui->cmbLMemberList, text)); }

bool FrmMain::noTokenset() const
{
    return db_.languages.isEmpty() || !db_.hasCurrentTokenset()
        || db_.currentTokenset >= db_.languages[db_.currentLanguage].tokensetCount();
}

// The editing controls of the tokenset frame, for a language without tokensets. The status pane,
// which shares the frame, stays usable.
void FrmMain::enableTokensetControls(bool on)
{
    for (QWidget *w : ui->Frame2->findChildren<QWidget *>()) {
        if (w == ui->txtStatus || ui->txtStatus->isAncestorOf(w))
            continue;
        if (qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w)
            || qobject_cast<QPlainTextEdit *>(w) || w == ui->lblForeColor || w == ui->lblBackColor)
            w->setEnabled(on);
    }
}

void FrmMain::showTokens2(bool shown)
{
    if (statusPaneShown_)
        return;
    ui->txtTokens2->setVisible(shown);
    ui->lbltokens2->setVisible(shown);
}

void FrmMain::DisplayTokensetProperties()
{
    Trace::entry(QStringLiteral("DisplayTokensetProperties"));
    const bool wasLoading = db_.loading;
    db_.loading = true;
    if (noTokenset()) {
        enableTokensetControls(false);
        for (QComboBox *box : ui->Frame2->findChildren<QComboBox *>())
            box->setCurrentIndex(-1);
        for (QCheckBox *box : ui->Frame2->findChildren<QCheckBox *>())
            box->setChecked(false);
        for (QLineEdit *box : {ui->txtLead, ui->txtTrail})
            box->clear();
        ui->txtTokens->clear();
        ui->txtTokens2->clear();
        setBackColor(ui->lblForeColor, -1);
        setBackColor(ui->lblBackColor, -1);
        db_.loading = wasLoading;
        return;
    }
    enableTokensetControls(true);
    const Tokenset &ts = db_.current().tokensets[db_.currentTokenset];
    QComboBox *const scopes[10] = {ui->cmbValidScopes_0, ui->cmbValidScopes_1, ui->cmbValidScopes_2,
                                   ui->cmbValidScopes_3, ui->cmbValidScopes_4, ui->cmbValidScopes_5,
                                   ui->cmbValidScopes_6, ui->cmbValidScopes_7, ui->cmbValidScopes_8,
                                   ui->cmbValidScopes_9};
    for (int i = 0; i < 10; ++i)
        selectExact(scopes[i], ts.validscope[i]);
    selectExact(ui->cmbInherit, ts.inheritfrom);
    setBackColor(ui->lblForeColor, ts.forecolor);
    if (const int style = kFontStyles.indexOf(ts.fontstyle); style >= 0)
        ui->cmbFontStyle->setCurrentIndex(style);
    if (ts.type == QLatin1String("list")) {
        ui->chkScope->setChecked(false);
        showTokens2(false);
    } else if (ts.type == QLatin1String("scope")) {
        ui->chkScope->setChecked(true);
        showTokens2(true);
    }
    Form_Resize();
    setBackColor(ui->lblBackColor, ts.backcolor);
    ui->chkCase->setChecked(ts.casesensitive != 0);
    ui->chkNormalize->setChecked(ts.normalizecase != 0);
    ui->chkMatch->setChecked(ts.matchbraces != 0);
    ui->chkAutoIndent->setChecked(ts.autoindent != 0);
    ui->chkEnable->setChecked(ts.enabled != 0);
    ui->chkHidden->setChecked(ts.hidden != 0);
    ui->chkSingle->setChecked(ts.singlelinescope != 0);
    ui->chkChain->setChecked(ts.chain != 0);
    ui->chkSymmetrical->setChecked(ts.symmetrical != 0);
    ui->txtTokens->setPlainText(toBox(ts.tokens));
    ui->txtTokens2->setPlainText(toBox(ts.tokens2));
    ui->cmbID->setCurrentIndex(GetIDIndex(ts.id));
    ui->cmbTMemberList->setCurrentIndex(GetTMemberListIndex(ts.tmemberlist));
    ui->chkRegExp->setChecked(ts.regexp != 0);
    ui->cmbRule->setCurrentIndex(GetRuleIndex(ts.rule));
    ui->txtLead->setText(ts.lead);
    ui->txtTrail->setText(ts.trail);
    db_.loading = wasLoading;
}

// The tail of every edit: regenerate with the control's mode, reload the preview, mark the change.
void FrmMain::propertyChanged(int mode)
{
    regenerate(mode);
    db_.dirty = true;
}

void FrmMain::chkScope_Click()
{
    if (db_.loading || noTokenset())
        return;
    Tokenset &ts = db_.current().tokensets[db_.currentTokenset];
    const bool scope = ui->chkScope->checkState() == Qt::Checked;
    ts.type = scope ? QStringLiteral("scope") : QStringLiteral("list");
    showTokens2(scope);
    Form_Resize();
    LoadValidScopeLists();
    propertyChanged(0);
}

void FrmMain::wirePropertyControls()
{
    // Language-wide check boxes rebuild every tokenset; all other controls only the current one.
    const struct {
        QCheckBox *box;
        qint32 Language::*field;
    } languageFlags[] = {{ui->chkDefaultCase, &Language::casesensitive},
                         {ui->chkOverride, &Language::applycase},
                         {ui->chkWhite, &Language::whitespaceasparamblock}};
    for (const auto &bind : languageFlags) {
        QCheckBox *box = bind.box;
        const auto field = bind.field;
        connect(box, &QCheckBox::clicked, this, [this, box, field] {
            if (db_.loading || db_.languages.isEmpty())
                return;
            db_.current().*field = box->isChecked() ? 1 : 0;
            propertyChanged(1);
        });
    }

    const struct {
        QCheckBox *box;
        qint32 Tokenset::*field;
    } tokensetFlags[] = {{ui->chkCase, &Tokenset::casesensitive},   {ui->chkNormalize, &Tokenset::normalizecase},
                         {ui->chkMatch, &Tokenset::matchbraces},    {ui->chkAutoIndent, &Tokenset::autoindent},
                         {ui->chkEnable, &Tokenset::enabled},       {ui->chkHidden, &Tokenset::hidden},
                         {ui->chkSingle, &Tokenset::singlelinescope}, {ui->chkChain, &Tokenset::chain},
                         {ui->chkSymmetrical, &Tokenset::symmetrical}, {ui->chkRegExp, &Tokenset::regexp}};
    for (const auto &bind : tokensetFlags) {
        QCheckBox *box = bind.box;
        const auto field = bind.field;
        connect(box, &QCheckBox::clicked, this, [this, box, field] {
            if (db_.loading || noTokenset())
                return;
            db_.current().tokensets[db_.currentTokenset].*field = box->isChecked() ? 1 : 0;
            propertyChanged(0);
        });
    }
    connect(ui->chkScope, &QCheckBox::clicked, this, &FrmMain::chkScope_Click);

    // Drop-down lists store the text of the chosen entry.
    const auto bindCombo = [this](QComboBox *box, std::function<QString *()> field) {
        connect(box, &QComboBox::currentIndexChanged, this, [this, box, field](int index) {
            Trace::entry(box->objectName() + QStringLiteral("_Click"));
            if (db_.loading || index < 0)
                return;
            QString *target = field();
            if (!target)
                return;
            *target = box->itemText(index);
            propertyChanged(0);
        });
    };
    const auto tokensetField = [this](QString Tokenset::*field) {
        return [this, field]() -> QString * {
            return noTokenset() ? nullptr : &(db_.current().tokensets[db_.currentTokenset].*field);
        };
    };
    bindCombo(ui->cmbLMemberList,
              [this]() -> QString * { return db_.languages.isEmpty() ? nullptr : &db_.current().memberlist; });
    bindCombo(ui->cmbID, tokensetField(&Tokenset::id));
    bindCombo(ui->cmbFontStyle, tokensetField(&Tokenset::fontstyle));
    bindCombo(ui->cmbInherit, tokensetField(&Tokenset::inheritfrom));
    bindCombo(ui->cmbTMemberList, tokensetField(&Tokenset::tmemberlist));
    bindCombo(ui->cmbRule, tokensetField(&Tokenset::rule));
    QComboBox *const scopes[10] = {ui->cmbValidScopes_0, ui->cmbValidScopes_1, ui->cmbValidScopes_2,
                                   ui->cmbValidScopes_3, ui->cmbValidScopes_4, ui->cmbValidScopes_5,
                                   ui->cmbValidScopes_6, ui->cmbValidScopes_7, ui->cmbValidScopes_8,
                                   ui->cmbValidScopes_9};
    for (int i = 0; i < 10; ++i)
        bindCombo(scopes[i], [this, i]() -> QString * {
            return noTokenset() ? nullptr : &db_.current().tokensets[db_.currentTokenset].validscope[size_t(i)];
        });

    // Text boxes store their whole text after every change.
    connect(ui->txtWordChars, &QLineEdit::textChanged, this, [this](const QString &text) {
        Trace::entry(QStringLiteral("txtWordChars_Change"));
        if (db_.loading || db_.languages.isEmpty())
            return;
        db_.current().wordchars = text;
        propertyChanged(0);
    });
    const auto bindLine = [this](QLineEdit *box, QString Tokenset::*field) {
        connect(box, &QLineEdit::textChanged, this, [this, box, field](const QString &text) {
            Trace::entry(box->objectName() + QStringLiteral("_Change"));
            if (db_.loading || noTokenset())
                return;
            db_.current().tokensets[db_.currentTokenset].*field = text;
            propertyChanged(0);
        });
    };
    bindLine(ui->txtLead, &Tokenset::lead);
    bindLine(ui->txtTrail, &Tokenset::trail);
    const auto bindTokens = [this](QPlainTextEdit *box, QString Tokenset::*field) {
        connect(box, &QPlainTextEdit::textChanged, this, [this, box, field] {
            Trace::entry(box->objectName() + QStringLiteral("_Change"));
            if (db_.loading || noTokenset())
                return;
            QString &target = db_.current().tokensets[db_.currentTokenset].*field;
            const QString text = fromBox(box->toPlainText());
            if (text == target)
                return;
            target = text;
            propertyChanged(0);
        });
    };
    bindTokens(ui->txtTokens, &Tokenset::tokens);
    bindTokens(ui->txtTokens2, &Tokenset::tokens2);
}
