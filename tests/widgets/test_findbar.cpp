// The find bar and the keys that leave a pane, driven by key presses as a user gives them.
#include "widgets/editorpane.h"
#include "widgets/findbar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A shown, active window (shortcuts need one) with a line edit before and after a pane.
struct PaneWindow {
    QWidget window;
    QLineEdit *before = new QLineEdit(&window);
    EditorPane *pane = new EditorPane(&window);
    QLineEdit *after = new QLineEdit(&window);
    FindBar *bar = new FindBar(pane);
    QLineEdit *findBox = bar->findChild<QLineEdit *>(QStringLiteral("txtFind"));

    explicit PaneWindow(const QString &text)
    {
        auto *layout = new QVBoxLayout(&window);
        for (QWidget *w : std::initializer_list<QWidget *>{before, pane, after})
            layout->addWidget(w);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        pane->setText(text);
        pane->setFocus();
    }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), modifiers);
    }
    // Line, column and text of the selection.
    QString selection() const
    {
        int line = 0, index = 0, lineTo = 0, indexTo = 0;
        pane->getSelection(&line, &index, &lineTo, &indexTo);
        return QStringLiteral("%1:%2 %3").arg(line).arg(index).arg(pane->selectedText());
    }
};

} // namespace

TEST(FindBar, FindsAsTypedNextPreviousAndCloses)
{
    const QString text = QStringLiteral("alpha Beta\nbeta gamma\nBETA");
    PaneWindow w(text);
    EXPECT_EQ(FindBar::of(w.pane), w.bar);
    // F3 with nothing to find opens the bar; Ctrl+F takes the selected word.
    w.key(Qt::Key_F3);
    EXPECT_EQ(QApplication::focusWidget(), w.findBox);
    w.pane->setSelection(0, 0, 0, 5);
    w.pane->setFocus();
    w.key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.findBox);
    EXPECT_EQ(w.findBox->text(), QStringLiteral("alpha"));
    EXPECT_TRUE(w.bar->geometry().right() < w.pane->width() && w.bar->y() < 10); // top right corner

    // Typing finds as it goes; Enter, F3 and Shift+F3 step through the matches in any letter case,
    // wrapping around at both ends.
    QTest::keyClicks(w.findBox, QStringLiteral("beta"));
    EXPECT_EQ(w.selection(), QStringLiteral("0:6 Beta"));
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *selection;
    } steps[] = {{Qt::Key_Return, Qt::NoModifier, "1:0 beta"}, {Qt::Key_F3, Qt::NoModifier, "2:0 BETA"},
                 {Qt::Key_F3, Qt::NoModifier, "0:6 Beta"},     {Qt::Key_F3, Qt::ShiftModifier, "2:0 BETA"},
                 {Qt::Key_Return, Qt::ShiftModifier, "1:0 beta"}};
    for (const auto &s : steps) {
        w.key(s.key, s.modifiers);
        EXPECT_EQ(w.selection(), QLatin1String(s.selection)) << s.selection;
    }
    // Match case narrows it; what does not occur says so in the bar.
    w.bar->findChild<QAbstractButton *>(QStringLiteral("chkMatchCase"))->setChecked(true);
    w.key(Qt::Key_F3);
    EXPECT_EQ(w.selection(), QStringLiteral("1:0 beta"));
    EXPECT_EQ(w.bar->status(), QString());
    QTest::keyClicks(w.findBox, QStringLiteral("x"));
    EXPECT_EQ(w.bar->status(), QStringLiteral("Not found"));

    // Escape closes it and gives the pane the focus back; F3 still finds from the pane.
    w.key(Qt::Key_Escape);
    EXPECT_FALSE(w.bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), w.pane);
    w.findBox->setText(QStringLiteral("gamma"));
    w.key(Qt::Key_F3);
    EXPECT_EQ(w.selection(), QStringLiteral("1:5 gamma"));
    EXPECT_EQ(w.pane->text(), text); // finding never edits
}

TEST(EditorPaneKeys, CtrlTabLeavesThePaneAndTabTypes)
{
    PaneWindow w(QStringLiteral("sample"));
    QSignalSpy changed(w.pane, &EditorPane::changed);
    // Ctrl+Tab and Ctrl+Shift+Tab move on and back, changing nothing; with the find bar open,
    // Ctrl+Tab goes into it.
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QWidget *to;
    } moves[] = {{Qt::Key_Tab, Qt::ControlModifier, w.after},
                 {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, w.before},
                 {Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier, w.before},
                 {Qt::Key_Tab, Qt::ControlModifier, w.findBox}};
    for (const auto &m : moves) {
        if (m.to == w.findBox)
            w.bar->open();
        w.pane->setFocus();
        w.key(m.key, m.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), m.to) << m.key;
    }
    EXPECT_EQ(changed.count(), 0);
    // Tab itself is typed: a pane holds text in which tabs matter.
    w.pane->setFocus();
    w.key(Qt::Key_Tab);
    EXPECT_EQ(w.pane->text(), QStringLiteral("\tsample"));
}
