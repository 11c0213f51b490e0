#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/output.h"
#include "model/textescape.h"
#include "cli/recordjson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

int run(const Cli::Arguments &args)
{
    Database db;
    bool damaged = false;
    if (const int code = Cli::loadForReading(db, damaged))
        return code;
    if (args.has("json")) {
        QJsonArray all;
        for (int i = 0; i < db.languages.size(); ++i) {
            const Language &l = db.languages[i];
            QJsonArray tokensets;
            for (int k = 0, n = l.tokensetCount(); k < n; ++k)
                tokensets.append(QJsonObject{{"slot", k}, {"name", l.tokensets[k].name}});
            all.append(QJsonObject{{"index", i}, {"name", l.name}, {"tokensets", tokensets}});
        }
        Cli::out(QJsonDocument(QJsonObject{{"schema", Cli::RecordJson::kSchema}, {"languages", all}}).toJson(QJsonDocument::Indented));
    } else {
        QByteArray text;
        for (int i = 0; i < db.languages.size(); ++i) {
            const Language &l = db.languages[i];
            text += QByteArray::number(i) + '\t' + TextEscape::oneLine(l.name).toUtf8() + '\t' + QByteArray::number(l.tokensetCount()) + '\n';
        }
        Cli::out(text);
    }
    return damaged ? Cli::BadInput : Cli::Ok;
}

const Cli::Command kCommand{
    "list", "list the languages of the database", "[--json] [--output FILE]",
    "Lists the languages of varlex.dat, one a line: index, TAB, name, TAB, number of tokensets. A name's\n"
    "backslashes, TABs and line breaks are written as \\\\, \\t, \\r and \\n. A damaged file lists what\n"
    "could be read and exits with 3.\n",
    {{"json", nullptr, "{\"schema\": 2, \"languages\": [{index, name, tokensets: [{slot, name}]}]} instead"}, Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
