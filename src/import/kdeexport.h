#pragma once

#include <QString>
#include <QStringList>

class XmlWriter;

// Export of a language of the database as a KDE syntax definition into a folder: the definition the
// XML writer generates, read back, compiled and written by KdeSyntaxWriter.
namespace KdeExport {

struct Outcome {
    QString file;      // the file written, or meant to be written
    QString error;     // one line when it was not written
    QStringList notes; // what the definition colours only approximately
    bool ok() const { return error.isEmpty(); }
};

Outcome exportLanguage(XmlWriter &writer, int index, const QString &folder, const QString &extensions);

} // namespace KdeExport
