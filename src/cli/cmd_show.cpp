#include "cli/clidatabase.h"
#include "cli/command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char kUsage[] = "Usage: varlex-cli show [--index N] --json\n"
                      "Prints the languages of varlex.dat as JSON: an array of languages, or the one language N\n"
                      "with --index. Each language has the fields of the record; tokensets holds all 51 slots,\n"
                      "validscope the 11 scope texts of a slot. JSON is the only output form.\n"
                      "A damaged file shows what could be read and exits with 3.\n";

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

int run(const QStringList &allArgs)
{
    QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    int index = -1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--json"))
            continue;
        if (a == QLatin1String("--index") && i + 1 < args.size()) {
            bool ok = false;
            index = args[++i].toInt(&ok);
            if (!ok || index < 0)
                return Cli::fail(Cli::Usage, QStringLiteral("--index needs a number from 0, not '%1'").arg(args[i]));
            continue;
        }
        return Cli::fail(Cli::Usage, QStringLiteral("show does not know '%1' (see varlex-cli show --help)").arg(a));
    }

    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (r.status == FileResult::Failed)
        return Cli::fail(Cli::BadInput, r.message);
    if (index > db.upperIndex())
        return Cli::fail(Cli::Usage, QStringLiteral("there is no language %1; the database holds %2 (0 to %3)")
                                         .arg(index)
                                         .arg(db.languages.size())
                                         .arg(db.upperIndex()));
    QJsonDocument doc;
    if (index >= 0) {
        doc.setObject(languageJson(db.languages[index]));
    } else {
        QJsonArray all;
        for (const Language &l : db.languages)
            all.append(languageJson(l));
        doc.setArray(all);
    }
    Cli::out(doc.toJson(QJsonDocument::Indented));
    return r.ok() ? Cli::Ok : Cli::fail(Cli::BadInput, r.message);
}

const Cli::Register reg({"show", "print languages as JSON", run});

} // namespace
