// The token list commands: sorting, letter case, removing token attributes, the attribute
// templates of the two token popups, the font size of the token boxes.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "ui_frmmain.h"
#include "xmlgen/tokenlisttools.h"

namespace {

QString boxText(const QPlainTextEdit *box)
{
    return box->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// Puts a rewritten list back; the box's change handler stores it and regenerates.
void setBoxText(QPlainTextEdit *box, const QString &text)
{
    QString shown = text;
    box->setPlainText(shown.replace(QLatin1String("\r\n"), QLatin1String("\n")));
}

const char *const kTemplates[6] = {" :::: :::: True ::::", " :::: :::: True :::: word", " :::: :::: False :::: word",
                                   " :::: ListMembers", " :::: CommitMember", " :::: ParameterInfo"};

} // namespace

void FrmMain::sortTokens(int order, int letterCase)
{
    if (noTokenset())
        return;
    const auto o = order == 0 ? TokenListTools::Order::Ascending : TokenListTools::Order::Descending;
    const auto c = letterCase == 0 ? TokenListTools::Case::Insensitive : TokenListTools::Case::Sensitive;
    for (QPlainTextEdit *box : {ui->txtTokens, ui->txtTokens2}) {
        const QString sorted = TokenListTools::sortLines(boxText(box), o, c);
        if (sorted != boxText(box))
            setBoxText(box, sorted);
    }
    db_.dirty = true;
}

void FrmMain::mnuLowerCase_Click()
{
    if (noTokenset())
        return;
    setBoxText(ui->txtTokens, TokenListTools::lowerCase(boxText(ui->txtTokens)));
    db_.dirty = true;
}

void FrmMain::mnuTitleCase_Click()
{
    if (noTokenset())
        return;
    setBoxText(ui->txtTokens, TokenListTools::titleCase(boxText(ui->txtTokens)));
    db_.dirty = true;
}

void FrmMain::mnuRemoveAttributes_Click()
{
    if (noTokenset() || !askSure(QStringLiteral("Remove Attributes")))
        return;
    for (QPlainTextEdit *box : {ui->txtTokens, ui->txtTokens2})
        setBoxText(box, TokenListTools::removeAttributes(boxText(box)));
    db_.dirty = true;
}

void FrmMain::mnuRemoveOne_Click()
{
    if (db_.languages.isEmpty() || !askSure(QStringLiteral("Remove Attributes")))
        return;
    TokenListTools::removeAttributes(db_.current());
    DisplayTokensetProperties();
    regenerate(1);
    db_.dirty = true;
}

void FrmMain::mnuRemoveAll_Click()
{
    if (db_.languages.isEmpty() || !askSure(QStringLiteral("Remove Attributes")))
        return;
    for (Language &language : db_.languages)
        TokenListTools::removeAttributes(language);
    DisplayTokensetProperties();
    regenerate(1);
    db_.dirty = true;
}

void FrmMain::mnuToggleFont_Click()
{
    tokenFontSize_ = TokenListTools::nextFontSize(tokenFontSize_);
    applyTokenFont();
}

// Inserts template item (0 to 5) at the caret of token box 1 or 2, replacing the selection.
void FrmMain::insertTemplate(int box, int item)
{
    if (item < 0 || item > 5 || noTokenset())
        return;
    QPlainTextEdit *target = box == 2 ? ui->txtTokens2 : ui->txtTokens;
    target->insertPlainText(QString::fromLatin1(kTemplates[item]));
    target->setFocus();
}
