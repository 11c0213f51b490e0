#include "common/testutil.h"
#include "pane/panetest.h"
#include "model/ansicodec.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QPainter>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QTest>

namespace {

using Sci = QsciScintillaBase;
using PaneTest::putCaret;
using PaneTest::settle;

QString lines(int n, const QString &prefix = QStringLiteral("line"))
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << prefix + QString::number(i);
    return out.join(QLatin1Char('\n'));
}

QPixmap solid(const QColor &c)
{
    QPixmap pm(12, 12);
    pm.fill(c);
    return pm;
}

} // namespace

TEST(EditorPane, TextAndChangeNotification)
{
    EditorPane pane;
    QSignalSpy changed(&pane, &EditorPane::changed);

    // Programmatic text reports one change, as the window's loading flag expects.
    pane.setText(QStringLiteral("alpha\nbeta"));
    EXPECT_EQ(pane.text(), QStringLiteral("alpha\nbeta"));
    EXPECT_EQ(changed.count(), 1);

    // The same text again is no change.
    pane.setText(QStringLiteral("alpha\nbeta"));
    EXPECT_EQ(changed.count(), 1);

    // A user edit reports.
    putCaret(pane, 1, 4);
    QTest::keyClicks(&pane, QStringLiteral("x"));
    EXPECT_EQ(pane.text(), QStringLiteral("alpha\nbetax"));
    EXPECT_GE(changed.count(), 2);

    // Undo and redo are edits like any other.
    const int edits = changed.count();
    pane.undo();
    EXPECT_EQ(pane.text(), QStringLiteral("alpha\nbeta"));
    pane.redo();
    EXPECT_EQ(pane.text(), QStringLiteral("alpha\nbetax"));
    EXPECT_EQ(changed.count(), edits + 2);

    // With reporting off (the XML pane while its text is replaced), nothing is reported.
    const int before = changed.count();
    pane.setReportChanges(false);
    pane.setText(QStringLiteral("gamma"));
    QTest::keyClicks(&pane, QStringLiteral("y"));
    EXPECT_EQ(changed.count(), before);
    pane.setReportChanges(true);
    EXPECT_TRUE(pane.reportChanges());

    // Non-Latin text survives the round trip.
    pane.setText(QStringLiteral("Grüße €\n\u4e2d\U0001F600"));
    EXPECT_EQ(pane.text(), QStringLiteral("Grüße €\n\u4e2d\U0001F600"));
}

TEST(EditorPane, SetTextKeepsCaretAndStartsUndoAfresh)
{
    EditorPane pane;
    pane.setText(lines(50));
    putCaret(pane, 30, 3);
    pane.setText(lines(50, QStringLiteral("row")));
    EXPECT_EQ(pane.selectionLine(), 30);
    EXPECT_FALSE(pane.isUndoAvailable()); // undo never brings back the replaced text

    // A shorter text puts the caret on its last line.
    pane.setText(QStringLiteral("one\ntwo"));
    EXPECT_EQ(pane.selectionLine(), 1);
}

TEST(EditorPane, NewLineBreaksFollowTheText)
{
    EditorPane pane;
    for (const QString &br : {QStringLiteral("\r\n"), QStringLiteral("\n"), QStringLiteral("\r")}) {
        pane.setText(QStringLiteral("a") + br + QStringLiteral("b"));
        putCaret(pane, 1, 1);
        QTest::keyClick(&pane, Qt::Key_Return);
        EXPECT_EQ(pane.text(), QStringLiteral("a") + br + QStringLiteral("b") + br);
    }
    // A text of one line keeps the last kind; a new pane starts with CR LF.
    EditorPane fresh;
    fresh.setText(QStringLiteral("x"));
    putCaret(fresh, 0, 1);
    QTest::keyClick(&fresh, Qt::Key_Return);
    EXPECT_EQ(fresh.text(), QStringLiteral("x\r\n"));
}

TEST(EditorPane, MarginImageBits)
{
    EditorPane pane;
    pane.setText(lines(5));
    pane.setMarginImages({solid(Qt::red), solid(Qt::green), solid(Qt::blue)});
    EXPECT_EQ(pane.marginImageCount(), 3);

    EXPECT_EQ(pane.marginImageBits(2), 0);
    EXPECT_TRUE(pane.setMarginImageBits(2, 0x2));
    EXPECT_EQ(pane.marginImageBits(2), 0x2);
    EXPECT_EQ(pane.marginImageBits(1), 0);

    // Flipping the second image twice leaves the line as it was (the margin image button).
    for (int click = 0; click < 2; ++click)
        pane.setMarginImageBits(3, pane.marginImageBits(3) ^ 2);
    EXPECT_EQ(pane.marginImageBits(3), 0);

    // All eight bits are kept, even for images the list does not hold.
    EXPECT_TRUE(pane.setMarginImageBits(4, 0xA5));
    EXPECT_EQ(pane.marginImageBits(4), 0xA5);
    EXPECT_TRUE(pane.setMarginImageBits(4, 0x1FF)); // more than a byte: only the byte counts
    EXPECT_EQ(pane.marginImageBits(4), 0xFF);

    // Lines out of range.
    EXPECT_FALSE(pane.setMarginImageBits(-1, 1));
    EXPECT_FALSE(pane.setMarginImageBits(5, 1));
    EXPECT_EQ(pane.marginImageBits(99), 0);

    // Picture files that hold no picture (text, a cut PNG, nothing) give empty images: their
    // lines keep their bits and show nothing.
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("text.png"), "<memberlist name=\"x\"/>");
    folder.write(QStringLiteral("cut.png"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    folder.write(QStringLiteral("empty.bmp"), QByteArray());
    QList<QPixmap> broken;
    for (const char *name : {"text.png", "cut.png", "empty.bmp"})
        broken += QPixmap(folder.file(QString::fromLatin1(name)));
    pane.setMarginImages(broken);
    EXPECT_EQ(pane.marginImageCount(), 3);
    EXPECT_TRUE(pane.setMarginImageBits(4, 0x7));
    EXPECT_EQ(pane.marginImageBits(4), 0x7);
    pane.setMarginImages({solid(Qt::red), solid(Qt::green), solid(Qt::blue)});

    // Images move with their line when lines are inserted above.
    putCaret(pane, 0, 0);
    QTest::keyClick(&pane, Qt::Key_Return);
    EXPECT_EQ(pane.marginImageBits(3), 0x2);
}

TEST(EditorPane, DisplayOptions)
{
    EditorPane pane;
    pane.setText(lines(120));
    pane.setLeftMarginVisible(false);
    EXPECT_EQ(pane.marginWidth(1), 0);
    pane.setLeftMarginVisible(true);
    EXPECT_GT(pane.marginWidth(1), 0);

    pane.setWhiteSpaceVisible(true);
    EXPECT_EQ(pane.whitespaceVisibility(), QsciScintilla::WsVisible);
    pane.setWhiteSpaceVisible(false);
    EXPECT_EQ(pane.whitespaceVisibility(), QsciScintilla::WsInvisible);

    pane.setLineNumbersVisible(false);
    EXPECT_EQ(pane.marginWidth(0), 0);
    pane.setLineNumbersVisible(true);
    EXPECT_GT(pane.marginWidth(0), 0);
}

TEST(EditorPane, BoldNumberFollowsTheCaretLine)
{
    EditorPane pane;
    pane.setText(lines(10));
    pane.setLineNumbersVisible(true);
    pane.setBoldSelectionLineNumber(true);
    auto style = [&](int line) { return pane.SendScintilla(Sci::SCI_MARGINGETSTYLE, line); };
    auto number = [&](int line) {
        QByteArray buf(16, '\0');
        const long n = pane.SendScintilla(Sci::SCI_MARGINGETTEXT, line, buf.data());
        return QString::fromUtf8(buf.left(n));
    };
    putCaret(pane, 4, 0);
    settle(pane);
    EXPECT_NE(style(4), style(3));
    EXPECT_EQ(style(3), style(5));
    EXPECT_EQ(number(4), QStringLiteral("5"));

    // Numbers follow inserted lines; the bold one follows the caret.
    putCaret(pane, 1, 0);
    QTest::keyClick(&pane, Qt::Key_Return);
    settle(pane);
    EXPECT_EQ(pane.selectionLine(), 2);
    EXPECT_EQ(number(10), QStringLiteral("11"));
    EXPECT_NE(style(2), style(4));
    EXPECT_EQ(style(4), style(5));

    // Switching the bold number off restores the plain number margin.
    pane.setBoldSelectionLineNumber(false);
    EXPECT_EQ(pane.marginType(0), QsciScintilla::NumberMargin);
}

TEST(EditorPane, FindNextSelectsExactText)
{
    EditorPane pane;
    pane.setText(QStringLiteral("<tokenset name=\"keywords\">\n<tokenset name=\"key\">\n<tokenset name=\"Key\">\n"
                                "<tokenset name=\"key\">"));
    EXPECT_FALSE(pane.findNext()); // no text yet
    pane.setFindText(QStringLiteral("<tokenset name=\"key\""));
    ASSERT_TRUE(pane.findNext());
    EXPECT_EQ(pane.selectedText(), QStringLiteral("<tokenset name=\"key\""));
    EXPECT_EQ(pane.selectionLine(), 1);
    ASSERT_TRUE(pane.findNext()); // the next one, skipping the other letter case
    EXPECT_EQ(pane.selectionLine(), 3);
    ASSERT_TRUE(pane.findNext()); // wraps around
    EXPECT_EQ(pane.selectionLine(), 1);

    pane.setFindText(QStringLiteral("absent"));
    EXPECT_FALSE(pane.findNext());
}

TEST(EditorPane, SaveWritesAnsiTextAtomically)
{
    TestUtil::TempFolder folder;
    EditorPane pane;
    pane.setText(QStringLiteral("caf\u00e9\r\nline"));
    ASSERT_TRUE(pane.saveFile(folder.file(QStringLiteral("out.txt"))));
    EXPECT_EQ(folder.read(QStringLiteral("out.txt")), AnsiCodec::encode(QStringLiteral("caf\u00e9\r\nline")));

    // A folder that does not exist: reported, nothing written.
    EXPECT_FALSE(pane.saveFile(folder.file(QStringLiteral("missing/out.txt"))));
    EXPECT_FALSE(folder.exists(QStringLiteral("missing/out.txt")));
}

TEST(EditorPane, PrintsToPdf)
{
    TestUtil::TempFolder folder;
    EditorPane pane;
    pane.setText(lines(200));
    {
        QsciPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.file(QStringLiteral("a.pdf")));
        EXPECT_TRUE(pane.print(printer));
    }
    EXPECT_TRUE(folder.read(QStringLiteral("a.pdf")).startsWith("%PDF"));

    if (QPrinterInfo::defaultPrinter().isNull()) {
        EXPECT_TRUE(pane.printDefault(folder.file(QStringLiteral("b.pdf"))));
        EXPECT_TRUE(folder.read(QStringLiteral("b.pdf")).startsWith("%PDF"));
        EXPECT_FALSE(pane.printDefault(QString()));
    }
}

TEST(EditorPane, DroppedFilesInsertTheirText)
{
    TestUtil::TempFolder folder;
    folder.write(QStringLiteral("drop.txt"), AnsiCodec::encode(QStringLiteral("dropped \u00e9")));
    EditorPane pane;
    pane.resize(400, 300);
    pane.show();
    pane.setText(QStringLiteral("start"));

    auto drop = [&] {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder.file(QStringLiteral("drop.txt")))});
        const QPoint at(pane.viewport()->width() - 5, 5); // past the end of line 0
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &move);
        const bool accepted = move.isAccepted();
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &dropEvent);
        return accepted;
    };

    pane.setDropFilesEnabled(false);
    drop();
    EXPECT_EQ(pane.text(), QStringLiteral("start"));

    pane.setDropFilesEnabled(true);
    EXPECT_TRUE(drop());
    EXPECT_EQ(pane.text(), QStringLiteral("startdropped \u00e9"));
    pane.undo(); // a drop is an ordinary, undoable edit
    EXPECT_EQ(pane.text(), QStringLiteral("start"));
}

TEST(EditorPane, SelectionLineIsTheCaretLine)
{
    EditorPane pane;
    pane.setText(lines(10));
    EXPECT_EQ(pane.selectionLine(), 0);
    pane.setSelection(2, 1, 6, 2);
    EXPECT_EQ(pane.selectionLine(), 6);
    putCaret(pane, 9, 2);
    EXPECT_EQ(pane.selectionLine(), 9);
}
