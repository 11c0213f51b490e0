#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The format-neutral form a converter of another editor's grammar produces: tokensets with their
// look and their tokens, before they are fitted into a language record (languagefitting.h).

struct TokenDraft {
    QString text;       // a regular expression, or literal text when regexp is false
    bool regexp = true;
    QString rule;       // empty: no condition ("null" in the token line)
    // Patterns that win over this token where they match at the same place (earlier alternatives of
    // the source grammar); written as a negative lookahead before the token. Holds no capturing group.
    QStringList guards;
    // When only part of the match is coloured (a Makefile's `$(NAME)`, whose name alone is a variable): the
    // record holds `shown` after the literal `behind`, a look-behind at whose start the guards hold. Every
    // other use, as a guard of others too, takes `text`, the whole match.
    QString behind;
    QString shown;
};

struct TokensetDraft {
    QString name;   // unique in the language; validScopes refer to it
    QString id;     // a tokenset id ("keywords", "strings", ...)
    QString source; // the construct it comes from, for the report
    qint32 forecolor = 0;           // 0x00BBGGRR
    qint32 backcolor = 0x00FFFFFF;
    QString fontstyle = QStringLiteral("normal");
    bool scope = false;
    bool singleline = false;
    bool symmetrical = false;
    bool chain = false;
    bool casesensitive = true;
    // Its look is that of the scope it stands in (a construct without a colour of its own): the same
    // construct elsewhere may be converted again in its own look.
    bool borrowedLook = false;
    // A string that lets an end of the scope around it through: transparent once the record is fitted
    // (until then it counts as a string, so that what stands only inside it may go first).
    bool passesEnds = false;
    // It marks an error in the source (a pseudo-class where none may stand), whatever its colours.
    bool error = false;
    std::vector<TokenDraft> tokens;  // for a scope: its start tokens
    std::vector<TokenDraft> tokens2; // for a scope: its end tokens, paired by index
    // Names of the scope tokensets it is valid in; "" is the outermost level. Empty: valid nowhere
    // but at the outermost level and in transparent scopes (the record's own default).
    QStringList validScopes;
    // Scopes where patterns before it always match first (a Makefile's `$(NAME)` behind a shell's `$(`): it
    // is not valid there, nor may a merge make it so.
    QStringList hiddenIn;
    // A scope that colours nothing while its start does (a keyword opening a statement): the look its
    // start tokens keep, as a list, when the scope is opened up to fit a record. Zero or one.
    std::vector<TokensetDraft> startLook;

    // Whether two tokensets colour alike: same id, colours and font style.
    bool looksLike(const TokensetDraft &other) const
    {
        return id == other.id && forecolor == other.forecolor && backcolor == other.backcolor
            && fontstyle == other.fontstyle;
    }
};

struct LanguageDraft {
    QString name;
    QString wordchars = QStringLiteral("[\\w]");
    // How the sources of the language's own constructs begin ("sh:"); empty when all are its own. The
    // constructs of the languages it embeds are merged by what each merge changes.
    QString ownSources;
    std::vector<TokensetDraft> tokensets;
    // The order of the tokensets ranks ties between their tokens as the source did (a definition
    // written by Varlex): a list does not merge into an earlier one past a tokenset where it stands.
    bool tiesByOrder = false;

    TokensetDraft *find(const QString &name)
    {
        for (TokensetDraft &t : tokensets) {
            if (t.name == name)
                return &t;
        }
        return nullptr;
    }
    // `base`, or `base (2)`, `base (3)`... whichever no tokenset has yet.
    QString uniqueName(const QString &base)
    {
        QString name = base;
        for (int n = 2; find(name); ++n)
            name = QStringLiteral("%1 (%2)").arg(base).arg(n);
        return name;
    }
};
