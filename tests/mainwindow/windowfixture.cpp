#include "mainwindow/windowfixture.h"
#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "widgets/editorpane.h"

#include <QSettings>
#include <QTest>

void WindowTest::SetUp()
{
    for (const char *name : {"xml.lng", "sample.txt"})
        folder.write(QString::fromLatin1(name),
                     TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("data/") + QLatin1String(name))));
    ProgramFolder::resolve(folder.path());
    FrmMain::settingsStore()->remove(QString());
    TemplateDatabase::writeStandard(folder);
}

void WindowTest::TearDown()
{
    window.reset();
    FrmMain::settingsStore()->remove(QString());
}

FrmMain &WindowTest::start()
{
    window.reset();
    auto scripted = std::make_unique<ScriptedDialogs>();
    dialogs = scripted.get();
    window = std::make_unique<FrmMain>(std::move(scripted));
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window.get());
    window->Form_Resize();
    return *window;
}

EditorPane *WindowTest::xmlPane() const { return child<EditorPane>("txtXML"); }
EditorPane *WindowTest::samplePane() const { return child<EditorPane>("txtSample"); }

QString WindowTest::workingFile() const
{
    return AnsiCodec::decode(folder.read(QStringLiteral("varlex.lng")));
}

QStringList WindowTest::items(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

QStringList WindowTest::items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
