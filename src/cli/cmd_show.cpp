#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject tokensetJson(const Tokenset &t)
{
    QJsonArray scopes;
    for (const QString &s : t.validscope)
        scopes.append(s);
    return {
        {"name", t.name},
        {"id", t.id},
        {"type", t.type},
        {"forecolor", t.forecolor},
        {"fontstyle", t.fontstyle},
        {"inheritfrom", t.inheritfrom},
        {"backcolor", t.backcolor},
        {"casesensitive", t.casesensitive},
        {"normalizecase", t.normalizecase},
        {"matchbraces", t.matchbraces},
        {"autoindent", t.autoindent},
        {"enabled", t.enabled},
        {"included", t.included},
        {"hidden", t.hidden},
        {"singlelinescope", t.singlelinescope},
        {"chain", t.chain},
        {"symmetrical", t.symmetrical},
        {"tmemberlist", t.tmemberlist},
        {"tokens", t.tokens},
        {"tokens2", t.tokens2},
        {"regexp", t.regexp},
        {"rule", t.rule},
        {"lead", t.lead},
        {"trail", t.trail},
        {"validscope", scopes},
    };
}

QJsonObject languageJson(const Language &l)
{
    QJsonArray tokensets;
    for (const Tokenset &t : l.tokensets)
        tokensets.append(tokensetJson(t));
    return {
        {"name", l.name},
        {"casesensitive", l.casesensitive},
        {"applycase", l.applycase},
        {"wordchars", l.wordchars},
        {"whitespaceasparamblock", l.whitespaceasparamblock},
        {"memberlist", l.memberlist},
        {"sampletext", l.sampletext},
        {"tokensets", tokensets},
    };
}

// Follows a dotted path (names of fields, numbers of array elements) from value; false when a step
// names nothing.
bool follow(QJsonValue &value, const QString &path)
{
    for (const QString &step : path.split(u'.')) {
        bool isNumber = false;
        const int n = step.toInt(&isNumber);
        if (value.isArray() && isNumber && n >= 0 && n < value.toArray().size())
            value = value.toArray().at(n);
        else if (value.isObject() && value.toObject().contains(step))
            value = value.toObject().value(step);
        else
            return false;
    }
    return true;
}

int run(const Cli::Arguments &args)
{
    Database db;
    bool damaged = false;
    if (const int code = Cli::loadForReading(db, damaged))
        return code;
    int index = -1;
    const bool field = args.has("field");
    if (const int code = Cli::chooseLanguage(args, db, field, index))
        return code;
    QJsonValue value;
    if (index >= 0) {
        value = languageJson(db.languages[index]);
    } else {
        QJsonArray all;
        for (const Language &l : db.languages)
            all.append(languageJson(l));
        value = all;
    }
    if (field && !follow(value, args.value("field")))
        return args.usage(QStringLiteral("a language has no field '%1' (fields: name, tokensets.2.forecolor, tokensets.2.validscope.0, ...)")
                              .arg(args.value("field")));
    if (value.isString())
        Cli::out(Cli::withLineFeeds(value.toString()).toUtf8() + '\n');
    else if (value.isDouble())
        Cli::out(QByteArray::number(value.toInteger()) + '\n');
    else
        Cli::out(value.isArray() ? QJsonDocument(value.toArray()).toJson() : QJsonDocument(value.toObject()).toJson());
    return damaged ? Cli::BadInput : Cli::Ok;
}

const Cli::Command kCommand{
    "show", "print languages or one field of a language", "[--index N | --name NAME] [--field PATH] [--json] [--output FILE]",
    "Prints the languages of varlex.dat as JSON: an array of languages, or the one language chosen by\n"
    "--index or --name. Each language has the fields of the record; tokensets holds all 51 slots,\n"
    "validscope the 11 scope texts of a slot. With --field, prints the one value at PATH of the chosen\n"
    "language (a text as it is, a number in decimal, each followed by a line feed; a slot or list as\n"
    "JSON): name, sampletext, tokensets.2.forecolor, tokensets.0.validscope.3, ...\n"
    "A damaged file shows what could be read and exits with 3.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"field", "PATH", "print only this field of the chosen language"},
     {"json", nullptr, "JSON output (the default)"}, Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
