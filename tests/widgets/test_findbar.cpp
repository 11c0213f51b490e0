// The find bar, driven by key presses as a user gives them.
#include "widgets/editorpane.h"
#include "widgets/findbar.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

TEST(FindBar, FindsAsTypedNextPreviousAndCloses)
{
    const QString text = QStringLiteral("alpha Beta\nbeta gamma\nBETA");
    EditorPane pane; // a shown, active window: shortcuts need one
    FindBar *bar = new FindBar(&pane);
    auto *box = bar->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    pane.setText(text);
    pane.show();
    QApplication::setActiveWindow(&pane);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane));
    const auto key = [](int k, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), modifiers);
    };
    const auto selection = [&pane] {
        int line = 0, index = 0, lineTo = 0, indexTo = 0;
        pane.getSelection(&line, &index, &lineTo, &indexTo);
        return QStringLiteral("%1:%2 %3").arg(line).arg(index).arg(pane.selectedText());
    };
    // F3 with nothing to find opens the bar; Ctrl+F takes the selected word, at the top right.
    pane.setFocus();
    key(Qt::Key_F3);
    EXPECT_TRUE(FindBar::of(&pane) == bar && QApplication::focusWidget() == box);
    pane.setSelection(0, 0, 0, 5);
    pane.setFocus();
    key(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::focusWidget() == box && box->text() == QStringLiteral("alpha"));
    EXPECT_TRUE(bar->geometry().right() < pane.width() && bar->y() < 10);

    // Typing finds as it goes; Enter, F3 and Shift+F3 step through the matches in any letter case,
    // round both ends; "Aa" makes case count; what does not occur says so.
    QTest::keyClicks(box, QStringLiteral("beta"));
    EXPECT_EQ(selection(), QStringLiteral("0:6 Beta"));
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char *selection;
    } steps[] = {{Qt::Key_Return, {}, "1:0 beta"}, {Qt::Key_F3, {}, "2:0 BETA"}, {Qt::Key_F3, {}, "0:6 Beta"},
                 {Qt::Key_F3, Qt::ShiftModifier, "2:0 BETA"},
                 {Qt::Key_Return, Qt::ShiftModifier, "1:0 beta"}};
    for (const auto &s : steps) {
        key(s.key, s.modifiers);
        EXPECT_EQ(selection(), QLatin1String(s.selection)) << s.selection;
    }
    bar->findChild<QAbstractButton *>(QStringLiteral("chkMatchCase"))->setChecked(true);
    key(Qt::Key_F3);
    EXPECT_TRUE(selection() == QStringLiteral("1:0 beta") && bar->status().isEmpty()); // the only one

    QTest::keyClicks(box, QStringLiteral("x"));
    EXPECT_EQ(bar->status(), QStringLiteral("Not found"));

    // Escape gives the pane the focus back; F3 still finds from there; nothing was edited.
    key(Qt::Key_Escape);
    EXPECT_TRUE(!bar->isVisible() && QApplication::focusWidget() == &pane);
    box->setText(QStringLiteral("gamma"));
    key(Qt::Key_F3);
    EXPECT_EQ(selection(), QStringLiteral("1:5 gamma"));
    EXPECT_EQ(pane.text(), text);
}
