#include "mainwindow/windowfixture.h"

#include <QMenu>
#include <QMenuBar>

namespace {

struct Entry {
    const char *name;
    const char *caption; // "-" for a separator line
};

struct MenuCase {
    const char *menu;
    const char *title;
    std::vector<Entry> entries;
};

const std::vector<MenuCase> &menuTree()
{
    static const std::vector<MenuCase> tree = {
        {"mnuFile", "&File",
         {{"mnuReload", "&Reload"}, {"mnuSave", "&Save"}, {"mnuSep00", "-"}, {"mnuBackup", "&Backup"},
          {"mnuRestore", "&Restore"}, {"mnuPrintSample", "&Print Sample"}, {"mnuPrintXML", "Print XML &Code"},
          {"mnuPrintForm", "&Copy Form Image to Clipboard"}, {"mnuSep01", "-"}, {"mnuExit", "E&xit"}}},
        {"mnuEdit", "&Languages",
         {{"mnuNew", "&New"}, {"mnuDuplicate", "Ne&w (Duplicate)"}, {"mnuDelete", "&Delete"},
          {"mnuSortLanguages", "&Sort"}, {"mnuSep34", "-"},
          {"mnuCreate", "&Export XML Language File (Selected Language)"},
          {"mnuCreateAll", "Export XML Language Files (&All Languages)"}, {"mnuSep28", "-"},
          {"mnuImport", "&Import Language File"}, {"mnuShowLanguageFile", "&Show Language Files"},
          {"mnuSep74", "-"}, {"mnuSelectLanguage", "Select &Export Folder"},
          {"mnuSelectMemberlist", "Select &Memberlist Folder"}, {"mnuSelectImageFolder", "Select &Image Folder"}}},
        {"mnuTokensets", "&Tokensets",
         {{"mnuSeek", "&Seek"}, {"mnuNewTokenset", "&New"}, {"mnuDeleteTokenset", "&Delete"}, {"mnuUp", "&Up"},
          {"mnuDown", "Do&wn"}}},
        {"mnuTokens", "Token&s",
         {{"mnuSort", "&Sort (Case Insensitive)"}, {"mnuSortCase", "S&ort (Case Sensitive)"}, {"mnuSep83", "-"},
          {"mnuReverseSort", "&Reverse Sort (Case Insensitive)"},
          {"mnuReverseSortCase", "Reverse Sort (&Case Sensitive)"}, {"mnuSep81", "-"},
          {"mnuLowerCase", "&Lower Case"}, {"mnuTitleCase", "&Title Case"}, {"mnuSep92", "-"},
          {"mnuRemoveAttributes", "Remove Token &Attributes (Selected Tokenset)"},
          {"mnuRemoveOne", "Remove Token Attributes (&Current Language)"},
          {"mnuRemoveAll", "Re&move Token Attributes (All Languages)"}}},
        {"mnuOptions", "&Options",
         {{"mnuView", "&Full Window XML View"}, {"mnuEasyRead", "&EasyRead Format"}, {"mnuToggleFont", "&Toggle Font"},
          {"mnuAutoSeek", "&AutoSeek"}, {"mnuAutoInclude", "Auto&Include"}, {"mnuCodeMax", "Use &CodeMax Save"},
          {"mnuConfirmation", "Confir&mation"}, {"mnuHideAttributes", "&Hide Default Attributes"},
          {"mnuEditor", "E&ditor"}, {"mnuTroubleshoot", "Debug &Mode"}, {"mnuColors", "&Select Standard Colors"}}},
        {"mnuEditor", "E&ditor",
         {{"mnuDisplayLeft", "Display Left Margin"}, {"mnuDisplayWhite", "Display White Space"},
          {"mnuDropFiles", "Drop Files"}, {"mnuLineNumbering", "Line Numbering"},
          {"mnuLineNumberBold", "Line Number Bold Select"}}},
        {"mnuTroubleshoot", "Debug &Mode", {{"mnuDebug", "&Trace"}, {"mnuDirty", "&Validity"}}},
        {"mnuColors", "&Select Standard Colors",
         {{"mnucolor_0", "Color 1"}, {"mnucolor_1", "Color 2"}, {"mnucolor_2", "Color 3"}, {"mnucolor_3", "Color 4"},
          {"mnucolor_4", "Color 5"}, {"mnucolor_5", "Color 6"}, {"mnucolor_6", "Color 7"}, {"mnucolor_7", "Color 8"},
          {"mnucolor_8", "Color 9"}, {"mnucolor_9", "Color 10"}}},
        {"mnuHelp", "&Help",
         {{"mnuEmail", "&Email Author"}, {"mnuWebSite", "&Web Site"}, {"mnuForums", "&Discussion Forums"},
          {"mnuSep03", "-"}, {"mnuSupport", "&Support Varlex "}, {"mnuOnlineHelp", "Online &Help"},
          {"mnuOnlineUpdate", "Online &Update"}, {"mnuSep04", "-"}, {"mnuAbout", "&About"}}},
        {"mnuPopupLanguage", "&PopupLanguage", {{"mnuChangeLanguageName", "&Change Language Name"}}},
        {"mnuPopupTokenset", "&PopupTokenset",
         {{"mnuChangeTokensetName", "&Change Tokenset Name"}, {"mnuSelectAll", "&Select All"},
          {"mnuUnselectAll", "&UnSelect All"}}},
        {"mnuPopupToken", "&PopupToken",
         {{"mnuInsert1", " :::: :::: True ::::"}, {"mnuInsert2", " :::: :::: True :::: word"},
          {"mnuInsert3", " :::: :::: False :::: word"}, {"mnuInsert4", " :::: ListMembers"},
          {"mnuInsert5", " :::: CommitMember"}, {"mnuInsert6", " :::: ParameterInfo"}}},
        {"mnuPopupToken2", "&PopupToken2",
         {{"mnuInsert21", " :::: :::: True ::::"}, {"mnuInsert22", " :::: :::: True :::: word"},
          {"mnuInsert23", " :::: :::: False :::: word"}, {"mnuInsert24", " :::: ListMembers"},
          {"mnuInsert25", " :::: CommitMember"}, {"mnuInsert26", " :::: ParameterInfo"}}},
    };
    return tree;
}

} // namespace

using MenuTest = WindowTest;

TEST_F(MenuTest, TheMenuTreeHasItsCaptionsOrderAndSeparators)
{
    start();
    for (const MenuCase &m : menuTree()) {
        QMenu *menu = child<QMenu>(QString::fromLatin1(m.menu));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title(), QString::fromLatin1(m.title));
        const QList<QAction *> actions = menu->actions();
        ASSERT_EQ(actions.size(), qsizetype(m.entries.size())) << m.menu;
        for (size_t i = 0; i < m.entries.size(); ++i) {
            QAction *a = actions[qsizetype(i)];
            const QString expected = QString::fromLatin1(m.entries[i].caption);
            if (expected == QLatin1String("-")) {
                EXPECT_TRUE(a->isSeparator()) << m.entries[i].name;
                EXPECT_EQ(a->objectName(), QString::fromLatin1(m.entries[i].name));
                continue;
            }
            const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
            EXPECT_EQ(name, QString::fromLatin1(m.entries[i].name));
            EXPECT_EQ(a->text(), expected) << m.entries[i].name;
            EXPECT_TRUE(a->shortcut().isEmpty()) << m.entries[i].name;
        }
    }
}

TEST_F(MenuTest, TheBarShowsSixMenusAndHidesThePopupsAndTheFormCopy)
{
    start();
    QStringList shown;
    for (QAction *a : child<QMenuBar>(QStringLiteral("menubar"))->actions())
        shown << a->menu()->objectName();
    EXPECT_EQ(shown, QStringList({"mnuFile", "mnuEdit", "mnuTokensets", "mnuTokens", "mnuOptions", "mnuHelp"}));
    EXPECT_FALSE(action(QStringLiteral("mnuPrintForm"))->isVisible());
}

TEST_F(MenuTest, ToolbarKeysRunTheirMenuItems)
{
    start();
    const std::pair<const char *, const char *> dispatch[] = {
        {"refresh", "mnuReload"}, {"save", "mnuSave"},        {"print", "mnuPrintXML"},    {"new", "mnuNew"},
        {"delete", "mnuDelete"},  {"openlang", "mnuImport"},  {"import", "mnuImport"},     {"view", "mnuShowLanguageFile"},
        {"seek", "mnuSeek"},      {"plus", "mnuNewTokenset"}, {"minus", "mnuDeleteTokenset"}, {"up", "mnuUp"},
        {"down", "mnuDown"},      {"font", "mnuToggleFont"},  {"deleteattributes", "mnuRemoveAttributes"},
        {"email", "mnuEmail"},
    };
    for (const auto &[key, item] : dispatch) {
        int runs = 0;
        auto connection = QObject::connect(action(QString::fromLatin1(item)), &QAction::triggered, [&] { ++runs; });
        // Keep the database commands from asking anything.
        action(QStringLiteral("mnuConfirmation"))->setChecked(false);
        window->Toolbar1_ButtonClick(QString::fromLatin1(key));
        QObject::disconnect(connection);
        EXPECT_EQ(runs, 1) << key;
    }
    int messages = 0;
    QObject::connect(window.get(), &FrmMain::messageRequested, [&] { ++messages; });
    window->Toolbar1_ButtonClick(QStringLiteral("message"));
    window->Toolbar1_ButtonClick(QStringLiteral("nothing"));
    EXPECT_EQ(messages, 1);
}
