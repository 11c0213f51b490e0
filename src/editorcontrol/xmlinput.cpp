#include "editorcontrol/xmlinput.h"

#include "model/ansicodec.h"
#include "model/boundedread.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace XmlInput {

namespace {

// The encoding named in a leading XML declaration, or empty.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return QByteArray();
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0 || end > 512)
        return QByteArray();
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch m = encoding.match(QString::fromLatin1(bytes.left(end)));
    return m.hasMatch() ? m.captured(1).toLatin1() : QByteArray();
}

} // namespace

QString decode(const QByteArray &bytes, bool ansiByDefault)
{
    if (std::optional<QStringConverter::Encoding> bom = QStringConverter::encodingForData(bytes)) {
        // Only a byte order mark is trusted here; plain ASCII-looking data is left to the rules below.
        if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
            QStringDecoder decoder(*bom, QStringConverter::Flag::ConvertInitialBom);
            QString text = decoder.decode(bytes);
            if (text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1);
            return text;
        }
    }
    const QByteArray named = declaredEncoding(bytes);
    if (!named.isEmpty()) {
        QStringDecoder decoder(named.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    return ansiByDefault ? AnsiCodec::decode(bytes) : QString::fromUtf8(bytes);
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("the file is larger than the limit of %1 MiB").arg(maxBytes >> 20);
}

bool readFile(const QString &path, qint64 maxBytes, QByteArray &bytes, QString &problem)
{
    // By the name's own bytes (a name that is not UTF-8 is found), regular files only, bounded.
    QString cause;
    if (BoundedRead::file(path, maxBytes, bytes, cause))
        return true;
    problem = cause.startsWith(QLatin1String("longer than")) ? tooLarge(maxBytes) : cause;
    return false;
}

bool toRootElement(QXmlStreamReader &xml)
{
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            return true;
        case QXmlStreamReader::DTD:
            xml.raiseError(QStringLiteral("document type declarations are not accepted"));
            return false;
        default:
            break;
        }
    }
    if (!xml.hasError())
        xml.raiseError(QStringLiteral("the document has no root element"));
    return false;
}

void skipElement(QXmlStreamReader &xml, int depth)
{
    int level = 1;
    while (level > 0 && !xml.atEnd()) {
        const QXmlStreamReader::TokenType t = xml.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++level;
            if (depth + level - 1 > kMaxDepth) {
                xml.raiseError(QStringLiteral("elements are nested more than %1 deep").arg(kMaxDepth));
                return;
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --level;
        }
    }
}

} // namespace XmlInput
