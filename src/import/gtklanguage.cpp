#include "import/gtklanguage.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

bool boolAttribute(const QXmlStreamAttributes &a, const char *name, bool fallback)
{
    const QString v = a.value(QLatin1String(name)).toString();
    if (v.isEmpty())
        return fallback;
    return v == QLatin1String("true") || v == QLatin1String("1");
}

std::optional<bool> optionalBool(const QXmlStreamAttributes &a, const char *name)
{
    if (!a.hasAttribute(QLatin1String(name)))
        return std::nullopt;
    return boolAttribute(a, name, false);
}

// name="..." or the translatable _name="...".
QString nameAttribute(const QXmlStreamAttributes &a)
{
    return a.hasAttribute(QLatin1String("name")) ? a.value(QLatin1String("name")).toString()
                                                 : a.value(QLatin1String("_name")).toString();
}

class Reader {
public:
    Reader(GtkLanguage &language, QXmlStreamReader &xml) : l_(language), xml_(xml) {}

    void definitions()
    {
        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            if (name == QLatin1String("context")) {
                context(QString(), nullptr);
            } else if (name == QLatin1String("define-regex")) {
                const QXmlStreamAttributes a = xml_.attributes();
                GtkRegex r = regex(a);
                l_.defines.insert(l_.fullId(a.value(QLatin1String("id")).toString()), r);
            } else if (name == QLatin1String("replace")) {
                const QXmlStreamAttributes a = xml_.attributes();
                l_.replaces.insert(l_.fullId(a.value(QLatin1String("id")).toString()),
                                   l_.fullId(a.value(QLatin1String("ref")).toString()));
                xml_.skipCurrentElement();
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // Reads a <context> definition; returns its full id. `parent` names where an anonymous one stands.
    QString context(const QString &parent, int *anonymous)
    {
        const QXmlStreamAttributes a = xml_.attributes();
        GtkContext c;
        c.lang = l_.id;
        c.line = int(xml_.lineNumber());
        QString id = a.value(QLatin1String("id")).toString();
        if (id.isEmpty())
            id = QStringLiteral("%1/%2").arg(parent.section(u':', 1)).arg(anonymous ? ++*anonymous : 0);
        c.id = l_.fullId(id);
        if (a.hasAttribute(QLatin1String("style-ref")))
            c.styleRef = l_.fullId(a.value(QLatin1String("style-ref")).toString());
        c.endAtLineEnd = boolAttribute(a, "end-at-line-end", false);
        c.extendParent = boolAttribute(a, "extend-parent", true);
        c.endParent = boolAttribute(a, "end-parent", false);
        c.onceOnly = boolAttribute(a, "once-only", false);
        c.firstLineOnly = boolAttribute(a, "first-line-only", false);
        c.styleInside = boolAttribute(a, "style-inside", false);
        int children = 0;
        while (xml_.readNextStartElement()) {
            const auto name = xml_.name();
            const QXmlStreamAttributes ea = xml_.attributes();
            if (name == QLatin1String("match"))
                c.match = regex(ea);
            else if (name == QLatin1String("start"))
                c.start = regex(ea);
            else if (name == QLatin1String("end"))
                c.end = regex(ea);
            else if (name == QLatin1String("keyword"))
                c.keywords += xml_.readElementText();
            else if (name == QLatin1String("prefix"))
                c.prefix = xml_.readElementText();
            else if (name == QLatin1String("suffix"))
                c.suffix = xml_.readElementText();
            else if (name == QLatin1String("include"))
                includes(c, children);
            else
                xml_.skipCurrentElement();
        }
        const QString full = c.id;
        l_.contexts.insert(full, std::move(c));
        return full;
    }

private:
    void includes(GtkContext &c, int &children)
    {
        while (xml_.readNextStartElement()) {
            // A definition may stand among the contexts that use it (JavaScript's number forms).
            if (xml_.name() == QLatin1String("define-regex")) {
                const QXmlStreamAttributes a = xml_.attributes();
                const QString id = l_.fullId(a.value(QLatin1String("id")).toString());
                l_.defines.insert(id, regex(a));
                continue;
            }
            if (xml_.name() != QLatin1String("context")) {
                xml_.skipCurrentElement();
                continue;
            }
            const QXmlStreamAttributes a = xml_.attributes();
            GtkInclude inc;
            inc.ignoreStyle = boolAttribute(a, "ignore-style", false);
            inc.original = boolAttribute(a, "original", false);
            if (a.hasAttribute(QLatin1String("style-ref")))
                inc.styleRef = l_.fullId(a.value(QLatin1String("style-ref")).toString());
            if (a.hasAttribute(QLatin1String("sub-pattern"))) {
                inc.kind = GtkInclude::SubPattern;
                inc.subPattern = a.value(QLatin1String("sub-pattern")).toString();
                inc.where = a.value(QLatin1String("where")).toString();
                xml_.skipCurrentElement();
            } else if (a.hasAttribute(QLatin1String("ref"))) {
                QString ref = a.value(QLatin1String("ref")).toString();
                if (ref.endsWith(QLatin1String(":*"))) {
                    inc.kind = GtkInclude::Children;
                    ref.chop(2);
                }
                inc.ref = l_.fullId(ref);
                xml_.skipCurrentElement();
            } else {
                inc.styleRef.clear();
                inc.ref = context(c.id, &children);
            }
            c.includes.push_back(inc);
        }
    }

    GtkRegex regex(const QXmlStreamAttributes &a)
    {
        GtkRegex r;
        r.caseSensitive = optionalBool(a, "case-sensitive");
        r.extended = optionalBool(a, "extended");
        r.text = xml_.readElementText();
        return r;
    }

    GtkLanguage &l_;
    QXmlStreamReader &xml_;
};

} // namespace

QString GtkLanguage::fullId(const QString &ref) const
{
    return ref.contains(u':') ? ref : id + u':' + ref;
}

bool GtkLanguage::read(const QByteArray &bytes, const QString &file, QString &problem)
{
    fileName = file;
    QXmlStreamReader xml(bytes);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language")) {
        problem = QStringLiteral("%1: not a GtkSourceView language file (the root is not <language>)").arg(file);
        return false;
    }
    const QXmlStreamAttributes a = xml.attributes();
    if (a.value(QLatin1String("version")) != QLatin1String("2.0")) {
        problem = QStringLiteral("%1: language file version %2; only version 2.0 is read")
                      .arg(file, a.value(QLatin1String("version")).toString());
        return false;
    }
    id = a.value(QLatin1String("id")).toString();
    name = nameAttribute(a);
    if (name.isEmpty())
        name = id;
    hidden = boolAttribute(a, "hidden", false);
    Reader reader(*this, xml);
    bool sawDefinitions = false;
    while (xml.readNextStartElement()) {
        const auto element = xml.name();
        if (element == QLatin1String("styles")) {
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes sa = xml.attributes();
                const QString styleId = fullId(sa.value(QLatin1String("id")).toString());
                const QString mapTo = sa.value(QLatin1String("map-to")).toString();
                styleMapTo.insert(styleId, mapTo.isEmpty() ? QString() : fullId(mapTo));
                styleName.insert(styleId, nameAttribute(sa));
                xml.skipCurrentElement();
            }
        } else if (element == QLatin1String("default-regex-options")) {
            const QXmlStreamAttributes da = xml.attributes();
            caseSensitive = boolAttribute(da, "case-sensitive", true);
            extended = boolAttribute(da, "extended", false);
            xml.skipCurrentElement();
        } else if (element == QLatin1String("keyword-char-class")) {
            keywordCharClass = xml.readElementText();
        } else if (element == QLatin1String("definitions")) {
            sawDefinitions = true;
            reader.definitions();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        problem = QStringLiteral("%1:%2:%3: %4").arg(file).arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString());
        return false;
    }
    if (!sawDefinitions) {
        problem = QStringLiteral("%1: the language has no <definitions>").arg(file);
        return false;
    }
    return true;
}

bool looksLikeGtkLanguage(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes.left(64 * 1024));
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("language")
        || xml.attributes().value(QLatin1String("version")) != QLatin1String("2.0"))
        return false;
    // <definitions> follows metadata and styles; a truncated head still names it.
    return bytes.contains("<definitions");
}
