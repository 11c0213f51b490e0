// Manual XML changes, Seek and AutoSeek, and sample text edits.
#include "editorcontrol/compiledlanguage.h"
#include "widgets/editorpane.h"
#include "mainwindow/editfixture.h"

#include <QAction>
#include <QTest>

namespace {

QString withFirstTokensetRenamed(QString xml)
{
    return xml.replace(QStringLiteral("name=\"White Space\""), QStringLiteral("name=\"Blank\""));
}

} // namespace

TEST_F(EditTest, ApplyAndSaveUseTheManualXml)
{
    start();
    auto *apply = child<QPushButton>(QStringLiteral("cmdApply"));
    auto *save = child<QPushButton>(QStringLiteral("cmdSave"));
    EXPECT_FALSE(apply->isEnabled());
    const QString edited = withFirstTokensetRenamed(xmlPane()->text()).trimmed();
    xmlPane()->setText(edited);
    EXPECT_TRUE(apply->isEnabled());
    EXPECT_TRUE(save->isEnabled());

    apply->click();
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(workingFile(), edited + QStringLiteral("\r\n"));
    EXPECT_EQ(xmlPane()->text(), edited + QStringLiteral("\r\n"));
    EXPECT_EQ(samplePane()->language()->tokensetName(0), QStringLiteral("Blank"));
    EXPECT_EQ(current().tokensets[0].name, QStringLiteral("White Space")); // the record is untouched

    save->click();
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(folder.read(QStringLiteral("language_def/Basic.lng")), (edited + QStringLiteral("\r\n\r\n")).toLatin1());

    // Broken XML: the pane keeps it, the sample text stays in the record.
    xmlPane()->setText(QStringLiteral("<language"));
    apply->click();
    EXPECT_EQ(dialogs->messages.last().text, QStringLiteral("Error reading manually changed language: Basic"));
    EXPECT_EQ(xmlPane()->text(), QStringLiteral("<language\r\n"));
    EXPECT_EQ(current().sampletext, QStringLiteral("if x then 'note"));
}

TEST_F(EditTest, PendingManualChangesAskBeforeTheyAreLost)
{
    start();
    const QString edited = withFirstTokensetRenamed(xmlPane()->text());
    xmlPane()->setText(edited);
    dialogs->answers.enqueue(Dialogs::Answer::Cancel);
    check("chkHidden")->click();
    EXPECT_EQ(dialogs->messages.last().text, QStringLiteral("Manual changes will be lost. Continue?"));
    EXPECT_EQ(xmlPane()->text(), edited);
    EXPECT_FALSE(workingFile().contains(QStringLiteral("hidden=\"true\"")));

    dialogs->answers.enqueue(Dialogs::Answer::Ok);
    check("chkCase")->click();
    EXPECT_TRUE(workingFile().contains(QStringLiteral("hidden=\"true\"")));
    EXPECT_EQ(xmlPane()->text(), workingFile());
    EXPECT_FALSE(child<QPushButton>(QStringLiteral("cmdApply"))->isEnabled());
}

TEST_F(EditTest, SeekFindsTheWholeTokensetNameAndAutoSeekFollowsTheList)
{
    Language language = templateLanguage(QStringLiteral("Basic"), QString());
    language.tokensets[0].name = QStringLiteral("keywords");
    language.tokensets[1].name = QStringLiteral("key");
    writeDatabase({language});
    start();
    selectTokenset(1);
    action(QStringLiteral("mnuSeek"))->trigger();
    EXPECT_EQ(xmlPane()->selectedText(), QStringLiteral("<tokenset name=\"key\""));

    action(QStringLiteral("mnuAutoSeek"))->setChecked(true);
    selectTokenset(0);
    EXPECT_EQ(xmlPane()->selectedText(), QStringLiteral("<tokenset name=\"keywords\""));
    window->hide(); // AutoSeek acts only while the window is shown
    xmlPane()->setCursorPosition(0, 0);
    selectTokenset(1);
    EXPECT_TRUE(xmlPane()->selectedText().isEmpty());
}

TEST_F(EditTest, SampleEditsAreStoredPerLanguage)
{
    start();
    samplePane()->setFocus();
    samplePane()->setCursorPosition(0, 0);
    QTest::keyClicks(samplePane(), QStringLiteral("z"));
    EXPECT_EQ(window->db().languages[0].sampletext, QStringLiteral("zif x then 'note"));
    EXPECT_TRUE(window->db().dirty);

    window->db().dirty = false;
    languages()->setCurrentRow(1);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("begin end"));
    EXPECT_FALSE(window->db().dirty);
    languages()->setCurrentRow(0);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("zif x then 'note"));
}
