#include "common/testutil.h"
#include "pane/panetest.h"
#include "model/ansicodec.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
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

} // namespace

TEST(EditorPane, TextChangesSelectionLineAndLineBreaks)
{
    EditorPane pane;
    QSignalSpy changed(&pane, &EditorPane::changed);

    // Programmatic text reports one change, as the window's loading flag expects; the same text
    // again is no change. Non-Latin text survives.
    const QString text = QStringLiteral("alpha\nGrüße €\u4e2d\U0001F600");
    pane.setText(text);
    pane.setText(text);
    EXPECT_EQ(std::tuple(pane.text(), changed.count()), std::tuple(text, qsizetype(1)));

    // A user edit reports; undo and redo are edits like any other; with reporting off (the XML pane
    // while its text is replaced), nothing is reported.
    putCaret(pane, 0, 5);
    QTest::keyClicks(&pane, QStringLiteral("x"));
    EXPECT_EQ(pane.text(), QStringLiteral("alphax\nGrüße €\u4e2d\U0001F600"));
    const qsizetype edits = changed.count();
    pane.undo();
    EXPECT_EQ(pane.text(), text);
    pane.redo();
    pane.setReportChanges(false);
    pane.setText(QStringLiteral("gamma"));
    QTest::keyClicks(&pane, QStringLiteral("y"));
    EXPECT_EQ(changed.count(), edits + 2);

    // The selection's line is where the caret is; a new text keeps it where it can, and undo never
    // brings back the replaced text.
    pane.setText(lines(50));
    pane.setSelection(2, 1, 6, 2);
    EXPECT_EQ(pane.selectionLine(), 6);
    putCaret(pane, 30, 3);
    pane.setText(lines(50, QStringLiteral("row")));
    EXPECT_EQ(pane.selectionLine(), 30);
    EXPECT_FALSE(pane.isUndoAvailable());
    pane.setText(QStringLiteral("one\ntwo"));
    EXPECT_EQ(pane.selectionLine(), 1);

    // Typed line breaks follow the text's; a text of one line keeps the last kind, a new pane CR LF.
    EditorPane typed;
    for (const QString br : {"", "\r\n", "\n", "\r"}) {
        const QString start = br.isEmpty() ? QStringLiteral("b") : QStringLiteral("a") + br + QStringLiteral("b");
        typed.setText(start);
        putCaret(typed, br.isEmpty() ? 0 : 1, 1);
        QTest::keyClick(&typed, Qt::Key_Return);
        EXPECT_EQ(typed.text(), start + (br.isEmpty() ? QStringLiteral("\r\n") : br));
    }
}

TEST(EditorPane, MarginImageBitsAndDisplayOptions)
{
    EditorPane pane;
    pane.setText(lines(120));
    QPixmap image(12, 12);
    image.fill(Qt::red);
    pane.setMarginImages({image, image, image});
    EXPECT_EQ(pane.marginImageCount(), 3);

    // Flipping a bit twice leaves the line as it was (the margin image button); all eight bits are
    // kept, even for images the list does not hold; more than a byte: only the byte counts.
    EXPECT_TRUE(pane.setMarginImageBits(2, 0x2));
    for (int click = 0; click < 2; ++click)
        pane.setMarginImageBits(3, pane.marginImageBits(3) ^ 2);
    EXPECT_TRUE(pane.setMarginImageBits(4, 0x1A5));
    EXPECT_FALSE(pane.setMarginImageBits(-1, 1));
    EXPECT_FALSE(pane.setMarginImageBits(120, 1));
    const int expected[] = {0, 0, 0x2, 0, 0xA5};
    for (int line = 0; line < 5; ++line)
        EXPECT_EQ(pane.marginImageBits(line), expected[line]) << line;
    EXPECT_EQ(pane.marginImageBits(999), 0);
    // Images move with their line when lines are inserted above.
    putCaret(pane, 0, 0);
    QTest::keyClick(&pane, Qt::Key_Return);
    EXPECT_EQ(pane.marginImageBits(3), 0x2);

    for (bool on : {false, true}) {
        pane.setLeftMarginVisible(on);
        pane.setLineNumbersVisible(on);
        pane.setWhiteSpaceVisible(on);
        EXPECT_EQ(std::tuple(pane.marginWidth(1) > 0, pane.marginWidth(0) > 0, pane.whitespaceVisibility()),
                  std::tuple(on, on, on ? QsciScintilla::WsVisible : QsciScintilla::WsInvisible));
    }
    // The bold number follows the caret line; numbers follow inserted lines.
    pane.setBoldSelectionLineNumber(true);
    auto style = [&](int line) { return pane.SendScintilla(Sci::SCI_MARGINGETSTYLE, line); };
    auto number = [&](int line) {
        QByteArray buf(16, '\0');
        return QString::fromUtf8(buf.left(pane.SendScintilla(Sci::SCI_MARGINGETTEXT, line, buf.data())));
    };
    putCaret(pane, 4, 0);
    settle(pane);
    EXPECT_TRUE(style(4) != style(3) && style(3) == style(5) && number(4) == QStringLiteral("5"));
    putCaret(pane, 1, 0);
    QTest::keyClick(&pane, Qt::Key_Return);
    settle(pane);
    EXPECT_TRUE(style(2) != style(4) && style(4) == style(5) && number(10) == QStringLiteral("11"));
    pane.setBoldSelectionLineNumber(false);
    EXPECT_EQ(pane.marginType(0), QsciScintilla::NumberMargin);
}

TEST(EditorPane, SavesPrintsAndTakesDroppedFiles)
{
    TestUtil::TempFolder folder;
    EditorPane pane;
    pane.setText(QStringLiteral("caf\u00e9\r\nline"));
    ASSERT_TRUE(pane.saveFile(folder.file(QStringLiteral("out.txt"))));
    EXPECT_EQ(folder.read(QStringLiteral("out.txt")), AnsiCodec::encode(QStringLiteral("caf\u00e9\r\nline")));
    // A folder that does not exist: reported, nothing written.
    EXPECT_FALSE(pane.saveFile(folder.file(QStringLiteral("missing/out.txt"))));
    EXPECT_FALSE(folder.exists(QStringLiteral("missing/out.txt")));

    // Printing writes what is shown (to a PDF here).
    pane.setText(lines(200));
    QsciPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.file(QStringLiteral("a.pdf")));
    EXPECT_TRUE(pane.print(printer) && folder.read(QStringLiteral("a.pdf")).startsWith("%PDF"));

    // Dropped files insert their text, as one undoable edit; with drops off, nothing is inserted.
    folder.write(QStringLiteral("drop.txt"), AnsiCodec::encode(QStringLiteral("dropped \u00e9")));
    pane.setText(QStringLiteral("start"));
    settle(pane);

    auto drop = [&] {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder.file(QStringLiteral("drop.txt")))});
        const QPoint at(pane.viewport()->width() - 5, 5); // past the end of line 0
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &move);
        QDropEvent dropEvent(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane.viewport(), &dropEvent);
        return move.isAccepted();
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
