// The window on a desktop: names for assistive technology, keyboard access to everything the mouse
// does, dark palettes and small screens.
#include "mainwindow/toolbaricons.h"
#include "mainwindow/windowfixture.h"
#include "widgets/apptranslations.h"
#include "widgets/colorlabel.h"
#include "widgets/editorpane.h"
#include "widgets/readablecolour.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QMenu>
#include <QTranslator>
#include <QUndoStack>

#include <algorithm>

namespace {

QString accessibleText(QWidget *w, QAccessible::Text kind)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(kind) : QString();
}

} // namespace

// What a screen reader hears: the census walks the widget tree through QAccessible, as AT-SPI does.
TEST_F(WindowTest, EveryFocusableControlHasAnAccessibleName)
{
    start();
    QStringList unnamed;
    int named = 0;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window.get()))
            continue;
        if (accessibleText(w, QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + QLatin1Char('/') + QLatin1String(w->metaObject()->className());
        else
            ++named;
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QLatin1Char(' ')).toStdString();
    EXPECT_GT(named, 40);

    // Labelled inputs read their label, not the frame around them; a list box is labelled by relation.
    const auto labels = QAccessible::queryAccessibleInterface(combo("cmbInherit"))->relations(QAccessible::Label);
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [this](const auto &relation) {
        return relation.first->object() == label("lblInherit");
    }));
    const std::pair<const char *, const char *> expected[] = {
        {"txtWordChars", "Word Chars"}, {"cmbLMemberList", "MemberList"}, {"cmbTMemberList", "MemberList"},
        {"cmbInherit", "Inherit"},      {"cmbRule", "Rules"},            {"txtLead", "LeadWith Text"},
        {"txtTrail", "TrailWith Text"}, {"cmbValidScopes_3", "ValidScopes 4"}, {"lblcolor_0", "Standard colours 1"},
        {"lblForeColor", "ForeColor"},  {"lstLang", "Languages"},        {"txtXML", "XML Code"},
        {"txtSample", "Sample Display"}, {"lblRedFlag", "Validity"},     {"txtTokens2", "Tokens2"}};
    for (const auto &[control, name] : expected) {
        // A list box's name is its current item on Linux, as Qt has it: its description names it.
        QWidget *w = child<QWidget>(control);
        EXPECT_EQ(accessibleText(w, qobject_cast<QComboBox *>(w) ? QAccessible::Description : QAccessible::Name),
                  QLatin1String(name))
            << control;
    }
    // A colour says itself, and follows a change.
    ColorLabel::setBackColor(label("lblcolor_2"), 0x0000FF);
    EXPECT_EQ(accessibleText(label("lblcolor_2"), QAccessible::Description), QStringLiteral("#FF0000"));
}

TEST_F(WindowTest, SwatchesAndTheDailyMessageWorkFromTheKeyboard)
{
    start();
    QLabel *swatch = label("lblcolor_3");
    EXPECT_TRUE(swatch->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(swatch, Qt::Key_Space);
    EXPECT_EQ(ColorLabel::backColor(label("lblForeColor")), ColorLabel::backColor(swatch));
    QTest::keyClick(swatch, Qt::Key_Space, Qt::ShiftModifier); // as the right button: the background
    EXPECT_EQ(ColorLabel::backColor(label("lblBackColor")), ColorLabel::backColor(swatch));
    ColorLabel::setBackColor(label("lblcolor_4"), 0x00FF00);
    QTest::keyClick(label("lblcolor_4"), Qt::Key_Menu);
    EXPECT_EQ(tokenset().backcolor, 0x00FF00);

    // Mnemonics of field labels reach their fields.
    EXPECT_EQ(label("lblWordChars")->buddy(), child<QWidget>("txtWordChars"));
    EXPECT_EQ(label("lblStandardColors")->buddy(), child<QWidget>("lblcolor_0"));

    // The toolbar's message button has a menu item, which toolbars lack for the keyboard.
    QObject::disconnect(window.get(), &FrmMain::messageRequested, nullptr, nullptr); // no download here
    QSignalSpy asked(window.get(), &FrmMain::messageRequested);
    action("mnuMessage")->trigger();
    EXPECT_EQ(asked.count(), 1);
    EXPECT_EQ(action("mnuMessage")->text().remove(QLatin1Char('&')), window->toolbarButton(QStringLiteral("message"))->toolTip());
}

TEST(ToolbarIcons, DrawnIconsStandOutOnADarkPalette)
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 44));
    for (const char *key : {"delete", "seek", "plus", "minus", "font", "easy", "deleteattributes", "email"}) {
        const QImage image = ToolbarIcons::icon(QString::fromLatin1(key), QApplication::style(), dark).pixmap(32).toImage();
        int visible = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                visible += c.alpha() > 200 && ReadableColour::contrast(c, dark.color(QPalette::Window)) >= 3.0;
            }
        EXPECT_GT(visible, 12) << key;
    }
}

// Takes a picture of the main window for the documentation, on the starter database; under Fusion
// with a dark palette when VARLEX_SCREENSHOT_DARK is set. Runs only when VARLEX_SCREENSHOT names the
// PNG, on a real display (scripts/screenshot-window.sh runs it under Xvfb, also at scale 2).
TEST_F(WindowTest, Screenshot)
{
    const QString target = qEnvironmentVariable("VARLEX_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "VARLEX_SCREENSHOT is not set";
    if (qEnvironmentVariableIsSet("VARLEX_SCREENSHOT_DARK")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QPalette dark;
        const std::pair<QPalette::ColorRole, QColor> roles[] = {
            {QPalette::Window, QColor(45, 45, 48)},      {QPalette::WindowText, QColor(225, 225, 225)},
            {QPalette::Base, QColor(30, 30, 32)},        {QPalette::AlternateBase, QColor(40, 40, 44)},
            {QPalette::Text, QColor(225, 225, 225)},     {QPalette::Button, QColor(55, 55, 60)},
            {QPalette::ButtonText, QColor(225, 225, 225)}, {QPalette::Highlight, QColor(60, 110, 180)},
            {QPalette::HighlightedText, Qt::white},      {QPalette::ToolTipBase, QColor(60, 60, 64)},
            {QPalette::ToolTipText, QColor(225, 225, 225)}, {QPalette::PlaceholderText, QColor(150, 150, 150)}};
        for (const auto &[role, colour] : roles)
            dark.setColor(role, colour);
        QApplication::setPalette(dark);
    }
    folder.write(QStringLiteral("varlex.dat"), TestUtil::readFile(QStringLiteral(VARLEX_BIN_DIR "/varlex.dat")));
    start();
    window->setGeometry(20, 40, 1240, 700);
    tokensets()->setCurrentRow(1);
    QTest::qWait(1500);
    const QRect frame = window->frameGeometry();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    EXPECT_TRUE(shot.save(target, "PNG"));
}

// The German translation is complete and reaches the window, Qt's own texts included; what the
// database and the generated XML hold stays as it is.
TEST_F(WindowTest, GermanTranslationIsCompleteAndLeavesTheDataAlone)
{
    const QByteArray ts = TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("translations/varlex_de.ts")));
    EXPECT_GT(ts.count("<translation>"), 240);
    EXPECT_FALSE(ts.contains("type=\"unfinished\"")) << "varlex_de.ts has texts without German";

    start();
    const QString englishXml = xmlPane()->text();
    window.reset();
    const QList<QTranslator *> german = AppTranslations::install(QLocale(QLocale::German), QStringLiteral(VARLEX_BIN_DIR));
    start();
    QStringList files;
    for (const QTranslator *t : german)
        files << QFileInfo(t->filePath()).fileName();
    EXPECT_TRUE(files.contains(QStringLiteral("varlex_de.qm")) && files.contains(QStringLiteral("qtbase_de.qm")))
        << files.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(action("mnuSave")->text(), QStringLiteral("&Speichern"));
    EXPECT_EQ(label("lblWordChars")->text(), QStringLiteral("&Wortzeichen"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(items(combo("cmbFontStyle")), QStringList({"normal", "bold", "italic", "bolditalic", "underline"}));
    EXPECT_EQ(combo("cmbRule")->itemText(1), QStringLiteral("Word"));
    // Texts the code builds: a tool tip of its table, a question, the Edit menu.
    EXPECT_EQ(action("Toolbar1_save")->toolTip(), QStringLiteral("Datenbank speichern"));
    action("mnuReload")->trigger();
    ASSERT_FALSE(dialogs->messages.empty());
    EXPECT_EQ(dialogs->messages.back().text, QStringLiteral("Sind Sie sicher?"));
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("Datenbank neu laden"));
    EXPECT_EQ(window->findChild<QMenu *>(QStringLiteral("mnuUndoRedo"))->title(), QStringLiteral("&Bearbeiten"));
    EXPECT_EQ(xmlPane()->text(), englishXml);
    tokensets()->item(0)->setCheckState(Qt::Unchecked); // an undo step is named in German too
    EXPECT_EQ(session().undoStack().undoText(), QStringLiteral("Tokenset ausschließen"));
    window.reset();
    for (QTranslator *t : german) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

// The smallest the window can be fits a 1366x768 screen less a panel and a title bar, in every
// layout it takes; at scale 2 a 2732x1536 screen holds the same logical size.
TEST_F(WindowTest, MinimumSizeFitsASmallLaptopScreen)
{
    start();
    const auto fits = [this](const char *layout) {
        window->Form_Resize();
        const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
        EXPECT_TRUE(least.width() <= 1366 && least.height() <= 768 - 48 - 32)
            << layout << ": " << least.width() << "x" << least.height();
    };
    fits("normal");
    action("mnuDebug")->trigger();
    fits("status pane");
    action("mnuView")->trigger();
    fits("full window XML");
}
