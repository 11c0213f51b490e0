#pragma once

#include "import/formatconverter.h"

// Converts a GtkSourceView language file (.lang, version 2.0). Contexts with a start become scope
// tokensets, matches and keyword lists list tokensets, each valid in the scopes that include it; a
// context's style follows its map-to chain to a def: style, which gives the tokenset's id, and the
// style scheme gives its colours. The first alternative that matches wins in GtkSourceView, the
// longest in Varlex: each token gives way to the patterns before it (and to its scope's end).
class GtkSourceViewConverter : public FormatConverter {
public:
    QString formatName() const override { return QStringLiteral("GtkSourceView language"); }
    QString fileFilter() const override { return QStringLiteral("*.lang"); }
    bool recognises(const QByteArray &bytes) const override;
    bool convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                 LanguageDraft &draft, ConversionReport &report, QString &problem) const override;

    // The folders searched after the file's own folder and --path: the installed GtkSourceView language files.
    static QStringList standardFolders();
    static QString defaultScheme() { return QStringLiteral("classic"); }
};
