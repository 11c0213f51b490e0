// The main window's layout: splitters remembered, lists that are not clipped, a place on the screens.
#include "mainwindow/windowfixture.h"
#include "widgets/editorpane.h"

#include <QApplication>
#include <QScreen>
#include <QSplitter>

TEST_F(WindowTest, SplittersAreRememberedAndAStoredPlaceOffTheScreensIsNotUsedAsItIs)
{
    storeSetting("MainLeft", QStringLiteral("300000"));
    storeSetting("MainTop", QStringLiteral("-300000"));
    start();
    const QRect screen = QApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(window->frameGeometry().topLeft())); // larger than this small screen
    // Every valid-scope list shows "<none>" whole: as wide as a list that holds only that.
    QComboBox none;
    none.addItem(QStringLiteral("<none>"));
    for (int i = 0; i < 10; ++i) {
        const QComboBox *scopes = combo(QStringLiteral("cmbValidScopes_%1").arg(i).toLatin1().constData());
        EXPECT_GE(scopes->width(), none.sizeHint().width()) << i;
    }
    QList<QList<int>> moved;
    for (const char *name : {"splitMain", "splitUpper", "splitLeft"}) {
        QSplitter *splitter = child<QSplitter>(name);
        QList<int> sizes = splitter->sizes();
        sizes[0] += 30;
        sizes[1] -= 30;
        splitter->setSizes(sizes);
        moved << splitter->sizes();
    }
    ASSERT_TRUE(closeWindow());
    EXPECT_EQ(storedSetting("MainLeft"), QStringLiteral("300000")); // kept while the window did not move
    start();
    for (const char *name : {"splitMain", "splitUpper", "splitLeft"})
        EXPECT_EQ(child<QSplitter>(name)->sizes(), moved.takeFirst()) << name;
}

// At the first start the sample pane gets its share, as tall as the XML pane, and the token boxes
// use the size of every other control's font.
TEST_F(WindowTest, TheSampleAndTheListsGetTheirShareAndTokensTheNormalFontSize)
{
    start();
    EXPECT_GE(samplePane()->height(), xmlPane()->height() - 2);
    EXPECT_EQ(tokensBox()->font().pointSize(), window->font().pointSize());
    EXPECT_EQ(child<QPlainTextEdit>("txtTokens2")->font().pointSize(), window->font().pointSize());
}
