#include "cli/recordjson.h"

#include <QJsonDocument>
#include <QStringView>

namespace Cli::RecordJson {

namespace {

constexpr QStringView kSeparator = u"::::";
constexpr QStringView kNone = u"<none>";

// A reference to another tokenset or list: null for none.
QJsonValue reference(const QString &name)
{
    return name.isEmpty() || name == kNone ? QJsonValue(QJsonValue::Null) : QJsonValue(name);
}

QString colour(qint32 bgr)
{
    return QStringLiteral("#%1%2%3")
        .arg(bgr & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bgr >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// The blanks a token line's fields may have around them (as the XML writer trims them).
QString trimmed(QStringView field)
{
    qsizetype from = 0;
    qsizetype to = field.size();
    while (from < to && (field[from] == u' ' || field[from] == u'\t'))
        ++from;
    while (to > from && (field[to - 1] == u' ' || field[to - 1] == u'\t'))
        --to;
    return field.mid(from, to - from).toString();
}

// The token lines of a JSON array of token objects; false when text is no such array.
bool tokenLines(const QString &text, QString &lines)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray() || doc.array().isEmpty())
        return false;
    QStringList out;
    for (const QJsonValue &v : doc.array()) {
        const QJsonObject o = v.toObject();
        if (!o.value(QLatin1String("text")).isString())
            return false;
        QStringList fields{o.value(QLatin1String("text")).toString()};
        const QJsonValue action = o.value(QLatin1String("action"));
        const QJsonValue regexp = o.value(QLatin1String("regexp"));
        const QJsonValue rule = o.value(QLatin1String("rule"));
        // The fields a line has run from the first; a later one given makes the earlier ones present.
        const int count = rule.isString() ? 4 : regexp.isBool() ? 3 : action.isString() ? 2 : 1;
        if (count >= 2)
            fields << action.toString();
        if (count >= 3)
            fields << (regexp.toBool() ? QStringLiteral("true") : QStringLiteral("false"));
        if (count >= 4)
            fields << rule.toString();
        out << fields.join(QLatin1String(" :::: "));
    }
    lines = out.join(QLatin1String("\r\n"));
    return true;
}

} // namespace

QJsonArray tokens(const QString &text)
{
    QJsonArray array;
    for (QStringView line : QStringView(text).split(u"\r\n")) {
        if (trimmed(line).isEmpty())
            continue;
        QJsonObject token{{"text", QString()}, {"action", QJsonValue::Null}, {"regexp", QJsonValue::Null}, {"rule", QJsonValue::Null}};
        const QList<QStringView> fields = line.split(kSeparator);
        token[QLatin1String("text")] = trimmed(fields[0]);
        // More than four fields: the writer gives the token no attributes.
        if (fields.size() <= 4) {
            if (fields.size() >= 2)
                token[QLatin1String("action")] = trimmed(fields[1]);
            if (fields.size() >= 3)
                token[QLatin1String("regexp")] = trimmed(fields[2]).toLower() == u"true";
            if (fields.size() == 4)
                token[QLatin1String("rule")] = trimmed(fields[3]);
        }
        array.append(token);
    }
    return array;
}

QJsonObject tokenset(const Tokenset &t, int slot)
{
    QJsonArray scopes;
    for (const QString &s : t.validscope)
        scopes.append(reference(s));
    return {
        {"slot", slot},
        {"name", t.name},
        {"id", t.id},
        {"type", t.type},
        {"forecolor", colour(t.forecolor)},
        {"backcolor", colour(t.backcolor)},
        {"fontstyle", t.fontstyle},
        {"inheritfrom", reference(t.inheritfrom)},
        {"casesensitive", t.casesensitive != 0},
        {"normalizecase", t.normalizecase != 0},
        {"matchbraces", t.matchbraces != 0},
        {"autoindent", t.autoindent != 0},
        {"enabled", t.enabled != 0},
        {"included", t.included != 0},
        {"hidden", t.hidden != 0},
        {"singlelinescope", t.singlelinescope != 0},
        {"chain", t.chain != 0},
        {"symmetrical", t.symmetrical != 0},
        {"tmemberlist", reference(t.tmemberlist)},
        {"tokens", tokens(t.tokens)},
        {"tokens2", tokens(t.tokens2)},
        {"regexp", t.regexp != 0},
        {"rule", t.rule},
        {"lead", t.lead},
        {"trail", t.trail},
        {"validscope", scopes},
    };
}

QJsonObject language(const Language &l, int index)
{
    QJsonArray slots;
    for (int k = 0, n = l.tokensetCount(); k < n; ++k)
        slots.append(tokenset(l.tokensets[k], k));
    return {
        {"index", index},
        {"name", l.name},
        {"casesensitive", l.casesensitive != 0},
        {"applycase", l.applycase != 0},
        {"wordchars", l.wordchars},
        {"whitespaceasparamblock", l.whitespaceasparamblock != 0},
        {"memberlist", reference(l.memberlist)},
        {"sampletext", l.sampletext},
        {"tokensets", slots},
    };
}

QString settable(const char *field, const QString &value, const QStringList &choices)
{
    const QLatin1String name(field);
    if (name == QLatin1String("tokens") || name == QLatin1String("tokens2")) {
        QString lines;
        return tokenLines(value, lines) ? lines : value;
    }
    if (value == QLatin1String("null") && choices.contains(kNone) && !choices.contains(value))
        return kNone.toString();
    return value;
}

} // namespace Cli::RecordJson
