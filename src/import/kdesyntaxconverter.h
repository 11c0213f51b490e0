#pragma once

#include "import/formatconverter.h"

// Converts a KDE syntax definition (the XML that Kate and KDE's syntax-highlighting framework read).
// The first context is the outermost level; each context that a rule pushes becomes a scope tokenset
// that the rule opens and the context's #pop rules close; the other rules become list tokensets valid
// where their context is. KDE takes the first rule that matches, Varlex the longest match: each token
// gives way to the rules before it in its context.
class KdeSyntaxConverter : public FormatConverter {
public:
    QString formatName() const override { return QStringLiteral("KDE syntax definition"); }
    QString fileFilter() const override { return QStringLiteral("*.xml"); }
    bool recognises(const QByteArray &bytes) const override;
    bool convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                 LanguageDraft &draft, ConversionReport &report, QString &problem) const override;

    // The folders searched for included definitions after the file's own folder and --path: the
    // user's KDE syntax folder, then the system ones.
    static QStringList standardFolders();
};
