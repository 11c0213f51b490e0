#include "widgets/editorpane.h"
#include "mainwindow/frmdebug.h"
#include "widgets/tracebox.h"
#include "mainwindow/windowfixture.h"
#include "model/databasefile.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

// The window as the XML writer's host: options read by the writer, its output in the status pane
// and the trace window, the preview that follows each run.
class WriterHostTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        QVector<Language> languages(1);
        languages[0].name = QStringLiteral("Basic");
        languages[0].sampletext = QStringLiteral("if x");
        languages[0].memberlist = QStringLiteral("<none>");
        Tokenset &keywords = languages[0].tokensets[0];
        keywords.name = QStringLiteral("Keywords");
        keywords.id = QStringLiteral("keywords");
        keywords.type = QStringLiteral("list");
        keywords.fontstyle = QStringLiteral("normal");
        keywords.inheritfrom = QStringLiteral("<none>");
        keywords.tmemberlist = QStringLiteral("<none>");
        keywords.tokens = QStringLiteral("if\r\nthen");
        keywords.included = 1;
        keywords.validscope.fill(QStringLiteral("<none>"));
        keywords.enabled = 1;
        QByteArray bytes;
        DatabaseFile::encode(languages, bytes);
        folder.write(QStringLiteral("varlex.dat"), bytes);
    }
    QString workingFile() const { return QString::fromLatin1(folder.read(QStringLiteral("varlex.lng"))); }
    TraceBox *status() const { return child<TraceBox>(QStringLiteral("txtStatus")); }
};

TEST_F(WriterHostTest, TheFirstLanguageIsWrittenAndPreviewedAtStartUp)
{
    start();
    EXPECT_TRUE(workingFile().startsWith(QStringLiteral("<language name=\"Basic\"")));
    EXPECT_EQ(child<EditorPane>(QStringLiteral("txtXML"))->text(), workingFile());
    EXPECT_EQ(child<EditorPane>(QStringLiteral("txtSample"))->text(), QStringLiteral("if x"));
    EXPECT_NE(child<EditorPane>(QStringLiteral("txtSample"))->language(), nullptr);
    EXPECT_NE(child<EditorPane>(QStringLiteral("txtXML"))->language(), nullptr);
    EXPECT_EQ(window->G().languageCount(), 2); // xml.lng first, then the preview
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(WriterHostTest, EasyReadAndHiddenDefaultsRegenerateWithoutMarkingChanges)
{
    storeSetting(QStringLiteral("EasyRead"), QStringLiteral("True"));
    start();
    EXPECT_TRUE(workingFile().startsWith(QStringLiteral("<language\r\nname=\"Basic\"")));
    action(QStringLiteral("mnuEasyRead"))->trigger();
    EXPECT_TRUE(workingFile().startsWith(QStringLiteral("<language name=\"Basic\" casesensitive=")));
    action(QStringLiteral("mnuHideAttributes"))->trigger();
    EXPECT_FALSE(workingFile().contains(QStringLiteral("casesensitive=\"false\"")));
    EXPECT_EQ(child<EditorPane>(QStringLiteral("txtXML"))->text(), workingFile());
    EXPECT_FALSE(window->db().dirty);
}

TEST_F(WriterHostTest, RunsReportToTheStatusPaneInBothModes)
{
    start();
    action(QStringLiteral("mnuDebug"))->trigger();
    action(QStringLiteral("mnuHideAttributes"))->trigger();
    EXPECT_TRUE(status()->text().contains(QStringLiteral("WriteXML\r\n----------\r\nNo validscope/inheritfrom error found!\r\n----------\r\nViewLanguage\r\n")))
        << status()->text().toStdString();

    action(QStringLiteral("mnuDirty"))->trigger();
    action(QStringLiteral("mnuHideAttributes"))->trigger();
    EXPECT_EQ(status()->text(), QStringLiteral("<Validity Mode>\r\nNo validscope/inheritfrom error found!\r\n"));
    EXPECT_EQ(FrmMain::backColor(child<QLabel>(QStringLiteral("lblRedFlag"))), 0x00FF00);
}

TEST_F(WriterHostTest, TheTraceWindowGetsTimingLines)
{
    start();
    QTest::mouseClick(child<QLabel>(QStringLiteral("lblSample")), Qt::LeftButton);
    action(QStringLiteral("mnuHideAttributes"))->trigger();
    const QString text = window->debugWindow()->txtStatus()->text();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 10) << text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("WriteXML"));
    const QStringList suffixes = {QStringLiteral(" seconds end of WriteXML"),
                                  QStringLiteral(" seconds ViewLanguage - after read varlex.lng"),
                                  QStringLiteral(" seconds end of ViewLanguage")};
    qsizetype from = 0;
    for (const QString &suffix : suffixes) {
        const qsizetype at = text.indexOf(suffix, from);
        ASSERT_GE(at, 0) << suffix.toStdString();
        // An empty line, then a number with three decimals.
        const qsizetype lineStart = text.lastIndexOf(QStringLiteral("\r\n\r\n"), at) + 4;
        const QString number = text.mid(lineStart, at - lineStart);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9.,\u00a0\u202f ]*[0-9][.,][0-9]{3}$")).match(number).hasMatch())
            << number.toStdString();
        from = at;
    }
}


TEST_F(WriterHostTest, RestoreRegistersTheXmlLanguageAgainAndReloadEmptiesTheRegistry)
{
    start();
    action(QStringLiteral("mnuConfirmation"))->setChecked(false);
    action(QStringLiteral("mnuBackup"))->trigger();
    action(QStringLiteral("mnuRestore"))->trigger();
    ASSERT_GE(window->G().languageCount(), 1);
    EXPECT_EQ(window->G().language(0)->name(), QStringLiteral("XML"));
    action(QStringLiteral("mnuReload"))->trigger();
    EXPECT_TRUE(dialogs->messages.isEmpty());
    EXPECT_NE(child<EditorPane>(QStringLiteral("txtXML"))->language(), nullptr);
}
