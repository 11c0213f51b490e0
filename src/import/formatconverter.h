#pragma once

#include "import/conversionreport.h"
#include "import/languagedraft.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>

// What a converter needs beyond the file itself.
struct ConversionOptions {
    QString scheme;          // a colour scheme of the source editor; empty: the converter's default
    QStringList searchPath;  // folders where referenced definitions are looked for, before the standard ones
};

// The folders searched for what a file refers to: the file's own folder, each --path, then `standard`.
inline QStringList searchFolders(const QString &fileName, const ConversionOptions &options, const QStringList &standard)
{
    QStringList folders;
    if (!fileName.isEmpty() && fileName != QLatin1String("-"))
        folders += QFileInfo(fileName).absolutePath();
    folders += options.searchPath;
    folders += standard;
    folders.removeDuplicates();
    return folders;
}

// A converter of one other editor's grammar format into a language draft. languageconversion.h keeps
// the list of converters; a new format is one more class and one more line there.
class FormatConverter {
public:
    virtual ~FormatConverter() = default;
    // Shown in messages and the import dialog's filter: "GtkSourceView language".
    virtual QString formatName() const = 0;
    virtual QString fileFilter() const = 0; // "*.lang"
    // Whether the file's content is in this format (its first bytes suffice).
    virtual bool recognises(const QByteArray &bytes) const = 0;
    // Converts; false with a one-line reason when the file was recognised but cannot be converted.
    virtual bool convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                         LanguageDraft &draft, ConversionReport &report, QString &problem) const = 0;
};
