#include "model/recordfields.h"

#include "model/databasefile.h"
#include "model/xmlchars.h"

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

Binding language(const char *name, Kind kind, FieldId id, const char *caption, QString Language::*text,
                 bool written = false)
{
    return {{name, Owner::Language, kind, id, caption, id != FieldId::SampleText, written}, text};
}

Binding language(const char *name, FieldId id, const char *caption, qint32 Language::*flag)
{
    return {{name, Owner::Language, Kind::Flag, id, caption, true, false}, nullptr, flag};
}

Binding tokenset(const char *name, Kind kind, FieldId id, const char *caption, QString Tokenset::*text,
                 QStringList entries = {}, bool written = false)
{
    return {{name, Owner::Tokenset, kind, id, caption, true, written}, nullptr, nullptr, text, nullptr, -1, entries};
}

Binding tokenset(const char *name, Kind kind, FieldId id, const char *caption, qint32 Tokenset::*number)
{
    return {{name, Owner::Tokenset, kind, id, caption, true, false}, nullptr, nullptr, nullptr, number};
}

const std::vector<Binding> &bindings()
{
    static const std::vector<Binding> table = [] {
        using K = Kind;
        using I = FieldId;
        using L = Language;
        using T = Tokenset;
        std::vector<Binding> b = {
            language("name", K::Name, I::LanguageName, "Language Name", &L::name, true),
            language("casesensitive", I::CaseSensitive, "Case Sensitive", &L::casesensitive),
            language("applycase", I::ApplyCase, "Apply Case", &L::applycase),
            language("wordchars", K::Text, I::WordChars, "Word Chars", &L::wordchars, true),
            language("whitespaceasparamblock", I::WhiteSpace, "White Space as Parm Block", &L::whitespaceasparamblock),
            language("memberlist", K::Choice, I::MemberList, "Language Member List", &L::memberlist),
            language("sampletext", K::Lines, I::SampleText, "Sample Text", &L::sampletext),
            tokenset("name", K::Name, I::Name, "Tokenset Name", &T::name, {}, true),
            tokenset("id", K::Choice, I::Id, "Id", &T::id),
            tokenset("type", K::Choice, I::Type, "Scope", &T::type, {"list", "scope"}),
            tokenset("forecolor", K::Colour, I::ForeColor, "Fore Color", &T::forecolor),
            tokenset("fontstyle", K::Choice, I::FontStyle, "Font Style", &T::fontstyle,
                     {"normal", "bold", "italic", "bolditalic", "underline"}),
            tokenset("inheritfrom", K::Choice, I::InheritFrom, "Inherit", &T::inheritfrom),
            tokenset("backcolor", K::Colour, I::BackColor, "Back Color", &T::backcolor),
            tokenset("casesensitive", K::Flag, I::TokensetCase, "Case Sensitive", &T::casesensitive),
            tokenset("normalizecase", K::Flag, I::NormalizeCase, "Normalize Case", &T::normalizecase),
            tokenset("matchbraces", K::Flag, I::MatchBraces, "Match Braces", &T::matchbraces),
            tokenset("autoindent", K::Flag, I::AutoIndent, "AutoIndent", &T::autoindent),
            tokenset("enabled", K::Flag, I::Enabled, "Enabled", &T::enabled),
            tokenset("included", K::Flag, I::Included, "Include Tokenset", &T::included),
            tokenset("hidden", K::Flag, I::Hidden, "Hidden", &T::hidden),
            tokenset("singlelinescope", K::Flag, I::SingleLineScope, "Single Line Scope", &T::singlelinescope),
            tokenset("chain", K::Flag, I::Chain, "Chain", &T::chain),
            tokenset("symmetrical", K::Flag, I::Symmetrical, "Symmetrical", &T::symmetrical),
            tokenset("tmemberlist", K::Choice, I::TMemberList, "Member List", &T::tmemberlist),
            tokenset("tokens", K::Lines, I::Tokens, "Tokens", &T::tokens, {}, true),
            tokenset("tokens2", K::Lines, I::Tokens2, "Tokens2", &T::tokens2, {}, true),
            tokenset("regexp", K::Flag, I::RegExp, "RegExp", &T::regexp),
            tokenset("rule", K::Choice, I::Rule, "Rule", &T::rule,
                     {"NULL", "Word", "LeadWith", "TrailWith", "LeadWith TrailWith", "Col"}),
            tokenset("lead", K::Text, I::Lead, "LeadWith Text", &T::lead, {}, true),
            tokenset("trail", K::Text, I::Trail, "TrailWith Text", &T::trail, {}, true),
        };
        // Elements 0 to 9 have a list each in the window; element 10 has none.
        static const char *const scopes[] = {"validscope.0", "validscope.1", "validscope.2", "validscope.3",
                                              "validscope.4", "validscope.5", "validscope.6", "validscope.7",
                                              "validscope.8", "validscope.9"};
        static const char *const captions[] = {"Valid Scope 1", "Valid Scope 2", "Valid Scope 3", "Valid Scope 4",
                                                "Valid Scope 5", "Valid Scope 6", "Valid Scope 7", "Valid Scope 8",
                                                "Valid Scope 9", "Valid Scope 10"};
        for (int i = 0; i < 10; ++i)
            b.push_back({{scopes[i], Owner::Tokenset, K::Choice, validScope(i), captions[i], true, false},
                         nullptr, nullptr, nullptr, nullptr, i});
        return b;
    }();
    return table;
}

const Binding &bindingOf(FieldId id)
{
    static const std::vector<const Binding *> byId = [] {
        std::vector<const Binding *> index(bindings().size());
        for (const Binding &b : bindings())
            index[size_t(b.field.id)] = &b;
        return index;
    }();
    return *byId[size_t(id)];
}

const Binding &bindingOf(const Field &field)
{
    return bindingOf(field.id);
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

const Field &field(FieldId id)
{
    return bindingOf(id).field;
}

FieldId validScope(int index)
{
    return FieldId(int(FieldId::ValidScope0) + index);
}

QVariant value(const Language &language, int slot, FieldId id)
{
    const Binding &b = bindingOf(id);
    if (b.languageText)
        return language.*b.languageText;
    if (b.languageNumber)
        return language.*b.languageNumber;
    const Tokenset &t = language.tokensets[size_t(slot)];
    if (b.element >= 0)
        return t.validscope[size_t(b.element)];
    return b.text ? QVariant(t.*b.text) : QVariant(t.*b.number);
}

void store(Language &language, int slot, FieldId id, const QVariant &value)
{
    const Binding &b = bindingOf(id);
    if (b.languageText)
        language.*b.languageText = value.toString();
    else if (b.languageNumber)
        language.*b.languageNumber = value.toInt();
    else if (b.element >= 0)
        language.tokensets[size_t(slot)].validscope[size_t(b.element)] = value.toString();
    else if (b.text)
        language.tokensets[size_t(slot)].*b.text = value.toString();
    else
        language.tokensets[size_t(slot)].*b.number = value.toInt();
}

QString textProblem(const Field &field, const QString &text, const QString &what)
{
    const QString name = what.isEmpty() ? QString::fromLatin1(field.name) : what;
    if (field.kind == Kind::Name && text.trimmed().isEmpty())
        return QStringLiteral("%1 must not be empty or blank").arg(name);
    if ((field.kind == Kind::Name || field.kind == Kind::Text) && (text.contains(u'\r') || text.contains(u'\n')))
        return QStringLiteral("%1 is one line; it cannot hold a line break").arg(name);
    return field.written ? XmlChars::problem(text, name) : QString();
}

QString nameProblem(const QString &name, const QString &what)
{
    return textProblem(field(FieldId::Name), name, what);
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
    const QVariant v = value(language, slot, field.id);
    return v.typeId() == QMetaType::QString ? v.toString() : QString::number(v.toInt());
}

QString set(const Field &field, Language &language, int slot, const QString &text, const Lists &lists)
{
    const Binding &b = bindingOf(field);
    const QString name = QLatin1String(field.name);
    if (field.owner == Owner::Tokenset && (slot < 0 || slot >= language.tokensetCount()))
        return QStringLiteral("there is no tokenset in slot %1").arg(slot);
    QString storedText = text;
    qint32 number = 0;
    if (const QString problem = textProblem(field, text); !problem.isEmpty())
        return problem;
    switch (field.kind) {
    case Kind::Name:
    case Kind::Text:
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
    if (b.languageText || b.text || b.element >= 0)
        store(language, slot, field.id, storedText);
    else
        store(language, slot, field.id, number);
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
