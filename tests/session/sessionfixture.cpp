#include "session/sessionfixture.h"

#include "model/ansicodec.h"
#include "model/programfolder.h"
#include "xmlgen/writerhost.h"
#include "xmlgen/xmlwriter.h"

void SessionTest::SetUp()
{
    folder.write(QStringLiteral("xml.lng"), TestUtil::readFile(TestUtil::sourcePath(QStringLiteral("data/xml.lng"))));
    ProgramFolder::resolve(folder.path());
    TemplateDatabase::writeStandard(folder);
    open();
}

void SessionTest::open()
{
    session.reset();
    session = std::make_unique<EditSession>(prompts);
    session->registerXmlLanguage();
    session->load();
    session->selectLanguage(0);
}

QByteArray SessionTest::encoded() const
{
    QByteArray bytes;
    DatabaseFile::encode(session->db().languages, bytes);
    return bytes;
}

QString SessionTest::workingFile() const
{
    return AnsiCodec::decode(folder.read(QStringLiteral("varlex.lng")));
}

QString SessionTest::cachedXml()
{
    const PreviewPipeline &preview = session->preview();
    XmlWriter cached = preview.writer(); // a copy, so that checking leaves the session's cache alone
    return cached.generate(session->currentLanguage(), 0, preview.hidesDefaultAttributes(), preview.writesEasyRead());
}

QString SessionTest::rebuiltXml()
{
    struct Host : WriterHost { // knows the session's member lists and nothing else
        const EditorGlobals *g;
        explicit Host(const EditorGlobals *globals) : g(globals) {}
        QString programFolder() const override { return ProgramFolder::path(); }
        const MemberlistLookup *memberlists() const override { return g; }
    } host(&session->preview().registry());
    XmlWriter fresh(session->db(), host);
    const PreviewPipeline &preview = session->preview();
    return fresh.generate(session->currentLanguage(), 1, preview.hidesDefaultAttributes(), preview.writesEasyRead());
}
