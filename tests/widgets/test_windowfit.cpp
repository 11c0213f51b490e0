// Windows that stay reachable: placing onto the screens, and dialogs as wide as their titles.
#include "widgets/dialogs.h"
#include "widgets/screenfit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>

TEST(ScreenFit, MovesOnlyWindowsThatShowTooLittle)
{
    const QRect left(0, 0, 1600, 1000);
    const QRect right(1600, 0, 1280, 1024);
    const struct {
        const char *what;
        QRect frame;
        QList<QRect> screens;
        QRect placed;
    } cases[] = {
        {"inside", {100, 100, 800, 600}, {left}, {100, 100, 800, 600}},
        {"half over the edge", {1200, 500, 800, 700}, {left}, {1200, 500, 800, 700}},
        {"on the second screen", {2000, 100, 600, 400}, {left, right}, {2000, 100, 600, 400}},
        {"a monitor gone: the sliver of 85x40 at the corner", {1515, 960, 900, 700}, {left}, {700, 300, 900, 700}},
        {"beside a maximised window", {1620, 0, 400, 1000}, {left}, {1200, 0, 400, 1000}},
        {"title bar above the screen", {300, -500, 600, 520}, {left}, {300, 0, 600, 520}},
        {"far away, nearest screen", {5000, 200, 500, 300}, {left, right}, {2380, 200, 500, 300}},
        {"larger than the screen", {-3000, -3000, 2000, 1200}, {left}, {0, 0, 1600, 1000}},
        {"small window fully shown", {10, 10, 50, 30}, {left}, {10, 10, 50, 30}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ScreenFit::place(c.frame, c.screens), c.placed) << c.what;
}

// The real dialogs (closed from inside their own event loop) leave room for the title bar's buttons.
TEST(QtDialogs, DialogsAreAsWideAsTheirTitles)
{
    const QString title = QStringLiteral("Reload the whole database from the disk, dropping every change");
    QFont bold = QApplication::font();
    bold.setBold(true);
    QtDialogs dialogs;
    for (const bool input : {true, false}) {
        int width = 0;
        QTimer::singleShot(0, [&width] {
            width = QApplication::activeModalWidget()->width();
            static_cast<QDialog *>(QApplication::activeModalWidget())->reject();
        });
        if (input)
            dialogs.input(nullptr, QStringLiteral("Name:"), title, QStringLiteral("x"));
        else
            dialogs.message(nullptr, QStringLiteral("OK?"), title, Dialogs::Buttons::OkCancel, Dialogs::Icon::Question);
        EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance(title) + 100) << input;
    }
}
