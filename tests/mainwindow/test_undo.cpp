// The window under undo and redo: where the caret stands afterwards, and controls that show every
// state they can be in (check boxes of new tokensets, long status texts).
#include "mainwindow/windowfixture.h"
#include "widgets/editorpane.h"
#include "widgets/tracebox.h"
#include "xmlgen/xmlwriter.h"

#include <QApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

using F = RecordFields::FieldId;

namespace {

QString textOf(QWidget *box)
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(box))
        return edit->toPlainText();
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    return static_cast<EditorPane *>(box)->text();
}

int caretOf(QWidget *box)
{
    if (auto *edit = qobject_cast<QPlainTextEdit *>(box))
        return edit->textCursor().position();
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->cursorPosition();
    auto *pane = static_cast<EditorPane *>(box);
    return pane->caretCharacter(pane->text());
}

} // namespace

// Undo and redo put the caret at the end of what they changed, in every box the user types into, so
// that typing on lands there: a caret left at the start made "Q//" of a line comment token.
TEST_F(WindowTest, UndoAndRedoPutTheCaretWhereTheChangeWas)
{
    start();
    const std::pair<const char *, F> boxes[] = {
        {"txtTokens", F::Tokens}, {"txtLead", F::Lead}, {"txtWordChars", F::WordChars}, {"txtSample", F::SampleText}};
    for (const auto &[name, field] : boxes) {
        QWidget *box = child<QWidget>(name);
        const bool oneLine = qobject_cast<QLineEdit *>(box);
        session().setField(field, oneLine ? QStringLiteral("one two three") : QStringLiteral("one\r\ntwo three"));
        box->setFocus();
        const QString before = textOf(box);
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Left);
        QTest::keyClick(box, Qt::Key_Left);
        const int at = caretOf(box);
        QTest::keyClick(box, Qt::Key_Return); // a new line where the box has lines
        QTest::keyClicks(box, QStringLiteral("abc"));
        const int typed = int(textOf(box).size() - before.size());
        ASSERT_GE(typed, 3) << name;

        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(textOf(box), before) << name;
        EXPECT_EQ(caretOf(box), at) << name;
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(caretOf(box), at + typed) << name;
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClicks(box, QStringLiteral("Q"));
        EXPECT_EQ(textOf(box), before.left(at) + QStringLiteral("Q") + before.mid(at)) << name;
        EXPECT_EQ(session().value(field).toString().count(QLatin1Char('Q')), 1) << name;
    }
}

// A new tokenset shows its check box at once, so Space ticks it.
TEST_F(WindowTest, ANewTokensetCanBeTickedAtOnce)
{
    start();
    dialogs->inputs = {QStringLiteral("Fresh")};
    action("mnuNewTokenset")->trigger();
    QListWidgetItem *item = tokensets()->currentItem();
    ASSERT_TRUE(item && item->text() == QStringLiteral("Fresh"));
    EXPECT_TRUE(item->data(Qt::CheckStateRole).isValid());
    EXPECT_EQ(tokenset().included, 0);
    tokensets()->setFocus();
    QTest::keyClick(tokensets(), Qt::Key_Space);
    EXPECT_EQ(tokenset().included, 1);
    EXPECT_EQ(item->checkState(), Qt::Checked);
}

// A long status text (the daily message) is cut to the window's width, whole in its tool tip: it
// neither widens the window nor raises its least width.
TEST_F(WindowTest, ALongStatusTextNeverWidensTheWindow)
{
    start();
    const int width = window->width();
    const int least = window->minimumSizeHint().width();
    const QString message = QStringLiteral("A daily message that goes on and on. ").repeated(10);
    window->setStatusBarText(message);
    QTest::qWait(1);
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(window->minimumSizeHint().width(), least);
    EXPECT_EQ(window->statusBarText(), message);
    const auto *shown = child<QLabel>("lblStatusText");
    EXPECT_TRUE(shown->text().size() < message.size() && shown->toolTip() == message);
}

// The XML pane's typing is part of the window's one history: Ctrl+Z there takes it back, as Edit
// says. "Manual changes will be lost" comes before anything changes: Cancel leaves the record, the
// controls, the history, the pane and varlex.lng as they were; OK records the loss with the step,
// so that undoing the step shows the typing again. Typing taken back until the pane equals the
// generated XML is no manual change: Apply and Save go off and nothing asks.
TEST_F(WindowTest, TheXmlPaneTypesIntoTheOneHistoryAndCancelCancels)
{
    start();
    auto *apply = child<QPushButton>("cmdApply");
    auto *save = child<QPushButton>("cmdSave");
    const auto agree = [this](const char *where) {
        EXPECT_EQ(check("chkNormalize")->isChecked(), tokenset().normalizecase != 0) << where;
        EXPECT_EQ(check("chkHidden")->isChecked(), tokenset().hidden != 0) << where;
        const PreviewPipeline &preview = session().preview();
        XmlWriter whole = preview.writer(); // a copy, so that the session's cache stays as it is
        EXPECT_EQ(workingFile(), whole.generate(session().currentLanguage(), 1, preview.hidesDefaultAttributes(),
                                                preview.writesEasyRead())
                                     + QStringLiteral("\r\n"))
            << where;
    };
    check("chkNormalize")->click();
    const QString generated = xmlPane()->text();
    xmlPane()->setFocus();
    QTest::keyClick(xmlPane(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(xmlPane(), QStringLiteral("<!--hand-->"));
    const QString typed = xmlPane()->text();
    ASSERT_EQ(typed, generated + QStringLiteral("<!--hand-->"));
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo Edit XML Code"));
    EXPECT_TRUE(apply->isEnabled() && save->isEnabled());

    const int steps = session().undoStack().count();
    dialogs->answers = {Dialogs::Answer::Cancel};
    check("chkHidden")->click();
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("Manual changes will be lost. Continue?"));
    EXPECT_TRUE(tokenset().hidden == 0 && session().undoStack().count() == steps && xmlPane()->text() == typed);
    EXPECT_TRUE(apply->isEnabled() && window->isWindowModified());
    agree("after Cancel");

    dialogs->answers = {Dialogs::Answer::Ok};
    check("chkHidden")->click();
    EXPECT_TRUE(tokenset().hidden == 1 && xmlPane()->text() == workingFile() && !apply->isEnabled());
    agree("after OK");
    QTest::keyClick(xmlPane(), Qt::Key_Z, Qt::ControlModifier); // the field step, and the typing it replaced
    EXPECT_TRUE(tokenset().hidden == 0 && xmlPane()->text() == typed && apply->isEnabled());
    agree("the loss undone");

    const size_t asked = dialogs->messages.size();
    QTest::keyClick(xmlPane(), Qt::Key_Z, Qt::ControlModifier); // the typing
    EXPECT_EQ(xmlPane()->text(), generated);
    EXPECT_EQ(xmlPane()->caretCharacter(generated), generated.size());
    EXPECT_FALSE(apply->isEnabled() || save->isEnabled());
    QTest::keyClick(xmlPane(), Qt::Key_Z, Qt::ControlModifier); // Normalize Case
    EXPECT_EQ(dialogs->messages.size(), asked);
    EXPECT_TRUE(tokenset().normalizecase == 0 && xmlPane()->text() == workingFile());
    agree("all undone");
    QTest::keyClick(xmlPane(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(xmlPane(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(tokenset().normalizecase == 1 && xmlPane()->text() == typed && apply->isEnabled());
}

// Space on a focused label that acts like a button works the label only: the focus stays on it, so
// a second Space takes the full view back instead of typing into the XML pane.
TEST_F(WindowTest, KeysOnAClickableLabelNeverReachAPane)
{
    start();
    const QString xml = xmlPane()->text();
    QLabel *label = this->label("lblXML");
    label->setFocus();
    QTest::keyClick(label, Qt::Key_Space);
    EXPECT_TRUE(action("mnuView")->isChecked() && !xmlPane()->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(action("mnuView")->isChecked());
    EXPECT_TRUE(xmlPane()->text() == xml && !child<QPushButton>("cmdApply")->isEnabled());
}

// Reached with Tab, a pane passes a plain Tab on (walking through the window types nothing into
// the stored sample); once typed or clicked in, Tab types a tab there.
TEST_F(WindowTest, TabWalksPastPanesUntilTheyAreUsed)
{
    start();
    const QString sample = samplePane()->text();
    const QString xml = xmlPane()->text();
    for (EditorPane *pane : {samplePane(), xmlPane()}) {
        pane->setFocus(Qt::TabFocusReason);
        QTest::keyClick(pane, Qt::Key_Tab);
        EXPECT_FALSE(pane->hasFocus()) << pane->objectName().toStdString();
    }
    EXPECT_TRUE(samplePane()->text() == sample && xmlPane()->text() == xml);
    EXPECT_TRUE(session().undoStack().count() == 0 && !session().isDirty());
    samplePane()->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(samplePane(), QStringLiteral("a"));
    QTest::keyClick(samplePane(), Qt::Key_Tab);
    EXPECT_TRUE(samplePane()->hasFocus() && session().language().sampletext == QStringLiteral("a\t") + sample);
    xmlPane()->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(xmlPane()->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
    QTest::keyClick(xmlPane(), Qt::Key_Tab);
    EXPECT_TRUE(xmlPane()->hasFocus() && xmlPane()->text().contains(QLatin1Char('\t')));
}

// Lint's findings follow the language shown; unchecking Lint brings the token boxes back.
TEST_F(WindowTest, LintFollowsTheLanguageAndGivesWayToTheTokenBoxes)
{
    Language broken = TemplateDatabase::language(QStringLiteral("Broken"));
    broken.tokensets[1].tokens = QStringLiteral("(");
    broken.tokensets[1].regexp = 1;
    TemplateDatabase::write(folder, {broken, TemplateDatabase::language(QStringLiteral("Fine"))});
    start();
    const auto *status = child<QWidget>("txtStatus");
    const auto statusText = [this] { return child<TraceBox>("txtStatus")->text(); };
    // Lint runs off the window's thread: its result arrives once the progress window is gone.
    const auto linted = [this] {
        return QTest::qWaitFor([this] { return !window->findChild<QProgressDialog *>("dlgLintProgress"); }, 20000);
    };
    action("mnuLint")->trigger();
    ASSERT_TRUE(linted());
    EXPECT_TRUE(statusText().contains(QStringLiteral("regexp-invalid")));
    languages()->setCurrentRow(1);
    ASSERT_TRUE(linted());
    EXPECT_TRUE(statusText().startsWith(QStringLiteral("<Lint>")) && !statusText().contains(QStringLiteral("regexp-invalid")))
        << statusText().toStdString();
    action("mnuLint")->trigger();
    EXPECT_TRUE(!status->isVisible() && tokensBox()->isVisible() && label("lblTokens")->isVisible());
}
