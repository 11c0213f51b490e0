// The road of one edit and the binding of the property controls.
#include "editorcontrol/compiledlanguage.h"
#include "widgets/editorpane.h"
#include "mainwindow/editfixture.h"

#include <QLineEdit>
#include <QTest>

TEST_F(EditTest, TickingHiddenReachesTheRecordTheFileThePreviewAndTheDirtyFlag)
{
    start();
    ASSERT_EQ(window->db().currentTokenset, 0);
    EXPECT_FALSE(window->db().dirty);
    EXPECT_EQ(workingFile().count(QStringLiteral("hidden=\"true\"")), 0);

    check("chkHidden")->click();

    EXPECT_EQ(currentTokenset().hidden, 1);
    EXPECT_EQ(workingFile().count(QStringLiteral("hidden=\"true\"")), 1);
    EXPECT_EQ(xmlPane()->text(), workingFile());
    ASSERT_TRUE(samplePane()->language());
    EXPECT_TRUE(samplePane()->language()->definition().tokensets.front().hidden);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("if x then 'note"));
    EXPECT_TRUE(window->db().dirty);
}

// Every handler writes the whole language as it is: a change in another tokenset's record shows in the
// file whether the handler rebuilds all tokensets or only the current one, since a cached text is
// reused only while everything it was built from is unchanged.
TEST_F(EditTest, EveryControlWritesTheWholeLanguageAsItIs)
{
    start();
    const struct {
        const char *control;
        std::function<void()> act;
    } cases[] = {
        {"chkDefaultCase", [this] { check("chkDefaultCase")->click(); }},
        {"chkOverride", [this] { check("chkOverride")->click(); }},
        {"chkWhite", [this] { check("chkWhite")->click(); }},
        {"chkCase", [this] { check("chkCase")->click(); }},
        {"chkSymmetrical", [this] { check("chkSymmetrical")->click(); }},
        {"chkRegExp", [this] { check("chkRegExp")->click(); }},
        {"chkScope", [this] { check("chkScope")->click(); }},
        {"cmbFontStyle", [this] { combo(QStringLiteral("cmbFontStyle"))->setCurrentIndex(2); }},
        {"cmbRule", [this] { combo(QStringLiteral("cmbRule"))->setCurrentIndex(1); }},
        {"txtWordChars", [this] { child<QLineEdit>(QStringLiteral("txtWordChars"))->setText(QStringLiteral("[a-z]")); }},
        {"txtTokens", [this] { QTest::keyClick(tokensBox(), Qt::Key_X); }},
    };
    int n = 0;
    for (const auto &c : cases) {
        const QString stale = QStringLiteral("stale%1").arg(++n);
        window->db().current().tokensets[9].tokens = stale;
        window->db().dirty = false;
        c.act();
        EXPECT_TRUE(workingFile().contains(stale)) << c.control;
        EXPECT_TRUE(window->db().dirty) << c.control;
    }
    EXPECT_EQ(current().wordchars, QStringLiteral("[a-z]"));
    EXPECT_EQ(currentTokenset().fontstyle, QStringLiteral("italic"));
    EXPECT_EQ(currentTokenset().rule, QStringLiteral("Word"));
    EXPECT_EQ(currentTokenset().type, QStringLiteral("scope"));
    EXPECT_TRUE(currentTokenset().tokens.contains(QLatin1Char('x')));
}

TEST_F(EditTest, DisplayingATokensetWritesNothingAndShowsUnknownValuesAsTheListsDefault)
{
    Language basic = templateLanguage(QStringLiteral("Basic"), QString());
    basic.tokensets[1].id = QStringLiteral("nosuchid");
    basic.tokensets[1].rule = QString();
    basic.tokensets[1].tokens = QStringLiteral("a\r\nb");
    writeDatabase({basic});
    start();
    const QVector<Language> before = window->db().languages;

    selectTokenset(1);
    EXPECT_EQ(combo(QStringLiteral("cmbID"))->currentIndex(), -1);
    EXPECT_EQ(combo(QStringLiteral("cmbRule"))->currentText(), QStringLiteral("NULL"));
    EXPECT_EQ(tokensBox()->toPlainText(), QStringLiteral("a\nb"));
    selectTokenset(2); // a scope: the second token box appears
    EXPECT_TRUE(check("chkScope")->isChecked());
    EXPECT_FALSE(child<QPlainTextEdit>(QStringLiteral("txtTokens2"))->isHidden());
    selectTokenset(0);
    EXPECT_TRUE(child<QPlainTextEdit>(QStringLiteral("txtTokens2"))->isHidden());

    EXPECT_EQ(window->db().languages, before);
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(EditTest, ALanguageWithoutTokensetsShowsNoneAndItsHandlersWriteNothing)
{
    start();
    languages()->setCurrentRow(2);
    EXPECT_EQ(window->db().currentTokenset, -1);
    EXPECT_EQ(tokensets()->count(), 0);
    EXPECT_FALSE(check("chkHidden")->isEnabled());
    EXPECT_TRUE(tokensBox()->toPlainText().isEmpty());
    const QVector<Language> before = window->db().languages;
    window->db().dirty = false;

    dialogs->colors.enqueue(255);
    window->lblForeColor_Click();
    window->lblcolor_MouseUp(3, Qt::RightButton);
    window->chkScope_Click();
    tokensBox()->setPlainText(QStringLiteral("typed"));
    window->mnuDeleteTokenset_Click();
    window->mnuUp_Click();
    window->sortTokens(0, 0);

    EXPECT_EQ(window->db().languages, before);
    EXPECT_FALSE(window->db().dirty);
    // A tokenset made for it can be edited at once.
    dialogs->inputs.enqueue(QStringLiteral("Words"));
    window->mnuNewTokenset_Click();
    EXPECT_EQ(window->db().currentTokenset, 0);
    EXPECT_TRUE(check("chkHidden")->isEnabled());
}

