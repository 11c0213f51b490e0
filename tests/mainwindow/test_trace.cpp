#include "mainwindow/frmdebug.h"
#include "widgets/tracebox.h"
#include "mainwindow/windowfixture.h"
#include "model/trace.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include "widgets/editorpane.h"

class TraceTest : public WindowTest {
protected:
    TraceBox *status() const { return child<TraceBox>(QStringLiteral("txtStatus")); }
    void click(const char *label) { QTest::mouseClick(child<QLabel>(QString::fromLatin1(label)), Qt::LeftButton); }
    // Position of a widget in the window's coordinates.
    QRect placed(const QWidget *widget) const
    {
        return QRect(widget->mapTo(window.get(), QPoint(0, 0)), widget->size());
    }
};

TEST_F(TraceTest, TraceModeShowsThePaneAndCollectsTraceLines)
{
    start();
    action(QStringLiteral("mnuDebug"))->trigger();
    EXPECT_TRUE(status()->isVisible());
    EXPECT_TRUE(window->statusPaneShown());
    EXPECT_EQ(status()->text(), QStringLiteral("<Trace Mode>\r\n"));
    EXPECT_FALSE(child<QLabel>(QStringLiteral("lblTokens"))->isVisible());
    Trace::entry(QStringLiteral("lstLang_click"));
    Trace::entry(QStringLiteral("cmbRule"), QStringLiteral("cmbRule_click"));
    EXPECT_EQ(status()->text(), QStringLiteral("<Trace Mode>\r\nlstLang_click\r\ncmbRule\r\n"));

    click("lblStatus"); // the label runs the same command
    EXPECT_FALSE(action(QStringLiteral("mnuDebug"))->isChecked());
    EXPECT_FALSE(status()->isVisible());
    EXPECT_EQ(status()->text(), QStringLiteral("<Troubleshooting disabled>"));
    EXPECT_TRUE(child<QLabel>(QStringLiteral("lblTokens"))->isVisible());
    Trace::entry(QStringLiteral("WriteXML"));
    EXPECT_EQ(status()->text(), QStringLiteral("<Troubleshooting disabled>"));
}

TEST_F(TraceTest, ValidityModeWinsOverTraceAndHidesThePaneWhenSwitchedOff)
{
    start();
    action(QStringLiteral("mnuDebug"))->trigger();
    click("lblRedFlag");
    EXPECT_TRUE(action(QStringLiteral("mnuDirty"))->isChecked());
    EXPECT_EQ(status()->text(), QStringLiteral("<Validity Mode>\r\n") + window->validityMessage());
    Trace::entry(QStringLiteral("WriteXML"));
    EXPECT_EQ(status()->text(), QStringLiteral("<Validity Mode>\r\n") + window->validityMessage());

    action(QStringLiteral("mnuDirty"))->trigger();
    EXPECT_TRUE(action(QStringLiteral("mnuDebug"))->isChecked());
    EXPECT_FALSE(status()->isVisible());
    EXPECT_FALSE(window->statusPaneShown());
    EXPECT_EQ(status()->text(), QStringLiteral("<Troubleshooting disabled>"));
}

TEST_F(TraceTest, DoubleClicksEmptyTheStatusPaneAndTheTraceWindow)
{
    start();
    action(QStringLiteral("mnuDebug"))->trigger();
    QTest::mouseDClick(status()->viewport(), Qt::LeftButton);
    EXPECT_EQ(status()->text(), QString());
    click("lblSample");
    Trace::entry(QStringLiteral("GoToTokenset"));
    TraceBox *debug = window->debugWindow()->txtStatus();
    EXPECT_FALSE(debug->text().isEmpty());
    QTest::mouseDClick(debug->viewport(), Qt::LeftButton);
    EXPECT_EQ(debug->text(), QString());
}

TEST_F(TraceTest, TheTraceWindowOpensBesideTheWindowAndKeepsCollecting)
{
    start();
    EXPECT_FALSE(window->debugWindowOpen());
    Trace::entry(QStringLiteral("before"));
    click("lblSample");
    FrmDebug *debug = window->debugWindow();
    ASSERT_NE(debug, nullptr);
    EXPECT_TRUE(debug->isVisible());
    EXPECT_EQ(debug->windowTitle(), QStringLiteral("Varlex Debug"));
    EXPECT_EQ(debug->objectName(), QStringLiteral("frmDebug"));
    EXPECT_EQ(debug->y(), window->frameGeometry().y());
    EXPECT_EQ(debug->x(), window->frameGeometry().right() + 1 + 300 * window->logicalDpiX() / 1440);
    EXPECT_EQ(debug->txtStatus()->text(), QString());

    // Lines reach it whatever the status pane does; labels may differ from the pane's.
    action(QStringLiteral("mnuDirty"))->trigger();
    Trace::entry(QStringLiteral("LMemberlist_click"), QStringLiteral("cmbLMemberList_click"));
    window->appendTimingLine(QStringLiteral("0.016 seconds end of WriteXML"));
    EXPECT_EQ(debug->txtStatus()->text(),
              QStringLiteral("cmbLMemberList_click\r\n\r\n0.016 seconds end of WriteXML\r\n"));

    // Closing discards the text; the lines keep coming and show when it opens again.
    debug->close();
    EXPECT_TRUE(window->debugWindowOpen());
    Trace::entry(QStringLiteral("ViewLanguage"));
    EXPECT_EQ(debug->txtStatus()->text(), QStringLiteral("ViewLanguage\r\n"));
    click("lblSample");
    EXPECT_EQ(window->debugWindow(), debug);
    EXPECT_TRUE(debug->isVisible());

    // The pane fills its window.
    debug->resize(300, 400);
    EXPECT_EQ(debug->txtStatus()->height(), 400);
    EXPECT_EQ(debug->txtStatus()->width(), 290);
}

TEST_F(TraceTest, FullWindowViewCoversTheFrames)
{
    start();
    auto *xml = child<EditorPane>(QStringLiteral("txtXML"));
    auto *frame1 = child<QGroupBox>(QStringLiteral("Frame1"));
    const int framesTop = placed(frame1).top();
    const int normalTop = placed(xml).top();
    EXPECT_GT(normalTop, placed(child<QGroupBox>(QStringLiteral("Frame2"))).bottom());

    action(QStringLiteral("mnuView"))->trigger();
    EXPECT_TRUE(window->toolbarButton(QStringLiteral("full"))->isChecked());
    EXPECT_FALSE(frame1->isVisible());
    EXPECT_LE(placed(xml).top(), framesTop + child<QLabel>(QStringLiteral("lblXML"))->height() + 8);
    EXPECT_GT(xml->height(), window->height() / 2);

    click("lblXML");
    EXPECT_FALSE(action(QStringLiteral("mnuView"))->isChecked());
    EXPECT_FALSE(window->toolbarButton(QStringLiteral("full"))->isChecked());
    EXPECT_TRUE(frame1->isVisible());
    EXPECT_EQ(placed(xml).top(), normalTop);

    window->toolbarButton(QStringLiteral("full"))->trigger();
    EXPECT_TRUE(action(QStringLiteral("mnuView"))->isChecked());
}

TEST_F(TraceTest, ThePanesKeepTheirRelationsWhenTheWindowIsResized)
{
    start();
    auto *xml = child<EditorPane>(QStringLiteral("txtXML"));
    auto *tokens = child<QPlainTextEdit>(QStringLiteral("txtTokens"));
    auto *tokens2 = child<QPlainTextEdit>(QStringLiteral("txtTokens2"));
    auto *frame2 = child<QGroupBox>(QStringLiteral("Frame2"));
    const int minimumWidth = window->minimumSizeHint().width();
    const int listsRight = placed(child<QWidget>(QStringLiteral("lstTokenset"))).right();
    EXPECT_LT(minimumWidth, 867) << "the first-run width must fit";

    for (const int width : {900, 1100, 1400}) {
        window->resize(width, 760);
        window->Form_Resize();
        // The XML pane spans the window; the tokenset frame takes the width the lists leave.
        EXPECT_GE(xml->width(), width - 20) << width;
        EXPECT_GE(placed(frame2).right(), width - 20) << width;
        EXPECT_LE(placed(frame2).left(), listsRight + 20) << width;

        // Two token boxes share the frame's width with a gap; one alone takes it all.
        tokens2->show();
        window->Form_Resize();
        EXPECT_LE(std::abs(tokens->width() - tokens2->width()), 1) << width;
        const int gap = placed(tokens2).left() - placed(tokens).right() - 1;
        EXPECT_GT(gap, 4);
        EXPECT_LT(gap, 20);
        const int shared = placed(tokens2).right() - placed(tokens).left();
        tokens2->hide();
        window->Form_Resize();
        EXPECT_EQ(tokens->width(), shared + 1) << width;

        // The status pane lies over the token boxes.
        action(QStringLiteral("mnuDebug"))->trigger();
        window->Form_Resize();
        EXPECT_EQ(placed(status()).top(), placed(tokens).top());
        EXPECT_EQ(placed(status()).height(), tokens->height());
        EXPECT_GE(placed(status()).width(), tokens->width() - 1);
        action(QStringLiteral("mnuDebug"))->trigger();
    }

    // A window narrower than the frames need keeps the frames at their smallest size.
    window->resize(300, 300);
    window->Form_Resize();
    EXPECT_GE(window->width(), minimumWidth);
}

TEST_F(TraceTest, TheFontStyleLabelSelectsBold)
{
    start();
    auto *style = child<QComboBox>(QStringLiteral("cmbFontStyle"));
    style->setCurrentIndex(0);
    click("Label7");
    EXPECT_EQ(style->currentIndex(), 1);
    EXPECT_EQ(style->currentText(), QStringLiteral("bold"));
}
