#include "lint/languageview.h"

#include "editorcontrol/compiledlanguagedata.h"
#include "editorcontrol/definitiontables.h"
#include "editorcontrol/regexcache.h"
#include "xmlgen/references.h"
#include "xmlgen/splittokens.h"
#include "xmlgen/xmltext.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace Lint {

bool isXmlForbidden(QStringView text, qsizetype at)
{
    const char16_t c = text[at].unicode();
    if (c < 0x20)
        return c != u'\t' && c != u'\r' && c != u'\n';
    if (c == 0xFFFE || c == 0xFFFF)
        return true;
    if (QChar::isHighSurrogate(c))
        return at + 1 >= text.size() || !QChar::isLowSurrogate(text[at + 1].unicode());
    if (QChar::isLowSurrogate(c))
        return at == 0 || !QChar::isHighSurrogate(text[at - 1].unicode());
    return false;
}

QRegularExpression tokenRegexp(const QString &pattern, bool caseless)
{
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (caseless)
        options |= QRegularExpression::CaseInsensitiveOption;
    return RegexCache::get(pattern, options);
}

bool readsAsScope(const QString &type)
{
    const QString trimmed = type.trimmed();
    return trimmed.compare(u"scope", Qt::CaseInsensitive) == 0 || trimmed == u"1";
}

namespace {

const QString kNone = QStringLiteral("<none>");

// The text with every character XML cannot hold replaced, so that the token lists read; the
// characters themselves have a check of their own.
QString xmlSafe(const QString &text)
{
    QString out = text;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (isXmlForbidden(text, i))
            out[i] = QChar::ReplacementCharacter;
    return out;
}

// The lines of a token list text that become tokens: lines end at CR LF, blank ones are skipped.
QStringList tokenLines(const QString &text)
{
    QStringList lines;
    for (QStringView line : QStringView(text).split(XmlText::kCrLf))
        if (!XmlText::isBlank(line))
            lines << XmlText::trimBlanks(line);
    return lines;
}

bool isTrue(QStringView value)
{
    return value.trimmed().compare(u"true", Qt::CaseInsensitive) == 0;
}

// Reads the <tokens> and <tokens2> elements the writer made for one tokenset.
void readLists(const QString &xml, TokenListDefinition &starts, TokenListDefinition &ends)
{
    QXmlStreamReader reader(u"<lists>"_s + xml + u"</lists>"_s);
    TokenListDefinition *list = nullptr;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = reader.attributes();
        if (reader.name() == u"tokens" || reader.name() == u"tokens2") {
            list = reader.name() == u"tokens" ? &starts : &ends;
            list->present = true;
            if (a.hasAttribute("regexp"_L1))
                list->regexp = isTrue(a.value("regexp"_L1));
            if (a.hasAttribute("rule"_L1))
                list->rule = a.value("rule"_L1).trimmed().toString();
        } else if (reader.name() == u"token" && list) {
            TokenDefinition token;
            token.regexp = a.hasAttribute("regexp"_L1) ? isTrue(a.value("regexp"_L1)) : list->regexp;
            token.rule = a.hasAttribute("rule"_L1) ? a.value("rule"_L1).trimmed().toString() : list->rule;
            token.action = a.value("action"_L1).trimmed().toString();
            token.text = reader.readElementText();
            list->tokens.append(token);
        }
    }
}

void pairWithLines(const TokenListDefinition &list, const QString &text, QVector<ViewToken> &out)
{
    const QStringList lines = tokenLines(text);
    for (qsizetype i = 0; i < list.tokens.size(); ++i)
        out.append(ViewToken{list.tokens[i], i < lines.size() ? lines[i] : QString()});
}

// The tokenset element the writer makes of a slot, as the definition reader reads it.
TokensetDefinition tokensetDefinition(const Language &language, int slot, ViewTokenset &view)
{
    const Tokenset &ts = language.tokensets[size_t(slot)];
    TokensetDefinition d;
    d.name = ts.name;
    const QString id = ts.id.trimmed();
    bool isNumber = false;
    const int number = id.toInt(&isNumber);
    d.id = id.isEmpty() ? 1 : isNumber ? number : qMax(1, DefinitionTables::idNumber(id));
    d.scope = readsAsScope(ts.type);
    d.casesensitive = (language.applycase == 1 ? language.casesensitive : ts.casesensitive) != 0;
    d.autoindent = ts.autoindent != 0;
    d.chain = ts.chain != 0;
    d.enabled = ts.enabled != 0;
    d.hidden = ts.hidden != 0;
    d.matchbraces = ts.matchbraces != 0;
    d.normalizecase = ts.normalizecase != 0;
    d.singlelinescope = ts.singlelinescope != 0;
    d.symmetrical = ts.symmetrical != 0;
    d.forecolor = ts.forecolor;
    d.backcolor = ts.backcolor;
    d.fontstyle = qMax(0, DefinitionTables::fontStyleNumber(ts.fontstyle.trimmed()));
    if (ts.inheritfrom != kNone && ts.inheritfrom != ts.name && TokensetExists(language, slot, ts.inheritfrom))
        d.inheritfrom = ts.inheritfrom;
    for (int j = 0; j < 10; ++j) {
        const QString &scope = ts.validscope[size_t(j)];
        const QString trimmed = XmlText::trimBlanks(scope);
        if (trimmed == u"NULL")
            d.validscopes << QString();
        else if (trimmed != kNone && TokensetExists(language, slot, scope))
            d.validscopes << scope;
    }
    if (!XmlText::isBlank(ts.tokens)) {
        Tokenset safe = ts;
        safe.rule = xmlSafe(ts.rule);
        safe.lead = xmlSafe(ts.lead);
        safe.trail = xmlSafe(ts.trail);
        readLists(SplitTokens(xmlSafe(ts.tokens), xmlSafe(ts.tokens2), ts.type, safe, false), d.tokens, d.tokens2);
        pairWithLines(d.tokens, ts.tokens, view.starts);
        pairWithLines(d.tokens2, ts.tokens2, view.ends);
    }
    return d;
}

} // namespace

LanguageView::LanguageView(const Language &language) : record_(language)
{
    definition_.name = language.name;
    definition_.casesensitive = language.casesensitive != 0;
    definition_.whitespaceasparamblock = language.whitespaceasparamblock != 0;
    definition_.wordchars = language.wordchars;
    const int used = language.tokensetCount();
    for (int i = 0; i < used; ++i) {
        ViewTokenset view;
        view.slot = i;
        if (language.tokensets[size_t(i)].included == 1) {
            view.written = int(writtenSlots_.size());
            writtenSlots_.append(int(tokensets_.size()));
            definition_.tokensets.append(tokensetDefinition(language, i, view));
        }
        tokensets_.append(view);
    }
    compiled_ = CompiledLanguage::compile(definition_);

    const CompiledLanguageData &d = compiled_->data();
    const size_t n = d.tokensets.size();
    reached_.assign(n + 1, 0);
    reached_[0] = 1;
    for (bool grew = true; grew;) {
        grew = false;
        for (size_t t = 0; t < n; ++t) {
            if (reached_[t + 1] || !d.tokensets[t].scope || d.tokensets[t].starts.empty())
                continue;
            for (size_t c = 0; c <= n && !reached_[t + 1]; ++c)
                if (reached_[c] && d.contexts[c].valid[t])
                    reached_[t + 1] = grew = true;
        }
    }
}

} // namespace Lint
