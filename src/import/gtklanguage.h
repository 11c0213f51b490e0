#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// One GtkSourceView language file (.lang, version 2.0) as read: its styles, regexp definitions and
// contexts, every id made full ("lang:id"). Nothing is resolved here; gtksourceviewconverter.h does.

struct GtkRegex {
    QString text;                      // as written, \%{...} and \%[ \%] not expanded
    std::optional<bool> caseSensitive; // the element's own options, when given
    std::optional<bool> extended;
};

struct GtkInclude {
    enum Kind { Ref, Children, SubPattern };
    Kind kind = Ref;
    QString ref;            // full context id (Ref: the context; Children: whose children)
    QString styleRef;       // full style id that replaces the context's own, or empty
    bool ignoreStyle = false;
    bool original = false;  // the context before any <replace>
    QString subPattern;     // SubPattern: the group number or name
    QString where;          // SubPattern: "start", "end" or empty (the match)
};

struct GtkContext {
    QString id;   // full id
    QString lang; // the language it belongs to
    QString styleRef; // full style id, or empty
    std::optional<GtkRegex> match, start, end;
    QStringList keywords;
    std::optional<QString> prefix, suffix; // for keywords, when given
    bool endAtLineEnd = false;
    bool extendParent = true;
    bool endParent = false;
    bool onceOnly = false;
    bool firstLineOnly = false;
    bool styleInside = false;
    std::vector<GtkInclude> includes;
    int line = 0;
};

struct GtkLanguage {
    QString id;
    QString name;
    QString fileName;
    bool hidden = false;
    bool caseSensitive = true; // default-regex-options
    bool extended = false;
    QString keywordCharClass;  // empty: \w
    QHash<QString, QString> styleMapTo; // full style id -> full style id it maps to (may be empty)
    QHash<QString, QString> styleName;  // full style id -> its name
    QHash<QString, GtkRegex> defines;   // full id
    QHash<QString, GtkContext> contexts;
    QHash<QString, QString> replaces;   // full context id -> full context id

    // Reads a language file; false with a one-line reason when it is not one.
    bool read(const QByteArray &bytes, const QString &fileName, QString &problem);
    // The full form of an id written in this language: "x" -> "lang:x", "def:x" stays.
    QString fullId(const QString &id) const;
    // The main context: the one whose id is the language's id.
    QString mainContext() const { return id + u':' + id; }
};

// Whether `bytes` are a GtkSourceView 2.0 language file: a <language ... version="2.0"> root with a
// <definitions> element, looked for in the first bytes only.
bool looksLikeGtkLanguage(const QByteArray &bytes);
