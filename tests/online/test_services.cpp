#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "online/frmabout.h"
#include "online/onlineservices.h"
#include "editorcontrol/compiledlanguage.h"
#include "editorcontrol/languageobject.h"
#include "widgets/editorpane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QUrl>

using TestUtil::TempFolder;

namespace {

// A stand-in updater: a script that leaves a note of who ran it.
QByteArray updaterScript(const QByteArray &who)
{
    return "#!/bin/sh\necho " + who + " > \"$(dirname \"$0\")/ran.txt\"\n";
}

} // namespace

TEST(OnlineUpdate, HandsOverToTheUpdaterOrReports)
{
    const struct {
        const char *name;
        bool updater, update;
        Dialogs::Answer answer;
        QByteArray ran; // empty: nothing runs and the window stays
        bool error;
    } cases[] = {
        {"no Update.exe: the updater starts unchanged", true, false, Dialogs::Answer::Ok, "old", false},
        {"Update.exe replaces the updater first", true, true, Dialogs::Answer::Ok, "new", false},
        {"cancelled", true, true, Dialogs::Answer::Cancel, "", false},
        {"Update.exe without diVozara.exe", false, true, Dialogs::Answer::Ok, "", true},
        {"no updater at all", false, false, Dialogs::Answer::Ok, "", true},
    };
    for (const auto &c : cases) {
        TempFolder program;
        const QString updater = program.file(QStringLiteral("diVozara.exe"));
        if (c.updater) {
            program.write(QStringLiteral("diVozara.exe"), updaterScript("old"));
            QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner);
        }
        if (c.update)
            program.write(QStringLiteral("Update.exe"), updaterScript("new")); // arrives without the x bit
        ScriptedDialogs dialogs;
        dialogs.answers = {c.answer};
        QWidget window;
        window.show();
        OnlineServices services(&window, dialogs, program.path(), OnlineConfig());

        const bool handedOver = !c.ran.isEmpty();
        EXPECT_EQ(services.onlineUpdate(), handedOver) << c.name;
        ASSERT_EQ(dialogs.messages.size(), c.error ? 2u : 1u) << c.name;
        const auto &ask = dialogs.messages[0];
        EXPECT_EQ(std::tuple(ask.text, ask.title, ask.buttons, ask.icon),
                  std::tuple(QStringLiteral("Varlex will close to check for online updates!"),
                             QStringLiteral("Online Update"), Dialogs::Buttons::OkCancel, Dialogs::Icon::Information));
        if (c.error) {
            const auto &error = dialogs.messages[1];
            EXPECT_EQ(std::tuple(error.text, error.title, error.buttons),
                      std::tuple(QStringLiteral("Error updating Varlex.  Close all programs and try again!"),
                                 QStringLiteral("diVozara"), Dialogs::Buttons::Ok));
        }
        (void)QTest::qWaitFor([&] { return program.read(QStringLiteral("ran.txt")).endsWith('\n'); },
                              handedOver ? 10000 : 200);
        EXPECT_EQ(program.read(QStringLiteral("ran.txt")).trimmed(), c.ran) << c.name;
        EXPECT_EQ(program.exists(QStringLiteral("Update.exe")), c.update && !handedOver) << c.name;
        EXPECT_EQ(program.read(QStringLiteral("diVozara.exe")),
                  c.updater ? updaterScript(c.ran == "new" ? "new" : "old") : QByteArray()) << c.name;
        EXPECT_EQ(window.isVisible(), !handedOver) << c.name;
    }
}

TEST(Links, OpenTheConfiguredAddressesOrReport)
{
    OnlineConfig config;
    config.host = QStringLiteral("http://maker.example.org");
    config.supportPage = QStringLiteral("http://maker.example.org/give");
    config.email = QStringLiteral("someone@example.org");

    const QString unknown = QStringLiteral("Something went wrong, but I don't know what!  Error 1");
    const struct {
        void (OnlineServices::*command)();
        const char *url;
        QString failure;
        QString title;
        Dialogs::Icon icon;
    } cases[] = {
        {&OnlineServices::webSite, "http://maker.example.org/free", QStringLiteral("Could not locate web site!  Error 1"),
         QString(), Dialogs::Icon::None},
        {&OnlineServices::forums, "http://maker.example.org/phpbb",
         QStringLiteral("Could not locate forum site!  Error 1"), QString(), Dialogs::Icon::None},
        {&OnlineServices::support, "http://maker.example.org/give", unknown, QString(), Dialogs::Icon::Exclamation},
        {&OnlineServices::onlineHelp, "http://maker.example.org/free/varlex.htm", unknown, QString(),
         Dialogs::Icon::Exclamation},
        {&OnlineServices::email,
         "mailto:someone@example.org?subject=Varlex&body=Suggestions,%20comments,%20or%20problems:",
         QStringLiteral("Error sending email!"), QStringLiteral("Send Email to Author"), Dialogs::Icon::Exclamation},
    };
    for (const auto &c : cases) {
        for (const bool handled : {true, false}) {
            ScriptedDialogs dialogs;
            QList<QUrl> opened;
            TempFolder program;
            OnlineServices services(nullptr, dialogs, program.path(), config, [&](const QUrl &url) {
                opened << url;
                return handled;
            });
            (services.*c.command)();
            ASSERT_EQ(opened.size(), 1);
            EXPECT_EQ(opened[0].toString(QUrl::FullyEncoded), QString::fromLatin1(c.url));
            if (handled) {
                EXPECT_TRUE(dialogs.messages.empty()) << c.url;
                continue;
            }
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.url;
            EXPECT_EQ(dialogs.messages[0].text, c.failure);
            EXPECT_EQ(dialogs.messages[0].title, c.title);
            EXPECT_EQ(dialogs.messages[0].icon, c.icon);
        }
    }
}

TEST(About, TextCaptionAndPlace)
{
    EXPECT_TRUE(FrmAbout::aboutText().endsWith(QStringLiteral("\n    Version: 1.2.191")));

    QWidget main;
    main.setGeometry(100, 80, 900, 700);
    main.show();
    FrmAbout about(&main);
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Varlex"));
    EXPECT_EQ(about.findChild<QLabel *>(QStringLiteral("lblAbout"))->text(), FrmAbout::aboutText());
    about.centreOn(&main);
    const QRect m = main.frameGeometry();
    EXPECT_EQ(about.frameGeometry().center().x() / 2, m.center().x() / 2);
    EXPECT_EQ(about.frameGeometry().center().y() / 2, m.center().y() / 2);

    // mnuAbout_Click shows it modally; close it from inside its event loop.
    ScriptedDialogs dialogs;
    TempFolder program;
    OnlineServices services(&main, dialogs, program.path(), OnlineConfig());
    QString shownTitle;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            shownTitle = box->windowTitle();
            box->close();
        }
    });
    services.about();
    EXPECT_EQ(shownTitle, QStringLiteral("About Varlex"));
}

TEST(Printing, APdfOfThePaneHoldsItsText)
{
    if (PanePrinting::hasDefaultPrinter())
        GTEST_SKIP() << "a printer is set up";
    TempFolder program;
    LanguageObject xml;
    ASSERT_TRUE(xml.load(TestUtil::sourcePath(QStringLiteral("data/xml.lng"))));
    EditorPane pane;
    pane.setLanguage(CompiledLanguage::compile(*xml.definition()));
    QString text = QStringLiteral("<language name=\"PrintedPane\" casesensitive=\"false\">\r\n");
    for (int i = 0; i < 120; ++i) // more than one page
        text += QStringLiteral("<tokenset name=\"Set%1\" id=\"text\"/>\r\n").arg(i);
    text += QStringLiteral("</language>\r\n");
    pane.setText(text);

    ScriptedDialogs dialogs;
    OnlineServices services(nullptr, dialogs, program.path(), OnlineConfig());
    const PanePrinting::Result result = services.printPane(&pane, OnlineServices::kXmlPdf);
    ASSERT_EQ(result.kind, PanePrinting::Result::Kind::Pdf) << result.error.toStdString();
    EXPECT_EQ(result.pdfPath, program.file(OnlineServices::kXmlPdf));
    EXPECT_TRUE(result.statusText().contains(result.pdfPath));

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {result.pdfPath, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    const QString out = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const char *expected : {"<language name=\"PrintedPane\"", "Set0", "Set119", "</language>"})
        EXPECT_TRUE(out.contains(QLatin1String(expected))) << expected;
    EXPECT_GE(out.count(QLatin1Char('\f')), 2); // pages

    const PanePrinting::Result failed =
        PanePrinting::printToPdf(&pane, program.file(QStringLiteral("no/such/folder/x.pdf")));
    EXPECT_EQ(failed.kind, PanePrinting::Result::Kind::Failed);
    EXPECT_TRUE(failed.statusText().startsWith(QStringLiteral("Could not print: ")));
}
