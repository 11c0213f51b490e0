#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "editorcontrol/pane/editorpane.h"
#include "online/paneprinting.h"
#include "viewer/frmviewer.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QStatusBar>
#include <QTest>

using TestUtil::TempFolder;

namespace {

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"))
            .remove(QStringLiteral("Settings"));
        QDir(program.path()).mkpath(QStringLiteral("language_def"));
    }
    void TearDown() override
    {
        if (viewer)
            delete viewer.data();
    }

    QString exportFolder() const { return program.file(QStringLiteral("language_def")); }
    void writeLng(const QString &name, const QByteArray &bytes) const
    {
        program.write(QStringLiteral("language_def/") + name, bytes);
    }
    QByteArray readLng(const QString &name) const { return program.read(QStringLiteral("language_def/") + name); }

    FrmViewer *open()
    {
        viewer = new FrmViewer(dialogs, ViewerContext{exportFolder(), program.path(), nullptr});
        return viewer;
    }
    QListWidget *list() const { return viewer->findChild<QListWidget *>(QStringLiteral("lstFiles")); }
    EditorPane *pane() const { return viewer->findChild<EditorPane *>(QStringLiteral("txtFile")); }
    QStringList names() const
    {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i)
            out << list()->item(i)->text();
        return out;
    }
    QAction *action(const char *name) const { return viewer->findChild<QAction *>(QLatin1String(name)); }

    TempFolder program;
    ScriptedDialogs dialogs;
    QPointer<FrmViewer> viewer;
};

} // namespace

TEST_F(ViewerTest, ListsTheLngFilesAndShowsTheSelectedOne)
{
    writeLng(QStringLiteral("Pascal.lng"), "<language name=\"Pascal\">\r\n</language>\r\n");
    writeLng(QStringLiteral("basic.lng"), "<language name=\"basic\"/>\r\n");
    writeLng(QStringLiteral("notes.txt"), "not a language");
    open();

    EXPECT_EQ(viewer->windowTitle(), QStringLiteral("Language Viewer  (") + exportFolder() + QStringLiteral(")"));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("basic.lng"), QStringLiteral("Pascal.lng")}));
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_TRUE(pane()->text().isEmpty());

    list()->setCurrentRow(1);
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"Pascal\">\r\n</language>\r\n"));
    list()->setCurrentRow(0);
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"basic\"/>\r\n"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ViewerTest, EmptyOrMissingExportFolderGivesAnEmptyList)
{
    open();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(pane()->text().isEmpty());
    delete viewer.data();

    QDir(exportFolder()).removeRecursively();
    open();
    EXPECT_EQ(list()->count(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ViewerTest, AFileThatCannotBeReadIsReportedAndDeselected)
{
    writeLng(QStringLiteral("gone.lng"), "x");
    open();
    QFile::remove(program.file(QStringLiteral("language_def/gone.lng")));
    list()->setCurrentRow(0);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("gone.lng")));
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(list()->currentRow(), -1);
    EXPECT_TRUE(viewer->selectedFile().isEmpty());
}

TEST_F(ViewerTest, SaveWritesThePaneTextEndingInOneLineBreak)
{
    writeLng(QStringLiteral("a.lng"), "old\r\n");
    open();
    list()->setCurrentRow(0);

    const struct {
        const char *paneText;
        QByteArray stored;
    } cases[] = {
        {"new", "new\r\n"},
        {"two\r\nlines\r\n", "two\r\nlines\r\n"},
        {"caf\xc3\xa9", "caf\xe9\r\n"}, // ANSI in the file
    };
    for (const auto &c : cases) {
        pane()->setText(QString::fromUtf8(c.paneText));
        viewer->mnuSave_Click();
        EXPECT_EQ(readLng(QStringLiteral("a.lng")), c.stored) << c.paneText;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ViewerTest, SaveAsksBeforeLosingCharactersTheCodePageCannotHold)
{
    writeLng(QStringLiteral("a.lng"), "old\r\n");
    open();
    list()->setCurrentRow(0);
    pane()->setText(QStringLiteral("arrow \u2192"));

    dialogs.answers = {Dialogs::Answer::Cancel};
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("old\r\n"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::OkCancel);

    dialogs.answers = {Dialogs::Answer::Ok};
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("arrow ?\r\n"));
}

TEST_F(ViewerTest, SaveFailureNamesTheFileAndNoSelectionDoesNothing)
{
    writeLng(QStringLiteral("a.lng"), "old\r\n");
    open();

    pane()->setText(QStringLiteral("text"));
    viewer->mnuSave_Click();
    viewer->mnuPrint_Click();
    viewer->mnuDelete_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("old\r\n"));

    list()->setCurrentRow(0);
    QDir(exportFolder()).removeRecursively();
    viewer->mnuSave_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Save File"));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("a.lng")));
}

TEST_F(ViewerTest, EditsAreOfferedForSavingBeforeTheyAreDropped)
{
    const struct {
        Dialogs::Answer answer;
        QByteArray storedA;
        int row;
    } cases[] = {
        {Dialogs::Answer::Cancel, "a\r\n", 0},
        {Dialogs::Answer::No, "a\r\n", 1},
        {Dialogs::Answer::Yes, "edited\r\n", 1},
    };
    for (const auto &c : cases) {
        writeLng(QStringLiteral("a.lng"), "a\r\n");
        writeLng(QStringLiteral("b.lng"), "b\r\n");
        dialogs.messages.clear();
        open();
        viewer->show();
        list()->setCurrentRow(0);
        pane()->selectAll();
        pane()->removeSelectedText();
        pane()->insert(QStringLiteral("edited"));

        dialogs.answers = {c.answer};
        list()->setCurrentRow(1);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Save changes to \"a.lng\"?"));
        EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
        EXPECT_EQ(readLng(QStringLiteral("a.lng")), c.storedA);
        EXPECT_EQ(list()->currentRow(), c.row);
        EXPECT_EQ(pane()->text(), c.row == 0 ? QStringLiteral("edited") : QStringLiteral("b\r\n"));

        // Closing with edits left: Cancel keeps the window open.
        pane()->insert(QStringLiteral("more"));
        dialogs.answers = {Dialogs::Answer::Cancel};
        EXPECT_FALSE(viewer->close());
        dialogs.answers = {Dialogs::Answer::No};
        EXPECT_TRUE(viewer->close());
        ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }));
    }
}

TEST_F(ViewerTest, DeleteSelectsTheEntryThatFollows)
{
    const struct {
        int count;
        int deleteRow;
        QStringList left;
        int selected; // -1: none
    } cases[] = {
        {3, 1, {"f0.lng", "f2.lng"}, 1},
        {3, 0, {"f1.lng", "f2.lng"}, 0},
        {3, 2, {"f0.lng", "f1.lng"}, 1}, // the last one: the new last entry
        {1, 0, {}, -1},                  // the only one: the list is empty
    };
    for (const auto &c : cases) {
        QDir(exportFolder()).removeRecursively();
        QDir().mkpath(exportFolder());
        for (int i = 0; i < c.count; ++i)
            writeLng(QStringLiteral("f%1.lng").arg(i), QStringLiteral("file %1\r\n").arg(i).toLatin1());
        dialogs.messages.clear();
        open();
        list()->setCurrentRow(c.deleteRow);

        dialogs.answers = {Dialogs::Answer::Ok};
        viewer->mnuDelete_Click();

        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Are you sure?"));
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("Delete File"));
        EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::OkCancel);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Question);
        EXPECT_FALSE(QFile::exists(program.file(QStringLiteral("language_def/f%1.lng").arg(c.deleteRow))));
        EXPECT_EQ(names(), c.left);
        EXPECT_EQ(list()->currentRow(), c.selected);
        const QString shown = c.selected < 0 ? QString() : QString::fromLatin1(readLng(c.left[c.selected]));
        EXPECT_EQ(pane()->text(), shown);
        delete viewer.data();
    }
}

TEST_F(ViewerTest, DeleteCancelledOrFailedKeepsTheList)
{
    writeLng(QStringLiteral("a.lng"), "a");
    writeLng(QStringLiteral("b.lng"), "b");
    open();
    list()->setCurrentRow(0);

    dialogs.answers = {Dialogs::Answer::Cancel};
    viewer->mnuDelete_Click();
    EXPECT_TRUE(QFile::exists(program.file(QStringLiteral("language_def/a.lng"))));
    EXPECT_EQ(list()->count(), 2);

    QFile::remove(program.file(QStringLiteral("language_def/a.lng")));
    dialogs.answers = {Dialogs::Answer::Ok};
    viewer->mnuDelete_Click();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[2].title, QStringLiteral("Delete File"));
    EXPECT_TRUE(dialogs.messages[2].text.contains(QStringLiteral("a.lng")));
    EXPECT_EQ(list()->count(), 2);
}

TEST_F(ViewerTest, MenuAndToolbarRunTheCommands)
{
    for (const char *name : {"a", "b", "c"})
        writeLng(QLatin1String(name) + QStringLiteral(".lng"), name);
    open();
    EXPECT_EQ(action("mnuSave")->text() + action("mnuPrint")->text() + action("mnuDelete")->text(),
              QStringLiteral("&Save&Print&Delete"));

    list()->setCurrentRow(0);
    dialogs.answers = {Dialogs::Answer::Ok};
    action("Toolbar1_delete")->trigger();
    pane()->setText(QStringLiteral("changed"));
    action("Toolbar1_save")->trigger();
    viewer->Toolbar1_ButtonClick(QStringLiteral("unknown"));
    EXPECT_EQ(names(), (QStringList{QStringLiteral("b.lng"), QStringLiteral("c.lng")}));
    EXPECT_EQ(readLng(QStringLiteral("b.lng")), QByteArray("changed\r\n"));
}

TEST_F(ViewerTest, PopupShowsVarlexLngWhateverIsSelected)
{
    writeLng(QStringLiteral("a.lng"), "exported");
    program.write(QStringLiteral("varlex.lng"), "<language name=\"preview\"/>\r\n");
    open();
    viewer->show();
    list()->setCurrentRow(0);

    auto *popup = viewer->findChild<QMenu *>(QStringLiteral("mnuPopUp"));
    ASSERT_NE(popup, nullptr);
    QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(popup->isVisible());
    popup->close();
    QTest::mouseRelease(list()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(popup->isVisible());

    QAction *show = action("mnuVarlex");
    EXPECT_EQ(show->text(), QStringLiteral("Show Varlex.lng"));
    show->trigger();
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"preview\"/>\r\n"));
    // Save must not write the preview over the exported file.
    EXPECT_EQ(list()->currentRow(), -1);
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("exported"));

    QFile::remove(program.file(QStringLiteral("varlex.lng")));
    show->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("varlex.lng")));
}

TEST_F(ViewerTest, GeometryKeysInTwips)
{
    open();
    // Defaults: 2400, 2400, 6000, 4000 twips at 15 twips per pixel.
    EXPECT_EQ(viewer->pos(), QPoint(160, 160));
    EXPECT_EQ(viewer->size(), QSize(400, 267));
    viewer->show();
    viewer->move(100, 50);
    viewer->resize(600, 420);
    viewer->close(); // deletes itself
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }));

    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.beginGroup(QStringLiteral("Settings"));
    EXPECT_EQ(store.value(QStringLiteral("ImportLeft")).toString(), QStringLiteral("1500"));
    EXPECT_EQ(store.value(QStringLiteral("ImportTop")).toString(), QStringLiteral("750"));
    EXPECT_EQ(store.value(QStringLiteral("ImportWidth")).toString(), QStringLiteral("9000"));
    EXPECT_EQ(store.value(QStringLiteral("ImportHeight")).toString(), QStringLiteral("6300"));

    open();
    EXPECT_EQ(viewer->pos(), QPoint(100, 50));
    EXPECT_EQ(viewer->size(), QSize(600, 420));

    // Minimized or maximized: the stored geometry stays.
    for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        viewer->show();
        viewer->move(10, 10);
        viewer->setWindowState(state);
        viewer->Settings(QStringLiteral("save"));
        EXPECT_EQ(store.value(QStringLiteral("ImportLeft")).toString(), QStringLiteral("1500"));
        viewer->setWindowState(Qt::WindowNoState);
    }

    // A value that is not a number falls back to its default.
    store.setValue(QStringLiteral("ImportWidth"), QStringLiteral("wide"));
    viewer->Settings(QStringLiteral("get"));
    EXPECT_EQ(viewer->width(), 400);
}

TEST_F(ViewerTest, ResizeKeepsTheListWidthAndFillsThePane)
{
    open();
    viewer->show();
    viewer->resize(700, 500);
    QTest::qWait(0);
    auto *central = viewer->centralWidget();
    const int listWidth = list()->width();
    EXPECT_EQ(list()->height(), central->height() - 8);
    EXPECT_EQ(pane()->height(), list()->height());
    EXPECT_EQ(pane()->geometry().right() + 1, central->width() - 4);

    viewer->resize(900, 650);
    QTest::qWait(0);
    EXPECT_EQ(list()->width(), listWidth);
    EXPECT_EQ(pane()->height(), central->height() - 8);
    EXPECT_EQ(pane()->geometry().right() + 1, central->width() - 4);
}

TEST_F(ViewerTest, PrintWithoutPrinterWritesAPdfOfTheFile)
{
    if (PanePrinting::hasDefaultPrinter())
        GTEST_SKIP() << "a printer is set up";
    writeLng(QStringLiteral("Pascal.lng"), "<language name=\"PascalPrinted\">\r\n</language>\r\n");
    open();
    list()->setCurrentRow(0);
    pane()->setText(QStringLiteral("unsaved edit"));
    viewer->mnuPrint_Click();

    const QString pdf = program.file(QStringLiteral("Pascal.lng.pdf"));
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(viewer->statusBar()->currentMessage().contains(QDir::toNativeSeparators(pdf)));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("PascalPrinted"))) << out.toStdString();
    EXPECT_FALSE(out.contains(QStringLiteral("unsaved edit")));
}
