// The language and tokenset list commands and their edge cases.
#include "mainwindow/editfixture.h"

#include <QAction>

TEST_F(EditTest, DeletingLanguagesSelectsTheFollowerOrTheNewLast)
{
    start();
    languages()->setCurrentRow(1);
    dialogs->answers.enqueue(Dialogs::Answer::Cancel);
    action(QStringLiteral("mnuDelete"))->trigger(); // Confirmation is on by default
    EXPECT_EQ(items(languages()).size(), 3);

    window->findChild<QAction *>(QStringLiteral("mnuConfirmation"))->setChecked(false);
    action(QStringLiteral("mnuDelete"))->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Empty"}));
    EXPECT_EQ(window->db().currentLanguage, 1);
    action(QStringLiteral("mnuDelete"))->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic"}));
    EXPECT_EQ(window->db().currentLanguage, 0);
    EXPECT_EQ(window->db().current().name, QStringLiteral("Basic"));
    EXPECT_TRUE(window->db().dirty);

    action(QStringLiteral("mnuDelete"))->trigger();
    ASSERT_FALSE(dialogs->messages.isEmpty());
    EXPECT_EQ(dialogs->messages.last().text, QStringLiteral("Cannot delete last language!"));
    EXPECT_EQ(window->db().languages.size(), 1);
}

TEST_F(EditTest, DeletingTokensetsKeepsThePlaceOrSelectsThePreviousOne)
{
    start();
    window->findChild<QAction *>(QStringLiteral("mnuConfirmation"))->setChecked(false);
    selectTokenset(3);
    action(QStringLiteral("mnuDeleteTokenset"))->trigger();
    EXPECT_EQ(window->db().currentTokenset, 3);
    EXPECT_EQ(tokensets()->currentItem()->text(), QStringLiteral("Scope Keywords"));
    selectTokenset(12);
    action(QStringLiteral("mnuDeleteTokenset"))->trigger();
    EXPECT_EQ(window->db().currentTokenset, 11);
    EXPECT_EQ(items(tokensets()).size(), 12);
    EXPECT_EQ(current().tokensetCount(), 12);
    EXPECT_FALSE(workingFile().contains(QStringLiteral("Statement Delimiters")));
}

TEST_F(EditTest, NewTokensetsFillTheFirstFreeSlotUntilThereIsNone)
{
    start();
    dialogs->inputs.enqueue(QString()); // Cancel
    action(QStringLiteral("mnuNewTokenset"))->trigger();
    EXPECT_EQ(tokensets()->count(), 14);
    EXPECT_FALSE(window->db().dirty);

    dialogs->inputs.enqueue(QStringLiteral("Labels"));
    action(QStringLiteral("mnuNewTokenset"))->trigger();
    EXPECT_EQ(tokensets()->currentRow(), 14);
    EXPECT_EQ(tokensets()->item(14)->checkState(), Qt::Unchecked);
    EXPECT_EQ(current().tokensets[14].name, QStringLiteral("Labels"));
    EXPECT_TRUE(window->db().dirty);

    for (int k = 15; k < Language::kSlots; ++k)
        current().tokensets[k].name = QStringLiteral("T%1").arg(k);
    dialogs->inputs.enqueue(QStringLiteral("One too many"));
    action(QStringLiteral("mnuNewTokenset"))->trigger();
    EXPECT_EQ(dialogs->messages.last().text, QStringLiteral("Too many tokensets!"));
}

TEST_F(EditTest, MovingATokensetSwapsRecordsAndItemsButNotPastTheEnds)
{
    start();
    action(QStringLiteral("mnuUp"))->trigger(); // the first one
    EXPECT_FALSE(window->db().dirty);
    tokensets()->item(1)->setCheckState(Qt::Unchecked);
    window->db().dirty = false;
    selectTokenset(1);
    action(QStringLiteral("mnuUp"))->trigger();
    EXPECT_EQ(window->db().currentTokenset, 0);
    EXPECT_EQ(items(tokensets()).mid(0, 2), QStringList({"Line Comments", "White Space"}));
    EXPECT_EQ(tokensets()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(current().tokensets[0].included, 0);
    EXPECT_TRUE(window->db().dirty);
    selectTokenset(13);
    window->db().dirty = false;
    action(QStringLiteral("mnuDown"))->trigger();
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(EditTest, CheckMarksAreTheIncludedFlags)
{
    start();
    tokensets()->item(9)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(current().tokensets[9].included, 0);
    EXPECT_EQ(window->db().currentTokenset, 0);
    EXPECT_FALSE(workingFile().contains(QStringLiteral("\"Keywords\"")));

    window->lblTokensets_Click(); // the first click unchecks all
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(current().tokensets[k].included, 0);
    window->lblTokensets_Click();
    for (int k = 0; k < 14; ++k)
        EXPECT_EQ(current().tokensets[k].included, 1);

    action(QStringLiteral("mnuUnselectAll"))->trigger();
    EXPECT_EQ(tokensets()->item(5)->checkState(), Qt::Unchecked);
    action(QStringLiteral("mnuSelectAll"))->trigger();
    EXPECT_EQ(tokensets()->item(5)->checkState(), Qt::Checked);
    EXPECT_EQ(current().tokensets[5].included, 1);
}

TEST_F(EditTest, RenamingDuplicatingAndSorting)
{
    start();
    dialogs->inputs.enqueue(QStringLiteral("   "));
    action(QStringLiteral("mnuChangeLanguageName"))->trigger();
    EXPECT_EQ(current().name, QStringLiteral("Basic"));
    dialogs->inputs.enqueue(QStringLiteral("beta"));
    action(QStringLiteral("mnuChangeLanguageName"))->trigger();
    EXPECT_EQ(languages()->item(0)->text(), QStringLiteral("beta"));
    EXPECT_TRUE(workingFile().contains(QStringLiteral("name=\"beta\"")));

    dialogs->inputs.enqueue(QStringLiteral("Blanks"));
    action(QStringLiteral("mnuChangeTokensetName"))->trigger();
    EXPECT_EQ(current().tokensets[0].name, QStringLiteral("Blanks"));
    EXPECT_EQ(tokensets()->item(0)->text(), QStringLiteral("Blanks"));

    window->db().dirty = false;
    dialogs->inputs.enqueue(QStringLiteral("Alpha"));
    action(QStringLiteral("mnuDuplicate"))->trigger();
    EXPECT_EQ(window->db().currentLanguage, 3);
    EXPECT_TRUE(window->db().dirty);
    EXPECT_EQ(current().tokensets[0].name, QStringLiteral("Blanks"));

    action(QStringLiteral("mnuSortLanguages"))->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Alpha", "beta", "Empty", "Pascal"}));
    EXPECT_EQ(languages()->currentRow(), 0);
    EXPECT_TRUE(window->db().dirty);
}
