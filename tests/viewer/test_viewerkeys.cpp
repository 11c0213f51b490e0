// The viewer by keyboard, and a viewer whose stored place lies off the screens.
#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "viewer/frmviewer.h"
#include "widgets/editorpane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTest>

TEST(ViewerKeys, OnAScreenAndReachableByKeyboard)
{
    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.setValue(QStringLiteral("Settings/ImportLeft"), QStringLiteral("90000"));
    TestUtil::TempFolder program;
    ScriptedDialogs dialogs;
    FrmViewer viewer(dialogs, ViewerContext{program.path(), program.path(), nullptr});
    store.remove(QStringLiteral("Settings"));
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().contains(viewer.frameGeometry().topLeft()));
    viewer.show();
    QApplication::setActiveWindow(&viewer);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    auto *list = viewer.findChild<QListWidget *>(QStringLiteral("lstFiles"));
    auto *pane = viewer.findChild<EditorPane *>(QStringLiteral("txtFile"));
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab);
    QTest::keyClick(pane, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), list);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), list->mapToGlobal(QPoint())); // what the menu key sends
    QApplication::sendEvent(list, &menuKey);
    EXPECT_TRUE(viewer.findChild<QMenu *>(QStringLiteral("mnuPopUp"))->isVisible());
}
