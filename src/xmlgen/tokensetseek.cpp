#include "xmlgen/tokensetseek.h"

#include "model/ansicodec.h"
#include "xmlgen/xmltext.h"

#include <QStringList>

namespace TokensetSeek {

Match find(QStringView xml, const QString &name, qsizetype from)
{
    // The name as written, and as the file holds it when the code page lacks some of its characters.
    QStringList attributes{QStringLiteral("name=\"") + XmlText::escapeAttribute(name) + u'"'};
    if (const QString stored = AnsiCodec::decode(AnsiCodec::encode(name)); stored != name)
        attributes += QStringLiteral("name=\"") + XmlText::escapeAttribute(stored) + u'"';
    constexpr QStringView open = u"<tokenset";
    for (qsizetype at = xml.indexOf(open, qMax<qsizetype>(from, 0)); at >= 0; at = xml.indexOf(open, at + 1)) {
        qsizetype p = at + open.size();
        const qsizetype blanks = p;
        while (p < xml.size() && (xml[p] == u' ' || xml[p] == u'\r' || xml[p] == u'\n' || xml[p] == u'\t'))
            ++p;
        for (const QString &attribute : attributes) {
            if (p > blanks && xml.mid(p).startsWith(attribute))
                return {at, p + attribute.size() - at};
        }
    }
    return {};
}

} // namespace TokensetSeek
