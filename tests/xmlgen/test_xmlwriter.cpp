#include "fakehost.h"

#include "common/testutil.h"
#include "xmlgen/xmlwriter.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

QByteArray crlf(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *line : lines)
        out += QByteArray(line) + "\r\n";
    return out;
}

// A database, a host and a writer around a temporary program folder.
struct Fixture {
    TestUtil::TempFolder folder;
    Database db;
    RecordingHost host;
    XmlWriter writer{db, host};

    explicit Fixture(QVector<Language> languages = {demoLanguage()})
    {
        db.languages = std::move(languages);
        db.currentTokenset = 0;
        host.folder = folder.path();
    }
    Tokenset &slot(int i, int language = 0) { return db.languages[language].tokensets[size_t(i)]; }
    QByteArray run(int language = 0, int mode = 1)
    {
        const WriteResult r = writer.WriteXML(language, true, mode);
        EXPECT_TRUE(r.written()) << r.error.toStdString();
        return folder.read(QStringLiteral("varlex.lng"));
    }
    QString text() { return writer.generate(0, 1, host.hide, host.easyRead); }
};

TEST(WriteXml, DocumentedExampleInEveryForm)
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

    f.host.hide = true;
    EXPECT_EQ(f.run(), crlf({"<language name=\"Demo\">",
        "<tokenset name=\"Keywords\" id=\"keywords\" autoindent=\"false\" backcolor=\"16777215\" chain=\"false\" "
        "enabled=\"true\" forecolor=\"16711680\" fontstyle=\"bold\" hidden=\"false\" singlelinescope=\"false\" >",
        "     <validscope name=\"\"/>", "</tokenset>", "</language>"}));

    f.host.hide = false;
    f.host.easyRead = true;
    EXPECT_EQ(f.run(), crlf({"<language", "name=\"Demo\"", "casesensitive=\"false\"", "whitespaceasparamblock=\"true\"",
        "wordchars=\"[\\w]\"", "memberlist=\"\">", "<tokenset", "name=\"Keywords\"", "id=\"keywords\"", "type=\"list\"",
        "autoindent=\"false\"", "backcolor=\"16777215\"", "casesensitive=\"false\"", "chain=\"false\"", "enabled=\"true\"",
        "forecolor=\"16711680\"", "fontstyle=\"bold\"", "hidden=\"false\"", "memberlist=\"\"", "inheritfrom=\"\"",
        "matchbraces=\"false\"", "normalizecase=\"false\"", "singlelinescope=\"false\"", "symmetrical=\"false\"", ">",
        "     <validscope name=\"\"/>", "</tokenset>", "</language>"}));
}

TEST(WriteXml, HiddenDefaultsAndValues)
{
    Language lang = demoLanguage();
    lang.casesensitive = lang.applycase = 1; // the language's flag goes to every tokenset
    lang.whitespaceasparamblock = 0;
    lang.wordchars = QStringLiteral("[&<>\"]");
    lang.memberlist = QStringLiteral("Api");
    Tokenset &ts = lang.tokensets[0];
    ts.type = QStringLiteral("scope");
    ts.autoindent = ts.chain = ts.hidden = ts.singlelinescope = ts.matchbraces = ts.normalizecase = ts.symmetrical = 1;
    ts.enabled = ts.casesensitive = 0;
    ts.fontstyle = QStringLiteral("normal");
    ts.backcolor = -1;
    Fixture f({lang});
    f.host.hide = true;
    f.host.lists.names = {QStringLiteral("Api")};
    EXPECT_EQ(f.text(), QStringLiteral("<language name=\"Demo\" casesensitive=\"true\" whitespaceasparamblock=\"false\" "
                                       "wordchars=\"[&amp;&lt;&gt;&quot;]\" memberlist=\"Api\">\r\n<tokenset "
                                       "name=\"Keywords\" id=\"keywords\" type=\"scope\" backcolor=\"-1\" "
                                       "casesensitive=\"true\" forecolor=\"16711680\" matchbraces=\"true\" "
                                       "normalizecase=\"true\" symmetrical=\"true\" >\r\n     <validscope name=\"\"/>"
                                       "\r\n</tokenset>\r\n</language>"));
    ts.name.clear(); // no tokensets: the head, CR LF and the closing tag
    f.db.languages[0] = lang;
    EXPECT_TRUE(f.text().endsWith(u"memberlist=\"Api\">\r\n</language>"));
}

TEST(WriteXml, ReferencesAreCheckedAndReportedInWritingOrder)
{
    // A, B (excluded), C, a free slot, then a slot that still holds data.
    Fixture f({demoLanguage()});
    const char *names[] = {"A", "B", "C", "", "Ghost"};
    for (int i = 0; i < 5; ++i)
        f.slot(i) = makeTokenset(QString::fromLatin1(names[i]));
    f.slot(1).included = 0;
    f.slot(0).inheritfrom = QStringLiteral("C");
    f.slot(0).tmemberlist = QStringLiteral("Known");
    Tokenset &c = f.slot(2);
    c.tmemberlist = QStringLiteral("Missing");
    c.inheritfrom = QStringLiteral("C"); // itself
    const char *scopes[] = {" NULL ", "A", " A", "B", "Ghost", "<none>", "<none>", "<none>", "<none>", "<none>", "A"};
    for (int j = 0; j < 11; ++j)
        c.validscope[size_t(j)] = QString::fromLatin1(scopes[j]);
    f.db.languages[0].memberlist.clear();
    f.host.lists.names = {QStringLiteral("Known")};

    const QString xml = f.text();
    EXPECT_TRUE(xml.contains(u"memberlist=\"Known\" inheritfrom=\"C\""));
    EXPECT_FALSE(xml.contains(u"name=\"B\"") || xml.contains(u"Ghost\""));
    EXPECT_TRUE(xml.contains(u"hidden=\"false\" memberlist=\"\" inheritfrom=\"\" matchbraces=\"false\" normalizecase="
                             "\"false\" singlelinescope=\"false\" symmetrical=\"false\" >\r\n     <validscope name=\"\"/>"
                             "\r\n     <validscope name=\"A\"/>\r\n</tokenset>\r\n</language>"));
    EXPECT_EQ(f.writer.validityMessage(), QStringLiteral("Demo : Language : Memberlist:  \r\n"
                                                         "Demo : C : Memberlist:  Missing\r\n"
                                                         "Demo : C : Inherit:  C\r\n"
                                                         "Demo : C :  Validscope2 :  A\r\n"
                                                         "Demo : C :  Validscope3 : B\r\n"
                                                         "Demo : C :  Validscope4 : Ghost\r\n"));
    EXPECT_EQ(f.writer.redFlag(), XmlWriter::kRed);
    f.host.hide = true; // broken attributes are then left out instead of written empty
    EXPECT_TRUE(f.text().contains(u"id=\"keywords\" autoindent=\"false\" backcolor=\"0\" chain=\"false\" forecolor=\"0\" "
                                  "hidden=\"false\" singlelinescope=\"false\" >\r\n     <validscope name=\"\"/>\r\n     "
                                  "<validscope name=\"A\"/>\r\n</tokenset>\r\n</language>"));
}

TEST(WriteXml, ModeZeroRebuildsOnlyTheCurrentTokensetOfTheCachedLanguage)
{
    Language one = demoLanguage();
    for (int i = 0; i < 3; ++i) {
        one.tokensets[size_t(i)] = makeTokenset(QStringLiteral("T%1").arg(i));
        one.tokensets[size_t(i)].tokens = QStringLiteral("a%1\r\nb :::: ListMembers").arg(i);
    }
    one.tokensets[2].inheritfrom = QStringLiteral("Nowhere");
    Language two = one;
    two.name = QStringLiteral("Two");
    two.tokensets[0].tokens = QStringLiteral("only in two");
    Fixture f({one, two});
    f.db.currentTokenset = 1;
    f.run(0, 1);
    const QString errors = f.writer.validityMessage();

    f.slot(1).tokens += QStringLiteral("\r\nnew token"); // an edit of the current tokenset
    f.slot(1).forecolor = 42;
    const QByteArray quick = f.run(0, 0);
    EXPECT_TRUE(quick.contains("new token"));
    EXPECT_EQ(quick, f.run(0, 1));
    EXPECT_EQ(f.writer.validityMessage(), errors); // cached tokensets are still checked

    f.slot(2).tokens = QStringLiteral("changed"); // not the current one: callers pass mode 1
    EXPECT_FALSE(f.run(0, 0).contains("changed"));
    EXPECT_TRUE(f.run(0, 1).contains("changed"));

    const QByteArray other = f.run(1, 0); // another language: everything is rebuilt
    EXPECT_EQ(f.writer.cacheLanguage(), 1);
    EXPECT_TRUE(other.contains("only in two"));
    EXPECT_EQ(other, f.run(1, 1));
    f.host.hide = true; // so are other options
    EXPECT_EQ(f.run(1, 0), f.run(1, 1));
}

TEST(WriteXml, CancellingManualChangesChangesNothing)
{
    Fixture f;
    f.run();
    f.host.flags.clear();
    f.host.loading.clear();
    f.slot(0).name = QStringLiteral("Renamed");
    f.slot(0).inheritfrom = QStringLiteral("Nowhere");
    f.host.apply = true;
    f.host.answerOk = false;
    const QByteArray before = f.folder.read(QStringLiteral("varlex.lng"));
    EXPECT_EQ(f.writer.WriteXML(0, true, 1).status, WriteResult::Status::Cancelled);
    EXPECT_EQ(f.host.questions, QStringList{QStringLiteral("Write XML|Manual changes will be lost. Continue?")});
    EXPECT_EQ(f.folder.read(QStringLiteral("varlex.lng")), before);
    EXPECT_EQ(f.writer.validityMessage(), XmlWriter::kNoErrors);
    EXPECT_TRUE(f.host.flags.isEmpty() && f.host.loading.isEmpty() && f.host.apply);

    f.host.answerOk = true;
    EXPECT_TRUE(f.run().contains("Renamed"));
    EXPECT_FALSE(f.host.apply);
}

TEST(WriteXml, ReportsToTheStatusPaneAndTraceWindow)
{
    Fixture f;
    f.slot(0).inheritfrom = QStringLiteral("X");
    const QString report = QStringLiteral("Demo : Keywords : Inherit:  X\r\n");
    f.host.trace = true;
    f.host.status = QStringLiteral("<Trace Mode>\r\n");
    f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Trace Mode>\r\n----------\r\n") + report + QStringLiteral("----------\r\n"));
    EXPECT_EQ(f.host.loading, (QList<bool>{true, false}));

    f.host.validity = true; // Validity mode wins over Trace mode
    f.host.debugOpen = true;
    f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Validity Mode>\r\n") + report);
    const QString timing = f.writer.timingText();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\D\\d{3} seconds end of WriteXML$")).match(timing).hasMatch())
        << timing.toStdString();
    EXPECT_EQ(f.host.debug, QStringLiteral("\r\n") + report + QStringLiteral("\r\n\r\n") + timing + QStringLiteral("\r\n"));
}

TEST(WriteXml, FilesAreAnsiTextAndFailuresNameTheFile)
{
    Fixture f;
    f.db.languages[0].name = QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe6\xbc\xa2");
    EXPECT_TRUE(f.run().startsWith("<language name=\"Caf\xe9 \x80 ?\""));
    // A wide character in a long, otherwise plain text.
    f.db.languages[0].name = QString::fromUtf8("\xef\xbc\xa1") + QString(40, u'a') + QString::fromUtf8("\xe2\x82\xac");
    const QByteArray bytes = f.run();
    EXPECT_TRUE(bytes.startsWith("<language name=\"?" + QByteArray(40, 'a') + "\x80\""));
    EXPECT_TRUE(bytes.endsWith("</language>\r\n"));

    f.host.folder = f.folder.file(QStringLiteral("missing"));
    f.host.loading.clear();
    const WriteResult r = f.writer.WriteXML(0, true, 1);
    EXPECT_EQ(r.status, WriteResult::Status::Failed);
    EXPECT_TRUE(r.error.contains(f.folder.file(QStringLiteral("missing/varlex.lng")))) << r.error.toStdString();
    EXPECT_EQ(f.host.loading, (QList<bool>{true, false}));
    EXPECT_EQ(f.writer.WriteXML(5, true, 1).status, WriteResult::Status::Failed);
}

TEST(WriteXml, OutputIsWellFormedInEveryForm)
{
    Fixture f;
    f.db.languages[0].wordchars = QStringLiteral("[\\w&<>\"']");
    const QStringList rules = {"Word", "NULL", "Col", "LeadWith", "TrailWith", "LeadWith TrailWith"};
    for (int i = 0; i < 6; ++i) {
        Tokenset &ts = f.slot(i) = makeTokenset(QStringLiteral("Set %1").arg(i));
        ts.type = i % 2 ? QStringLiteral("scope") : QStringLiteral("list");
        ts.rule = rules[i];
        ts.lead = QStringLiteral("<&\">");
        ts.trail = QStringLiteral("'\"&");
        ts.inheritfrom = i ? QStringLiteral("Set 0") : QStringLiteral("Broken");
        ts.validscope[1] = QStringLiteral("Set 1");
        ts.tokens = QStringLiteral("<!--\r\n&amp; :::: Lis\"t :::: TRUE :::: leadwith[\"<]\r\n]]> :::: a :::: b :::: "
                                   "trailwith(&)\r\n\" :::: x :::: y :::: z :::: w\r\n  \r\n<?x ?>\r\n::::");
        ts.tokens2 = QStringLiteral("-->\r\n< :::: :::: :::: col 1e9");
        ts.regexp = i % 3;
    }
    for (const int form : {0, 1, 2, 3}) {
        f.host.hide = form & 1;
        f.host.easyRead = form & 2;
        QXmlStreamReader reader(f.text());
        while (!reader.atEnd())
            reader.readNext();
        EXPECT_FALSE(reader.hasError()) << form << ": " << reader.errorString().toStdString() << " line "
                                        << reader.lineNumber();
    }
}

} // namespace
