#include "editorcontrol/definitionreader.h"

#include "editorcontrol/definitiontables.h"
#include "editorcontrol/compiledpattern.h"
#include "editorcontrol/xmlinput.h"
#include "model/quotedtext.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace DefinitionReader {

namespace {

struct Place {
    qint64 line = 0;
    qint64 column = 0;
};

QString quoted(QStringView text)
{
    return quotedText(text, 60);
}

class Parser {
public:
    Parser(const QString &text, const QString &fileName) : xml_(text), file_(fileName) {}

    bool run(LanguageDefinition &def);
    DefinitionError error;
    QVector<BadRegexp> badRegexps;

private:
    Place here() const { return {xml_.lineNumber(), xml_.columnNumber() + 1}; }
    bool fail(Place at, const QString &problem)
    {
        error = {file_, at.line, at.column, problem};
        return false;
    }
    bool failXml() { return fail(here(), xml_.errorString()); }
    // Moves to the next child element called `name` of the current element, skipping other children
    // (which sit at `depth`). False at the current element's end or at the end of the input.
    bool nextChild(QStringView name, int depth);
    // After the children: true at the element's end, the reader's error at the end of the input.
    bool childrenDone() { return xml_.atEnd() ? failXml() : true; }

    bool readLanguage(LanguageDefinition &def);
    bool readTokenset(TokensetDefinition &ts);
    bool readTokenList(const TokensetDefinition &ts, TokenListDefinition &list);
    bool checkReferences(const LanguageDefinition &def);

    // Attribute readers: false (with the error set) when the value cannot be understood.
    bool flag(const QXmlStreamAttributes &attrs, QLatin1StringView attr, bool &value);
    bool colour(const QXmlStreamAttributes &attrs, QLatin1StringView attr, qint32 &value);

    QXmlStreamReader xml_;
    QString file_;
    bool languageCaseSensitive_ = false;
    QVector<Place> tokensetPlaces_;
    QVector<QVector<Place>> scopePlaces_;
};

bool Parser::flag(const QXmlStreamAttributes &attrs, QLatin1StringView attr, bool &value)
{
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

bool Parser::colour(const QXmlStreamAttributes &attrs, QLatin1StringView attr, qint32 &value)
{
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
    def.name = attrs.value("name"_L1).toString();
    if (attrs.hasAttribute("wordchars"_L1))
        def.wordchars = attrs.value("wordchars"_L1).toString();
    def.memberlist = attrs.value("memberlist"_L1).toString();
    if (!flag(attrs, "casesensitive"_L1, def.casesensitive)
        || !flag(attrs, "whitespaceasparamblock"_L1, def.whitespaceasparamblock))
        return false;
    languageCaseSensitive_ = def.casesensitive;

    while (nextChild(u"tokenset", 2)) {
        if (def.tokensets.size() == kMaxTokensets)
            return fail(here(), QStringLiteral("more than %1 tokensets; a language holds at most %1").arg(kMaxTokensets));
        TokensetDefinition ts;
        if (!readTokenset(ts))
            return false;
        def.tokensets.append(std::move(ts));
    }
    return childrenDone();
}

bool Parser::readTokenset(TokensetDefinition &ts)
{
    const Place start = here();
    const QXmlStreamAttributes attrs = xml_.attributes();
    ts.name = attrs.value("name"_L1).toString();
    if (ts.name.isEmpty())
        return fail(start, QStringLiteral("a tokenset without a name"));

    // Ids and font styles outside their tables read as the import turns them into a record: text and
    // normal. Any type but scope is a list, as the writer treats it.
    const QStringView id = attrs.value("id"_L1).trimmed();
    if (!id.isEmpty()) {
        bool isNumber = false;
        const qint64 n = id.toLongLong(&isNumber);
        const int number = !isNumber ? DefinitionTables::idNumber(id) : qAbs(n) <= 1000 ? int(qAbs(n)) : 0;
        ts.id = DefinitionTables::idNumber(DefinitionTables::idName(number));
    }
    const QStringView type = attrs.value("type"_L1).trimmed();
    ts.scope = type.compare(u"scope", Qt::CaseInsensitive) == 0 || type == u"1";
    const QStringView style = attrs.value("fontstyle"_L1).trimmed();
    if (!style.isEmpty()) {
        bool isNumber = false;
        const int n = style.toInt(&isNumber);
        ts.fontstyle = isNumber ? n : DefinitionTables::fontStyleNumber(style);
        if (ts.fontstyle < 0 || ts.fontstyle > 4)
            ts.fontstyle = 0;
    }

    ts.inheritfrom = attrs.value("inheritfrom"_L1).toString();
    ts.memberlist = attrs.value("memberlist"_L1).toString();
    if (!flag(attrs, "autoindent"_L1, ts.autoindent) || !flag(attrs, "casesensitive"_L1, ts.casesensitive)
        || !flag(attrs, "chain"_L1, ts.chain) || !flag(attrs, "enabled"_L1, ts.enabled)
        || !flag(attrs, "hidden"_L1, ts.hidden) || !flag(attrs, "matchbraces"_L1, ts.matchbraces)
        || !flag(attrs, "normalizecase"_L1, ts.normalizecase) || !flag(attrs, "singlelinescope"_L1, ts.singlelinescope)
        || !flag(attrs, "symmetrical"_L1, ts.symmetrical) || !colour(attrs, "forecolor"_L1, ts.forecolor)
        || !colour(attrs, "backcolor"_L1, ts.backcolor)) {
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
            ts.validscopes.append(xml_.attributes().value("name"_L1).toString());
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
    if (!flag(attrs, "regexp"_L1, regexp)) {
        error.problem = QStringLiteral("tokenset %1: %2").arg(quoted(ts.name), error.problem);
        return false;
    }
    if (attrs.hasAttribute("rule"_L1))
        rule = attrs.value("rule"_L1).trimmed().toString();
    if (!list.present) {
        list.present = true;
        list.regexp = regexp;
        list.rule = rule;
    }

    while (nextChild(u"token", 4)) {
        const Place at = here();
        const QXmlStreamAttributes ta = xml_.attributes();
        TokenDefinition token;
        token.regexp = regexp;
        token.rule = rule;
        token.action = ta.value("action"_L1).trimmed().toString();
        if (ta.hasAttribute("rule"_L1))
            token.rule = ta.value("rule"_L1).trimmed().toString();
        if (!flag(ta, "regexp"_L1, token.regexp)) {
            error.problem = QStringLiteral("tokenset %1: %2").arg(quoted(ts.name), error.problem);
            return false;
        }
        token.text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (xml_.hasError())
            return failXml();
        token.text.squeeze(); // a large language holds millions of these
        if (token.regexp) {
            // Compiled as the colouring engine matches it, which then finds the pattern compiled. A
            // pattern that does not compile is kept: the token never matches, and the problem is
            // listed for the commands that report it.
            QString problem;
            if (!CompiledPattern::get(token.text, !ts.casesensitive && !languageCaseSensitive_, &problem))
                badRegexps.append({int(tokensetPlaces_.size()) - 1, token.text, problem, at.line, at.column});
        }
        list.tokens.append(std::move(token));
    }
    list.tokens.squeeze();
    return childrenDone();
}

bool Parser::nextChild(QStringView name, int depth)
{
    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType t = xml_.readNext();
        if (t == QXmlStreamReader::EndElement)
            return false;
        if (t != QXmlStreamReader::StartElement)
            continue;
        if (xml_.name() == name)
            return true;
        XmlInput::skipElement(xml_, depth);
    }
    return false;
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

    return true;
}

} // namespace

bool read(const QByteArray &bytes, const QString &fileName, LanguageDefinition &out, DefinitionError &error)
{
    if (bytes.size() > kMaxDefinitionBytes) {
        error = {fileName, 0, 0, XmlInput::tooLarge(kMaxDefinitionBytes)};
        return false;
    }
    Parser parser(XmlInput::decode(bytes, true), fileName);
    LanguageDefinition def;
    def.fileName = fileName;
    if (!parser.run(def)) {
        error = parser.error;
        return false;
    }
    def.badRegexps = std::move(parser.badRegexps);
    out = std::move(def);
    error = DefinitionError();
    return true;
}

bool readFile(const QString &path, LanguageDefinition &out, DefinitionError &error)
{
    QByteArray bytes;
    QString problem;
    if (!XmlInput::readFile(path, kMaxDefinitionBytes, bytes, problem)) {
        error = {path, 0, 0, problem};
        return false;
    }
    return read(bytes, path, out, error);
}

DefinitionError badRegexpError(const LanguageDefinition &def, const BadRegexp &bad)
{
    const QString &tokenset = def.tokensets[bad.tokenset].name;
    return DefinitionError{def.fileName, bad.line, bad.column,
                           QStringLiteral("tokenset %1, token %2: invalid regular expression: %3; the token never matches")
                               .arg(quoted(tokenset), quoted(bad.token), bad.message)};
}

QString describe(const LanguageDefinition &def, const BadRegexp &bad)
{
    return badRegexpError(def, bad).toString();
}

} // namespace DefinitionReader
