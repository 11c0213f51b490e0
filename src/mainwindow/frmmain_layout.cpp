// The layout of the main window: the full-window XML view and the relations the panes keep.
#include "mainwindow/frmmain.h"
#include "ui_frmmain.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QSplitter>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>

// Splitters the user can move between the language list and the tokenset list and between the
// lists and the tokenset properties, besides the one between the frames and the panes; extra height
// goes to all three rows, most of it to the XML pane, so the lists grow with the window too.
void FrmMain::setupLayout()
{
    auto *tokensets = new QWidget(ui->fraLeft);
    tokensets->setObjectName(QStringLiteral("fraTokensets"));
    auto *tokensetsLayout = new QVBoxLayout(tokensets);
    tokensetsLayout->setContentsMargins(0, 0, 0, 0);
    tokensetsLayout->setSpacing(ui->layoutLeft->spacing());
    tokensetsLayout->addWidget(ui->lblTokensets);
    tokensetsLayout->addWidget(ui->lstTokenset, 1);
    auto *left = new QSplitter(Qt::Vertical, ui->fraLeft);
    left->setObjectName(QStringLiteral("splitLeft"));
    left->setChildrenCollapsible(false);
    left->addWidget(ui->Frame1);
    left->addWidget(tokensets);
    // The language frame holds its fields besides its list, so it takes the larger share for the
    // two lists to grow alike.
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 2);
    ui->layoutLeft->addWidget(left);

    auto *upper = new QSplitter(Qt::Horizontal, ui->fraUpper);
    upper->setObjectName(QStringLiteral("splitUpper"));
    upper->setChildrenCollapsible(false);
    upper->addWidget(ui->fraLeft);
    upper->addWidget(ui->Frame2);
    upper->setStretchFactor(0, 0);
    upper->setStretchFactor(1, 1);
    ui->layoutUpper->addWidget(upper);

    // Inside the frames the extra height goes to the lists and the token boxes.
    ui->gridLanguage->setRowStretch(0, 1);
    ui->gridTokens->setRowStretch(1, 1);
    ui->splitMain->setStretchFactor(0, 2);
    ui->splitMain->setStretchFactor(1, 1);
    ui->splitMain->setStretchFactor(2, 1);

    // The valid-scope lists are never narrower than "<none>" with their arrow.
    for (int i = 0; i < 10; ++i) {
        auto *scopes = findChild<QComboBox *>(QStringLiteral("cmbValidScopes_%1").arg(i));
        QStyleOptionComboBox option;
        option.initFrom(scopes);
        const QSize text(scopes->fontMetrics().horizontalAdvance(QStringLiteral("<none>")), scopes->fontMetrics().height());
        scopes->setMinimumWidth(scopes->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, scopes).width());
    }
}

QList<QSplitter *> FrmMain::splitters() const
{
    return {ui->splitMain, findChild<QSplitter *>(QStringLiteral("splitUpper")),
            findChild<QSplitter *>(QStringLiteral("splitLeft"))};
}

// The XML pane covers the frames while the full-window view is on.
void FrmMain::mnuView_Click()
{
    const bool on = ui->mnuView->isChecked();
    toolbarButton(QStringLiteral("full"))->setChecked(on);
    // A control that stays in view keeps the focus: a key that worked the "XML Code" label must not
    // be followed by keys typed into the pane.
    const QWidget *focus = focusWidget();
    const bool focusHidden = !focus || ui->fraUpper->isAncestorOf(focus) || ui->fraSample->isAncestorOf(focus);
    ui->fraUpper->setVisible(!on);
    ui->fraSample->setVisible(!on);
    if (on && focusHidden)
        ui->txtXML->setFocus();
    Form_Resize();
}

// The layouts keep the relations of the panes: the XML pane spans the window below the frames (or
// all of it in full-window view), the token boxes share the frame's width with a gap or the first
// takes it alone, and the status pane lies over them. This applies pending changes at once.
void FrmMain::Form_Resize()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    if (QLayout *layout = centralWidget()->layout())
        layout->activate();
    ui->splitMain->refresh();
    for (QWidget *frame : {ui->fraUpper, ui->fraSample, ui->fraXML})
        if (frame->layout())
            frame->layout()->activate();
    if (ui->Frame2->layout())
        ui->Frame2->layout()->activate();
}
