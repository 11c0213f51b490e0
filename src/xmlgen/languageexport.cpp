#include "xmlgen/languageexport.h"

#include "model/database.h"
#include "xmlgen/outputbatch.h"

#include <QDir>
#include <QHash>

#include <vector>

namespace LanguageExport {

WriteResult exportCurrent(XmlWriter &writer)
{
    return writer.WriteXML(writer.database().currentLanguage, false, 0);
}

QString Report::message() const
{
    QStringList parts;
    if (!failures.isEmpty()) {
        parts += (failures.size() == 1 ? QStringLiteral("One language was not exported:\n")
                                       : QStringLiteral("%1 languages were not exported:\n").arg(failures.size()))
            + failures.join(u'\n');
    }
    if (!clashes.isEmpty())
        parts += clashes.join(u'\n');
    return parts.join(QStringLiteral("\n\n"));
}

Report exportAll(XmlWriter &writer, const std::function<bool(int index)> &next)
{
    Report report;
    QHash<QString, int> writtenBy; // file -> the language last written to it
    const QVector<Language> &languages = writer.database().languages;
    // The files are staged and put in place a batch at a time, so that the disk is waited for once
    // per batch rather than once per file.
    OutputBatch batch;
    writer.setBatch(&batch);
    std::vector<std::pair<int, QString>> staged; // language, file
    auto commit = [&] {
        const QStringList problems = batch.commit();
        for (size_t k = 0; k < staged.size(); ++k) {
            const auto &[i, file] = staged[k];
            if (!problems[qsizetype(k)].isEmpty()) {
                report.failures += problems[qsizetype(k)];
                continue;
            }
            ++report.written;
            report.files += file;
            if (const int earlier = writtenBy.value(file, -1); earlier >= 0) {
                report.clashes += QStringLiteral("The languages \"%1\" (index %2) and \"%3\" (index %4) are both exported "
                                                 "as \"%5\", which now holds the later one.")
                                      .arg(languages[earlier].name, QString::number(earlier), languages[i].name,
                                           QString::number(i), QDir::toNativeSeparators(file));
            }
            writtenBy.insert(file, i);
        }
        staged.clear();
    };
    const int last = writer.database().upperIndex();
    for (int i = 0; i <= last; ++i) {
        if (next && !next(i)) {
            report.cancelled = true;
            break;
        }
        const WriteResult result = writer.WriteXML(i, false, 1);
        if (result.status == WriteResult::Status::Cancelled) {
            report.cancelled = true;
            break;
        }
        if (!result.written()) {
            report.failures += result.error;
            continue;
        }
        staged.emplace_back(i, result.file);
        if (batch.full())
            commit();
    }
    commit();
    writer.setBatch(nullptr);
    return report;
}

} // namespace LanguageExport
