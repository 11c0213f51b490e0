#include "import/languageimport.h"

#include "editorcontrol/definitiontables.h"
#include "editorcontrol/languageobject.h"
#include "xmlgen/xmltext.h"

namespace LanguageImport {

namespace {

const QString kNone = QStringLiteral("<none>");
const QString kSeparator = QStringLiteral(" :::: ");

// A colour is stored as its absolute value; -1 ("not set") becomes the fallback.
qint32 storedColour(qint32 value, qint32 notSet)
{
    if (value == -1)
        return notSet;
    // The absolute value of the most negative number does not fit; its 32 bits are kept.
    return qint32(quint32(qAbs(qint64(value))));
}

} // namespace

QString GetLMemberListFromFileData(const LanguageObject &language)
{
    const QString name = language.memberList();
    return name.isEmpty() ? kNone : name;
}

QString GetInheritFromFileData(const LanguageObject &language, int k)
{
    const TokensetDefinition *ts = language.tokenset(k);
    return !ts || ts->inheritfrom.isEmpty() ? kNone : ts->inheritfrom;
}

QString GetMemberListFromFileData(const LanguageObject &language, int k)
{
    const TokensetDefinition *ts = language.tokenset(k);
    return !ts || ts->memberlist.isEmpty() ? kNone : ts->memberlist;
}

QString GetValidScopeFromFileData(const LanguageObject &language, int k, int i)
{
    const TokensetDefinition *ts = language.tokenset(k);
    const QString *scope = ts ? ObjectModel::validScope(*ts, i) : nullptr;
    return scope ? *scope : QStringLiteral("NULL");
}

bool GetFontStyleFromFileData(const LanguageObject &language, int k, QString &style)
{
    const TokensetDefinition *ts = language.tokenset(k);
    if (!ts)
        return false;
    style = DefinitionTables::fontStyleName(ts->fontstyle);
    return true;
}

QString GetIDName(qint64 number)
{
    return number < 0 || number > 1000 ? QStringLiteral("text") : DefinitionTables::idName(int(number));
}

QString GetCommandText(int number)
{
    return DefinitionTables::commandName(number);
}

namespace {

QString quoted(const QString &text)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return u'"' + shown + u'"';
}

// "::::" separates the fields of a token line; in a rule it can only stand inside the characters of
// a leadwith or trailwith rule, where "leadwith[::::]" names the same characters as "leadwith[:]".
QString collapseSeparators(QString rule)
{
    while (rule.contains(QStringLiteral("::::")))
        rule.replace(QStringLiteral("::::"), QStringLiteral(":"));
    return rule;
}

} // namespace

QString tokenListText(const TokenListDefinition &list, QStringList *changes, const QString &where)
{
    QString text;
    int n = 0;
    for (const TokenDefinition &token : list.tokens) {
        ++n;
        const QString name = QStringLiteral("%1token %2 %3").arg(where).arg(n).arg(quoted(token.text));
        auto note = [&](const QString &what) {
            if (changes)
                *changes += name + QStringLiteral(": ") + what;
        };
        if (token.text.contains(QStringLiteral("::::"))) {
            note(QStringLiteral("left out; \"::::\" separates the fields of a token line"));
            continue;
        }
        QString tokenText = token.text;
        QStringList why;
        if (tokenText.contains(QStringLiteral("\r\n"))) {
            tokenText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            why += QStringLiteral("a token line ends at CR LF");
        }
        if (const QString trimmed = XmlText::trimBlanks(tokenText); trimmed != tokenText) {
            tokenText = trimmed;
            why += QStringLiteral("a token line drops the blanks around its token");
        }
        if (!why.isEmpty())
            note(QStringLiteral("kept as %1; %2").arg(quoted(tokenText), why.join(QStringLiteral(" and "))));
        QString rule = ObjectModel::ruleText(token);
        rule.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        rule = collapseSeparators(rule);
        if (rule != ObjectModel::ruleText(token))
            note(QStringLiteral("rule %1 kept as %2").arg(quoted(ObjectModel::ruleText(token)), quoted(rule)));
        text += QStringLiteral("\r\n");
        text += tokenText;
        text += kSeparator;
        text += GetCommandText(ObjectModel::commandNumber(token));
        text += kSeparator;
        text += token.regexp ? QStringLiteral("True") : QStringLiteral("False");
        text += kSeparator;
        text += rule;
    }
    return text.mid(2);
}

bool fillLanguage(const LanguageObject &language, bool autoInclude, const QString &sampleText, Language &out,
                  QString &description, QStringList *changes)
{
    const int count = language.tokensetCount();
    if (count > Language::kSlots) {
        description = QStringLiteral("%1: more than %2 tokensets; a language holds at most %2")
                          .arg(language.definition()->fileName).arg(Language::kSlots);
        return false;
    }
    out.name = language.name();
    out.casesensitive = 0;
    out.applycase = 0;
    out.memberlist = GetLMemberListFromFileData(language);
    out.whitespaceasparamblock = language.whitespaceAsParamBlock() ? 1 : 0;
    out.wordchars = language.wordChars();
    out.sampletext = sampleText;

    for (int k = 0; k < count; ++k) {
        const TokensetDefinition &ts = *language.tokenset(k);
        Tokenset &slot = out.tokensets[size_t(k)];
        if (ts.validscopes.size() > Language::kValidScopes) {
            description = QStringLiteral("%1: tokenset \"%2\" has more than %3 valid scopes; a tokenset holds at most %3")
                              .arg(language.definition()->fileName, ts.name).arg(Language::kValidScopes);
            return false;
        }
        slot.name = ts.name;
        slot.id = GetIDName(qAbs(qint64(ts.id)));
        if (autoInclude)
            slot.included = 1;
        slot.type = ObjectModel::typeNumber(ts) == 0 ? QStringLiteral("list") : QStringLiteral("scope");
        slot.casesensitive = ts.casesensitive || language.definition()->casesensitive;
        slot.normalizecase = ts.normalizecase;
        slot.matchbraces = ts.matchbraces;
        slot.autoindent = ts.autoindent;
        slot.hidden = ts.hidden;
        slot.singlelinescope = ts.singlelinescope;
        slot.chain = ts.chain;
        slot.symmetrical = ts.symmetrical;
        slot.enabled = ts.enabled;
        slot.forecolor = storedColour(ts.forecolor, 0);
        slot.backcolor = storedColour(ts.backcolor, 0x00FFFFFF);
        GetFontStyleFromFileData(language, k, slot.fontstyle);
        slot.inheritfrom = GetInheritFromFileData(language, k);
        slot.tmemberlist = GetMemberListFromFileData(language, k);
        const int scopes = int(ts.validscopes.size());
        for (int i = 0; i < scopes; ++i)
            slot.validscope[size_t(i)] = GetValidScopeFromFileData(language, k, i);
        for (int i = scopes; i < Language::kValidScopes - 1; ++i)
            slot.validscope[size_t(i)] = kNone;
        const QString where = QStringLiteral("%1: tokenset %2, ").arg(language.definition()->fileName, quoted(ts.name));
        slot.tokens = tokenListText(ts.tokens, changes, where + QStringLiteral("tokens, "));
        slot.tokens2 = tokenListText(ts.tokens2, changes, where + QStringLiteral("tokens2, "));
        // Every token line carries its own regexp and rule. The list values are those a definition
        // written with Hide Default Attributes leaves out, so that a token whose regexp or rule is
        // left out for being the default still reads back with the same meaning.
        slot.regexp = 1;
        slot.rule = QStringLiteral("Word");
    }
    return true;
}

QString Result::messageText() const
{
    return QStringLiteral("Error importing language!\r\n\r\n") + description;
}

Result importFile(Database &db, LanguageObject &object, const QString &path, bool autoInclude,
                  const QString &sampleText)
{
    Result result;
    if (!object.load(path)) {
        result.description = object.error().toString();
        return result;
    }
    Language language;
    if (!fillLanguage(object, autoInclude, sampleText, language, result.description, &result.changes)) {
        result.changes.clear();
        return result;
    }
    db.languages.append(std::move(language));
    db.dirty = true;
    result.ok = true;
    result.index = db.upperIndex();
    return result;
}

} // namespace LanguageImport
