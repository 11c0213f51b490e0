// Tokenset colours (the colour dialog and the ten standard swatches) and the inherit and
// valid-scope choice lists.
#include "mainwindow/editstate.h"
#include "mainwindow/frmmain.h"
#include "ui_frmmain.h"

#include <QSignalBlocker>

qint32 FrmMain::GetColor()
{
    return dialogs_->color(this);
}

void FrmMain::lblForeColor_Click()
{
    if (noTokenset())
        return;
    const qint32 c = GetColor();
    if (c == -1)
        return;
    setBackColor(ui->lblForeColor, c);
    db_.current().tokensets[db_.currentTokenset].forecolor = c;
    propertyChanged(0);
}

void FrmMain::lblBackColor_Click()
{
    if (noTokenset())
        return;
    const qint32 c = GetColor();
    if (c == -1)
        return;
    setBackColor(ui->lblBackColor, c);
    db_.current().tokensets[db_.currentTokenset].backcolor = c;
    propertyChanged(0);
}

// The right button takes the swatch as back colour, any other as fore colour.
void FrmMain::lblcolor_MouseUp(int index, Qt::MouseButton button)
{
    QLabel *swatch = findChild<QLabel *>(QStringLiteral("lblcolor_%1").arg(index));
    if (!swatch || noTokenset())
        return;
    const qint32 c = backColor(swatch);
    Tokenset &ts = db_.current().tokensets[db_.currentTokenset];
    if (button == Qt::RightButton) {
        setBackColor(ui->lblBackColor, c);
        ts.backcolor = c;
    } else {
        setBackColor(ui->lblForeColor, c);
        ts.forecolor = c;
    }
    propertyChanged(0);
}

void FrmMain::mnucolor_Click(int index)
{
    QLabel *swatch = findChild<QLabel *>(QStringLiteral("lblcolor_%1").arg(index));
    if (!swatch)
        return;
    const qint32 c = GetColor();
    if (c != -1)
        setBackColor(swatch, c);
}

void FrmMain::LoadValidInheritList()
{
    Trace::entry(QStringLiteral("LoadValidInheritList"));
    const bool wasLoading = db_.loading;
    db_.loading = true;
    const QSignalBlocker blocker(ui->cmbInherit);
    ui->cmbInherit->clear();
    ui->cmbInherit->addItem(QStringLiteral("<none>"));
    ui->cmbInherit->setCurrentIndex(0);
    const int current = db_.currentTokenset;
    const QString own = current >= 0 && current < ui->lstTokenset->count() ? ui->lstTokenset->item(current)->text()
                                                                          : QString();
    for (int j = 0; j < ui->lstTokenset->count(); ++j)
        if (ui->lstTokenset->item(j)->text() != own)
            ui->cmbInherit->addItem(ui->lstTokenset->item(j)->text());
    db_.loading = wasLoading;
}

void FrmMain::LoadValidScopeLists()
{
    Trace::entry(QStringLiteral("LoadValidScopeLists"));
    const bool wasLoading = db_.loading;
    db_.loading = true;
    QStringList entries = {QStringLiteral("<none>"), QStringLiteral("NULL")};
    if (!db_.languages.isEmpty()) {
        const Language &language = db_.current();
        for (int j = 0; j < ui->lstTokenset->count() && j < Language::kSlots; ++j)
            if (language.tokensets[j].type == QLatin1String("scope"))
                entries.append(ui->lstTokenset->item(j)->text());
    }
    for (int i = 0; i < 10; ++i) {
        QComboBox *box = findChild<QComboBox *>(QStringLiteral("cmbValidScopes_%1").arg(i));
        const QSignalBlocker blocker(box);
        box->clear();
        box->addItems(entries);
        box->setCurrentIndex(0);
    }
    db_.loading = wasLoading;
}
