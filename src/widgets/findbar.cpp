#include "widgets/findbar.h"

#include "widgets/editorpane.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include <functional>

namespace {

constexpr int kGap = 2; // between the bar and the pane's edges

QToolButton *addButton(QFrame *bar, QLayout *layout, const char *name, QStyle::StandardPixmap icon,
                       const QString &tip)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(name));
    button->setIcon(bar->style()->standardIcon(icon));
    button->setToolTip(tip);
    button->setAutoRaise(true);
    layout->addWidget(button);
    return button;
}

} // namespace

FindBar::FindBar(EditorPane *pane)
    : QFrame(pane)
    , pane_(pane)
{
    setObjectName(QStringLiteral("findBar"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setCursor(Qt::ArrowCursor);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->setSpacing(2);
    txtFind_ = new QLineEdit(this);
    txtFind_->setObjectName(QStringLiteral("txtFind"));
    txtFind_->setPlaceholderText(tr("Find"));
    // Room for a word or two in a narrow pane, more where the pane is wide.
    txtFind_->setMinimumWidth(fontMetrics().averageCharWidth() * 8);
    txtFind_->setFixedHeight(txtFind_->sizeHint().height());
    layout->addWidget(txtFind_);
    QToolButton *previous = addButton(this, layout, "cmdFindPrevious", QStyle::SP_ArrowUp,
                                      tr("Previous (Shift+F3)"));
    QToolButton *next = addButton(this, layout, "cmdFindNext", QStyle::SP_ArrowDown, tr("Next (F3)"));
    chkMatchCase_ = new QToolButton(this);
    chkMatchCase_->setObjectName(QStringLiteral("chkMatchCase"));
    chkMatchCase_->setText(QStringLiteral("Aa"));
    chkMatchCase_->setToolTip(tr("Match case"));
    chkMatchCase_->setCheckable(true);
    chkMatchCase_->setAutoRaise(true);
    layout->addWidget(chkMatchCase_);
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblFindStatus"));
    layout->addWidget(lblStatus_);
    QToolButton *close = addButton(this, layout, "cmdFindClose", QStyle::SP_TitleBarCloseButton,
                                   tr("Close (Escape)"));

    connect(txtFind_, &QLineEdit::textEdited, this, [this] { find(true, true); });
    connect(previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(chkMatchCase_, &QToolButton::toggled, this, [this] { lblStatus_->clear(); });
    connect(close, &QToolButton::clicked, this, &FindBar::closeBar);
    txtFind_->installEventFilter(this);
    pane_->installEventFilter(this);

    // The keys work wherever the focus is in the pane or its bar.
    const struct {
        const char *name;
        QKeySequence keys;
        std::function<void()> run;
    } keys[] = {{"actFind", QKeySequence(Qt::CTRL | Qt::Key_F), [this] { open(); }},
                {"actFindNext", QKeySequence(Qt::Key_F3), [this] { findNext(); }},
                {"actFindPrevious", QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { findPrevious(); }}};
    for (const auto &k : keys) {
        auto *action = new QAction(pane_);
        action->setObjectName(QLatin1String(k.name));
        action->setShortcut(k.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        pane_->addAction(action);
        connect(action, &QAction::triggered, this, k.run);
    }

    // Tab goes from the pane into the bar while it is open.
    QWidget::setTabOrder(pane_, txtFind_);
    hide();
}

FindBar *FindBar::of(const EditorPane *pane)
{
    return pane ? pane->findChild<FindBar *>(QStringLiteral("findBar"), Qt::FindDirectChildrenOnly) : nullptr;
}

void FindBar::open()
{
    const QString selected = pane_->selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        txtFind_->setText(selected);
    lblStatus_->clear();
    show();
    place();
    raise();
    txtFind_->setFocus(Qt::ShortcutFocusReason);
    txtFind_->selectAll();
}

bool FindBar::findNext()
{
    return find(true);
}

bool FindBar::findPrevious()
{
    return find(false);
}

// F3 with nothing to look for opens the bar instead.
bool FindBar::find(bool forward, bool fromSelectionStart)
{
    const QString text = txtFind_->text();
    if (text.isEmpty()) {
        lblStatus_->clear();
        if (!isVisible())
            open();
        return false;
    }
    if (fromSelectionStart) {
        // Typing lengthens the search text: look again where the current match begins.
        const long start = pane_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        pane_->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, start);
    }
    // Forward the search starts at the caret, backward at the selection's start.
    const long from = pane_->SendScintilla(forward ? QsciScintillaBase::SCI_GETSELECTIONEND
                                                   : QsciScintillaBase::SCI_GETSELECTIONSTART);
    const bool found = pane_->find(text, forward, chkMatchCase_->isChecked());
    const long at = pane_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    // Past the end the search goes on from the top (and past the start from the bottom): say so.
    QString status;
    if (!found)
        status = tr("Not found");
    else if (forward && at < from)
        status = tr("Wrapped around to the top");
    else if (!forward && at >= from)
        status = tr("Wrapped around to the bottom");
    lblStatus_->setText(status);
    place();
    if (found)
        showMatch();
    return found;
}

// The whole match in view, its start first, and clear of the bar that lies over the pane's top.
void FindBar::showMatch()
{
    const long start = pane_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long end = pane_->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    pane_->SendScintilla(QsciScintillaBase::SCI_SCROLLRANGE, end, start);
    const long line = pane_->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start);
    const long lineHeight = qMax(1L, long(pane_->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, line)));
    const long below = (geometry().bottom() - pane_->viewport()->y()) / lineHeight + 1; // lines the bar covers
    const long shown = line - long(pane_->SendScintilla(QsciScintillaBase::SCI_GETFIRSTVISIBLELINE));
    if (isVisible() && shown < below)
        pane_->SendScintilla(QsciScintillaBase::SCI_LINESCROLL, 0L, shown - below);
}

void FindBar::closeBar()
{
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    if (hadFocus || !pane_->hasFocus())
        pane_->setFocus(Qt::OtherFocusReason);
}

QString FindBar::status() const
{
    return lblStatus_->text();
}

void FindBar::place()
{
    if (!isVisible())
        return;
    const QRect area = pane_->viewport()->geometry();
    const QSize size(qMin(sizeHint().width(), area.width() - 2 * kGap), sizeHint().height());
    setGeometry(area.right() - kGap - size.width() + 1, area.top() + kGap, size.width(), size.height());
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        closeBar();
    else
        QFrame::keyPressEvent(event);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == pane_ && event->type() == QEvent::Resize) {
        place();
    } else if (watched == txtFind_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(!(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            closeBar();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
