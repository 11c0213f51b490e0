#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "mainwindow/frmmain.h"
#include "model/programfolder.h"
#include "online/paneprinting.h"
#include "viewer/frmviewer.h"
#include "widgets/editorpane.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QWindow>

namespace {

using Answer = Dialogs::Answer;

class ViewerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex")).remove(QStringLiteral("Settings"));
        QDir().mkpath(exportFolder());
    }
    void TearDown() override { delete viewer.data(); }

    QString exportFolder() const { return program.file(QStringLiteral("language_def")); }
    QString lngPath(const QString &name) const { return program.file(QStringLiteral("language_def/") + name); }
    void writeLng(const QString &name, const QByteArray &bytes) const { program.write(QStringLiteral("language_def/") + name, bytes); }
    QByteArray readLng(const QString &name) const { return program.read(QStringLiteral("language_def/") + name); }

    // Opens a fresh viewer, shown, closing one left open, with no messages recorded yet.
    void open(int row = -1)
    {
        delete viewer.data();
        dialogs.messages.clear();
        viewer = new FrmViewer(dialogs, ViewerContext{exportFolder(), program.path(), nullptr});
        viewer->show();
        if (row >= 0)
            list()->setCurrentRow(row);
    }
    QListWidget *list() const { return viewer->findChild<QListWidget *>(QStringLiteral("lstFiles")); }
    EditorPane *pane() const { return viewer->findChild<EditorPane *>(QStringLiteral("txtFile")); }
    QAction *action(const char *name) const { return viewer->findChild<QAction *>(QLatin1String(name)); }
    static QStringList texts(const QList<QListWidgetItem *> &items)
    {
        QStringList out;
        for (const QListWidgetItem *item : items)
            out << item->text();
        return out;
    }
    QStringList names() const { return texts(list()->findItems(QStringLiteral("*"), Qt::MatchWildcard)); }
    QStringList highlighted() const { return texts(list()->selectedItems()); } // as the user sees them
    // A click on an entry with the mouse, and the events it leaves behind.
    void click(int row) const
    {
        const QRect rect = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::qWait(0);
    }
    void edit(const QString &text) const
    {
        pane()->selectAll();
        pane()->replaceSelectedText(text);
    }

    TestUtil::TempFolder program;
    ScriptedDialogs dialogs;
    QPointer<FrmViewer> viewer;
};

} // namespace

TEST_F(ViewerTest, ListsTheLngFilesShowsTheHighlightedOneAndListsAgainWhenShown)
{
    open(); // an empty export folder
    EXPECT_EQ(list()->count(), 0);
    writeLng(QStringLiteral("Pascal.lng"), "<language name=\"Pascal\">\r\n</language>\r\n");
    writeLng(QStringLiteral("basic.lng"), "<language name=\"basic\"/>\r\n");
    writeLng(QStringLiteral("notes.txt"), "not a language");
    viewer->showFiles(); // "Show Language Files" again, e.g. after Export All
    EXPECT_EQ(viewer->windowHandle()->title(), QStringLiteral("Language Viewer  (%1)").arg(exportFolder()));
    EXPECT_EQ(names(), (QStringList{"basic.lng", "Pascal.lng"}));
    EXPECT_TRUE(highlighted().isEmpty() && pane()->text().isEmpty());
    click(1);
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"Pascal\">\r\n</language>\r\n"));
    click(0);
    EXPECT_EQ(highlighted(), QStringList{"basic.lng"});
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"basic\"/>\r\n"));
    EXPECT_TRUE(dialogs.messages.empty());

    // The shown file removed by someone else goes from the list and the pane at the next showing.
    QFile::remove(lngPath(QStringLiteral("basic.lng")));
    viewer->showFiles();
    EXPECT_EQ(names(), QStringList{"Pascal.lng"});
    EXPECT_TRUE(highlighted().isEmpty() && pane()->text().isEmpty());
    // A file gone since the list was made is reported and not highlighted.
    QFile::remove(lngPath(QStringLiteral("Pascal.lng")));
    click(0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Pascal.lng")));
    EXPECT_TRUE(highlighted().isEmpty() && viewer->selectedFile().isEmpty());
}

// Cancel in "Save changes to ...?" keeps the edited file shown and highlighted, whether the other
// entry was clicked or reached by keyboard, and Save, Print and Delete then act on exactly it.
TEST_F(ViewerTest, TheHighlightedEntryIsAlwaysTheFileThePaneShows)
{
    const struct {
        Answer answer;
        QByteArray storedA;
        QString shown; // the file highlighted and shown afterwards
    } cases[] = {{Answer::Yes, "edited\r\n", "b.lng"}, {Answer::No, "a\r\n", "b.lng"}, {Answer::Cancel, "a\r\n", "a.lng"}};
    for (const bool byMouse : {false, true}) {
        for (const auto &c : cases) {
            writeLng(QStringLiteral("a.lng"), "a\r\n");
            writeLng(QStringLiteral("b.lng"), "b\r\n");
            open();
            click(0);
            edit(QStringLiteral("edited"));
            dialogs.answers = {c.answer};
            if (byMouse)
                click(1);
            else
                QTest::keyClick(list(), Qt::Key_Down);
            QTest::qWait(0);
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Save changes to \"a.lng\"?"));
            EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::YesNoCancel);
            EXPECT_EQ(readLng(QStringLiteral("a.lng")), c.storedA);
            EXPECT_EQ(highlighted(), QStringList{c.shown}) << byMouse;
            EXPECT_EQ(list()->currentItem()->text(), c.shown) << byMouse;
            EXPECT_EQ(pane()->text(), c.shown == "a.lng" ? QStringLiteral("edited") : QStringLiteral("b\r\n"));
        }
    }
    // A click on the empty part of the list keeps the highlight. After the last Cancel: Save writes
    // the shown file, and Delete removes exactly it; the status bar no longer names it.
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, QPoint(5, list()->viewport()->height() - 5));
    QTest::qWait(0);
    EXPECT_EQ(highlighted(), QStringList{"a.lng"});
    action("mnuSave")->trigger();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("edited\r\n"));
    EXPECT_TRUE(viewer->statusBar()->currentMessage().contains(QStringLiteral("a.lng")));
    dialogs.messages.clear();
    dialogs.answers = {Answer::Ok};
    action("mnuDelete")->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(names(), QStringList{"b.lng"});
    EXPECT_EQ(highlighted(), QStringList{"b.lng"});
    EXPECT_TRUE(viewer->statusBar()->currentMessage().isEmpty());
}

TEST_F(ViewerTest, SaveWritesAnsiTextEndingInOneLineBreak)
{
    open();
    writeLng(QStringLiteral("a.lng"), "old\r\n");
    viewer->refreshFiles();
    pane()->setText(QStringLiteral("text")); // nothing highlighted: each command says so
    viewer->mnuSave_Click();
    viewer->mnuPrint_Click();
    viewer->mnuDelete_Click();
    const QString none = QStringLiteral("No file is selected. Choose one in the list first.");
    EXPECT_EQ(dialogs.shown(), (QStringList{QStringLiteral("Save File: ") + none, QStringLiteral("Print File: ") + none,
                                           QStringLiteral("Delete File: ") + none}));
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("old\r\n"));

    dialogs.messages.clear();
    list()->setCurrentRow(0);
    const std::pair<const char *, QByteArray> cases[] = {
        {"new", "new\r\n"}, {"two\r\nlines\r\n", "two\r\nlines\r\n"}, {"caf\xc3\xa9", "caf\xe9\r\n"}};
    for (const auto &[text, stored] : cases) {
        pane()->setText(QString::fromUtf8(text));
        viewer->mnuSave_Click();
        EXPECT_EQ(readLng(QStringLiteral("a.lng")), stored) << text;
    }
    EXPECT_TRUE(dialogs.messages.empty());

    // Characters the code page cannot hold: asked first, Cancel keeps the file.
    pane()->setText(QStringLiteral("arrow \u2192"));
    dialogs.answers = {Answer::Cancel, Answer::Ok};
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("caf\xe9\r\n"));
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("arrow ?\r\n"));
    EXPECT_EQ(dialogs.messages.at(1).buttons, Dialogs::Buttons::OkCancel);

    // A failed save names the file and the system's reason.
    pane()->setText(QStringLiteral("text"));
    dialogs.messages.clear();
    QDir(exportFolder()).removeRecursively();
    viewer->mnuSave_Click();
    EXPECT_EQ(dialogs.shown(), QStringList{QStringLiteral("Save File: Could not save \"%1\": No such file or directory")
                                              .arg(lngPath(QStringLiteral("a.lng")))});
}

// Closing the viewer, or the main window while the viewer holds edits: Cancel keeps both windows
// and the edits; after No, nothing more is asked.
TEST_F(ViewerTest, ClosingOffersTheEditsAndCancelKeepsEverything)
{
    writeLng(QStringLiteral("a.lng"), "a\r\n");
    ProgramFolder::resolve(program.path());
    program.write(QStringLiteral("xml.lng"), TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("data/xml.lng"))));
    auto owned = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs &asked = *owned;
    FrmMain main(std::move(owned));
    main.show();
    main.mnuShowLanguageFile_Click();
    viewer = main.findChild<FrmViewer *>();
    ASSERT_TRUE(viewer);
    list()->setCurrentRow(0);
    edit(QStringLiteral("edited"));
    asked.messages.clear();
    asked.answers = {Answer::Cancel};
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible() && viewer && viewer->isVisible());
    EXPECT_EQ(pane()->text(), QStringLiteral("edited"));
    ASSERT_EQ(asked.messages.size(), 1u);
    EXPECT_EQ(asked.messages[0].text, QStringLiteral("Save changes to \"a.lng\"?"));

    asked.answers = {Answer::Cancel};
    EXPECT_FALSE(viewer->close());
    asked.answers = {Answer::No};
    EXPECT_TRUE(main.close());
    EXPECT_EQ(asked.messages.size(), 3u);
    EXPECT_EQ(readLng(QStringLiteral("a.lng")), QByteArray("a\r\n"));
}

TEST_F(ViewerTest, DeleteSelectsTheEntryThatFollows)
{
    const struct {
        int count, deleteRow;
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
        for (int i = 0; i < c.count; ++i)
            writeLng(QStringLiteral("f%1.lng").arg(i), QStringLiteral("file %1\r\n").arg(i).toLatin1());
        open(c.deleteRow);
        dialogs.answers = {Answer::Ok};
        viewer->mnuDelete_Click();
        EXPECT_EQ(dialogs.shown(), QStringList{QStringLiteral("Delete File: Are you sure?")});
        EXPECT_EQ(dialogs.messages.at(0).buttons, Dialogs::Buttons::OkCancel);
        EXPECT_EQ(names(), c.left);
        EXPECT_EQ(list()->currentRow(), c.selected);
        EXPECT_EQ(pane()->text(), c.selected < 0 ? QString() : QString::fromLatin1(readLng(c.left[c.selected])));
    }

    // Cancelled or failed: the list stays.
    for (const char *name : {"f0.lng", "f1.lng"})
        writeLng(QLatin1String(name), "x");
    open(0);
    viewer->mnuDelete_Click(); // Cancel
    EXPECT_TRUE(QFile::exists(lngPath(QStringLiteral("f0.lng"))));
    QFile::remove(lngPath(QStringLiteral("f0.lng")));
    dialogs.answers = {Answer::Ok};
    viewer->mnuDelete_Click();
    EXPECT_TRUE(dialogs.shown().value(2).startsWith(QStringLiteral("Delete File: Could not delete \"%1\"").arg(lngPath(QStringLiteral("f0.lng")))));
    EXPECT_EQ(list()->count(), 2);
}

TEST_F(ViewerTest, MenuToolbarAndPopup)
{
    for (const char *name : {"a", "b", "c"})
        writeLng(QLatin1String(name) + QStringLiteral(".lng"), name);
    program.write(QStringLiteral("varlex.lng"), "<language name=\"preview\"/>\r\n");
    open(0);
    dialogs.answers = {Answer::Ok};
    action("Toolbar1_delete")->trigger();
    pane()->setText(QStringLiteral("changed"));
    action("Toolbar1_save")->trigger();
    EXPECT_EQ(names(), (QStringList{"b.lng", "c.lng"}));
    EXPECT_EQ(readLng(QStringLiteral("b.lng")), QByteArray("changed\r\n"));

    auto *popup = viewer->findChild<QMenu *>(QStringLiteral("mnuPopUp"));
    ASSERT_NE(popup, nullptr);
    QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(popup->isVisible());
    popup->close();

    // Show Varlex.lng whatever is highlighted; nothing is highlighted then, so Save cannot write the
    // preview over an exported file.
    QAction *show = action("mnuVarlex");
    EXPECT_EQ(show->text(), QStringLiteral("Show Varlex.lng"));
    show->trigger();
    EXPECT_EQ(pane()->text(), QStringLiteral("<language name=\"preview\"/>\r\n"));
    EXPECT_TRUE(highlighted().isEmpty());
    dialogs.messages.clear();
    viewer->mnuSave_Click();
    EXPECT_EQ(readLng(QStringLiteral("b.lng")), QByteArray("changed\r\n"));
    QFile::remove(program.file(QStringLiteral("varlex.lng")));
    show->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("varlex.lng")));
}

// The viewer opens wide enough for its whole title with the first file shown, the line between list
// and pane moves and is remembered with the window's place and size; "*" marks unsaved edits.
TEST_F(ViewerTest, OpensUsefullyWithTheFirstFileAndMarksUnsavedEdits)
{
    writeLng(QStringLiteral("b.lng"), "b\r\n");
    writeLng(QStringLiteral("a.lng"), "a\r\n");
    delete viewer.data();
    viewer = new FrmViewer(dialogs, ViewerContext{exportFolder(), program.path(), nullptr});
    viewer->show();
    const QString title = viewer->windowHandle()->title();
    EXPECT_EQ(title, QStringLiteral("Language Viewer  (%1)").arg(exportFolder()));
    EXPECT_GT(viewer->width(), viewer->fontMetrics().horizontalAdvance(title) + 100);
    EXPECT_GE(viewer->height(), 400);
    EXPECT_EQ(highlighted(), QStringList{"a.lng"});
    EXPECT_EQ(pane()->text(), QStringLiteral("a\r\n"));

    QTest::keyClicks(pane(), QStringLiteral("x"));
    EXPECT_EQ(viewer->windowHandle()->title(), title + QStringLiteral("*"));
    viewer->mnuSave_Click();
    EXPECT_EQ(viewer->windowHandle()->title(), title);

    // Resizing keeps the list's width; the splitter gives the pane more.
    auto *splitter = viewer->findChild<QSplitter *>(QStringLiteral("splFiles"));
    ASSERT_TRUE(splitter);
    const int listWidth = list()->width();
    const QSize size = viewer->size();
    viewer->resize(size + QSize(40, 30));
    QTest::qWait(0);
    EXPECT_EQ(list()->width(), listWidth);
    viewer->resize(size);
    splitter->setSizes({listWidth + 50, splitter->sizes().at(1) - 50});
    EXPECT_EQ(list()->width(), listWidth + 50);
    viewer->move(20, 20);
    viewer->close(); // deletes itself
    ASSERT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }));
    QSettings store(QSettings::UserScope, QStringLiteral("Varlex"), QStringLiteral("Varlex"));
    store.beginGroup(QStringLiteral("Settings"));
    QStringList stored;
    for (const char *key : {"ImportLeft", "ImportTop", "ImportWidth", "ImportHeight", "ImportSplit"})
        stored << store.value(QLatin1String(key)).toString();
    EXPECT_EQ(stored, (QStringList{"300", "300", QString::number(size.width() * 15), QString::number(size.height() * 15),
                                   QString::number((listWidth + 50) * 15)}));

    open();
    EXPECT_EQ(viewer->pos(), QPoint(20, 20));
    EXPECT_EQ(viewer->size(), size);
    EXPECT_EQ(list()->width(), listWidth + 50);
    // Minimized or maximized: the stored geometry stays.
    for (const Qt::WindowState state : {Qt::WindowMinimized, Qt::WindowMaximized}) {
        viewer->move(10, 10);
        viewer->setWindowState(state);
        viewer->Settings(QStringLiteral("save"));
        EXPECT_EQ(store.value(QStringLiteral("ImportLeft")).toString(), QStringLiteral("300"));
        viewer->setWindowState(Qt::WindowNoState);
    }
    // A value that is not a number, or a size too small to show the title (the old default of
    // 6000 x 4000 twips), gives the useful size.
    for (const char *width : {"wide", "6000"}) {
        store.setValue(QStringLiteral("ImportWidth"), QLatin1String(width));
        store.setValue(QStringLiteral("ImportHeight"), QStringLiteral("4000"));
        viewer->Settings(QStringLiteral("get"));
        EXPECT_GT(viewer->width(), viewer->fontMetrics().horizontalAdvance(title) + 100) << width;
        EXPECT_GE(viewer->height(), 400) << width;
    }
}

// Print takes the file as stored, not the pane's edits; several pages without a printer go to a PDF.
TEST_F(ViewerTest, PrintWithoutPrinterWritesAPdfOfTheFile)
{
    if (PanePrinting::hasDefaultPrinter())
        GTEST_SKIP() << "a printer is set up";
    QByteArray text;
    for (int i = 0; i < 120; ++i)
        text += "<tokenset name=\"Set" + QByteArray::number(i) + "\" id=\"text\"/>\r\n";
    writeLng(QStringLiteral("Pascal.lng"), text);
    open(0);
    pane()->setText(QStringLiteral("unsaved edit"));
    viewer->mnuPrint_Click();
    const QString pdf = program.file(QStringLiteral("Pascal.lng.pdf"));
    EXPECT_TRUE(viewer->statusBar()->currentMessage().contains(QDir::toNativeSeparators(pdf)));
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString out = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QLatin1String("Set0")) && out.contains(QLatin1String("Set119")) && !out.contains(QLatin1String("unsaved")));
    EXPECT_GE(out.count(QLatin1Char('\f')), 2); // pages
}
