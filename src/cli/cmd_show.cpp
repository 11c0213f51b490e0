#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/output.h"
#include "cli/recordjson.h"
#include "model/textescape.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The element of an array that one step of a path names, and how many characters of the path the
// step takes: a number names an element by position (a tokenset by its slot), anything else the
// element whose name it is, as printed or exactly; a name may hold dots, the longest that fits wins.
qsizetype stepInto(const QJsonArray &array, const QString &path, QJsonValue &element)
{
    const QString step = path.section(u'.', 0, 0);
    bool isNumber = false;
    const int n = step.toInt(&isNumber);
    if (isNumber && n >= 0 && n < array.size() && step == QString::number(n)) {
        element = array.at(n);
        return step.size();
    }
    qsizetype taken = -1;
    for (const QJsonValue &candidate : array) {
        const QString name = candidate.toObject().value(QLatin1String("name")).toString();
        for (const QString &form : {TextEscape::oneLine(name), name}) {
            if (!form.isEmpty() && form.size() > taken && (path == form || path.startsWith(form + u'.'))) {
                taken = form.size();
                element = candidate;
            }
        }
    }
    return taken;
}

// Follows a dotted path (field names, element numbers, tokenset names) from value; false when a
// step names nothing.
bool follow(QJsonValue &value, QString path)
{
    while (!path.isEmpty()) {
        qsizetype taken = -1;
        if (value.isArray()) {
            QJsonValue element;
            taken = stepInto(value.toArray(), path, element);
            value = element;
        } else if (value.isObject()) {
            const QString step = path.section(u'.', 0, 0);
            if (value.toObject().contains(step)) {
                value = value.toObject().value(step);
                taken = step.size();
            }
        }
        if (taken < 0)
            return false;
        path = path.mid(taken + 1);
    }
    return true;
}

QByteArray json(const QJsonValue &value)
{
    return value.isArray() ? QJsonDocument(value.toArray()).toJson() : QJsonDocument(value.toObject()).toJson();
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
    if (field) {
        QJsonValue value = Cli::RecordJson::language(db.languages[index], index);
        if (!follow(value, args.value("field")))
            return args.usage(QStringLiteral("a language has no field '%1' (fields: name, tokensets.2.forecolor, "
                                             "tokensets.Keywords.tokens.0.text, ...)")
                                  .arg(args.value("field")));
        if (value.isString())
            Cli::out(Cli::withLineFeeds(value.toString()).toUtf8() + '\n');
        else if (value.isDouble())
            Cli::out(QByteArray::number(value.toInteger()) + '\n');
        else if (value.isBool())
            Cli::out(value.toBool() ? "true\n" : "false\n");
        else if (value.isNull())
            Cli::out("null\n");
        else
            Cli::out(json(value));
    } else if (index >= 0) {
        QJsonObject one = Cli::RecordJson::language(db.languages[index], index);
        one.insert(QLatin1String("schema"), Cli::RecordJson::kSchema);
        Cli::out(json(one));
    } else {
        QJsonArray all;
        for (int i = 0; i < db.languages.size(); ++i)
            all.append(Cli::RecordJson::language(db.languages[i], i));
        Cli::out(json(QJsonObject{{"schema", Cli::RecordJson::kSchema}, {"languages", all}}));
    }
    return damaged ? Cli::BadInput : Cli::Ok;
}

const Cli::Command kCommand{
    "show", "print languages or one field of a language", "[--index N | --name NAME] [--field PATH] [--json] [--output FILE]",
    "Prints the languages of varlex.dat as JSON: {\"schema\": 2, \"languages\": [...]}, or the one language\n"
    "chosen by --index or --name (with its \"schema\" key). Flags are true or false, colours #RRGGBB, a\n"
    "reference to nothing is null, tokensets lists the used slots (each with its \"slot\") and a token\n"
    "list is an array of {text, action, regexp, rule}; docs/cli.md describes every key. Every value\n"
    "printed is one 'varlex-cli set' accepts.\n"
    "With --field, prints the one value at PATH of the chosen language (a text as it is, with LF line\n"
    "ends; a number in decimal; true, false or null; each followed by a line feed; an object or array\n"
    "as JSON): name, tokensets.2.forecolor, tokensets.Keywords.forecolor, tokensets.0.validscope.3,\n"
    "tokensets.Keywords.tokens.0.text, ... A tokenset is named by its slot or its name as list prints it.\n"
    "A damaged file shows what could be read and exits with 3.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"field", "PATH", "print only this field of the chosen language"},
     {"json", nullptr, "JSON output (the default)"}, Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
