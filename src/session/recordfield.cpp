#include "session/recordfield.h"

namespace RecordField {

namespace {

// One field: where it lives in the record (exactly one member pointer is set, or a valid-scope
// element), its caption and its writer mode.
struct Entry {
    Field field;
    const char *caption;
    int mode;
    QString Language::*languageText = nullptr;
    qint32 Language::*languageNumber = nullptr;
    QString Tokenset::*text = nullptr;
    qint32 Tokenset::*number = nullptr;
};

// The language flags rebuild every tokenset, as does a name or an inclusion: other tokensets
// refer to names and are written only while included.
const Entry kEntries[] = {
    {Field::CaseSensitive, "Case Sensitive", 1, nullptr, &Language::casesensitive},
    {Field::ApplyCase, "Apply Case", 1, nullptr, &Language::applycase},
    {Field::WhiteSpace, "White Space as Parm Block", 1, nullptr, &Language::whitespaceasparamblock},
    {Field::WordChars, "Word Chars", 0, &Language::wordchars},
    {Field::MemberList, "Language Member List", 0, &Language::memberlist},
    {Field::SampleText, "Sample Text", -1, &Language::sampletext},
    {Field::Name, "Tokenset Name", 1, nullptr, nullptr, &Tokenset::name},
    {Field::Id, "Id", 0, nullptr, nullptr, &Tokenset::id},
    {Field::Type, "Scope", 0, nullptr, nullptr, &Tokenset::type},
    {Field::ForeColor, "Fore Color", 0, nullptr, nullptr, nullptr, &Tokenset::forecolor},
    {Field::FontStyle, "Font Style", 0, nullptr, nullptr, &Tokenset::fontstyle},
    {Field::InheritFrom, "Inherit", 0, nullptr, nullptr, &Tokenset::inheritfrom},
    {Field::BackColor, "Back Color", 0, nullptr, nullptr, nullptr, &Tokenset::backcolor},
    {Field::TokensetCase, "Case Sensitive", 0, nullptr, nullptr, nullptr, &Tokenset::casesensitive},
    {Field::NormalizeCase, "Normalize Case", 0, nullptr, nullptr, nullptr, &Tokenset::normalizecase},
    {Field::MatchBraces, "Match Braces", 0, nullptr, nullptr, nullptr, &Tokenset::matchbraces},
    {Field::AutoIndent, "AutoIndent", 0, nullptr, nullptr, nullptr, &Tokenset::autoindent},
    {Field::Enabled, "Enabled", 0, nullptr, nullptr, nullptr, &Tokenset::enabled},
    {Field::Included, "Include Tokenset", 1, nullptr, nullptr, nullptr, &Tokenset::included},
    {Field::Hidden, "Hidden", 0, nullptr, nullptr, nullptr, &Tokenset::hidden},
    {Field::SingleLineScope, "Single Line Scope", 0, nullptr, nullptr, nullptr, &Tokenset::singlelinescope},
    {Field::Chain, "Chain", 0, nullptr, nullptr, nullptr, &Tokenset::chain},
    {Field::Symmetrical, "Symmetrical", 0, nullptr, nullptr, nullptr, &Tokenset::symmetrical},
    {Field::TMemberList, "Member List", 0, nullptr, nullptr, &Tokenset::tmemberlist},
    {Field::Tokens, "Tokens", 0, nullptr, nullptr, &Tokenset::tokens},
    {Field::Tokens2, "Tokens2", 0, nullptr, nullptr, &Tokenset::tokens2},
    {Field::RegExp, "RegExp", 0, nullptr, nullptr, nullptr, &Tokenset::regexp},
    {Field::Rule, "Rule", 0, nullptr, nullptr, &Tokenset::rule},
    {Field::Lead, "LeadWith Text", 0, nullptr, nullptr, &Tokenset::lead},
    {Field::Trail, "TrailWith Text", 0, nullptr, nullptr, &Tokenset::trail},
};

int scopeIndex(Field field)
{
    const int i = int(field) - int(Field::ValidScope0);
    return i >= 0 && i < 10 ? i : -1;
}

const Entry &entry(Field field)
{
    for (const Entry &e : kEntries)
        if (e.field == field)
            return e;
    Q_UNREACHABLE();
}

} // namespace

bool isLanguageField(Field field)
{
    return int(field) <= int(Field::SampleText);
}

bool writtenText(Field field)
{
    return field == Field::WordChars || field == Field::Tokens || field == Field::Tokens2 || field == Field::Lead
        || field == Field::Trail;
}

Field validScope(int index)
{
    return Field(int(Field::ValidScope0) + index);
}

QString caption(Field field)
{
    if (const int i = scopeIndex(field); i >= 0)
        return QStringLiteral("Valid Scope %1").arg(i + 1);
    return QString::fromLatin1(entry(field).caption);
}

int writerMode(Field field)
{
    return scopeIndex(field) >= 0 ? 0 : entry(field).mode;
}

QVariant get(const Language &language, int slot, Field field)
{
    if (const int i = scopeIndex(field); i >= 0)
        return language.tokensets[size_t(slot)].validscope[size_t(i)];
    const Entry &e = entry(field);
    if (e.languageText)
        return language.*e.languageText;
    if (e.languageNumber)
        return language.*e.languageNumber;
    const Tokenset &ts = language.tokensets[size_t(slot)];
    if (e.text)
        return ts.*e.text;
    return ts.*e.number;
}

void put(Language &language, int slot, Field field, const QVariant &value)
{
    if (const int i = scopeIndex(field); i >= 0) {
        language.tokensets[size_t(slot)].validscope[size_t(i)] = value.toString();
        return;
    }
    const Entry &e = entry(field);
    if (e.languageText)
        language.*e.languageText = value.toString();
    else if (e.languageNumber)
        language.*e.languageNumber = value.toInt();
    else if (e.text)
        language.tokensets[size_t(slot)].*e.text = value.toString();
    else
        language.tokensets[size_t(slot)].*e.number = value.toInt();
}

} // namespace RecordField
