#include "editorcontrol/definitionreader.h"

#include "editorcontrol/definitiontables.h"
#include "editorcontrol/xmlinput.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace DefinitionReader {

namespace {

struct Place {
    qint64 line = 0;
    qint64 column = 0;
};

QString quoted(QStringView text)
{
    constexpr qsizetype kShown = 60;
    if (text.size() > kShown)
        return u'"' + text.left(kShown).toString() + QStringLiteral("...\"");
    return u'"' + text.toString() + u'"';
}

class Parser {
public:
    Parser(const QString &text, const QString &fileName) : xml_(text), file_(fileName) {}

    bool run(LanguageDefinition &def);
    DefinitionError error;

private:
    Place here() const { return {xml_.lineNumber(), xml_.columnNumber() + 1}; }
    bool fail(Place at, const QString &problem)
    {
        error = {file_, at.line, at.column, problem};
        return false;
    }
    bool failXml() { return fail(here(), xml_.errorString()); }

    bool readLanguage(LanguageDefinition &def);
    bool readTokenset(TokensetDefinition &ts);
    bool readTokenList(const TokensetDefinition &ts, TokenListDefinition &list);
    bool checkReferences(const LanguageDefinition &def);

    // Attribute readers: false (with the error set) when the value cannot be understood.
    bool flag(QLatin1StringView attr, bool &value);
    bool colour(QLatin1StringView attr, qint32 &value);

    QXmlStreamReader xml_;
    QString file_;
    QVector<Place> tokensetPlaces_;
    QVector<QVector<Place>> scopePlaces_;
};

bool Parser::flag(QLatin1StringView attr, bool &value)
{
    const QXmlStreamAttributes attrs = xml_.attributes();
    if (!attrs.hasAttribute(attr))
        return true;
    const QStringView v = attrs.value(attr).trimmed();
    if (v.isEmpty())
        return true;
    if (v.compare(u"true", Qt::CaseInsensitive) == 0 || v == u"1" || v == u"-1")
        value = true;
    else if (v.compare(u"false", Qt::CaseInsensitive) == 0 || v == u"0")
        value = false;
    else
        return fail(here(), QStringLiteral("%1=%2 is not true or false").arg(attr, quoted(v)));
    return true;
}

bool Parser::colour(QLatin1StringView attr, qint32 &value)
{
    const QXmlStreamAttributes attrs = xml_.attributes();
    if (!attrs.hasAttribute(attr))
        return true;
    const QStringView v = attrs.value(attr).trimmed();
    if (v.isEmpty())
        return true;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    // Signed as written, or the same 32 bits written unsigned.
    if (!ok || n < -2147483648LL || n > 4294967295LL)
        return fail(here(), QStringLiteral("%1=%2 is not a colour number").arg(attr, quoted(v)));
    value = qint32(quint32(n));
    return true;
}

bool Parser::run(LanguageDefinition &def)
{
    if (!XmlInput::toRootElement(xml_))
        return failXml();
    if (xml_.name() != u"language")
        return fail(here(), QStringLiteral("the root element is <%1>, not <language>").arg(xml_.name()));
    if (!readLanguage(def))
        return false;
    // The rest of the document must be well-formed too.
    while (!xml_.atEnd())
        xml_.readNext();
    if (xml_.hasError())
        return failXml();
    return checkReferences(def);
}

bool Parser::readLanguage(LanguageDefinition &def)
{
    const QXmlStreamAttributes attrs = xml_.attributes();
    def.name = attrs.value(QLatin1StringView("name")).toString();
    if (attrs.hasAttribute(QLatin1StringView("wordchars")))
        def.wordchars = attrs.value(QLatin1StringView("wordchars")).toString();
    def.memberlist = attrs.value(QLatin1StringView("memberlist")).toString();
    if (!flag(QLatin1StringView("casesensitive"), def.casesensitive) || !flag(QLatin1StringView("whitespaceasparamblock"), def.whitespaceasparamblock))
        return false;

    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType t = xml_.readNext();
        if (t == QXmlStreamReader::EndElement)
            return true;
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (xml_.name() != u"tokenset") {
            XmlInput::skipElement(xml_, 2);
            continue;
        }
        if (def.tokensets.size() == kMaxTokensets)
            return fail(here(), QStringLiteral("more than %1 tokensets; a language holds at most %1").arg(kMaxTokensets));
        TokensetDefinition ts;
        if (!readTokenset(ts))
            return false;
        def.tokensets.append(std::move(ts));
    }
    return failXml();
}

bool Parser::readTokenset(TokensetDefinition &ts)
{
    const Place start = here();
    const QXmlStreamAttributes attrs = xml_.attributes();
    ts.name = attrs.value(QLatin1StringView("name")).toString();
    if (ts.name.isEmpty())
        return fail(start, QStringLiteral("a tokenset without a name"));

    const QStringView id = attrs.value(QLatin1StringView("id")).trimmed();
    if (!id.isEmpty()) {
        bool isNumber = false;
        const int n = id.toInt(&isNumber);
        // Names outside the table colour as plain text, as their number would.
        ts.id = isNumber ? n : qMax(1, DefinitionTables::idNumber(id));
    }

    const QStringView type = attrs.value(QLatin1StringView("type")).trimmed();
    if (type.isEmpty() || type.compare(u"list", Qt::CaseInsensitive) == 0 || type == u"0")
        ts.scope = false;
    else if (type.compare(u"scope", Qt::CaseInsensitive) == 0 || type == u"1")
        ts.scope = true;
    else
        return fail(start, QStringLiteral("tokenset %1: type=%2 is not list or scope").arg(quoted(ts.name), quoted(type)));

    const QStringView style = attrs.value(QLatin1StringView("fontstyle")).trimmed();
    if (!style.isEmpty()) {
        bool isNumber = false;
        const int n = style.toInt(&isNumber);
        ts.fontstyle = isNumber ? n : DefinitionTables::fontStyleNumber(style);
        if (!isNumber && ts.fontstyle < 0)
            return fail(start, QStringLiteral("tokenset %1: fontstyle=%2 is not a font style").arg(quoted(ts.name), quoted(style)));
    }

    ts.inheritfrom = attrs.value(QLatin1StringView("inheritfrom")).toString();
    ts.memberlist = attrs.value(QLatin1StringView("memberlist")).toString();
    if (!flag(QLatin1StringView("autoindent"), ts.autoindent) || !flag(QLatin1StringView("casesensitive"), ts.casesensitive)
        || !flag(QLatin1StringView("chain"), ts.chain) || !flag(QLatin1StringView("enabled"), ts.enabled) || !flag(QLatin1StringView("hidden"), ts.hidden)
        || !flag(QLatin1StringView("matchbraces"), ts.matchbraces) || !flag(QLatin1StringView("normalizecase"), ts.normalizecase)
        || !flag(QLatin1StringView("singlelinescope"), ts.singlelinescope) || !flag(QLatin1StringView("symmetrical"), ts.symmetrical)
        || !colour(QLatin1StringView("forecolor"), ts.forecolor) || !colour(QLatin1StringView("backcolor"), ts.backcolor)) {
        error.problem = QStringLiteral("tokenset %1: %2").arg(quoted(ts.name), error.problem);
        return false;
    }

    tokensetPlaces_.append(start);
    scopePlaces_.append(QVector<Place>());

    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType t = xml_.readNext();
        if (t == QXmlStreamReader::EndElement)
            return true;
        if (t != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml_.name();
        if (name == u"validscope") {
            if (ts.validscopes.size() == kMaxValidScopes)
                return fail(here(), QStringLiteral("tokenset %1 has more than %2 valid scopes; a tokenset holds at most %2")
                                        .arg(quoted(ts.name)).arg(kMaxValidScopes));
            ts.validscopes.append(xml_.attributes().value(QLatin1StringView("name")).toString());
            scopePlaces_.last().append(here());
            XmlInput::skipElement(xml_, 3);
        } else if (name == u"tokens") {
            if (!readTokenList(ts, ts.tokens))
                return false;
        } else if (name == u"tokens2") {
            if (!readTokenList(ts, ts.tokens2))
                return false;
        } else {
            XmlInput::skipElement(xml_, 3);
        }
    }
    return failXml();
}

bool Parser::readTokenList(const TokensetDefinition &ts, TokenListDefinition &list)
{
    // A second list element of the same kind adds its tokens; the list values come from the first.
    const QXmlStreamAttributes attrs = xml_.attributes();
    bool regexp = true;
    QString rule = QStringLiteral("word");
    if (!flag(QLatin1StringView("regexp"), regexp)) {
        error.problem = QStringLiteral("tokenset %1: %2").arg(quoted(ts.name), error.problem);
        return false;
    }
    if (attrs.hasAttribute(QLatin1StringView("rule")))
        rule = attrs.value(QLatin1StringView("rule")).trimmed().toString();
    if (!list.present) {
        list.present = true;
        list.regexp = regexp;
        list.rule = rule;
    }

    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType t = xml_.readNext();
        if (t == QXmlStreamReader::EndElement)
            return true;
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (xml_.name() != u"token") {
            XmlInput::skipElement(xml_, 4);
            continue;
        }
        const Place at = here();
        const QXmlStreamAttributes ta = xml_.attributes();
        TokenDefinition token;
        token.regexp = regexp;
        token.rule = rule;
        token.action = ta.value(QLatin1StringView("action")).trimmed().toString();
        if (ta.hasAttribute(QLatin1StringView("rule")))
            token.rule = ta.value(QLatin1StringView("rule")).trimmed().toString();
        if (!flag(QLatin1StringView("regexp"), token.regexp)) {
            error.problem = QStringLiteral("tokenset %1: %2").arg(quoted(ts.name), error.problem);
            return false;
        }
        token.text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (xml_.hasError())
            return failXml();
        if (token.regexp) {
            const QRegularExpression re(token.text);
            if (!re.isValid()) {
                return fail(at, QStringLiteral("tokenset %1, token %2: invalid regular expression: %3 at offset %4")
                                    .arg(quoted(ts.name), quoted(token.text), re.errorString())
                                    .arg(re.patternErrorOffset()));
            }
        }
        list.tokens.append(std::move(token));
    }
    return failXml();
}

bool Parser::checkReferences(const LanguageDefinition &def)
{
    QHash<QString, int> index;
    for (int i = int(def.tokensets.size()) - 1; i >= 0; --i)
        index.insert(def.tokensets[i].name, i);

    for (int i = 0; i < def.tokensets.size(); ++i) {
        const TokensetDefinition &ts = def.tokensets[i];
        if (!ts.inheritfrom.isEmpty() && !index.contains(ts.inheritfrom))
            return fail(tokensetPlaces_[i], QStringLiteral("tokenset %1: inheritfrom names no tokenset of the file: %2")
                                                .arg(quoted(ts.name), quoted(ts.inheritfrom)));
        for (int j = 0; j < ts.validscopes.size(); ++j) {
            const QString &scope = ts.validscopes[j];
            if (!scope.isEmpty() && !index.contains(scope))
                return fail(scopePlaces_[i][j], QStringLiteral("tokenset %1: validscope names no tokenset of the file: %2")
                                                    .arg(quoted(ts.name), quoted(scope)));
        }
    }

    // Colours are inherited along inheritfrom, so a chain must end.
    for (int i = 0; i < def.tokensets.size(); ++i) {
        QStringList chain{def.tokensets[i].name};
        int at = i;
        // A chain that runs into a cycle elsewhere is reported at a member of that cycle.
        for (int steps = 0; steps <= def.tokensets.size() && !def.tokensets[at].inheritfrom.isEmpty(); ++steps) {
            at = index.value(def.tokensets[at].inheritfrom);
            chain.append(def.tokensets[at].name);
            if (at == i) {
                return fail(tokensetPlaces_[i], QStringLiteral("tokenset %1: inheritfrom forms a cycle: %2")
                                                    .arg(quoted(def.tokensets[i].name), chain.join(QStringLiteral(" -> "))));
            }
        }
    }
    return true;
}

} // namespace

bool read(const QByteArray &bytes, const QString &fileName, LanguageDefinition &out, DefinitionError &error)
{
    if (bytes.size() > XmlInput::kMaxFileBytes) {
        error = {fileName, 0, 0,
                 QStringLiteral("the file is larger than the limit of %1 MiB").arg(XmlInput::kMaxFileBytes / (1024 * 1024))};
        return false;
    }
    Parser parser(XmlInput::decode(bytes, true), fileName);
    LanguageDefinition def;
    def.fileName = fileName;
    if (!parser.run(def)) {
        error = parser.error;
        return false;
    }
    out = std::move(def);
    error = DefinitionError();
    return true;
}

bool readFile(const QString &path, LanguageDefinition &out, DefinitionError &error)
{
    QByteArray bytes;
    QString problem;
    if (!XmlInput::readFile(path, bytes, problem)) {
        error = {path, 0, 0, problem};
        return false;
    }
    return read(bytes, path, out, error);
}

} // namespace DefinitionReader
