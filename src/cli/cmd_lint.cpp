// varlex-cli lint: checks languages (or a definition file) for what will not work as their author meant.
#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "editorcontrol/definitionreader.h"
#include "lint/linter.h"
#include "model/textescape.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace {

// The findings of one language and how its lines name it.
struct Checked {
    QString where;     // "NAME (index N)", or the file
    QJsonValue source; // the index, or the file name
    QVector<Lint::Finding> findings;
};

// Prints the findings (lines, or one JSON array) and a count on stderr; exit 1 when one is an error.
int report(const QVector<Checked> &checked, bool json)
{
    int counts[3] = {0, 0, 0};
    QJsonArray array;
    QByteArray text;
    for (const Checked &c : checked) {
        for (const Lint::Finding &f : c.findings) {
            ++counts[int(f.severity)];
            if (!json && c.source.isString()) {
                // A file's findings in the form compilers use: FILE: SEVERITY: PLACE: MESSAGE [RULE].
                const QString place = Lint::findingPlace(f);
                text += QStringLiteral("%1: %2: %3%4 [%5]\n")
                            .arg(TextEscape::oneLine(c.where), Lint::severityName(f.severity),
                                 place.isEmpty() ? QString() : place + QStringLiteral(": "), TextEscape::oneLine(f.message), f.rule)
                            .toUtf8();
                continue;
            }
            if (!json) {
                text += TextEscape::oneLine(Lint::findingLine(f, c.where)).toUtf8() + '\n';
                continue;
            }
            QJsonObject o{{"severity", Lint::severityName(f.severity)}, {"rule", f.rule}, {"language", f.language},
                          {"tokenset", f.tokenset}, {"token", f.token}, {"message", f.message}};
            o.insert(c.source.isString() ? QStringLiteral("file") : QStringLiteral("index"), c.source);
            array.append(o);
        }
    }
    Cli::out(json ? QJsonDocument(array).toJson(QJsonDocument::Indented) : text);
    if (!json)
        std::fputs(QStringLiteral("lint: %1 error(s), %2 warning(s), %3 note(s) in %4 language(s)\n")
                       .arg(counts[0])
                       .arg(counts[1])
                       .arg(counts[2])
                       .arg(checked.size())
                       .toUtf8()
                       .constData(),
                   stderr);
    return counts[0] > 0 ? Cli::CheckFailed : Cli::Ok;
}

int run(const Cli::Arguments &args)
{
    const bool json = args.has("json");
    const int selectors = int(args.has("index")) + int(args.has("name")) + int(args.has("all")) + int(args.has("lng"));
    if (selectors > 1)
        return args.usage(QStringLiteral("give one of --index, --name, --all and --lng"));

    if (args.has("lng")) {
        const QString file = args.value("lng");
        QByteArray bytes;
        QString problem;
        if (!Cli::readInput(file, DefinitionReader::kMaxDefinitionBytes, bytes, problem))
            return Cli::fail(Cli::BadInput, problem);
        Checked c{Cli::inputName(file), Cli::inputName(file), {}};
        if (!Lint::lintFileData(bytes, c.where, c.findings, problem))
            return Cli::failAt(Cli::BadInput, problem);
        return report({c}, json);
    }

    Database db;
    bool damaged = false;
    int index = -1;
    if (int code = Cli::loadForReading(db, damaged); code || (code = Cli::chooseLanguage(args, db, false, index)))
        return code;
    QVector<Checked> checked;
    for (int i = index < 0 ? 0 : index, last = index < 0 ? db.upperIndex() : index; i <= last; ++i)
        checked.append({Cli::languageLabel(db, i), i, Lint::lintLanguage(db, i)});
    const int code = report(checked, json);
    return damaged ? Cli::BadInput : code;
}

const Cli::Command kCommand{
    "lint", "check languages for faults an author would want to know",
    "[--index N | --name NAME | --all | --lng FILE|-] [--json] [--output FILE]",
    "Checks languages for what will not work as their author meant: regexps that do not compile, match\n"
    "the empty string or can backtrack for ages; broken and circular references; duplicate tokens and\n"
    "tokens that never win; scopes that never close; names that cannot be exported; characters that the\n"
    "code page or XML cannot hold. Without --index or --name every language of varlex.dat is checked;\n"
    "--lng checks a definition file (standard input for -) as import reads it.\n"
    "One line per finding, LANGUAGE, tokenset \"T\", token \"X\": SEVERITY: MESSAGE [RULE] (for --lng\n"
    "FILE: SEVERITY: tokenset \"T\", token \"X\": MESSAGE [RULE]; names quoted with \\ and \" escaped),\n"
    "and a count on standard error; --json prints a JSON array of findings instead. docs/lint.md lists the rules.\n"
    "Exit status: 0 no error (warnings and notes allowed), 1 an error found, 2 usage error, 3 a\n"
    "database or file that cannot be read.\n",
    {Cli::kIndexOption, Cli::kNameOption, {"all", nullptr, "every language (the default)"},
     {"lng", "FILE", "a language definition (.lng) instead of the database; - for standard input"},
     {"json", nullptr, "the findings as a JSON array"}, Cli::kOutputOption},
    0, 0, "", run};
const Cli::Register reg(kCommand);

} // namespace
