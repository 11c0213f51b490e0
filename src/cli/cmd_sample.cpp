#include "cli/clidatabase.h"
#include "cli/command.h"
#include "model/ansicodec.h"
#include "model/databasestore.h"
#include "model/programfolder.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

const char kUsage[] = "Usage: varlex-cli sample --index N [--set FILE|-]\n"
                      "Prints the sample text of language N (UTF-8), or with --set replaces it with the\n"
                      "text of FILE (standard input for -) and saves. The file is read as UTF-8, or as\n"
                      "ANSI text when it is not valid UTF-8.\n";

QString decodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return AnsiCodec::decode(bytes);
}

bool readInput(const QString &name, QByteArray &bytes, QString &problem)
{
    QFile file;
    const bool ok = name == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!ok) {
        problem = QStringLiteral("%1: cannot read (%2)").arg(name, file.errorString());
        return false;
    }
    bytes = file.readAll();
    return true;
}

int run(const QStringList &allArgs)
{
    const QStringList args = allArgs.mid(1);
    if (Cli::wantsHelp(args, kUsage))
        return Cli::Ok;
    int index = -1;
    QString setFrom;
    bool indexGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const bool hasValue = i + 1 < args.size();
        if (args[i] == QLatin1String("--index") && hasValue) {
            index = args[++i].toInt(&indexGiven);
        } else if (args[i] == QLatin1String("--set") && hasValue) {
            setFrom = args[++i];
        } else {
            return Cli::fail(Cli::Usage, QStringLiteral("sample does not know '%1' (see varlex-cli sample --help)").arg(args[i]));
        }
    }
    if (!indexGiven || index < 0)
        return Cli::fail(Cli::Usage, QStringLiteral("sample needs --index N (see varlex-cli sample --help)"));

    Database db;
    const FileResult r = Cli::loadDatabase(db);
    if (r.status == FileResult::Failed || (r.status == FileResult::Damaged && !setFrom.isEmpty()))
        return Cli::fail(Cli::BadInput, r.message);
    if (index >= db.languages.size())
        return Cli::fail(Cli::Usage, QStringLiteral("%1: there is no language %2 (0 to %3)")
                                          .arg(DatabaseStore::databasePath(ProgramFolder::path()))
                                          .arg(index)
                                          .arg(db.upperIndex()));
    if (setFrom.isEmpty()) {
        Cli::out(db.languages[index].sampletext.toUtf8());
        return r.ok() ? Cli::Ok : Cli::fail(Cli::BadInput, r.message);
    }
    QByteArray bytes;
    QString problem;
    if (!readInput(setFrom, bytes, problem))
        return Cli::fail(Cli::BadInput, problem);
    db.languages[index].sampletext = decodeText(bytes);
    const FileResult saved = DatabaseStore::SaveChanges(db, ProgramFolder::path());
    if (!saved.ok())
        return Cli::fail(Cli::CheckFailed, saved.message);
    return Cli::Ok;
}

const Cli::Register reg({"sample", "print or replace the sample text of a language", run});

} // namespace
