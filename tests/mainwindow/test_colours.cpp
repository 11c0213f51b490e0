// Colours by dialog, swatch and the Color menu; the inherit and valid-scope lists.
#include "mainwindow/editfixture.h"

#include <QAction>

TEST_F(EditTest, ColoursComeFromTheDialogOrTheSwatches)
{
    start();
    dialogs->colors.enqueue(-1); // Cancel
    window->lblForeColor_Click();
    EXPECT_FALSE(window->db().dirty);

    dialogs->colors.enqueue(0x123456);
    window->lblForeColor_Click();
    EXPECT_EQ(currentTokenset().forecolor, 0x123456);
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblForeColor"))), 0x123456);
    EXPECT_TRUE(workingFile().contains(QStringLiteral("forecolor=\"%1\"").arg(0x123456)));

    window->lblcolor_MouseUp(3, Qt::RightButton); // red
    EXPECT_EQ(currentTokenset().backcolor, 255);
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblBackColor"))), 255);
    window->lblcolor_MouseUp(3, Qt::LeftButton);
    EXPECT_EQ(currentTokenset().forecolor, 255);
    EXPECT_TRUE(window->db().dirty);
}

TEST_F(EditTest, TheColorMenuRedefinesOnlyTheSwatch)
{
    start();
    const QVector<Language> before = window->db().languages;
    const QString xml = workingFile();
    dialogs->colors.enqueue(0xFFFFFF);
    action(QStringLiteral("mnucolor_1"))->trigger();
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblcolor_1"))), 0xFFFFFF);
    EXPECT_EQ(window->db().languages, before);
    EXPECT_EQ(workingFile(), xml);
    EXPECT_FALSE(window->db().dirty);
    closeWindow();
    EXPECT_EQ(storedSetting(QStringLiteral("Color1")), QStringLiteral("16777215"));
}

TEST_F(EditTest, InheritListsOtherTokensetsAndScopeListsTheScopeTokensets)
{
    Language language = templateLanguage(QStringLiteral("Small"), QString());
    for (int k = 3; k < Language::kSlots; ++k)
        language.tokensets[k].name.clear();
    language.tokensets[0].name = QStringLiteral("Keywords");
    language.tokensets[1].name = QStringLiteral("Strings");
    language.tokensets[2].name = QStringLiteral("Comment"); // a scope
    language.tokensets[1].inheritfrom = QStringLiteral("Comment");
    language.tokensets[1].validscope[0] = QStringLiteral("Comment");
    writeDatabase({language});
    start();
    selectTokenset(1);
    QComboBox *inherit = combo(QStringLiteral("cmbInherit"));
    EXPECT_EQ(items(inherit), QStringList({"<none>", "Keywords", "Comment"}));
    EXPECT_EQ(inherit->currentText(), QStringLiteral("Comment"));
    EXPECT_EQ(items(combo(QStringLiteral("cmbValidScopes_9"))), QStringList({"<none>", "NULL", "Comment"}));
    EXPECT_EQ(combo(QStringLiteral("cmbValidScopes_0"))->currentText(), QStringLiteral("Comment"));

    // Making Strings a scope offers it too; the rebuilt lists show "<none>", the record keeps its values.
    check("chkScope")->click();
    EXPECT_EQ(items(combo(QStringLiteral("cmbValidScopes_3"))), QStringList({"<none>", "NULL", "Strings", "Comment"}));
    EXPECT_EQ(combo(QStringLiteral("cmbValidScopes_0"))->currentText(), QStringLiteral("<none>"));
    EXPECT_EQ(currentTokenset().validscope[0], QStringLiteral("Comment"));

    combo(QStringLiteral("cmbValidScopes_4"))->setCurrentIndex(1);
    EXPECT_EQ(currentTokenset().validscope[4], QStringLiteral("NULL"));
    inherit->setCurrentIndex(1);
    EXPECT_EQ(currentTokenset().inheritfrom, QStringLiteral("Keywords"));
}
