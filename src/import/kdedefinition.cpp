#include "import/kdedefinition.h"

#include "import/regextext.h"

#include <QXmlStreamReader>

namespace {

bool isTrue(QStringView v)
{
    return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v == QLatin1String("1");
}

std::optional<bool> optionalFlag(const QXmlStreamAttributes &a, const char *name)
{
    if (!a.hasAttribute(QLatin1String(name)))
        return std::nullopt;
    return isTrue(a.value(QLatin1String(name)));
}

KdeRule readRule(QXmlStreamReader &xml)
{
    KdeRule rule;
    rule.type = xml.name().toString();
    rule.line = int(xml.lineNumber());
    for (const QXmlStreamAttribute &a : xml.attributes())
        rule.attrs.insert(a.name().toString(), a.value().toString());
    while (xml.readNextStartElement())
        rule.children.push_back(readRule(xml));
    return rule;
}

void readContexts(QXmlStreamReader &xml, KdeDefinition &def)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        KdeContext c;
        const QXmlStreamAttributes a = xml.attributes();
        c.name = a.value(QLatin1String("name")).toString();
        c.attribute = a.value(QLatin1String("attribute")).toString();
        c.line = int(xml.lineNumber());
        if (a.hasAttribute(QLatin1String("lineEndContext")))
            c.lineEndContext = a.value(QLatin1String("lineEndContext")).toString();
        c.lineEmptyContext = a.value(QLatin1String("lineEmptyContext")).toString();
        // Older definitions say fallthrough="true" beside the context; newer ones only name it.
        const QString fallthrough = a.value(QLatin1String("fallthroughContext")).toString();
        if (!fallthrough.isEmpty() && (!a.hasAttribute(QLatin1String("fallthrough")) || isTrue(a.value(QLatin1String("fallthrough")))))
            c.fallthroughContext = fallthrough;
        c.dynamic = isTrue(a.value(QLatin1String("dynamic")));
        while (xml.readNextStartElement())
            c.rules.push_back(readRule(xml));
        if (!def.contextIndex.contains(c.name))
            def.contextIndex.insert(c.name, int(def.contexts.size()));
        def.contexts.push_back(std::move(c));
    }
}

void readList(QXmlStreamReader &xml, KdeDefinition &def)
{
    const QString name = xml.attributes().value(QLatin1String("name")).toString();
    QStringList &items = def.lists[name];
    while (xml.readNextStartElement()) {
        const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
        if (xml.name() == QLatin1String("include"))
            def.listIncludes[name] += text;
        else if (!text.isEmpty())
            items += text;
    }
}

void readItems(QXmlStreamReader &xml, KdeDefinition &def)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("itemData")) {
            const QXmlStreamAttributes a = xml.attributes();
            KdeItemData item;
            item.name = a.value(QLatin1String("name")).toString();
            if (a.hasAttribute(QLatin1String("defStyleNum")))
                item.defStyle = a.value(QLatin1String("defStyleNum")).toString();
            item.color = a.value(QLatin1String("color")).toString();
            item.backgroundColor = a.value(QLatin1String("backgroundColor")).toString();
            item.bold = optionalFlag(a, "bold");
            item.italic = optionalFlag(a, "italic");
            item.underline = optionalFlag(a, "underline");
            item.order = int(def.items.size());
            def.items.insert(item.name, item);
        }
        xml.skipCurrentElement();
    }
}

} // namespace

bool KdeRule::flag(const char *name) const
{
    return isTrue(attrs.value(QLatin1String(name)));
}

bool KdeDefinition::read(const QByteArray &bytes, const QString &file, QString &problem)
{
    fileName = file;
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language")) {
        problem = QStringLiteral("%1: not a KDE syntax definition (the root is not <language>)").arg(file);
        return false;
    }
    name = xml.attributes().value(QLatin1String("name")).toString();
    bool highlighting = false;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("highlighting")) {
            highlighting = true;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("list"))
                    readList(xml, *this);
                else if (xml.name() == QLatin1String("contexts"))
                    readContexts(xml, *this);
                else if (xml.name() == QLatin1String("itemDatas"))
                    readItems(xml, *this);
                else
                    xml.skipCurrentElement();
            }
        } else if (xml.name() == QLatin1String("general")) {
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("keywords")) {
                    const QXmlStreamAttributes a = xml.attributes();
                    if (a.hasAttribute(QLatin1String("casesensitive")))
                        keywordsCaseSensitive = isTrue(a.value(QLatin1String("casesensitive")));
                    weakDeliminator = a.value(QLatin1String("weakDeliminator")).toString();
                    additionalDeliminator = a.value(QLatin1String("additionalDeliminator")).toString();
                }
                xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        problem = QStringLiteral("%1:%2:%3: %4").arg(file).arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString());
        return false;
    }
    if (!highlighting) {
        problem = QStringLiteral("%1: the definition has no <highlighting>").arg(file);
        return false;
    }
    if (contexts.empty()) {
        problem = QStringLiteral("%1: the definition has no contexts").arg(file);
        return false;
    }
    return true;
}

const KdeContext *KdeDefinition::context(const QString &contextName) const
{
    const auto it = contextIndex.constFind(contextName);
    return it == contextIndex.constEnd() ? nullptr : &contexts[size_t(*it)];
}

QString KdeDefinition::delimiters() const
{
    QString d = QStringLiteral("\t !%&()*+,-./:;<=>?[\\]^{|}~");
    for (QChar c : weakDeliminator)
        d.remove(c);
    for (QChar c : additionalDeliminator) {
        if (!d.contains(c))
            d += c;
    }
    return d;
}

QString KdeDefinition::wordClass() const
{
    QString cls = QStringLiteral("[^");
    for (QChar c : delimiters()) {
        if (c == u'\t')
            cls += QStringLiteral("\\t");
        else if (c == u' ')
            cls += QStringLiteral("\\x20");
        else if (QStringLiteral("\\]^-[").contains(c))
            cls += u'\\' + QString(c);
        else
            cls += c;
    }
    return cls + u']';
}

bool looksLikeKdeDefinition(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes.left(64 * 1024));
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language"))
        return false;
    // GtkSourceView files also have a <language> root, but no <highlighting>.
    return bytes.contains("<highlighting");
}
