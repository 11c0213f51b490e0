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
    EXPECT_EQ(selection(), QStringLiteral("1:0 beta")); // the only one, found again from the top
    EXPECT_EQ(bar->status(), QStringLiteral("Wrapped around to the top"));
    key(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(bar->status(), QStringLiteral("Wrapped around to the bottom"));

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

// A match is shown whole, its start first, and not under the bar: on a line the view puts at its
// top (found going round from the end), and far along a long line.
TEST(FindBar, ShowsTheWholeMatchClearOfTheBar)
{
    QString text;
    for (int line = 0; line < 200; ++line)
        text += QString(40, QLatin1Char('x')) + QStringLiteral(" key%1\n").arg(line, 3, 10, QLatin1Char('0'));
    text += QString(300, QLatin1Char('x')) + QStringLiteral(" needle ") + QString(300, QLatin1Char('y')) + QStringLiteral("\n");
    EditorPane pane;
    FindBar *bar = new FindBar(&pane);
    pane.setText(text);
    pane.resize(420, 300);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));
    pane.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
    bar->open();
    auto *box = bar->findChild<QLineEdit *>(QStringLiteral("txtFind"));
    for (const char *word : {"key030", "needle", "key100"}) {
        box->setText(QString::fromLatin1(word));
        QTest::keyClick(box, Qt::Key_Return);
        const long start = pane.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        const long end = pane.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
        const QRect match(QPoint(int(pane.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0L, start)),
                                 int(pane.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0L, start))),
                          QPoint(int(pane.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0L, end)),
                                 int(pane.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0L, end))
                                     + int(pane.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0L))));
        const QRect view = pane.viewport()->rect();
        EXPECT_TRUE(view.contains(match.topLeft()) && view.contains(match.bottomRight() - QPoint(1, 1))) << word;
        EXPECT_FALSE(match.translated(pane.viewport()->pos()).intersects(bar->geometry())) << word;
    }
}
