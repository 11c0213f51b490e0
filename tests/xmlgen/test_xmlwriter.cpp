#include "fakehost.h"

#include "common/testutil.h"
#include "model/database.h"
#include "xmlgen/xmlwriter.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

using TestUtil::TempFolder;

QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out += QByteArray(line) + "\r\n";
    return out;
}

// A database, a host and a writer around a temporary program folder.
struct Fixture {
    TempFolder folder;
    Database db;
    RecordingHost host;
    XmlWriter writer{db, host};

    explicit Fixture(QVector<Language> languages = {demoLanguage()})
    {
        db.languages = std::move(languages);
        db.currentTokenset = 0;
        host.folder = folder.path();
        host.exportTo = folder.file(QStringLiteral("language_def"));
    }
    QByteArray run(int language = 0, int mode = 1)
    {
        const WriteResult r = writer.WriteXML(language, true, mode);
        EXPECT_TRUE(r.written()) << r.error.toStdString();
        return folder.read(QStringLiteral("varlex.lng"));
    }
    QString text(int language = 0, int mode = 1) { return writer.generate(language, mode, host.hide, host.easyRead); }
};

TEST(WriteXml, WorkedExamplePlain)
{
    Fixture f;
    EXPECT_EQ(f.run(), crlf({
        "<language name=\"Demo\" casesensitive=\"false\" whitespaceasparamblock=\"true\" wordchars=\"[\\w]\" memberlist=\"\">",
        "<tokenset name=\"Keywords\" id=\"keywords\" type=\"list\" autoindent=\"false\" backcolor=\"16777215\" "
        "casesensitive=\"false\" chain=\"false\" enabled=\"true\" forecolor=\"16711680\" fontstyle=\"bold\" "
        "hidden=\"false\" memberlist=\"\" inheritfrom=\"\" matchbraces=\"false\" normalizecase=\"false\" "
        "singlelinescope=\"false\" symmetrical=\"false\" >",
        "     <validscope name=\"\"/>", "</tokenset>", "</language>"}));
    EXPECT_EQ(f.writer.validityMessage(), QStringLiteral("No validscope/inheritfrom error found!\r\n"));
    EXPECT_EQ(f.host.flags, QList<qint32>{65280});
}

TEST(WriteXml, WorkedExampleHideDefaultAttributes)
{
    Fixture f;
    f.host.hide = true;
    EXPECT_EQ(f.run(), crlf({"<language name=\"Demo\">",
        "<tokenset name=\"Keywords\" id=\"keywords\" autoindent=\"false\" backcolor=\"16777215\" chain=\"false\" "
        "enabled=\"true\" forecolor=\"16711680\" fontstyle=\"bold\" hidden=\"false\" singlelinescope=\"false\" >",
        "     <validscope name=\"\"/>", "</tokenset>", "</language>"}));
}

TEST(WriteXml, WorkedExampleEasyRead)
{
    Fixture f;
    f.host.easyRead = true;
    EXPECT_EQ(f.run(), crlf({"<language", "name=\"Demo\"", "casesensitive=\"false\"", "whitespaceasparamblock=\"true\"",
        "wordchars=\"[\\w]\"", "memberlist=\"\">", "<tokenset", "name=\"Keywords\"", "id=\"keywords\"", "type=\"list\"",
        "autoindent=\"false\"", "backcolor=\"16777215\"", "casesensitive=\"false\"", "chain=\"false\"", "enabled=\"true\"",
        "forecolor=\"16711680\"", "fontstyle=\"bold\"", "hidden=\"false\"", "memberlist=\"\"", "inheritfrom=\"\"",
        "matchbraces=\"false\"", "normalizecase=\"false\"", "singlelinescope=\"false\"", "symmetrical=\"false\"", ">",
        "     <validscope name=\"\"/>", "</tokenset>", "</language>"}));
    f.host.hide = true;
    EXPECT_EQ(f.run(), crlf({"<language", "name=\"Demo\">", "<tokenset", "name=\"Keywords\"", "id=\"keywords\"",
        "autoindent=\"false\"", "backcolor=\"16777215\"", "chain=\"false\"", "enabled=\"true\"", "forecolor=\"16711680\"",
        "fontstyle=\"bold\"", "hidden=\"false\"", "singlelinescope=\"false\"", ">", "     <validscope name=\"\"/>",
        "</tokenset>", "</language>"}));
}

TEST(WriteXml, LanguageHeadValues)
{
    Language lang = demoLanguage();
    lang.tokensets[0].name.clear();
    lang.casesensitive = 1;
    lang.whitespaceasparamblock = 0;
    lang.wordchars = QStringLiteral("[&<>]");
    lang.memberlist = QStringLiteral("Api");
    Fixture f({lang});
    f.host.hide = true;
    f.host.lists.names = {QStringLiteral("Api")};
    // A language without tokensets: the head, CR LF and the closing tag.
    EXPECT_EQ(f.text(), QStringLiteral("<language name=\"Demo\" casesensitive=\"true\" whitespaceasparamblock=\"false\" "
                                       "wordchars=\"[&amp;&lt;&gt;]\" memberlist=\"Api\">\r\n</language>"));
}

TEST(WriteXml, TokensetFlagsAndOverrides)
{
    Language lang = demoLanguage();
    Tokenset &ts = lang.tokensets[0];
    ts.type = QStringLiteral("scope");
    ts.autoindent = ts.chain = ts.hidden = ts.singlelinescope = 1;
    ts.matchbraces = ts.normalizecase = ts.symmetrical = 1;
    ts.enabled = 0;
    ts.casesensitive = 0;
    ts.fontstyle = QStringLiteral("normal");
    ts.backcolor = -1;
    lang.applycase = 1;
    lang.casesensitive = 1;
    Fixture f({lang});
    f.host.hide = true;
    EXPECT_EQ(f.text(), QStringLiteral("<language name=\"Demo\" casesensitive=\"true\">\r\n<tokenset name=\"Keywords\" "
                                       "id=\"keywords\" type=\"scope\" backcolor=\"-1\" casesensitive=\"true\" "
                                       "forecolor=\"16711680\" matchbraces=\"true\" normalizecase=\"true\" "
                                       "symmetrical=\"true\" >\r\n     <validscope name=\"\"/>\r\n</tokenset>\r\n</language>"));
}

// Slots: A (included), B (excluded), C (included), then an empty name, then a slot still holding data.
Language referenceLanguage()
{
    Language lang = demoLanguage();
    lang.tokensets[0] = makeTokenset(QStringLiteral("A"));
    lang.tokensets[1] = makeTokenset(QStringLiteral("B"));
    lang.tokensets[1].included = 0;
    lang.tokensets[2] = makeTokenset(QStringLiteral("C"));
    lang.tokensets[4] = makeTokenset(QStringLiteral("Ghost"));
    return lang;
}

TEST(WriteXml, OnlyIncludedTokensetsBeforeTheFirstFreeSlotAreWritten)
{
    Fixture f({referenceLanguage()});
    const QString xml = f.text();
    EXPECT_TRUE(xml.contains(u"name=\"A\""));
    EXPECT_FALSE(xml.contains(u"name=\"B\""));
    EXPECT_TRUE(xml.contains(u"name=\"C\""));
    EXPECT_FALSE(xml.contains(u"Ghost"));
}

TEST(WriteXml, ReferencesAreCheckedAndReportedInWritingOrder)
{
    Language lang = referenceLanguage();
    Tokenset &c = lang.tokensets[2];
    c.tmemberlist = QStringLiteral("Missing");
    c.inheritfrom = QStringLiteral("C"); // itself
    c.validscope[0] = QStringLiteral(" NULL ");
    c.validscope[1] = QStringLiteral("A");
    c.validscope[2] = QStringLiteral(" A");
    c.validscope[3] = QStringLiteral("B");
    c.validscope[4] = QStringLiteral("Ghost");
    c.validscope[10] = QStringLiteral("A");
    lang.tokensets[0].inheritfrom = QStringLiteral("C");
    lang.tokensets[0].tmemberlist = QStringLiteral("Known");
    lang.memberlist = QStringLiteral("");
    Fixture f({lang});
    f.host.lists.names = {QStringLiteral("Known")};
    const QString xml = f.text();
    EXPECT_TRUE(xml.contains(u"memberlist=\"Known\" inheritfrom=\"C\""));
    EXPECT_TRUE(xml.contains(QStringLiteral("name=\"C\" id=\"keywords\" type=\"list\" autoindent=\"false\" backcolor=\"0\" "
                                            "casesensitive=\"false\" chain=\"false\" enabled=\"false\" forecolor=\"0\" "
                                            "fontstyle=\"normal\" hidden=\"false\" memberlist=\"\" inheritfrom=\"\" ")));
    EXPECT_TRUE(xml.contains(u">\r\n     <validscope name=\"\"/>\r\n     <validscope name=\"A\"/>\r\n</tokenset>"));
    EXPECT_EQ(f.writer.validityMessage(), QStringLiteral("Demo : Language : Memberlist:  \r\n"
                                                         "Demo : C : Memberlist:  Missing\r\n"
                                                         "Demo : C : Inherit:  C\r\n"
                                                         "Demo : C :  Validscope2 :  A\r\n"
                                                         "Demo : C :  Validscope3 : B\r\n"
                                                         "Demo : C :  Validscope4 : Ghost\r\n"));
    EXPECT_EQ(f.writer.redFlag(), XmlWriter::kRed);

    // With HIDE the broken attributes are left out instead of written empty.
    f.host.hide = true;
    EXPECT_TRUE(f.text().contains(QStringLiteral("name=\"C\" id=\"keywords\" autoindent=\"false\" backcolor=\"0\" "
                                                 "chain=\"false\" forecolor=\"0\" hidden=\"false\" singlelinescope=\"false\" >")));
}

// Three included tokensets whose token lists are long enough to matter.
Language cachedLanguage(const QString &name)
{
    Language lang = demoLanguage();
    lang.name = name;
    for (int i = 0; i < 3; ++i) {
        lang.tokensets[size_t(i)] = makeTokenset(QStringLiteral("T%1").arg(i));
        lang.tokensets[size_t(i)].tokens = QStringLiteral("a%1\r\nb :::: ListMembers\r\n").arg(i);
    }
    return lang;
}

TEST(WriteXmlCache, ModeZeroAfterAnEditOfTheCurrentTokensetEqualsModeOne)
{
    Fixture f({cachedLanguage(QStringLiteral("One"))});
    f.db.currentTokenset = 1;
    f.run(0, 1);
    f.db.languages[0].tokensets[1].tokens += QStringLiteral("new token");
    f.db.languages[0].tokensets[1].forecolor = 42;
    const QByteArray quick = f.run(0, 0);
    EXPECT_TRUE(quick.contains("new token"));
    EXPECT_EQ(quick, f.run(0, 1));
}

TEST(WriteXmlCache, ModeZeroReusesTheTextOfOtherTokensets)
{
    Fixture f({cachedLanguage(QStringLiteral("One"))});
    f.db.currentTokenset = 1;
    f.run(0, 1);
    // An edit outside the current tokenset is not seen by mode 0 (callers pass mode 1 for those).
    f.db.languages[0].tokensets[2].tokens = QStringLiteral("changed");
    EXPECT_FALSE(f.run(0, 0).contains("changed"));
    EXPECT_TRUE(f.run(0, 1).contains("changed"));
}

TEST(WriteXmlCache, ModeZeroForAnotherLanguageRebuildsEveryTokenset)
{
    Fixture f({cachedLanguage(QStringLiteral("One")), cachedLanguage(QStringLiteral("Two"))});
    f.db.languages[1].tokensets[2].tokens = QStringLiteral("only in two");
    f.run(0, 1);
    EXPECT_EQ(f.writer.cacheLanguage(), 0);
    const QByteArray quick = f.run(1, 0);
    EXPECT_EQ(f.writer.cacheLanguage(), 1);
    EXPECT_TRUE(quick.contains("only in two"));
    EXPECT_EQ(quick, f.run(1, 1));
}

TEST(WriteXmlCache, ModeZeroWithOtherOptionsRebuildsEveryTokenset)
{
    Fixture f({cachedLanguage(QStringLiteral("One"))});
    f.run(0, 1);
    f.host.hide = true;
    EXPECT_EQ(f.run(0, 0), f.run(0, 1));
}

TEST(WriteXmlCache, ModeZeroStillReportsBrokenReferencesOfCachedTokensets)
{
    Language lang = cachedLanguage(QStringLiteral("One"));
    lang.tokensets[2].inheritfrom = QStringLiteral("Nowhere");
    Fixture f({lang});
    f.run(0, 1);
    const QString full = f.writer.validityMessage();
    f.run(0, 0);
    EXPECT_EQ(f.writer.validityMessage(), full);
    EXPECT_EQ(f.writer.validityMessage(), QStringLiteral("One : T2 : Inherit:  Nowhere\r\n"));
    EXPECT_EQ(f.host.flags.last(), XmlWriter::kRed);
}

TEST(WriteXmlRun, CancellingManualChangesChangesNothing)
{
    Fixture f;
    f.run();
    f.host.flags.clear();
    f.host.loading.clear();
    f.db.languages[0].tokensets[0].name = QStringLiteral("Renamed");
    f.db.languages[0].tokensets[0].inheritfrom = QStringLiteral("Nowhere");
    f.host.apply = true;
    f.host.answerOk = false;
    const QByteArray before = f.folder.read(QStringLiteral("varlex.lng"));
    const WriteResult r = f.writer.WriteXML(0, true, 1);
    EXPECT_EQ(r.status, WriteResult::Status::Cancelled);
    EXPECT_EQ(f.host.questions, QStringList{QStringLiteral("Write XML|Manual changes will be lost. Continue?")});
    EXPECT_EQ(f.folder.read(QStringLiteral("varlex.lng")), before);
    EXPECT_EQ(f.writer.validityMessage(), XmlWriter::kNoErrors);
    EXPECT_TRUE(f.host.flags.isEmpty());
    EXPECT_TRUE(f.host.loading.isEmpty());
    EXPECT_TRUE(f.host.apply);

    f.host.answerOk = true;
    EXPECT_TRUE(f.writer.WriteXML(0, true, 1).written());
    EXPECT_TRUE(f.folder.read(QStringLiteral("varlex.lng")).contains("Renamed"));
    EXPECT_FALSE(f.host.apply);
}

TEST(WriteXmlRun, ReportsToTheStatusPaneAndTraceWindow)
{
    Language lang = demoLanguage();
    lang.tokensets[0].inheritfrom = QStringLiteral("X");
    Fixture f({lang});
    const QString report = QStringLiteral("Demo : Keywords : Inherit:  X\r\n");

    f.host.trace = true;
    f.host.status = QStringLiteral("<Trace Mode>\r\n");
    f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Trace Mode>\r\n----------\r\n") + report + QStringLiteral("----------\r\n"));
    EXPECT_EQ(f.host.loading, (QList<bool>{true, false}));
    EXPECT_EQ(f.host.disabled, 1);

    f.host.validity = true; // Validity mode wins over Trace mode
    f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Validity Mode>\r\n") + report);

    f.host.debugOpen = true;
    f.run();
    const QString timing = f.writer.timingText();
    EXPECT_TRUE(timing.endsWith(u" seconds end of WriteXML")) << timing.toStdString();
    EXPECT_EQ(f.host.debug, QStringLiteral("\r\n") + report + QStringLiteral("\r\n\r\n") + timing + QStringLiteral("\r\n"));
}

TEST(WriteXmlRun, TimingLineHasThreeDecimals)
{
    EXPECT_EQ(XmlWriter::timingLine(1000, 1250, QStringLiteral(" s")), QLocale().toString(0.25, 'f', 3) + QStringLiteral(" s"));
}

TEST(WriteXmlRun, AFailedWriteIsReportedWithTheFileAndCause)
{
    Fixture f;
    f.host.folder = f.folder.file(QStringLiteral("missing"));
    const WriteResult r = f.writer.WriteXML(0, true, 1);
    EXPECT_EQ(r.status, WriteResult::Status::Failed);
    EXPECT_TRUE(r.error.contains(f.folder.file(QStringLiteral("missing/varlex.lng")))) << r.error.toStdString();
    EXPECT_EQ(f.host.loading, (QList<bool>{true, false}));

    EXPECT_EQ(f.writer.WriteXML(5, true, 1).status, WriteResult::Status::Failed);
}

TEST(WriteXmlRun, FilesAreAnsiTextWithAFinalLineBreak)
{
    Language lang = demoLanguage();
    lang.name = QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe6\xbc\xa2");
    Fixture f({lang});
    EXPECT_TRUE(f.run().startsWith("<language name=\"Caf\xe9 \x80 ?\""));
    EXPECT_TRUE(f.run().endsWith("</language>\r\n"));
    // A wide character anywhere in a long, otherwise plain text.
    f.db.languages[0].name = QString::fromUtf8("\xef\xbc\xa1") + QString(40, u'a') + QString::fromUtf8("\xe2\x82\xac");
    EXPECT_TRUE(f.run().startsWith("<language name=\"?" + QByteArray(40, 'a') + "\x80\""));
}

// Parses the text and returns the first error, or an empty string.
QString parseError(const QString &xml)
{
    QXmlStreamReader reader(xml);
    while (!reader.atEnd())
        reader.readNext();
    return reader.hasError() ? reader.errorString() + QStringLiteral(" at line %1").arg(reader.lineNumber()) : QString();
}

TEST(WriteXmlRun, OutputIsWellFormedInEveryForm)
{
    Language lang = demoLanguage();
    lang.wordchars = QStringLiteral("[\\w&<>\"']");
    lang.memberlist = QStringLiteral("Api");
    for (int i = 0; i < 6; ++i) {
        Tokenset ts = makeTokenset(QStringLiteral("Set %1").arg(i));
        ts.type = i % 2 ? QStringLiteral("scope") : QStringLiteral("list");
        ts.rule = QStringList{"Word", "NULL", "Col", "LeadWith", "TrailWith", "LeadWith TrailWith"}[i];
        ts.lead = QStringLiteral("<&\">");
        ts.trail = QStringLiteral("'\"&");
        ts.inheritfrom = i ? QStringLiteral("Set 0") : QStringLiteral("Broken");
        ts.validscope[1] = QStringLiteral("Set 1");
        ts.validscope[2] = QStringLiteral("Missing");
        ts.tokens = QStringLiteral("<!--\r\n&amp; :::: Lis\"t :::: TRUE :::: leadwith[\"<]\r\n]]> :::: a :::: b :::: "
                                   "trailwith(&)\r\n\" :::: x :::: y :::: z :::: w\r\n  \r\n<?x ?>\r\n::::");
        ts.tokens2 = QStringLiteral("-->\r\n< :::: :::: :::: col 1e9");
        ts.regexp = i % 3;
        lang.tokensets[size_t(i)] = ts;
    }
    Fixture f({lang});
    for (const bool hide : {false, true}) {
        for (const bool easyRead : {false, true}) {
            f.host.hide = hide;
            f.host.easyRead = easyRead;
            const QString xml = f.text();
            EXPECT_EQ(parseError(xml), QString()) << "hide " << hide << " easyRead " << easyRead << "\n"
                                                  << xml.toStdString();
        }
    }
}

} // namespace
