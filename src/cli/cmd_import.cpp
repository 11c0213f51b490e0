#include "cli/arguments.h"
#include "cli/clidatabase.h"
#include "cli/databaseedit.h"
#include "cli/inputfile.h"
#include "cli/output.h"
#include "editorcontrol/definitionreader.h"
#include "import/languageconversion.h"
#include "model/nativename.h"
#include "model/languagetemplate.h"
#include "model/programfolder.h"
#include "model/recordfields.h"
#include "model/textescape.h"

namespace {

// Reads and imports (or converts) one file into a new record; false with the reason in problem, which `inFile`
// says is a line "FILE:LINE:COLUMN: error: ..." or "FILE: error: ...". Tokens a token line cannot hold as
// they are, and what a conversion approximated, go to changes.
bool importOne(const QString &file, const ConversionOptions &options, bool autoInclude, const QString &sampleText,
               Language &language, QString &problem, bool &inFile, QStringList &changes)
{
    inFile = false;
    QByteArray bytes;
    if (!Cli::readInput(file, DefinitionReader::kMaxDefinitionBytes, bytes, problem))
        return false;
    const LanguageConversion::Outcome outcome = LanguageConversion::convert(bytes, Cli::inputName(file), options, sampleText);
    if (outcome.status != LanguageConversion::Status::Converted) {
        inFile = !outcome.compilerLine.isEmpty();
        if (inFile)
            problem = outcome.compilerLine;
        else
            problem = outcome.problem.startsWith(Cli::inputName(file)) ? outcome.problem
                                                                       : Cli::inputName(file) + QStringLiteral(": ") + outcome.problem;
        return false;
    }
    language = outcome.language;
    changes = outcome.changes + outcome.report.text();
    if (!outcome.report.isEmpty())
        changes += outcome.report.summary(language.name, language.tokensetCount());
    if (!autoInclude) {
        for (int k = 0; k < language.tokensetCount(); ++k)
            language.tokensets[k].included = 0;
    }
    return true;
}

int run(const Cli::Arguments &args)
{
    const QStringList files = args.operands();
    if (files.count(QStringLiteral("-")) > 1)
        return args.usage(QStringLiteral("standard input (-) can be read only once"));
    Cli::DatabaseEdit edit;
    if (const int code = edit.open())
        return code;

    const QString sampleText = LanguageTemplate::defaultSampleText(ProgramFolder::path());
    ConversionOptions options;
    options.scheme = args.value("scheme");
    options.searchPath = args.values("path");
    QStringList imported;
    int failed = 0;
    int refused = 0;
    for (const QString &file : files) {
        Language language;
        QString problem;
        bool inFile = false;
        QStringList changes;
        if (!importOne(file, options, !args.has("no-auto-include"), sampleText, language, problem, inFile, changes)) {
            if (inFile)
                Cli::failAt(Cli::BadInput, problem);
            else
                Cli::fail(Cli::BadInput, QStringLiteral("import: ") + problem);
            ++failed;
            continue;
        }
        if (Cli::refuseLanguageName(args, edit.db, language.name, -1, QStringLiteral("import: ") + Cli::inputName(file))) {
            ++refused;
            continue;
        }
        for (const QString &change : changes)
            Cli::warn(QStringLiteral("import: warning: ") + change);
        edit.db.languages.append(std::move(language));
        imported += QStringLiteral("%1: language %2 \"%3\"")
                        .arg(TextEscape::oneLine(NativeName::shown(file)))
                        .arg(edit.db.upperIndex())
                        .arg(TextEscape::oneLine(edit.db.languages.constLast().name));
    }
    if (!imported.isEmpty()) {
        if (const int code = edit.save())
            return code;
    }
    for (const QString &line : imported)
        Cli::outLine(line);
    return failed > 0 ? Cli::BadInput : refused > 0 ? Cli::CheckFailed : Cli::Ok;
}

const Cli::Command kCommand{
    "import", "append languages read from language definition files", "[--no-auto-include] [--scheme NAME] [--path DIR]... FILE...",
    "Appends one language per language definition file (.lng; - reads standard input) to the database,\n"
    "in the order given, and saves it. Each language gets the sample text of sample.txt; its tokensets\n"
    "are included in the generated XML unless --no-auto-include is given. Each file is imported or\n"
    "refused on its own: a file that cannot be read, is not a definition, or whose record would not fit\n"
    "the database (a text over 65535 bytes) is reported with its reason and adds nothing; the others\n"
    "are still imported. A token that a token line cannot hold as it is (one holding \"::::\", a CR LF\n"
    "or blanks around it) is named on standard error with what became of it.\n"
    "A GtkSourceView language file (.lang) or a KDE syntax definition (.xml) is converted as\n"
    "'varlex-cli convert' converts it (--scheme, --path); what the conversion approximated, merged or\n"
    "dropped is named on standard error.\n"
    "A line FILE: language N \"NAME\" is printed for each file once the database is\n"
    "saved. Exit status 3 when any file failed or the database is damaged (then nothing is changed);\n"
    "1 when the database could not be saved (then nothing is imported), or when a file was refused\n"
    "because a language of its name exists (unless --allow-duplicate is given).\n",
    {{"no-auto-include", nullptr, "leave the imported tokensets out of the generated XML"},
     {"scheme", "NAME", "the GtkSourceView style scheme of a converted language's colours"},
     {"path", "DIR", "a folder of language files a converted one refers to", true},
     Cli::kAllowDuplicateOption},
    1, -1, "FILE", run};
const Cli::Register reg(kCommand);

} // namespace
