#include "xmlgen/languageexport.h"

#include "model/database.h"

#include <QDir>
#include <QHash>

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
        ++report.written;
        report.files += result.file;
        if (const int earlier = writtenBy.value(result.file, -1); earlier >= 0) {
            report.clashes += QStringLiteral("The languages \"%1\" (index %2) and \"%3\" (index %4) are both exported "
                                             "as \"%5\", which now holds the later one.")
                                  .arg(languages[earlier].name, QString::number(earlier), languages[i].name,
                                       QString::number(i), QDir::toNativeSeparators(result.file));
        }
        writtenBy.insert(result.file, i);
    }
    return report;
}

} // namespace LanguageExport
