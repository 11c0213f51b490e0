#include "fakehost.h"

#include "common/testutil.h"
#include "editorcontrol/definitionreader.h"
#include "xmlgen/xmlwriter.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <random>

namespace {

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
    EXPECT_EQ(f.run(),
              "<language name=\"Demo\" casesensitive=\"false\" whitespaceasparamblock=\"true\" wordchars=\"[\\w]\" memberlist=\"\">"
              "\r\n<tokenset name=\"Keywords\" id=\"keywords\" type=\"list\" autoindent=\"false\" backcolor=\"16777215\" "
              "casesensitive=\"false\" chain=\"false\" enabled=\"true\" forecolor=\"16711680\" fontstyle=\"bold\" "
              "hidden=\"false\" memberlist=\"\" inheritfrom=\"\" matchbraces=\"false\" normalizecase=\"false\" "
              "singlelinescope=\"false\" symmetrical=\"false\" >\r\n     <validscope name=\"\"/>\r\n</tokenset>\r\n</language>\r\n");
    EXPECT_EQ(f.writer.validityMessage(), QStringLiteral("No validscope/inheritfrom error found!\r\n"));
    EXPECT_EQ(f.host.flags, QList<qint32>{65280});

    f.host.hide = true;
    EXPECT_EQ(f.run(), "<language name=\"Demo\">\r\n<tokenset name=\"Keywords\" id=\"keywords\" autoindent=\"false\" "
                       "backcolor=\"16777215\" chain=\"false\" enabled=\"true\" forecolor=\"16711680\" fontstyle=\"bold\" "
                       "hidden=\"false\" singlelinescope=\"false\" >\r\n     <validscope name=\"\"/>\r\n</tokenset>\r\n"
                       "</language>\r\n");

    // EasyRead: every blank before an attribute, and before the tokenset tag's ">", is a line break.
    f.host.hide = false;
    const QString plain = QString::fromLatin1(f.run());
    f.host.easyRead = true;
    EXPECT_EQ(QString::fromLatin1(f.run()),
              QString(plain).replace(QRegularExpression(QStringLiteral(" (?=[a-z]+=\"[^\"]*\"[ >]|>\r)")), QStringLiteral("\r\n")));
}

TEST(WriteXml, HiddenDefaultsAndEscapedValues)
{
    Language lang = demoLanguage();
    lang.name = QStringLiteral("Tom & \"Jerry\" <it's>");
    lang.casesensitive = lang.applycase = 1; // the language's flag goes to every tokenset
    lang.whitespaceasparamblock = 0;
    lang.wordchars = QStringLiteral("[&<>\"\t]"); // a raw TAB would read back as a blank
    lang.memberlist = QStringLiteral("M&M");
    lang.tokensets[1] = makeTokenset(QStringLiteral("a<b>"));
    Tokenset &ts = lang.tokensets[0];
    ts.name = QStringLiteral("Say \"hi\" & bye");
    ts.id = QStringLiteral("<id>");
    ts.type = QStringLiteral("scope");
    ts.autoindent = ts.chain = ts.hidden = ts.singlelinescope = ts.matchbraces = ts.normalizecase = ts.symmetrical = 1;
    ts.enabled = ts.casesensitive = 0;
    ts.fontstyle = QStringLiteral("\"b\"");
    ts.backcolor = -1;
    ts.tmemberlist = lang.memberlist;
    ts.inheritfrom = ts.validscope[1] = lang.tokensets[1].name;
    Fixture f({lang});
    f.host.hide = true;
    f.host.lists.names = {lang.memberlist};
    EXPECT_EQ(f.text().section(u'\n', 0, 3).toStdString(),
              "<language name=\"Tom &amp; &quot;Jerry&quot; &lt;it's&gt;\" casesensitive=\"true\" whitespaceasparamblock="
              "\"false\" wordchars=\"[&amp;&lt;&gt;&quot;&#9;]\" memberlist=\"M&amp;M\">\r\n<tokenset name=\"Say &quot;hi&quot; "
              "&amp; bye\" id=\"&lt;id&gt;\" type=\"scope\" backcolor=\"-1\" casesensitive=\"true\" forecolor=\"16711680\" "
              "fontstyle=\"&quot;b&quot;\" memberlist=\"M&amp;M\" inheritfrom=\"a&lt;b&gt;\" matchbraces=\"true\" "
              "normalizecase=\"true\" symmetrical=\"true\" >\r\n     <validscope name=\"\"/>\r\n     <validscope "
              "name=\"a&lt;b&gt;\"/>\r");
    EXPECT_EQ(f.writer.validityMessage(), XmlWriter::kNoErrors);
    f.db.languages[0].tokensets[0].name.clear(); // no tokensets: the head, CR LF and the closing tag
    EXPECT_TRUE(f.text().endsWith(u"memberlist=\"M&amp;M\">\r\n</language>"));
}

TEST(WriteXml, ReferencesCyclesAndUnwritableCharactersAreReportedInWritingOrder)
{
    // A, B (excluded), C, D and E inheriting from each other, a free slot, then a slot that still holds data.
    Fixture f({demoLanguage()});
    const char *names[] = {"A", "B", "C", "D", "E", "", "Ghost"};
    for (int i = 0; i < 7; ++i)
        f.slot(i) = makeTokenset(QString::fromLatin1(names[i]));
    f.slot(1).included = 0;
    f.slot(0).inheritfrom = QStringLiteral("C");
    f.slot(0).tmemberlist = QStringLiteral("Known");
    f.slot(3).inheritfrom = QStringLiteral("E");
    f.slot(4).inheritfrom = QStringLiteral("D");
    f.slot(4).tokens = QStringLiteral("form\ffeed");
    Tokenset &c = f.slot(2);
    c.tmemberlist = QStringLiteral("Missing");
    c.inheritfrom = QStringLiteral("C"); // itself
    for (int j : {0, 1, 2, 3, 4, 10}) // element 10 is never written
        c.validscope[size_t(j)] = QStringList{" NULL ", "A", " A", "B", "Ghost", "", "", "", "", "", "A"}[j];
    f.db.languages[0].memberlist.clear();
    f.db.languages[0].wordchars = QStringLiteral("[\\w\a]");
    f.host.lists.names = {QStringLiteral("Known")};

    const QString xml = f.text(); // cycles are written as they are, broken references empty
    EXPECT_TRUE(xml.contains(u"memberlist=\"Known\" inheritfrom=\"C\"") && xml.contains(u"inheritfrom=\"E\"")
                && xml.contains(u"inheritfrom=\"D\""));
    EXPECT_FALSE(xml.contains(u"name=\"B\"") || xml.contains(u"Ghost\""));
    EXPECT_TRUE(xml.contains(u"hidden=\"false\" memberlist=\"\" inheritfrom=\"\" matchbraces=\"false\" normalizecase="
                             "\"false\" singlelinescope=\"false\" symmetrical=\"false\" >\r\n     <validscope name=\"\"/>"
                             "\r\n     <validscope name=\"A\"/>\r\n</tokenset>\r\n<tokenset name=\"D\""));
    EXPECT_EQ(f.writer.validityMessage(),
              "Demo : Language : wordchars holds U+0007 (BEL)\r\nDemo : Language : Memberlist:  \r\n"
              "Demo : C : Memberlist:  Missing\r\nDemo : C : Inherit:  C\r\nDemo : C :  Validscope2 :  A\r\n"
              "Demo : C :  Validscope3 : B\r\nDemo : C :  Validscope4 : Ghost\r\nDemo : D : Inherit cycle:  D -> E -> D\r\n"
              "Demo : E : tokens holds U+000C (FF)\r\nDemo : E : Inherit cycle:  E -> D -> E\r\n");
    EXPECT_EQ(f.writer.unwritable(), QStringList({"Demo : Language : wordchars holds U+0007 (BEL)",
                                                  "Demo : E : tokens holds U+000C (FF)"}));
    EXPECT_EQ(f.writer.redFlag(), XmlWriter::kRed);
    f.host.hide = true; // broken attributes are then left out instead of written empty
    EXPECT_TRUE(f.text().contains(u"id=\"keywords\" autoindent=\"false\" backcolor=\"0\" chain=\"false\" forecolor=\"0\" "
                                  "hidden=\"false\" singlelinescope=\"false\" >\r\n     <validscope name=\"\"/>\r\n     "
                                  "<validscope name=\"A\"/>\r\n</tokenset>\r\n<tokenset name=\"D\""));
}

// Random edits, renames, moves, includes and excludes, member-list changes and option changes: after
// each, a run that reuses cached texts (mode 0) writes and reports exactly what a full rebuild does.
TEST(WriteXml, CachedTextsAlwaysEqualAFullRebuild)
{
    Language lang = demoLanguage();
    for (int i = 0; i < 8; ++i) {
        lang.tokensets[size_t(i)] = makeTokenset(QStringLiteral("T%1").arg(i));
        lang.tokensets[size_t(i)].tokens = QStringLiteral("a\r\nb");
    }
    Fixture f({lang, lang});
    std::mt19937 rng(14);
    auto pick = [&rng](int n) { return int(rng() % unsigned(n)); };
    auto name = [&pick] { return QStringLiteral("T%1").arg(pick(10)); };
    for (int step = 0; step < 600; ++step) {
        const int language = pick(2);
        Language &l = f.db.languages[language];
        Tokenset &ts = l.tokensets[size_t(pick(8))];
        switch (pick(9)) {
        case 0: ts.name = name(); break; // a rename: others may refer to either name
        case 1: ts.inheritfrom = pick(3) ? name() : QStringLiteral("<none>"); break;
        case 2: ts.validscope[size_t(pick(10))] = name(); break;
        case 3: ts.included = 1 - ts.included; break;
        case 4: std::swap(ts, l.tokensets[size_t(pick(8))]); break; // a move
        case 5: ts.tmemberlist = QStringLiteral("L%1").arg(pick(3)); break;
        case 6: f.host.lists.names = {QStringLiteral("L%1").arg(pick(3))}; break; // another member-list folder
        case 7: l.applycase = pick(2), l.casesensitive = pick(2); break;
        default: ts.tokens += QStringLiteral("\r\nx :::: ListMembers"); break;
        }
        f.db.currentTokenset = pick(8);
        f.host.hide = pick(4) == 0;
        f.host.easyRead = pick(4) == 0;
        const QString quick = f.writer.generate(language, 0, f.host.hide, f.host.easyRead);
        XmlWriter fresh(f.db, f.host);
        EXPECT_EQ(quick, fresh.generate(language, 1, f.host.hide, f.host.easyRead)) << step;
        EXPECT_EQ(f.writer.validityMessage(), fresh.validityMessage()) << step;
    }
}

// A run reports to the status pane (Validity mode wins over Trace mode) and the trace window; a run
// cancelled at the question about manual changes changes nothing at all.
TEST(WriteXml, WindowStepsOfARun)
{
    Fixture f;
    f.slot(0).inheritfrom = QStringLiteral("X");
    const QString report = QStringLiteral("Demo : Keywords : Inherit:  X\r\n");
    f.host.trace = true;
    f.host.status = QStringLiteral("<Trace Mode>\r\n");
    const QByteArray before = f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Trace Mode>\r\n----------\r\n") + report + QStringLiteral("----------\r\n"));
    EXPECT_EQ(f.host.loading, (QList<bool>{true, false}));
    f.host.validity = f.host.debugOpen = true;
    f.run();
    EXPECT_EQ(f.host.status, QStringLiteral("<Validity Mode>\r\n") + report);
    const QString timing = f.writer.timingText();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d+\\D\\d{3} seconds end of WriteXML$")).match(timing).hasMatch())
        << timing.toStdString();
    EXPECT_EQ(f.host.debug, QStringLiteral("\r\n") + report + QStringLiteral("\r\n\r\n") + timing + QStringLiteral("\r\n"));

    f.host.flags.clear(), f.host.loading.clear();
    f.slot(0).name = QStringLiteral("Renamed");
    f.slot(0).inheritfrom = QStringLiteral("<none>");
    f.host.apply = true;
    f.host.answerOk = false;
    EXPECT_EQ(f.writer.WriteXML(0, true, 1).status, WriteResult::Status::Cancelled);
    EXPECT_EQ(f.host.questions, QStringList{QStringLiteral("Write XML|Manual changes will be lost. Continue?")});
    EXPECT_EQ(f.folder.read(QStringLiteral("varlex.lng")), before);
    EXPECT_EQ(f.writer.validityMessage(), report);
    EXPECT_TRUE(f.host.flags.isEmpty() && f.host.loading.isEmpty() && f.host.apply);
    f.host.answerOk = true;
    EXPECT_TRUE(f.run().contains("Renamed"));
    EXPECT_FALSE(f.host.apply);
}

TEST(WriteXml, FilesAreAnsiTextAndFailuresNameTheCause)
{
    Fixture f;
    f.db.languages[0].name = QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe6\xbc\xa2");
    EXPECT_TRUE(f.run().startsWith("<language name=\"Caf\xe9 \x80 ?\""));
    // A wide character in a long, otherwise plain text.
    f.db.languages[0].name = QString::fromUtf8("\xef\xbc\xa1") + QString(40, u'a') + QString::fromUtf8("\xe2\x82\xac");
    const QByteArray bytes = f.run();
    EXPECT_TRUE(bytes.startsWith("<language name=\"?" + QByteArray(40, 'a') + "\x80\""));
    EXPECT_TRUE(bytes.endsWith("</language>\r\n"));
    EXPECT_EQ(f.writer.WriteXML(5, true, 1).status, WriteResult::Status::Failed);

    // A character no language file can hold: the working file is not written, the error names it.
    f.slot(0).name = QStringLiteral("Bell\a");
    const WriteResult refused = f.writer.WriteXML(0, true, 1);
    EXPECT_TRUE(refused.error.contains(QStringLiteral(" : Bell\a : name holds U+0007 (BEL)"))) << refused.error.toStdString();
    EXPECT_EQ(f.folder.read(QStringLiteral("varlex.lng")), bytes);
}

} // namespace

// Definition files are read up to what a language record can ever be written as: 51 scope tokensets
// whose two token lists are full 65,535-byte lists of tokens that the XML writes five times longer
// ("&" as "&amp;"), with every attribute on a line of its own, stay below the limit.
TEST(WriteXml, TheLargestRecordStaysBelowTheDefinitionLimit)
{
    Language lang = demoLanguage();
    const QString line = QString(1000, u'&') + QStringLiteral(" ::::  :::: False :::: word");
    QStringList lines;
    while ((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n") + line).size() <= 65535)
        lines << line;
    const QString full = lines.join(QStringLiteral("\r\n"));
    for (int i = 0; i < DefinitionReader::kMaxTokensets; ++i) {
        Tokenset &ts = lang.tokensets[size_t(i)] = makeTokenset(QStringLiteral("Set%1").arg(i));
        ts.type = QStringLiteral("scope");
        ts.tokens = ts.tokens2 = full;
    }
    Fixture f({lang});
    f.host.easyRead = true;
    const QByteArray xml = XmlWriter::fileBytes(f.text());
    EXPECT_GT(xml.size(), 30 << 20);
    EXPECT_LT(xml.size(), DefinitionReader::kMaxDefinitionBytes);
}
