#include "import/gtkstylescheme.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QXmlStreamReader>

namespace {

// The colour names GtkSourceView's schemes use without defining them.
const QHash<QString, qint32> &namedColours()
{
    static const QHash<QString, qint32> names = {
        {QStringLiteral("black"), 0x000000}, {QStringLiteral("white"), 0xFFFFFF},
        {QStringLiteral("red"), 0xFF0000}, {QStringLiteral("green"), 0x008000},
        {QStringLiteral("blue"), 0x0000FF}, {QStringLiteral("yellow"), 0xFFFF00},
        {QStringLiteral("magenta"), 0xFF00FF}, {QStringLiteral("cyan"), 0x00FFFF},
        {QStringLiteral("gray"), 0xBEBEBE}, {QStringLiteral("grey"), 0xBEBEBE},
        {QStringLiteral("orange"), 0xFFA500}, {QStringLiteral("purple"), 0xA020F0},
        {QStringLiteral("brown"), 0xA52A2A}, {QStringLiteral("violet"), 0xEE82EE},
    };
    return names;
}

// "#RRGGBB", "#RGB" or a name -> 0x00BBGGRR.
std::optional<qint32> parseColour(const QString &text, const QHash<QString, qint32> &defined)
{
    QString v = text.trimmed();
    std::optional<qint32> rgb;
    if (v.startsWith(u'#')) {
        v = v.mid(1);
        if (v.size() == 3)
            v = QString(v[0]) + v[0] + v[1] + v[1] + v[2] + v[2];
        bool ok = false;
        const uint n = v.left(6).toUInt(&ok, 16);
        if (ok && v.size() >= 6)
            rgb = qint32(n);
    } else if (defined.contains(v)) {
        return defined.value(v);
    } else if (namedColours().contains(v.toLower())) {
        rgb = namedColours().value(v.toLower());
    }
    if (!rgb)
        return std::nullopt;
    const quint32 n = quint32(*rgb);
    return qint32(((n & 0xFF) << 16) | (n & 0xFF00) | ((n >> 16) & 0xFF));
}

} // namespace

QStringList GtkStyleScheme::standardFolders()
{
    QStringList folders;
    folders += QDir::homePath() + QStringLiteral("/.local/share/gtksourceview-4/styles");
    for (const char *version : {"4", "5", "3.0"})
        folders += QStringLiteral("/usr/share/gtksourceview-%1/styles").arg(QLatin1String(version));
    return folders;
}

bool GtkStyleScheme::load(const QString &name, const QStringList &folders, QString &problem)
{
    if (name.endsWith(QLatin1String(".xml")) && QFileInfo(name).isFile()) {
        QFile f(name);
        if (!f.open(QIODevice::ReadOnly)) {
            problem = QStringLiteral("%1: %2").arg(name, f.errorString());
            return false;
        }
        return read(f.read(4 << 20), name, problem);
    }
    for (const QString &folder : folders) {
        const QDir dir(folder);
        QStringList candidates{dir.filePath(name + QStringLiteral(".xml")), dir.filePath(name)};
        for (const QString &file : dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name))
            candidates += dir.filePath(file);
        for (const QString &path : std::as_const(candidates)) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = f.read(4 << 20);
            QXmlStreamReader xml(bytes);
            if (!xml.readNextStartElement() || xml.name() != QLatin1String("style-scheme"))
                continue;
            if (xml.attributes().value(QLatin1String("id")) != name && QFileInfo(path).completeBaseName() != name)
                continue;
            return read(bytes, path, problem);
        }
    }
    problem = QStringLiteral("no style scheme named \"%1\" in %2").arg(name, folders.join(QStringLiteral(", ")));
    return false;
}

bool GtkStyleScheme::read(const QByteArray &bytes, const QString &fileName, QString &problem)
{
    QXmlStreamReader xml(bytes);
    QHash<QString, qint32> colours;
    struct Raw {
        QString name, fg, bg, use;
        bool bold, italic, underline;
    };
    QList<Raw> raw;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("style-scheme")) {
        problem = fileName + QStringLiteral(": not a style scheme");
        return false;
    }
    while (xml.readNextStartElement()) {
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == QLatin1String("color")) {
            if (const auto c = parseColour(a.value(QLatin1String("value")).toString(), {}))
                colours.insert(a.value(QLatin1String("name")).toString(), *c);
        } else if (xml.name() == QLatin1String("style")) {
            auto flag = [&](const char *n) { return a.value(QLatin1String(n)) == QLatin1String("true"); };
            const QString underline = a.value(QLatin1String("underline")).toString();
            raw += Raw{a.value(QLatin1String("name")).toString(), a.value(QLatin1String("foreground")).toString(),
                       a.value(QLatin1String("background")).toString(), a.value(QLatin1String("use-style")).toString(),
                       flag("bold"), flag("italic"), !underline.isEmpty() && underline != QLatin1String("none")
                           && underline != QLatin1String("false")};
        }
        xml.skipCurrentElement();
    }
    if (xml.hasError()) {
        problem = QStringLiteral("%1:%2: %3").arg(fileName).arg(xml.lineNumber()).arg(xml.errorString());
        return false;
    }
    for (const Raw &r : std::as_const(raw)) {
        Entry e;
        e.style.foreground = parseColour(r.fg, colours);
        e.style.background = parseColour(r.bg, colours);
        e.style.bold = r.bold;
        e.style.italic = r.italic;
        e.style.underline = r.underline;
        e.useStyle = r.use;
        styles_.insert(r.name, e);
    }
    return true;
}

std::optional<GtkStyleScheme::Style> GtkStyleScheme::style(const QString &name) const
{
    QString n = name;
    for (int depth = 0; depth < 16; ++depth) {
        const auto it = styles_.constFind(n);
        if (it == styles_.constEnd())
            return std::nullopt;
        if (it->useStyle.isEmpty())
            return it->style;
        n = it->useStyle;
    }
    return std::nullopt;
}

GtkStyleScheme::Style GtkStyleScheme::text() const
{
    Style s = style(QStringLiteral("text")).value_or(Style());
    if (!s.foreground)
        s.foreground = 0x000000;
    if (!s.background)
        s.background = 0xFFFFFF;
    return s;
}
