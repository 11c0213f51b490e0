// The panels' wiring: each control calls its session operation, traces, and shows the session.
#include "mainwindow/frmdebug.h"
#include "mainwindow/previewpanel.h"
#include "mainwindow/tokensetlistpanel.h"
#include "mainwindow/tokensetpropertiespanel.h"
#include "mainwindow/tracepanel.h"
#include "mainwindow/windowfixture.h"
#include "model/trace.h"
#include "session/tracelabels.h"
#include "widgets/colorlabel.h"
#include "widgets/editorpane.h"
#include "widgets/tracebox.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUndoStack>

using F = RecordFields::FieldId;
using P = TraceLabels::Point;

namespace {

// Typed keys rebuild the preview once the event loop has handled them.
void type(QWidget *box, const char *text)
{
    box->setFocus();
    QTest::keyClicks(box, QString::fromLatin1(text));
    QCoreApplication::processEvents();
}

} // namespace

// Each handler first writes its own labels (the status label to the status pane in Trace mode, the
// debug label to the trace window); a control bound to a field stores it and regenerates.
TEST_F(WindowTest, EveryControlTracesStoresAndRegenerates)
{
    storeSetting("MemFolder", folder.file(QStringLiteral("mem")));
    folder.write(QStringLiteral("mem/win32.mbr"), "<memberlist name=\"Win32\"><member name=\"A\"/></memberlist>");
    start();
    action("mnuDebug")->trigger();
    QTest::mouseClick(label("lblSample"), Qt::LeftButton);
    TraceBox *status = child<TraceBox>("txtStatus");
    TraceBox *debug = window->trace().debugWindow()->txtStatus();
    const auto pick = [this](const char *name, int index) { return [=, this] { combo(name)->setCurrentIndex(index); }; };
    const auto click = [this](const char *name) { return [=, this] { check(name)->click(); }; };
    const auto typeIn = [this](const char *name, const char *text) { return [=, this] { type(child<QWidget>(name), text); }; };
    const struct {
        std::optional<P> point;
        std::function<void()> act;
        std::optional<F> field;
        QVariant value;
    } cases[] = {
        {{}, click("chkDefaultCase"), F::CaseSensitive, 1}, {{}, click("chkWhite"), F::WhiteSpace, 0},
        {{}, click("chkHidden"), F::Hidden, 1}, {{}, click("chkRegExp"), F::RegExp, 1},
        {{}, click("chkScope"), F::Type, QStringLiteral("scope")},
        {P::txtWordChars_Change, typeIn("txtWordChars", "c"), F::WordChars, QStringLiteral("[\\w]c")},
        {P::cmbLMemberList_Click, pick("cmbLMemberList", 1), F::MemberList, QStringLiteral("Win32")},
        {P::cmbFontStyle_Click, pick("cmbFontStyle", 2), F::FontStyle, QStringLiteral("italic")},
        {P::cmbFontStyle_Click, [this] { QTest::mouseClick(label("Label7"), Qt::LeftButton); }, F::FontStyle, QStringLiteral("bold")},
        {P::cmbRule_Click, pick("cmbRule", 2), F::Rule, QStringLiteral("LeadWith")},
        {P::cmbID_Click, pick("cmbID", 0), F::Id, QStringLiteral("argseparators")},
        {P::cmbInherit_Click, pick("cmbInherit", 1), F::InheritFrom, QStringLiteral("Line Comments")},
        {P::cmbValidScopes_Click, pick("cmbValidScopes_2", 1), RecordFields::validScope(2), QStringLiteral("NULL")},
        {P::cmbTMemberList_Click, pick("cmbTMemberList", 1), F::TMemberList, QStringLiteral("Win32")},
        {P::txtLead_Change, typeIn("txtLead", "<"), F::Lead, QStringLiteral("<")},
        {P::cmbRule_Click, pick("cmbRule", 4), F::Rule, QStringLiteral("LeadWith TrailWith")},
        {P::txtTrail_Change, typeIn("txtTrail", ">"), F::Trail, QStringLiteral(">")},
        {P::txtTokens_Change, typeIn("txtTokens", "t"), F::Tokens, QStringLiteral("t\\s+")},
        {P::txtTokens2_Change, [this] { child<QPlainTextEdit>("txtTokens2")->setPlainText(QStringLiteral("u")); },
         F::Tokens2, QStringLiteral("u")},
        {P::lstTokenset_ItemCheck, [this] { tokensets()->item(4)->setCheckState(Qt::Unchecked); }, {}, {}},
        {P::txtSample_Change, [this] { type(samplePane(), "q"); }, {}, {}},
        {P::GoToTokenset, [this] { action("mnuSeek")->trigger(); }, {}, {}},
        {P::LoadMemberLists, [this] { dialogs->folders = {folder.path()}; action("mnuSelectMemberlist")->trigger(); }, {}, {}},
        {P::txtXML_Change, [this] { type(xmlPane(), "w"); }, {}, {}},
        {P::lstTokenset_Click, [this] { tokensets()->setCurrentRow(2); }, {}, {}},
        {P::lstLang_Click, [this] { dialogs->answers = {Dialogs::Answer::Ok}; languages()->setCurrentRow(1); }, {}, {}},
    };
    for (const auto &c : cases) {
        status->setText(QString());
        debug->setText(QString());
        const QString before = workingFile();
        c.act();
        QCoreApplication::processEvents(); // a typed change rebuilds once the event loop runs
        if (c.point) {
            const TraceLabels::Label &l = TraceLabels::label(*c.point);
            EXPECT_TRUE(status->text().startsWith(QLatin1String(l.status) + QStringLiteral("\r\n"))) << l.handler;
            EXPECT_TRUE(debug->text().startsWith(QLatin1String(l.debug) + QStringLiteral("\r\n"))) << l.handler;
        }
        if (c.field) {
            EXPECT_EQ(session().value(*c.field), c.value) << int(*c.field);
            EXPECT_NE(workingFile(), before) << int(*c.field);
            EXPECT_EQ(xmlPane()->text(), workingFile()) << int(*c.field);
        }
    }
    // Loading margin images and applying manual changes write no trace line.
    type(xmlPane(), "w");
    status->setText(QString());
    window->preview().LoadImages();
    child<QPushButton>("cmdApply")->click();
    EXPECT_TRUE(status->text().isEmpty()) << status->text().toStdString();
}

TEST_F(WindowTest, DisplayingWritesNothingAndAnEmptyLanguageDisablesTheControls)
{
    Language basic = TemplateDatabase::language(QStringLiteral("Basic"));
    basic.tokensets[1].id = QStringLiteral("nosuchid");
    basic.tokensets[1].rule = QString();
    Language empty;
    empty.name = QStringLiteral("Empty");
    TemplateDatabase::write(folder, {basic, empty});
    start();
    const QVector<Language> before = session().db().languages;
    tokensets()->setCurrentRow(1);
    EXPECT_TRUE(combo("cmbID")->currentIndex() == -1 && combo("cmbRule")->currentText() == QStringLiteral("NULL"));
    tokensets()->setCurrentRow(2); // a scope: the second token box appears
    EXPECT_TRUE(check("chkScope")->isChecked() && child<QPlainTextEdit>("txtTokens2")->isVisible());
    languages()->setCurrentRow(1);
    EXPECT_FALSE(check("chkHidden")->isEnabled());
    window->tokensetProperties().lblcolor_MouseUp(3, Qt::RightButton);
    action("mnuSort")->trigger();
    EXPECT_EQ(session().db().languages, before);
    EXPECT_EQ(session().undoStack().count(), 0);
}

// A second language or tokenset of one name is made as asked, with a warning; a new name gets none.
TEST_F(WindowTest, ASecondLanguageOrTokensetOfOneNameIsMadeWithAWarning)
{
    start();
    const QString language = items(languages()).first();
    dialogs->inputs = {language};
    action("mnuNew")->trigger();
    EXPECT_EQ(items(languages()).count(language), 2);
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages.back().text,
              QStringLiteral("Another language is also named \"%1\". Both are kept; varlex-cli tells them apart by index.")
                  .arg(language));
    dialogs->inputs = {QStringLiteral("Unique")};
    action("mnuNew")->trigger();
    EXPECT_FALSE(dialogs->messages.back().text.startsWith(QStringLiteral("Another")));

    const QString tokenset = items(tokensets()).first();
    dialogs->inputs = {tokenset};
    action("mnuNewTokenset")->trigger();
    EXPECT_EQ(items(tokensets()).count(tokenset), 2);
    EXPECT_TRUE(dialogs->messages.back().text.startsWith(QStringLiteral("Another tokenset of this language is also named")));
}

TEST_F(WindowTest, TheListCommandsAskAndSelect)
{
    start();
    languages()->setCurrentRow(1);
    dialogs->answers.push_back(Dialogs::Answer::Cancel);
    action("mnuDelete")->trigger();
    action("mnuConfirmation")->setChecked(false);
    for (int i = 0; i < 3; ++i)
        action("mnuDelete")->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic"}));
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("Cannot delete last language!"));
    tokensets()->setCurrentRow(13);
    action("mnuDeleteTokenset")->trigger(); // the last one: the one before it follows
    action("mnuUp")->trigger();
    EXPECT_EQ(items(tokensets()).mid(11, 2), QStringList({"Hyperlinks", "Numbers"}));
    EXPECT_EQ(tokensets()->currentRow(), 11);
    dialogs->inputs = {QStringLiteral("Labels"), QStringLiteral("Blanks")};
    action("mnuNewTokenset")->trigger();
    EXPECT_EQ(tokensets()->currentRow(), 13);
    tokensets()->item(13)->setCheckState(Qt::Checked);
    EXPECT_EQ(session().language().tokensets[13].included, 1);
    window->tokensetList().lblTokensets_Click(); // the first click unchecks all
    EXPECT_EQ(tokensets()->item(5)->checkState(), Qt::Unchecked);
    action("mnuSelectAll")->trigger();
    EXPECT_EQ(tokensets()->item(5)->checkState(), Qt::Checked);
    action("mnuChangeTokensetName")->trigger();
    EXPECT_EQ(tokensets()->currentItem()->text(), QStringLiteral("Blanks"));

    tokensets()->setCurrentRow(9); // Keywords: if, then, begin, end
    action("mnuSort")->trigger();
    tokensBox()->moveCursor(QTextCursor::End);
    action("mnuInsert4")->trigger();
    EXPECT_EQ(tokenset().tokens, QStringLiteral("begin\r\nend\r\nif\r\nthen :::: ListMembers"));
    action("mnuRemoveAttributes")->trigger();
    EXPECT_EQ(tokensBox()->toPlainText(), QStringLiteral("begin\nend\nif\nthen"));
}

// The choice lists, Seek (the whole name, in its quotes) and AutoSeek, and the colours.
TEST_F(WindowTest, ChoiceListsSeekAndColours)
{
    Language language = TemplateDatabase::language(QStringLiteral("Small"));
    for (int k = 3; k < Language::kSlots; ++k)
        language.tokensets[k].name.clear();
    language.tokensets[0].name = QStringLiteral("Keywords");
    language.tokensets[1].name = QStringLiteral("Key");
    language.tokensets[2].name = QStringLiteral("Comment"); // a scope
    language.tokensets[1].inheritfrom = QStringLiteral("Comment");
    language.tokensets[1].validscope[0] = QStringLiteral("Comment");
    TemplateDatabase::write(folder, {language});
    start();
    action("mnuAutoSeek")->setChecked(true);
    tokensets()->setCurrentRow(1);
    EXPECT_EQ(xmlPane()->selectedText(), QStringLiteral("<tokenset name=\"Key\""));
    EXPECT_EQ(items(combo("cmbInherit")), QStringList({"<none>", "Keywords", "Comment"}));
    EXPECT_EQ(combo("cmbInherit")->currentText(), QStringLiteral("Comment"));
    EXPECT_EQ(items(combo("cmbValidScopes_9")), QStringList({"<none>", "NULL", "Comment"}));
    EXPECT_EQ(combo("cmbValidScopes_0")->currentText(), QStringLiteral("Comment"));
    // Making Key a scope offers it too; the rebuilt lists show "<none>", the record keeps its values.
    check("chkScope")->click();
    EXPECT_EQ(items(combo("cmbValidScopes_3")), QStringList({"<none>", "NULL", "Key", "Comment"}));
    EXPECT_EQ(combo("cmbValidScopes_0")->currentText(), QStringLiteral("<none>"));
    EXPECT_EQ(tokenset().validscope[0], QStringLiteral("Comment"));

    dialogs->colors = {-1, 0x123456, 0xFFFFFF};
    window->tokensetProperties().lblForeColor_Click(); // Cancel
    window->tokensetProperties().lblForeColor_Click();
    EXPECT_EQ(ColorLabel::backColor(label("lblForeColor")), 0x123456);
    QTest::mouseClick(label("lblcolor_3"), Qt::RightButton); // red
    EXPECT_EQ(ColorLabel::backColor(label("lblBackColor")), 255);
    QTest::mouseClick(label("lblcolor_3"), Qt::LeftButton);
    EXPECT_EQ(tokenset().forecolor, 255);
    action("mnucolor_1")->trigger(); // only the swatch, no step
    EXPECT_TRUE(window->tokensetProperties().swatch(1) == 0xFFFFFF && session().undoStack().count() == 4);
}

// Manual XML: Apply previews it; while it is pending, Cancel keeps the pane and its language and
// takes the edit that asked back, and Save writes it under the pane's language.
TEST_F(WindowTest, ApplyAndSaveUseTheManualXmlOfThePanesLanguage)
{
    start();
    auto *apply = child<QPushButton>("cmdApply");
    auto *save = child<QPushButton>("cmdSave");
    const QString edited = xmlPane()->text().replace(QStringLiteral("\"White Space\""), QStringLiteral("\"Blank\"")).trimmed();
    xmlPane()->setText(edited);
    EXPECT_TRUE(apply->isEnabled() && save->isEnabled());
    apply->click();
    EXPECT_EQ(workingFile(), edited + QStringLiteral("\r\n"));
    EXPECT_EQ(samplePane()->language()->tokensetName(0), QStringLiteral("Blank"));
    xmlPane()->setText(edited);
    dialogs->answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Cancel, Dialogs::Answer::Ok};
    check("chkHidden")->click();
    languages()->setCurrentRow(1);
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("Manual changes will be lost. Continue?"));
    EXPECT_EQ(languages()->currentRow(), 0);
    EXPECT_TRUE(tokenset().hidden == 0 && !check("chkHidden")->isChecked());
    save->click();
    EXPECT_EQ(folder.read(QStringLiteral("language_def/Basic.lng")), (edited + QStringLiteral("\r\n")).toLatin1());
    EXPECT_FALSE(save->isEnabled());
    languages()->setCurrentRow(1);
    EXPECT_EQ(xmlPane()->text(), workingFile());
    EXPECT_FALSE(apply->isEnabled());
}

// Sample edits are stored per language; typing is one step that Ctrl+Z in the box takes back and
// Ctrl+Y or Ctrl+Shift+Z does again, and the title marks unsaved work exactly.
TEST_F(WindowTest, SampleEditsAndTheUndoKeys)
{
    start();
    type(samplePane(), "zz");
    languages()->setCurrentRow(1);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("begin end"));
    languages()->setCurrentRow(0);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("zzif x then 'note"));
    tokensBox()->moveCursor(QTextCursor::End);
    type(tokensBox(), "ab");
    EXPECT_EQ(window->statusBarText(), QStringLiteral("token :::: action :::: regexp :::: rule"));
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo Edit Tokens"));
    QTest::keyClick(tokensBox(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(tokensBox()->toPlainText(), QStringLiteral("\\s+"));
    QTest::keyClick(tokensBox(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(samplePane()->text(), QStringLiteral("if x then 'note"));
    EXPECT_FALSE(window->isWindowModified());
    QTest::keyClick(tokensBox(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(tokensBox(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tokenset().tokens, QStringLiteral("\\s+ab"));
    EXPECT_TRUE(window->isWindowModified());
    samplePane()->setFocus();
    EXPECT_EQ(window->statusBarText(), window->statusText());
}

TEST_F(WindowTest, TraceAndValidityModesTheTraceWindowAndTheFullWindowView)
{
    start();
    TraceBox *status = child<TraceBox>("txtStatus");
    action("mnuDebug")->trigger();
    EXPECT_FALSE(label("lblTokens")->isVisible());
    action("mnuHideAttributes")->trigger();
    EXPECT_TRUE(status->text().contains(QStringLiteral(
        "WriteXML\r\n----------\r\nNo validscope/inheritfrom error found!\r\n----------\r\nViewLanguage\r\n")));
    QTest::mouseClick(label("lblRedFlag"), Qt::LeftButton); // Validity wins over Trace
    Trace::entry(QStringLiteral("WriteXML"));
    EXPECT_EQ(status->text(), QStringLiteral("<Validity Mode>\r\nNo validscope/inheritfrom error found!\r\n"));
    action("mnuDirty")->trigger();
    EXPECT_EQ(status->text(), QStringLiteral("<Troubleshooting disabled>"));
    EXPECT_TRUE(label("lblTokens")->isVisible() && !status->isVisible());

    QTest::mouseClick(label("lblSample"), Qt::LeftButton);
    FrmDebug *debug = window->trace().debugWindow();
    // Beside the main window (300 twips to its right) would lie off this small screen: on it (but for
    // its border) instead.
    EXPECT_TRUE(QApplication::primaryScreen()->availableGeometry().adjusted(-8, -8, 8, 8).contains(debug->frameGeometry()));
    EXPECT_EQ(debug->y(), window->y());
    action("mnuHideAttributes")->trigger();
    for (const char *suffix : {" seconds end of WriteXML", " seconds ViewLanguage - after read varlex.lng",
                               " seconds end of ViewLanguage"})
        EXPECT_TRUE(debug->txtStatus()->text().contains(QLatin1String(suffix))) << suffix;

    const auto top = [this](const QWidget *w) { return w->mapTo(window.get(), QPoint(0, 0)).y(); };
    const int normalTop = top(xmlPane());
    action("mnuView")->trigger();
    EXPECT_TRUE(top(xmlPane()) < normalTop && !child<QGroupBox>("Frame1")->isVisible());
    QTest::mouseClick(label("lblXML"), Qt::LeftButton);
    EXPECT_EQ(top(xmlPane()), normalTop);
    EXPECT_FALSE(session().isDirty());
}

TEST_F(WindowTest, ImportExportMemberListsAndMarginImages)
{
    folder.write(QStringLiteral("mem/win32.mbr"), "<memberlist name=\"Win32\"><member name=\"A\"/></memberlist>");
    folder.write(QStringLiteral("mem/broken.mbr"), "<memberlist");
    QImage picture(8, 8, QImage::Format_RGB32);
    QDir().mkpath(folder.file(QStringLiteral("pics")));
    for (const char *name : {"pics/Keyword.BMP", "pics/keyword.png"})
        picture.save(folder.file(QString::fromLatin1(name)), name[10] == 'B' ? "BMP" : "PNG");
    storeSetting("LangFolder", folder.file(QStringLiteral("gone")));
    start();
    folder.write(QStringLiteral("in/Other.lng"), workingFile().toLatin1());
    dialogs->files = {folder.file(QStringLiteral("in/missing.lng")), folder.file(QStringLiteral("in/Other.lng"))};
    action("mnuImport")->trigger();
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("Import Language"));
    action("mnuImport")->trigger();
    // A remembered folder that is gone opens the program's language files; then the folder last chosen.
    EXPECT_EQ(dialogs->openedIn, QStringList({folder.file(QStringLiteral("language_def")), folder.file(QStringLiteral("in"))}));
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Pascal", "Empty", "Basic"}));
    // A KDE syntax definition is told by its content and converted: one undo step, the report in the
    // status pane.
    folder.write(QStringLiteral("in/kay.xml"), R"(<language name="Kay" version="1" kateversion="5.0"><highlighting>
      <contexts><context name="Main" attribute="Normal"><DetectChar attribute="Op" char=";"/>
        <IncludeRules context="##Missing"/></context></contexts>
      <itemDatas><itemData name="Normal" defStyleNum="dsNormal"/><itemData name="Op" defStyleNum="dsOperator"/></itemDatas>
      </highlighting></language>)");
    dialogs->files = {folder.file(QStringLiteral("in/kay.xml"))};
    action("mnuImport")->trigger();
    EXPECT_EQ(items(languages()).constLast(), QStringLiteral("Kay"));
    const QString report = child<TraceBox>("txtStatus")->text();
    EXPECT_TRUE(report.contains(QStringLiteral("Main: dropped: definition \"Missing\" was not found"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Kay: 2 tokensets; 0 approximated, 0 merged, 1 dropped")));
    EXPECT_EQ(action("mnuUndo")->text(), QStringLiteral("&Undo Import Language"));
    action("mnuUndo")->trigger();
    EXPECT_EQ(items(languages()), QStringList({"Basic", "Pascal", "Empty", "Basic"}));

    dialogs->folders = {folder.file(QStringLiteral("Out")), folder.file(QStringLiteral("mem")),
                        folder.file(QStringLiteral("pics"))};
    action("mnuSelectLanguage")->trigger();
    action("mnuCreate")->trigger();
    EXPECT_TRUE(folder.exists(QStringLiteral("Out/Basic.lng")));
    // A KDE syntax definition: the file patterns are asked for, and offered again as last given.
    dialogs->inputs = {QStringLiteral("*.bas;*.bi")};
    action("mnuExportKde")->trigger();
    EXPECT_TRUE(folder.read(QStringLiteral("Out/basic.xml")).contains("extensions=\"*.bas;*.bi\""));
    action("mnuExportKde")->trigger(); // cancelled
    EXPECT_EQ(dialogs->defaults.mid(dialogs->defaults.size() - 2), QStringList({"*.basic", "*.bas;*.bi"}));
    action("mnuSelectMemberlist")->trigger();
    EXPECT_TRUE(dialogs->messages.back().text.contains(QStringLiteral("broken.mbr")));
    EXPECT_EQ(items(combo("cmbTMemberList")), QStringList({"<none>", "Win32"}));
    action("mnuSelectImageFolder")->trigger(); // the second file's key is taken
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("Load Icons"));
    EXPECT_EQ(window->preview().marginImageKeys(), QStringList({"mar:keyword"}));

    session().selectLanguage(1);
    session().renameLanguage(QStringLiteral("a/b")); // cannot name a file
    const size_t asked = dialogs->messages.size();
    action("mnuCreateAll")->trigger();
    EXPECT_TRUE(folder.exists(QStringLiteral("Out/Empty.lng")));
    ASSERT_EQ(dialogs->messages.size(), asked + 1);
    EXPECT_TRUE(dialogs->messages.back().text.contains(QStringLiteral("a/b")));
}
