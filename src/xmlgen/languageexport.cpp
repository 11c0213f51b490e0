#include "xmlgen/languageexport.h"

#include "model/database.h"

namespace LanguageExport {

WriteResult exportCurrent(XmlWriter &writer)
{
    return writer.WriteXML(writer.database().currentLanguage, false, 0);
}

QString Report::message() const
{
    if (failures.isEmpty())
        return QString();
    QString text = failures.size() == 1 ? QStringLiteral("One language was not exported:\n")
                                        : QStringLiteral("%1 languages were not exported:\n").arg(failures.size());
    return text + failures.join(u'\n');
}

Report exportAll(XmlWriter &writer)
{
    Report report;
    const int last = writer.database().upperIndex();
    for (int i = 0; i <= last; ++i) {
        const WriteResult result = writer.WriteXML(i, false, 1);
        if (result.status == WriteResult::Status::Cancelled) {
            report.cancelled = true;
            break;
        }
        if (result.written()) {
            ++report.written;
            report.files += result.file;
        }
        else
            report.failures += result.error;
    }
    return report;
}

} // namespace LanguageExport
