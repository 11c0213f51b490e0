#include "common/scripteddialogs.h"
#include "common/testutil.h"
#include "online/frmabout.h"
#include "online/onlineservices.h"
#include "widgets/editorpane.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QUrl>

using TestUtil::TempFolder;

TEST(OnlineUpdate, HandsOverToTheUpdaterOrReports)
{
    const auto script = [](const QByteArray &who) { // a stand-in updater that leaves a note
        return "#!/bin/sh\necho " + who + " > \"$(dirname \"$0\")/ran.txt\"\n";
    };
    const struct {
        bool updater, update;
        Dialogs::Answer answer;
        QByteArray ran; // empty: nothing runs and the window stays
    } cases[] = {
        {true, false, Dialogs::Answer::Ok, "old"},     // no Update.exe: the updater starts unchanged
        {true, true, Dialogs::Answer::Ok, "new"},      // Update.exe replaces the updater first
        {true, true, Dialogs::Answer::Cancel, ""},     // cancelled
        {false, true, Dialogs::Answer::Ok, ""},        // Update.exe without diVozara.exe: error
        {false, false, Dialogs::Answer::Ok, ""},       // no updater at all: error
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.updater << c.update << c.ran.constData());
        TempFolder program;
        const QString updater = program.file(QStringLiteral("diVozara.exe"));
        if (c.updater) {
            program.write(QStringLiteral("diVozara.exe"), script("old"));
            QFile::setPermissions(updater, QFile::permissions(updater) | QFile::ExeOwner);
        }
        if (c.update)
            program.write(QStringLiteral("Update.exe"), script("new")); // arrives without the x bit
        ScriptedDialogs dialogs;
        dialogs.answers = {c.answer};
        QWidget window;
        window.show();
        OnlineServices services(&window, dialogs, program.path(), OnlineConfig());
        const bool handedOver = !c.ran.isEmpty();
        EXPECT_EQ(services.onlineUpdate(), handedOver);
        QStringList want{QStringLiteral("Online Update: Varlex will close to check for online updates!")};
        if (!c.updater)
            want << QStringLiteral("diVozara: Error updating Varlex.  Close all programs and try again!");
        EXPECT_EQ(dialogs.shown(), want);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);
        (void)QTest::qWaitFor([&] { return program.read(QStringLiteral("ran.txt")).endsWith('\n'); },
                              handedOver ? 10000 : 200);
        EXPECT_EQ(program.read(QStringLiteral("ran.txt")).trimmed(), c.ran);
        EXPECT_EQ(program.exists(QStringLiteral("Update.exe")), c.update && !handedOver);
        EXPECT_EQ(program.read(QStringLiteral("diVozara.exe")), c.updater ? script(c.ran == "new" ? "new" : "old") : "");
        EXPECT_EQ(window.isVisible(), !handedOver);
    }
}

TEST(Links, OpenTheConfiguredAddressesOrReportThemInTheDetails)
{
    OnlineConfig config;
    config.host = QStringLiteral("http://maker.example.org");
    config.supportPage = QStringLiteral("http://maker.example.org/give");
    config.email = QStringLiteral("someone@example.org");
    const QString unknown = QStringLiteral("Something went wrong, but I don't know what!  Error 1");
    using Icon = Dialogs::Icon;
    const struct {
        void (OnlineServices::*command)();
        const char *url;
        QString failure; // title, ": ", text
        Icon icon;
    } cases[] = {
        {&OnlineServices::webSite, "http://maker.example.org/free", QStringLiteral(": Could not locate web site!  Error 1"), Icon::None},
        {&OnlineServices::forums, "http://maker.example.org/phpbb", QStringLiteral(": Could not locate forum site!  Error 1"), Icon::None},
        {&OnlineServices::support, "http://maker.example.org/give", QStringLiteral(": ") + unknown, Icon::Exclamation},
        {&OnlineServices::onlineHelp, "http://maker.example.org/free/varlex.htm", QStringLiteral(": ") + unknown, Icon::Exclamation},
        {&OnlineServices::email, "mailto:someone@example.org?subject=Varlex&body=Suggestions,%20comments,%20or%20problems:",
         QStringLiteral("Send Email to Author: Error sending email!"), Icon::Exclamation},
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
            EXPECT_EQ(dialogs.shown(), handled ? QStringList() : QStringList{c.failure}) << c.url;
            if (!handled) {
                EXPECT_EQ(dialogs.messages.at(0).icon, c.icon);
                // The address it tried stands in the box's details, to be copied.
                ASSERT_EQ(dialogs.details.size(), 1);
                EXPECT_EQ(QUrl(dialogs.details[0]).toString(QUrl::FullyEncoded), QString::fromLatin1(c.url));
            }
        }
    }
}

TEST(About, TextCaptionAndPlace)
{
    QWidget main;
    main.setGeometry(100, 80, 900, 700);
    main.show();
    ScriptedDialogs dialogs;
    TempFolder program;
    OnlineServices services(&main, dialogs, program.path(), OnlineConfig());
    // mnuAbout_Click shows it modally, centred on the main window; look at it from inside.
    QString title, text;
    QPoint offset;
    QTimer::singleShot(0, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            text = box->findChild<QLabel *>(QStringLiteral("lblAbout"))->text();
            offset = box->frameGeometry().center() - main.frameGeometry().center();
            box->close();
        }
    });
    services.about();
    EXPECT_EQ(title, QStringLiteral("About Varlex"));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\n    Version: 1.2.191"))) << text.toStdString();
    EXPECT_LE(std::max(std::abs(offset.x()), std::abs(offset.y())), 2);
}

// Without a printer the pages go into a PDF (the viewer's test reads one back); a PDF that cannot be
// written is reported.
TEST(Printing, APdfWhenNoPrinterIsSetUp)
{
    if (PanePrinting::hasDefaultPrinter())
        GTEST_SKIP() << "a printer is set up";
    TempFolder program;
    EditorPane pane;
    pane.setText(QStringLiteral("<language name=\"PrintedPane\"/>\r\n"));
    ScriptedDialogs dialogs;
    OnlineServices services(nullptr, dialogs, program.path(), OnlineConfig());
    const PanePrinting::Result result = services.printPane(&pane, OnlineServices::kXmlPdf);
    ASSERT_EQ(result.kind, PanePrinting::Result::Kind::Pdf) << result.error.toStdString();
    EXPECT_TRUE(result.statusText().contains(program.file(OnlineServices::kXmlPdf)));
    EXPECT_TRUE(TestUtil::readFile(result.pdfPath).startsWith("%PDF"));
    const PanePrinting::Result failed =
        PanePrinting::printToPdf(&pane, program.file(QStringLiteral("no/such/folder/x.pdf")));
    EXPECT_TRUE(failed.statusText().startsWith(QStringLiteral("Could not print: ")));
}
