// The viewer by keyboard, and a viewer whose stored place lies off the screens.
#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "viewer/frmviewer.h"
#include "widgets/editorpane.h"
#include "widgets/findbar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTest>

TEST(ViewerKeys, TabReachesListAndPaneAndTheMenuKeyOpensThePopup)
{
    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.remove(QStringLiteral("Settings"));
    // Stored far off the screens: the viewer still opens on one.
    store.setValue(QStringLiteral("Settings/ImportLeft"), QStringLiteral("90000"));
    store.setValue(QStringLiteral("Settings/ImportTop"), QStringLiteral("-90000"));
    TestUtil::TempFolder program;
    program.write(QStringLiteral("a.lng"), "<language name=\"a\"/>\r\n");
    ScriptedDialogs dialogs;
    FrmViewer viewer(dialogs, ViewerContext{program.path(), program.path(), nullptr});
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(viewer.frameGeometry()));
    EXPECT_EQ(store.value(QStringLiteral("Settings/ImportLeft")).toString(), QStringLiteral("90000"));
    viewer.show();
    QApplication::setActiveWindow(&viewer);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));

    auto *list = viewer.findChild<QListWidget *>(QStringLiteral("lstFiles"));
    auto *pane = viewer.findChild<EditorPane *>(QStringLiteral("txtFile"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    const QString text = pane->text();
    EXPECT_EQ(text, QStringLiteral("<language name=\"a\"/>\r\n"));
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), pane);
    QTest::keyClick(pane, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_EQ(pane->text(), text);

    EXPECT_NE(FindBar::of(pane), nullptr);
    auto *popup = viewer.findChild<QMenu *>(QStringLiteral("mnuPopUp"));
    list->setFocus();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint()); // what the menu key sends
    QApplication::sendEvent(list, &menuKey);
    EXPECT_TRUE(popup->isVisible());
    popup->close();
    store.remove(QStringLiteral("Settings"));
}
