#include "editorcontrol/memberlistobject.h"

#include "editorcontrol/xmlinput.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

bool MemberListObject::load(const QString &path)
{
    QByteArray bytes;
    QString problem;
    if (!XmlInput::readFile(path, XmlInput::kMaxFileBytes, bytes, problem)) {
        error_ = {path, 0, 0, problem};
        return false;
    }
    return loadData(bytes, path);
}

bool MemberListObject::loadData(const QByteArray &bytes, const QString &fileName)
{
    QXmlStreamReader xml(XmlInput::decode(bytes, false));
    auto fail = [&](const QString &problem) {
        error_ = {fileName, xml.lineNumber(), xml.columnNumber() + 1, problem};
        return false;
    };

    if (bytes.size() > XmlInput::kMaxFileBytes) {
        error_ = {fileName, 0, 0, XmlInput::tooLarge(XmlInput::kMaxFileBytes)};
        return false;
    }
    if (!XmlInput::toRootElement(xml))
        return fail(xml.errorString());
    if (xml.name() != u"memberlist")
        return fail(QStringLiteral("the root element is <%1>, not <memberlist>").arg(xml.name()));
    const QString name = xml.attributes().value("name"_L1).toString();
    if (name.trimmed().isEmpty())
        return fail(QStringLiteral("the member list has no name"));

    QVector<Member> members;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::EndElement)
            break;
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"member") {
            const QXmlStreamAttributes attrs = xml.attributes();
            Member m{attrs.value("name"_L1).toString(), attrs.value("tip"_L1).toString()};
            if (m.name.trimmed().isEmpty())
                return fail(QStringLiteral("a member without a name"));
            members.append(std::move(m));
        }
        XmlInput::skipElement(xml, 2);
    }
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return fail(xml.errorString());

    loaded_ = true;
    name_ = name;
    fileName_ = fileName;
    members_ = std::move(members);
    error_ = DefinitionError();
    return true;
}
