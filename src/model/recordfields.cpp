#include "model/recordfields.h"

#include "model/databasefile.h"

#include <QRegularExpression>

namespace RecordFields {

namespace {

// Where a field lives in the record: one of the member pointers, or a validscope element.
struct Binding {
    Field field;
    QString Language::*languageText = nullptr;
    qint32 Language::*languageNumber = nullptr;
    QString Tokenset::*text = nullptr;
    qint32 Tokenset::*number = nullptr;
    int element = -1;
    QStringList entries = {}; // a fixed pick list
};

const std::vector<Binding> &bindings()
{
    static const std::vector<Binding> table = [] {
        using O = Owner;
        using K = Kind;
        std::vector<Binding> b = {
            {{"name", O::Language, K::Name}, &Language::name},
            {{"casesensitive", O::Language, K::Flag}, nullptr, &Language::casesensitive},
            {{"applycase", O::Language, K::Flag}, nullptr, &Language::applycase},
            {{"wordchars", O::Language, K::Text}, &Language::wordchars},
            {{"whitespaceasparamblock", O::Language, K::Flag}, nullptr, &Language::whitespaceasparamblock},
            {{"memberlist", O::Language, K::Choice}, &Language::memberlist},
            {{"sampletext", O::Language, K::Lines}, &Language::sampletext},
            {{"name", O::Tokenset, K::Name}, nullptr, nullptr, &Tokenset::name},
            {{"id", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::id},
            {{"type", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::type, nullptr, -1, {"list", "scope"}},
            {{"forecolor", O::Tokenset, K::Colour}, nullptr, nullptr, nullptr, &Tokenset::forecolor},
            {{"fontstyle", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::fontstyle, nullptr, -1,
             {"normal", "bold", "italic", "bolditalic", "underline"}},
            {{"inheritfrom", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::inheritfrom},
            {{"backcolor", O::Tokenset, K::Colour}, nullptr, nullptr, nullptr, &Tokenset::backcolor},
            {{"casesensitive", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::casesensitive},
            {{"normalizecase", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::normalizecase},
            {{"matchbraces", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::matchbraces},
            {{"autoindent", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::autoindent},
            {{"enabled", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::enabled},
            {{"included", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::included},
            {{"hidden", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::hidden},
            {{"singlelinescope", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::singlelinescope},
            {{"chain", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::chain},
            {{"symmetrical", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::symmetrical},
            {{"tmemberlist", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::tmemberlist},
            {{"tokens", O::Tokenset, K::Lines}, nullptr, nullptr, &Tokenset::tokens},
            {{"tokens2", O::Tokenset, K::Lines}, nullptr, nullptr, &Tokenset::tokens2},
            {{"regexp", O::Tokenset, K::Flag}, nullptr, nullptr, nullptr, &Tokenset::regexp},
            {{"rule", O::Tokenset, K::Choice}, nullptr, nullptr, &Tokenset::rule, nullptr, -1,
             {"NULL", "Word", "LeadWith", "TrailWith", "LeadWith TrailWith", "Col"}},
            {{"lead", O::Tokenset, K::Text}, nullptr, nullptr, &Tokenset::lead},
            {{"trail", O::Tokenset, K::Text}, nullptr, nullptr, &Tokenset::trail},
        };
        // Elements 0 to 9 have a list each in the window; element 10 has none.
        static const char *const scopes[] = {"validscope.0", "validscope.1", "validscope.2", "validscope.3",
                                              "validscope.4", "validscope.5", "validscope.6", "validscope.7",
                                              "validscope.8", "validscope.9"};
        for (int i = 0; i < 10; ++i)
            b.push_back({{scopes[i], O::Tokenset, K::Choice}, nullptr, nullptr, nullptr, nullptr, i});
        return b;
    }();
    return table;
}

const Binding &bindingOf(const Field &field)
{
    for (const Binding &b : bindings()) {
        if (b.field.owner == field.owner && qstrcmp(b.field.name, field.name) == 0)
            return b;
    }
    Q_UNREACHABLE();
}

QStringList usedNames(const Language &language)
{
    QStringList names;
    for (int k = 0, n = language.tokensetCount(); k < n; ++k)
        names.append(language.tokensets[k].name);
    return names;
}

// Line breaks of any kind as CR LF, the form the window's text boxes keep.
QString crlf(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    QString out = text;
    return out.replace(breaks, QStringLiteral("\r\n"));
}

QString shortList(const QStringList &entries)
{
    QStringList quoted;
    for (const QString &e : entries.mid(0, 12))
        quoted.append(QLatin1Char('"') + e + QLatin1Char('"'));
    return quoted.join(QLatin1String(", ")) + (entries.size() > 12 ? QStringLiteral(", ...") : QString());
}

} // namespace

QStringList Lists::defaultIds()
{
    return QString::fromLatin1(
               "argseparators attributeblocks attributekeywordblocks attributetext blockcomments cdatadelimiters "
               "cdatatext charliterals environmentvars escapeseqs hyperlinks identifiers keywords linecomments "
               "linenumbers numbers operators parameterblocks scopekeywords sectionheadings statementdelims strings "
               "tagattributenames tagdelimiters tagelementnames tagentities tagtext text valuenames variables "
               "whitespace")
        .split(QLatin1Char(' '));
}

const std::vector<Field> &fields()
{
    static const std::vector<Field> list = [] {
        std::vector<Field> f;
        for (const Binding &b : bindings())
            f.push_back(b.field);
        return f;
    }();
    return list;
}

const Field *find(Owner owner, QStringView name)
{
    for (const Field &f : fields()) {
        if (f.owner == owner && name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

QStringList choices(const Field &field, const Language &language, int slot, const Lists &lists)
{
    const Binding &b = bindingOf(field);
    if (!b.entries.isEmpty())
        return b.entries;
    const QString name = field.name;
    if (name == QLatin1String("id"))
        return lists.ids;
    if (name.endsWith(QLatin1String("memberlist")))
        return QStringList{QStringLiteral("<none>")} + lists.memberLists;
    QStringList entries;
    if (name == QLatin1String("inheritfrom")) {
        entries.append(QStringLiteral("<none>"));
        const QString own = slot >= 0 && slot < Language::kSlots ? language.tokensets[slot].name : QString();
        for (const QString &other : usedNames(language)) {
            if (other != own)
                entries.append(other);
        }
    } else if (b.element >= 0) {
        entries = {QStringLiteral("<none>"), QStringLiteral("NULL")};
        for (int k = 0, n = language.tokensetCount(); k < n; ++k) {
            if (language.tokensets[k].type == QLatin1String("scope"))
                entries.append(language.tokensets[k].name);
        }
    }
    return entries;
}

QString get(const Field &field, const Language &language, int slot)
{
    const Binding &b = bindingOf(field);
    if (field.owner == Owner::Language)
        return b.languageText ? language.*b.languageText : QString::number(language.*b.languageNumber);
    const Tokenset &t = language.tokensets[slot];
    if (b.element >= 0)
        return t.validscope[b.element];
    return b.text ? t.*b.text : QString::number(t.*b.number);
}

QString set(const Field &field, Language &language, int slot, const QString &text, const Lists &lists)
{
    const Binding &b = bindingOf(field);
    const QString name = QLatin1String(field.name);
    if (field.owner == Owner::Tokenset && (slot < 0 || slot >= language.tokensetCount()))
        return QStringLiteral("there is no tokenset in slot %1").arg(slot);
    QString storedText = text;
    qint32 number = 0;
    switch (field.kind) {
    case Kind::Name:
        if (text.trimmed().isEmpty())
            return QStringLiteral("%1 must not be empty or blank").arg(name);
        Q_FALLTHROUGH();
    case Kind::Text:
        if (text.contains(u'\r') || text.contains(u'\n'))
            return QStringLiteral("%1 is one line; it cannot hold a line break").arg(name);
        break;
    case Kind::Lines:
        storedText = crlf(text);
        break;
    case Kind::Flag: {
        const QString v = text.toLower();
        if (v != QLatin1String("0") && v != QLatin1String("1") && v != QLatin1String("true") && v != QLatin1String("false"))
            return QStringLiteral("%1 takes 0, 1, true or false, not '%2'").arg(name, text);
        number = v == QLatin1String("1") || v == QLatin1String("true") ? 1 : 0;
        break;
    }
    case Kind::Colour: {
        bool ok = false;
        static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        if (hex.match(text).hasMatch()) {
            const uint rgb = text.mid(1).toUInt(&ok, 16);
            number = qint32(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
        } else {
            const qlonglong n = text.toLongLong(&ok);
            ok = ok && n >= 0 && n <= 0xFFFFFF && !text.startsWith(u'+');
            number = qint32(n);
        }
        if (!ok)
            return QStringLiteral("%1 takes a colour: a number from 0 to 16777215 (0x00BBGGRR) or #RRGGBB, not '%2'")
                .arg(name, text);
        break;
    }
    case Kind::Choice: {
        const QStringList entries = choices(field, language, slot, lists);
        if (!entries.contains(text))
            return QStringLiteral("%1 takes one of %2; not '%3'").arg(name, shortList(entries), text);
        break;
    }
    }
    if (field.owner == Owner::Language) {
        if (b.languageText)
            language.*b.languageText = storedText;
        else
            language.*b.languageNumber = number;
        return QString();
    }
    Tokenset &t = language.tokensets[slot];
    if (b.element >= 0)
        t.validscope[b.element] = storedText;
    else if (b.text)
        t.*b.text = storedText;
    else
        t.*b.number = number;
    return QString();
}

QString sizeProblem(const Language &language)
{
    QByteArray bytes;
    QString problem;
    if (DatabaseFile::encode(QVector<Language>{language}, bytes, &problem))
        return QString();
    return problem;
}

} // namespace RecordFields
