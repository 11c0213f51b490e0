#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// What a definition file (.lng) says, read into plain values. The reader fills it; the import, the
// colouring engine and the language objects of the registry read it. Absent attributes hold the
// values that Hide Default Attributes leaves out of a written definition.

struct TokenDefinition {
    QString text;          // unescaped token text
    QString action;        // "ListMembers", "CompleteWord", "CommitMember", "ParameterInfo", "QuickInfo" or ""
    bool regexp = true;    // from the token, else from its list
    QString rule;          // "" (no condition), "word", "colN", "leadwith[..]", "trailwith[..]", combined with "|"
};

struct TokenListDefinition {
    bool present = false;  // the element was in the file
    bool regexp = true;    // the list's own regexp attribute
    QString rule = QStringLiteral("word");
    QVector<TokenDefinition> tokens;
};

struct TokensetDefinition {
    QString name;
    int id = 1;            // number of the id table (1 is "text"); names are mapped to numbers
    bool scope = false;    // type="scope"
    bool autoindent = true;
    bool casesensitive = false;
    bool chain = true;
    bool enabled = false;
    bool hidden = true;
    bool matchbraces = false;
    bool normalizecase = false;
    bool singlelinescope = true;
    bool symmetrical = false;
    qint32 forecolor = -1; // -1: not set
    qint32 backcolor = -1;
    int fontstyle = 0;     // 0 normal, 1 bold, 2 italic, 3 bolditalic, 4 underline
    QString inheritfrom;   // empty: none
    QString memberlist;    // empty: none
    QStringList validscopes; // names of the validscope children in order; "" is the outermost level
    TokenListDefinition tokens;
    TokenListDefinition tokens2;
};

// A regexp token whose pattern does not compile: it is kept, and never matches.
struct BadRegexp {
    int tokenset = 0;      // index in tokensets
    QString token;         // the pattern
    QString message;       // the regular expression compiler's message and offset
    qint64 line = 0;       // place of the token element
    qint64 column = 0;
};

struct LanguageDefinition {
    QString fileName;
    QString name;
    bool casesensitive = false;
    bool whitespaceasparamblock = true;
    QString wordchars = QStringLiteral("[\\w]");
    QString memberlist;    // empty: none
    QVector<TokensetDefinition> tokensets;
    QVector<BadRegexp> badRegexps; // in file order
};
