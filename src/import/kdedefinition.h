#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One KDE syntax definition (the XML of KDE's syntax-highlighting framework) as read: keyword lists,
// contexts with their rules, item data and word delimiters. Nothing is resolved here;
// kdesyntaxconverter.h does that.

struct KdeRule {
    QString type;                 // the element: "DetectChar", "RegExpr", "IncludeRules", ...
    QHash<QString, QString> attrs; // as written
    std::vector<KdeRule> children; // tried after the rule matched, at its end
    int line = 0;

    QString value(const char *name) const { return attrs.value(QLatin1String(name)); }
    bool has(const char *name) const { return attrs.contains(QLatin1String(name)); }
    bool flag(const char *name) const; // "1" or "true"
};

struct KdeContext {
    QString name;
    QString attribute;
    QString lineEndContext = QStringLiteral("#stay");
    QString lineEmptyContext;
    QString fallthroughContext; // empty: none
    bool dynamic = false;
    std::vector<KdeRule> rules;
    int line = 0;
};

struct KdeItemData {
    QString name;
    QString defStyle = QStringLiteral("dsNormal");
    QString color, backgroundColor; // "#rrggbb", as written
    std::optional<bool> bold, italic, underline;
    int order = 0; // its place among the definition's itemData
};

struct KdeDefinition {
    QString name;
    QString fileName;
    bool keywordsCaseSensitive = true;
    QString weakDeliminator, additionalDeliminator;
    QHash<QString, QStringList> lists;        // name -> its items
    QHash<QString, QStringList> listIncludes; // name -> "list" or "list##Definition" it includes
    std::vector<KdeContext> contexts;         // in file order: the first is where a text starts
    QHash<QString, int> contextIndex;
    QHash<QString, KdeItemData> items;

    // Reads a definition; false with a one-line reason when the file is not one.
    bool read(const QByteArray &bytes, const QString &fileName, QString &problem);
    const KdeContext *context(const QString &name) const;
    // The characters that separate words: KDE's default set with the definition's changes.
    QString delimiters() const;
    // A class of the characters that are not delimiters (a word's characters).
    QString wordClass() const;
};

// Whether `bytes` are a KDE syntax definition: a <language> root holding <highlighting>.
bool looksLikeKdeDefinition(const QByteArray &bytes);
