#include "import/gtksourceviewconverter.h"

#include "editorcontrol/patternanalysis.h"
#include "import/gtklanguage.h"
#include "import/gtkstylescheme.h"
#include "import/regextext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>

namespace {

// The def: styles that decide a tokenset's id; the first of them on a style's map-to chain counts.
// Comments become line or block comments by their shape; preprocessor keeps "Preprocessor" in the
// tokenset's name.
const QHash<QString, QString> &defIds()
{
    static const QHash<QString, QString> ids = [] {
        QHash<QString, QString> m;
        auto add = [&m](std::initializer_list<const char *> styles, const char *id) {
            for (const char *s : styles)
                m.insert(QStringLiteral("def:") + QLatin1String(s), QLatin1String(id));
        };
        add({"comment", "shebang", "doc-comment"}, "comment");
        add({"string"}, "strings");
        add({"character"}, "charliterals");
        add({"special-char"}, "escapeseqs");
        add({"constant", "special-constant", "boolean"}, "valuenames");
        add({"number", "floating-point", "decimal", "base-n-integer", "complex"}, "numbers");
        add({"keyword", "statement", "type", "builtin"}, "keywords");
        add({"preprocessor"}, "preprocessor");
        add({"identifier", "function", "operator", "error", "warning"}, "identifiers");
        add({"net-address"}, "hyperlinks");
        add({"heading", "heading0", "heading1", "heading2", "heading3", "heading4", "heading5", "heading6"},
            "sectionheadings");
        add({"emphasis", "strong-emphasis", "inline-code", "insertion", "deletion", "link-text", "link-symbol",
             "link-destination", "list-marker", "thematic-break", "preformatted-section", "underlined",
             "blockquote-marker"},
            "tagelementnames");
        return m;
    }();
    return ids;
}

// Styles that only add to the style around them (a note in a comment, an element in a doc comment).
bool addsToParent(const QString &defStyle)
{
    return defStyle == QLatin1String("def:note") || defStyle == QLatin1String("def:doc-comment-element");
}

struct Look {
    QString id;   // tokenset id
    QString name; // the style's name
    qint32 fg = 0, bg = 0xFFFFFF;
    QString fontstyle = QStringLiteral("normal");
    bool plain = true; // no style at all
};

// A list tokenset in look `l`, from context `source`, holding one token.
TokensetDraft listInLook(const Look &l, const QString &name, const QString &source, const QString &token)
{
    TokensetDraft list;
    list.name = name;
    list.id = l.id;
    list.source = source;
    list.forecolor = l.fg;
    list.backcolor = l.bg;
    list.fontstyle = l.fontstyle;
    if (!token.isEmpty())
        list.tokens.push_back({token, true, QString(), {}});
    return list;
}

struct Pattern {
    QString text;      // the token's pattern, case flag included
    QString guardForm; // the same, without capturing groups, for use in a guard; empty when unusable
    QString behind;    // with `shown`: the record holds `shown` after `behind` (TokenDraft)
    QString shown;
};

struct Alt {
    QString context;
    QString style;
    bool borrowed = false; // the style is that of the scope around it, the context having none of its own
    QString behind;        // a look-behind its start takes: what it stands after (`(?<=\.)`), or empty
};

bool mayBeEmpty(const QString &pattern)
{
    bool empty = false;
    if (PatternAnalysis::firstChars(pattern, false, &empty))
        return empty;
    // Beyond what the analysis reads (\p{..}, \x{..}, options): an empty match anywhere in a text of
    // every kind of character tells.
    static const QString probe = QStringLiteral(" \tabc XYZ 019 7 _$@#!\"'`~%^&*()-+=[]{}\\|;:,.<>/?\n");
    const QRegularExpression re(pattern);
    if (!re.isValid())
        return false;
    if (re.match(QString()).hasMatch())
        return true;
    for (auto it = re.globalMatch(probe); it.hasNext();) {
        if (it.next().capturedLength() == 0)
            return true;
    }
    return false;
}

// Whether every match of the pattern begins with an ASCII punctuation character (a delimiter).
bool punctuationOnly(const QString &pattern)
{
    const auto fc = PatternAnalysis::firstChars(pattern, false);
    if (!fc || fc->nonAscii)
        return false;
    for (char16_t ch = 0; ch < 128; ++ch) {
        if (fc->test(ch) && (ch <= u' ' || QChar(ch).isLetterOrNumber() || ch == u'_' || ch == 127))
            return false;
    }
    return true;
}

// Whether a pattern is one punctuation character, or a class of them, alone (`"`, `(?:\")`, `[\"']`).
bool oneDelimiter(QString pattern)
{
    while (pattern.startsWith(u'(') && RegexText::groupEnd(pattern, 0) == pattern.size())
        pattern = pattern.mid(pattern.startsWith(QLatin1String("(?:")) ? 3 : 1).chopped(1);
    static const QRegularExpression one(QStringLiteral(R"(^(?:\\?[^\\\w\s]|\[[^\]\\]*(?:\\.[^\]\\]*)*\])$)"));
    return one.match(pattern).hasMatch() && punctuationOnly(pattern);
}

// The pattern without the groups that only enclose it (`(?:x)`, and `(?i:x)` or `(?-i:x)`, which a
// definition of another case gets): an empty definition expands to `(?-i:)` in a caseless language.
QString unwrapped(QString text)
{
    for (;;) {
        qsizetype open = 0;
        for (const char *g : {"(?:", "(?i:", "(?-i:"}) {
            if (text.startsWith(QLatin1String(g)))
                open = qsizetype(qstrlen(g));
        }
        if (open == 0 || RegexText::groupEnd(text, 0) != text.size())
            return text;
        text = text.mid(open, text.size() - open - 1);
    }
}

// Whether an end matches before the next character that is not blank and takes no text, or takes a `;` there
// (JavaScript's `(?=[^\t ...])` and `;|(?=[^\t ...])`, after a statement's keyword).
bool atNextToken(const QString &end)
{
    bool ahead = false;
    for (const QString &a : RegexText::topLevelAlternatives(end)) {
        const QString alt = unwrapped(a);
        if (alt == QLatin1String(";"))
            continue;
        if (!alt.startsWith(QLatin1String("(?=")) || RegexText::groupEnd(alt, 0) != alt.size())
            return false;
        const QRegularExpression re(QStringLiteral("^(?:%1)").arg(alt.mid(3, alt.size() - 4)));
        if (!re.isValid())
            return false;
        for (const char *sample : {"a", "Z", "0", "_", "$", "{", "(", "[", ";", "\"", "/"}) {
            if (!re.match(QLatin1String(sample)).hasMatch() || re.match(QLatin1String(sample)).capturedLength() != 1)
                return false;
        }
        if (re.match(QStringLiteral(" ")).hasMatch() || re.match(QStringLiteral("\t")).hasMatch())
            return false;
        ahead = true;
    }
    return ahead;
}

bool overlaps(const QString &a, const QString &b)
{
    const auto fa = PatternAnalysis::firstChars(a, false);
    const auto fb = PatternAnalysis::firstChars(b, false);
    if (!fa || !fb)
        return true;
    return (fa->ascii[0] & fb->ascii[0]) || (fa->ascii[1] & fb->ascii[1]) || (fa->nonAscii && fb->nonAscii);
}

// Two tokensets whose order differs between places (a shell's `$(` before a variable, a string's variable
// before `$(`) would each give way to the other wherever both are valid, and neither would match there. Neither
// gives way: the longer match wins, as elsewhere in the engine. `guardOf` maps a guard to the tokenset it
// stands for.
void dropMutualGuards(LanguageDraft &draft, const QHash<QString, int> &guardOf, ConversionReport &report)
{
    // In tokenset order, each with its first guard form, so that the result and the report are the same
    // from run to run (a hash's order is not).
    QStringList forms = guardOf.keys();
    std::sort(forms.begin(), forms.end());
    QMap<int, QString> formOf;
    for (const QString &g : std::as_const(forms))
        if (!formOf.contains(guardOf.value(g)))
            formOf.insert(guardOf.value(g), g);
    const auto guards = [&](int n, const QString &g) {
        return std::any_of(draft.tokensets[size_t(n)].tokens.cbegin(), draft.tokensets[size_t(n)].tokens.cend(),
                           [&](const TokenDraft &t) { return t.guards.contains(g); });
    };
    std::vector<std::pair<int, int>> mutual;
    for (auto it = formOf.cbegin(); it != formOf.cend(); ++it) {
        for (const TokenDraft &t : draft.tokensets[size_t(it.key())].tokens) {
            for (const QString &g : t.guards) {
                const int m = guardOf.value(g, -1);
                if (m > it.key() && formOf.contains(m) && guards(m, it.value()))
                    mutual.emplace_back(it.key(), m);
            }
        }
    }
    std::sort(mutual.begin(), mutual.end());
    mutual.erase(std::unique(mutual.begin(), mutual.end()), mutual.end());
    // A list that colours only part of its matches (TokenDraft::shown) starts later than the whole match, so the
    // longer match cannot win: the other gives way to its whole match, which is the longer where both match.
    const auto later = [](const TokensetDraft &t) {
        return !t.tokens.empty() && std::all_of(t.tokens.begin(), t.tokens.end(), [](const TokenDraft &x) { return !x.shown.isEmpty(); });
    };
    for (const auto &[a, b] : mutual) {
        TokensetDraft &ta = draft.tokensets[size_t(a)];
        TokensetDraft &tb = draft.tokensets[size_t(b)];
        if (later(ta) != later(tb)) {
            TokensetDraft &shown = later(ta) ? ta : tb;
            for (TokenDraft &t : shown.tokens)
                t.guards.removeAll(formOf.value(later(ta) ? b : a));
            report.approximated(shown.source, QStringLiteral("\"%1\" and \"%2\" come first in different places: \"%3\" gives way to the whole match of \"%4\"")
                                                  .arg(ta.name, tb.name, later(ta) ? tb.name : ta.name, shown.name));
            continue;
        }
        for (TokenDraft &t : ta.tokens)
            t.guards.removeAll(formOf.value(b));
        for (TokenDraft &t : tb.tokens)
            t.guards.removeAll(formOf.value(a));
        report.approximated(ta.source, QStringLiteral("\"%1\" and \"%2\" come first in different places: neither gives way to the other, the longer match wins")
                                           .arg(ta.name, tb.name));
    }
}

// Whether patterns earlier in a place match wherever `token` does, whatever follows (a shell's `$(` before a
// Makefile's `$(NAME)` in a command): probed on the token's literal start and each character that may follow it.
bool shadowed(const QString &token, const QStringList &earlier)
{
    const PatternAnalysis::Prefix prefix = PatternAnalysis::literalPrefix(token, false, 16);
    if (prefix.text.isEmpty() || !prefix.next || token.startsWith(QLatin1String("(?i)")))
        return false;
    const QRegularExpression t(QStringLiteral("\\A(?:%1)").arg(token));
    std::vector<QRegularExpression> before;
    for (const QString &g : earlier) {
        if (!g.isEmpty() && overlaps(g, token))
            before.emplace_back(QStringLiteral("\\A(?:%1)").arg(g));
    }
    if (!t.isValid() || before.empty())
        return false;
    bool matched = false;
    for (char16_t c = 33; c < 127; ++c) {
        if (!prefix.next->test(c))
            continue;
        for (const char *rest : {"", "a", "z9_)", ") x", "}", "(", " "}) {
            const QString text = prefix.text + QChar(c) + QLatin1String(rest);
            if (!t.match(text).hasMatch())
                continue;
            matched = true;
            if (std::none_of(before.begin(), before.end(), [&](const QRegularExpression &g) { return g.isValid() && g.match(text).hasMatch(); }))
                return false;
        }
    }
    return matched;
}

// A pattern with a leading `(?i)` as a group that keeps the flag to itself, to stand beside others.
QString flagGrouped(const QString &pattern)
{
    return pattern.startsWith(QLatin1String("(?i)")) ? QStringLiteral("(?i:%1)").arg(pattern.mid(4)) : RegexText::grouped(pattern);
}

// A token's pattern with the patterns it gives way to written in front, as a negative look-ahead; its guards go.
QString guardedText(TokenDraft &token)
{
    if (token.guards.isEmpty())
        return token.text;
    QStringList guards;
    for (const QString &g : std::as_const(token.guards))
        guards += RegexText::grouped(g);
    token.guards.clear();
    return QStringLiteral("(?!%1)%2").arg(guards.join(u'|'), RegexText::grouped(flagGrouped(token.text)));
}

// A coloured scope that ends the scope around it (end-parent: an HTML title's text up to `</title>`), where
// that scope has no end of its own: its end is cut after its first character, which stays its own end
// (looking ahead at the rest), and the rest becomes the end of each scope around it, so one end closes both.
// Only an end that begins with one literal character can be cut.
bool splitEndWithParents(TokensetDraft &t, const std::vector<TokensetDraft *> &parents)
{
    if (t.tokens2.size() != 1)
        return false;
    QString end = t.tokens2.front().text;
    QString flag;
    if (end.startsWith(QLatin1String("(?i)"))) {
        flag = end.left(4);
        end = end.mid(4);
    }
    static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
    if (end.size() < 2 || special.contains(end.at(0)) || QStringLiteral("?*+{").contains(end.at(1)))
        return false;
    const QString rest = end.mid(1);
    if (!QRegularExpression(rest).isValid() || mayBeEmpty(rest))
        return false;
    t.tokens2.front().text = flag + end.at(0) + QStringLiteral("(?=%1)").arg(rest);
    for (TokensetDraft *p : parents)
        p->tokens2 = {{flag + rest, true, QString(), {}}};
    return true;
}

class Conversion {
public:
    Conversion(const ConversionOptions &options, ConversionReport &report, QStringList folders)
        : options_(options), report_(report), folders_(std::move(folders))
    {
    }

    bool run(const QByteArray &bytes, const QString &fileName, LanguageDraft &draft, QString &problem);

private:
    GtkLanguage *language(const QString &id, const QString &where);
    const GtkContext *context(const QString &id, bool original, const QString &where);
    Look look(const QString &style, const GtkContext &c);
    bool expand(const GtkRegex &r, const GtkLanguage &lang, const QString &where, QString &out, bool &caseless,
                const QString *start = nullptr, int depth = 0);
    QString define(const QString &id, const GtkLanguage &from, const QString &where, bool outerCaseless, int depth);
    void flatten(const GtkContext &c, const QString &inherited, std::vector<Alt> &alts, QSet<QString> &seen);
    bool enteredByLookAhead(const GtkContext &c);
    QString firstWordBehind(const GtkContext &c, const GtkContext &container);
    void wordsBefore(const GtkContext &container, const GtkContext &c, QStringList &words, int depth = 0);
    bool coloursNothing(const QString &style);
    bool startsEmpty(const GtkContext &c);
    bool opensOnce(const GtkContext &t);
    const GtkContext *textOf(const GtkContext &c);
    bool marksError(const QString &style);
    // Walks a style's map-to chain (at most 16 links, as a chain may loop), calling `stop(style)` on each
    // style until it returns true; a style of a language not found ends the walk. Returns the style
    // reached last. `where` names the context for a missing language's report (null: the style itself).
    template <typename Stop>
    QString alongStyles(const QString &style, const QString *where, Stop stop)
    {
        QString s = style;
        for (int depth = 0; depth < 16 && !s.isEmpty(); ++depth) {
            if (stop(s))
                return s;
            GtkLanguage *lang = language(s.section(u':', 0, 0), where ? *where : s);
            const QString next = lang ? lang->styleMapTo.value(s) : QString();
            if (next.isEmpty())
                return s;
            s = next;
        }
        return s;
    }
    QString delimiterStyle(const GtkContext &c, const char *where);
    bool holdsStyle(const GtkContext &c, const QString &style, int depth = 0);
    const GtkContext *bodyOf(const GtkContext &c);
    bool endsOnlyWithParent(const GtkContext &c);
    void styledLists(const GtkContext &c, std::vector<Alt> &alts, QSet<QString> &seen, const QString &behind = QString());
    QString lookBehindOf(const GtkContext &c);
    bool patterns(const GtkContext &c, std::vector<Pattern> &starts, std::vector<Pattern> &ends, bool &singleline,
                  bool &endWithParent);
    int tokenset(const Alt &alt, const QString &parentStyle);
    int splitLeadingGroup(const GtkContext &c, TokensetDraft &scope);
    void colourLeadingGroupOnly(const GtkContext &c, QString &text, QString &behind, QString &shown);
    void splitTrailingGroup(const GtkContext &c, TokensetDraft &scope);
    int splitContinuedLines(const GtkContext &c, TokensetDraft &scope, const std::vector<Pattern> &ends);
    int splitIndentedLines(const GtkContext &c, TokensetDraft &scope);
    const GtkContext *lineRestOf(const GtkContext &c);
    int splitEmptyGroup(const GtkContext &c, TokensetDraft &scope);
    bool continuesAtBackslash(const GtkContext &c, int depth = 0);
    bool holdsEndParent(const GtkContext &c, int depth = 0);
    static bool stylesWholeStart(const GtkContext &c, const QString &start, const QString &style);
    bool isScope(const GtkContext &c) const { return c.start.has_value() && !asMatch_.contains(c.id); }
    bool isLeaf(const GtkContext &c) const { return c.match || c.start || !c.keywords.isEmpty(); }

    const ConversionOptions &options_;
    ConversionReport &report_;
    QStringList folders_;
    std::map<QString, std::unique_ptr<GtkLanguage>> languages_;
    QSet<QString> missingLanguages_;
    QHash<QString, QString> replaces_;
    GtkStyleScheme scheme_;
    LanguageDraft *draft_ = nullptr;
    QHash<QString, int> tokensets_; // context + style -> draft index
    QHash<int, std::vector<Pattern>> ends_; // scope tokenset -> its end patterns
    std::deque<int> scopes_;                // scope tokensets whose contents are still to be listed
    QHash<int, Alt> scopeAlt_;
    QSet<QString> asMatch_;            // contexts with an empty start, coloured as one match
    std::vector<int> closeWithParent_; // scopes that close with the scope around them
    std::vector<int> endParentScopes_; // scopes whose end ends the scope around them too (end-parent)
    QHash<int, int> leadingGroups_;    // scope tokenset -> the list that colours its start's leading group
    QString mainLanguage_;             // id of the language converted
    QSet<QString> own_;                // it, and the hidden languages it is written in (JavaScript's expressions)
    QSet<QString> lookAheadEnds_;      // contexts ended by the delimiter their end looks ahead at
    QHash<int, int> continued_;        // scope -> its copy (lines continued by a backslash, a start group not empty)
    QSet<int> firstLines_;             // scopes split from the lines after them (splitIndentedLines): the first line
    QHash<QString, const GtkContext *> bodies_; // scope context -> the context it is one with (bodyOf)
    QSet<QString> openedUp_;           // contexts that end only with the scope around them: one match of their start
};

bool hasChildren(const GtkContext &c)
{
    return std::any_of(c.includes.begin(), c.includes.end(), [](const GtkInclude &i) { return i.kind != GtkInclude::SubPattern; });
}

GtkLanguage *Conversion::language(const QString &id, const QString &where)
{
    if (auto it = languages_.find(id); it != languages_.end())
        return it->second.get();
    if (missingLanguages_.contains(id))
        return nullptr;
    // By file name first, then any file whose root names the id.
    for (const QString &folder : std::as_const(folders_)) {
        const QDir dir(folder);
        QStringList candidates{dir.filePath(id + QStringLiteral(".lang"))};
        for (const QString &file : dir.entryList({QStringLiteral("*.lang")}, QDir::Files, QDir::Name))
            candidates += dir.filePath(file);
        for (const QString &path : std::as_const(candidates)) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly))
                continue;
            // The root's id is near the top: most files are passed over on their first few kilobytes.
            QXmlStreamReader head(f.peek(16 << 10));
            if (!head.readNextStartElement() || head.attributes().value(QLatin1String("id")) != id)
                continue;
            const QByteArray bytes = f.read(8 << 20);
            auto l = std::make_unique<GtkLanguage>();
            QString problem;
            if (!l->read(bytes, path, problem)) {
                report_.dropped(where, QStringLiteral("language \"%1\" cannot be read: %2").arg(id, problem));
                missingLanguages_.insert(id);
                return nullptr;
            }
            for (auto it = l->replaces.cbegin(); it != l->replaces.cend(); ++it)
                replaces_.insert(it.key(), it.value());
            // A hidden language that the language converted (or a part of it) refers to is a part of it;
            // the default definitions are shared by all.
            if (l->hidden && id != QLatin1String("def") && own_.contains(where.section(u':', 0, 0)))
                own_.insert(id);
            return languages_.emplace(id, std::move(l)).first->second.get();
        }
    }
    missingLanguages_.insert(id);
    report_.dropped(where, QStringLiteral("language \"%1\" was not found (searched %2)").arg(id, folders_.join(QStringLiteral(", "))));
    return nullptr;
}

const GtkContext *Conversion::context(const QString &idIn, bool original, const QString &where)
{
    QString id = idIn;
    if (!original) {
        for (int i = 0; i < 8 && replaces_.contains(id); ++i)
            id = replaces_.value(id);
    }
    GtkLanguage *l = language(id.section(u':', 0, 0), where);
    if (!l)
        return nullptr;
    const auto it = l->contexts.constFind(id);
    if (it == l->contexts.constEnd()) {
        report_.dropped(where, QStringLiteral("reference to \"%1\": no such context").arg(id));
        return nullptr;
    }
    return &*it;
}

QString Conversion::define(const QString &id, const GtkLanguage &from, const QString &where, bool outerCaseless, int depth)
{
    const QString full = from.fullId(id);
    GtkLanguage *l = language(full.section(u':', 0, 0), where);
    if (!l || !l->defines.contains(full)) {
        report_.dropped(where, QStringLiteral("\\%{%1} names no regexp definition").arg(id));
        return QStringLiteral("(?!)");
    }
    const GtkRegex &r = l->defines[full];
    QString text;
    bool caseless = false;
    if (!expand(r, *l, where, text, caseless, nullptr, depth + 1))
        return QStringLiteral("(?!)");
    if (caseless != outerCaseless)
        return QStringLiteral("(?%1:%2)").arg(caseless ? QStringLiteral("i") : QStringLiteral("-i"), text);
    return QStringLiteral("(?:%1)").arg(text);
}

bool Conversion::expand(const GtkRegex &r, const GtkLanguage &lang, const QString &where, QString &out, bool &caseless,
                        const QString *start, int depth)
{
    if (depth > 16) {
        report_.dropped(where, QStringLiteral("regexp definitions refer to each other without end"));
        return false;
    }
    caseless = !r.caseSensitive.value_or(lang.caseSensitive);
    QString text = r.text;
    if (r.extended.value_or(lang.extended))
        text = RegexText::stripExtended(text);
    const QString k = lang.keywordCharClass;
    out.clear();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        if (text[i] != u'\\' || i + 1 >= n) {
            out += text[i++];
            continue;
        }
        if (text[i + 1] != u'%') {
            out += text.mid(i, 2);
            i += 2;
            continue;
        }
        const QChar what = i + 2 < n ? text[i + 2] : QChar();
        if (what == u'[') {
            out += k.isEmpty() ? QStringLiteral("\\b") : QStringLiteral("(?<!%1)(?=%1)").arg(k);
            i += 3;
        } else if (what == u']') {
            out += k.isEmpty() ? QStringLiteral("\\b") : QStringLiteral("(?<=%1)(?!%1)").arg(k);
            i += 3;
        } else if (what == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 3);
            if (close < 0) {
                out += text.mid(i);
                break;
            }
            const QString name = text.mid(i + 3, close - i - 3);
            if (name.contains(u'@')) {
                const QString group = name.section(u'@', 0, 0);
                // Group 0 is the whole start.
                const QString body = !start ? QString() : group == QLatin1String("0") ? *start : RegexText::groupText(*start, group);
                if (body.isNull()) {
                    report_.approximated(where, QStringLiteral("\\%{%1}: the text of the start is not known here; any text stands for it").arg(name));
                    out += QStringLiteral("(?:.+?)");
                } else {
                    report_.approximated(where, QStringLiteral("\\%{%1}: the end takes any text the start's group could match, not the same text").arg(name));
                    QString plain;
                    // A group that takes nearly any text, words and punctuation alike (a here-document's
                    // terminator, `[^\s;]+`), stands for words only: a `{` or `}` line of the text is no end.
                    const auto first = PatternAnalysis::firstChars(body, false);
                    const bool word = first && first->test(u'a') && first->test(u'{');
                    out += !RegexText::nonCapturing(body, plain) ? QStringLiteral("(?:.+?)")
                        : word ? QStringLiteral("(?=\\w)(?:%1)(?<=\\w)").arg(plain)
                               : QStringLiteral("(?:%1)").arg(plain);
                }
            } else {
                out += define(name, lang, where, caseless, depth);
            }
            i = close + 1;
        } else {
            out += text.mid(i, 2);
            i += 2;
        }
    }
    return true;
}

Look Conversion::look(const QString &style, const GtkContext &c)
{
    Look l;
    const GtkStyleScheme::Style text = scheme_.text();
    l.fg = *text.foreground;
    l.bg = *text.background;
    if (style.isEmpty()) {
        l.id = isScope(c) ? QStringLiteral("parameterblocks") : QStringLiteral("identifiers");
        return l;
    }
    l.plain = false;
    std::optional<GtkStyleScheme::Style> colours;
    QString id;
    alongStyles(style, &c.id, [&](const QString &s) {
        GtkLanguage *lang = language(s.section(u':', 0, 0), c.id);
        if (l.name.isEmpty() && lang)
            l.name = lang->styleName.value(s);
        if (!colours)
            colours = scheme_.style(s);
        if (id.isEmpty())
            id = defIds().value(s);
        return false;
    });
    if (colours) {
        l.fg = colours->foreground.value_or(l.fg);
        l.bg = colours->background.value_or(l.bg);
        l.fontstyle = colours->bold && colours->italic ? QStringLiteral("bolditalic")
            : colours->bold                            ? QStringLiteral("bold")
            : colours->italic                          ? QStringLiteral("italic")
            : colours->underline                       ? QStringLiteral("underline")
                                                       : QStringLiteral("normal");
    }
    if (l.name.isEmpty())
        l.name = style.section(u':', 1);
    if (id == QLatin1String("comment")) {
        const bool line = !c.start || c.endAtLineEnd || !c.end;
        id = line ? QStringLiteral("linecomments") : QStringLiteral("blockcomments");
    } else if (id == QLatin1String("preprocessor")) {
        id = QStringLiteral("keywords");
        if (!l.name.contains(QLatin1String("Preprocessor"), Qt::CaseInsensitive))
            l.name = QStringLiteral("Preprocessor ") + l.name;
    } else if (id.isEmpty()) {
        id = isScope(c) ? QStringLiteral("parameterblocks") : QStringLiteral("identifiers");
    }
    l.id = id;
    return l;
}

void Conversion::flatten(const GtkContext &c, const QString &inherited, std::vector<Alt> &alts, QSet<QString> &seen)
{
    for (const GtkInclude &inc : c.includes) {
        if (inc.kind == GtkInclude::SubPattern)
            continue;
        const GtkContext *t = context(inc.ref, inc.original, c.id);
        if (!t)
            continue;
        // An empty start: GtkSourceView enters the context wherever nothing before it matches, so
        // the context only groups what it holds; so does a start at each line's start without an end (the
        // text of a here-document after its first line).
        const bool grouping = t->start && (t->start->text.isEmpty() || (t->start->text == QLatin1String("^") && !t->end)) && hasChildren(*t) && !t->onceOnly;
        const bool opening = !grouping && opensOnce(*t);
        const bool body = bodies_.value(c.id) == t;
        // A heading's text: what it holds is valid in the heading, which takes its colour.
        const bool text = !grouping && !opening && textOf(c) == t;
        if (inc.kind == GtkInclude::Children || !isLeaf(*t) || grouping || body || opening || text) {
            if (seen.contains(t->id))
                continue;
            seen.insert(t->id);
            if (grouping || opening || text)
                report_.approximated(t->id, opening ? QStringLiteral("the start is empty and the context is entered once: what it holds is valid where it stands, "
                                                                 "and its end is not kept")
                                            : text ? QStringLiteral("the start takes no text and follows one entered once: the scope around it takes its colour, "
                                                                    "and what it holds is valid there")
                                                   : QStringLiteral("the start can be empty: what the context holds is valid where it stands, and its end is not kept"));
            if (opening && textOf(c)) {
                // Beside a coloured text, a name alone is not an attribute: the heading's words would take its look.
                std::vector<Alt> held;
                flatten(*t, inherited, held, seen);
                for (const Alt &a : held) {
                    const GtkContext *m = context(a.context, true, a.context);
                    QString plain;
                    if (m && m->match) {
                        GtkLanguage *lang = language(m->lang, m->id);
                        bool caseless = false;
                        if (lang)
                            expand(*m->match, *lang, m->id, plain, caseless);
                        const QRegularExpressionMatch w = QRegularExpression(plain).match(QStringLiteral("word"));
                        if (w.hasMatch() && w.capturedLength() == 4)
                            continue;
                    }
                    alts.push_back(a);
                }
                continue;
            }
            flatten(*t, inc.ignoreStyle || t->styleRef.isEmpty() || text ? inherited : t->styleRef, alts, seen);
            continue;
        }
        QString style = inc.ignoreStyle ? inherited : !inc.styleRef.isEmpty() ? inc.styleRef
                                                   : !t->styleRef.isEmpty()  ? t->styleRef
                                                                             : inherited;
        if (!t->styleRef.isEmpty() && !inc.ignoreStyle) {
            // A style that only adds to the one around it keeps that one's category.
            const QString s = alongStyles(t->styleRef, &t->id, [](const QString &) { return false; });
            if (addsToParent(s) && !inherited.isEmpty())
                style = inherited;
        }
        if (t->match && t->styleRef.isEmpty() && inc.styleRef.isEmpty()) {
            for (const GtkInclude &sub : t->includes) {
                if (sub.kind == GtkInclude::SubPattern && !sub.styleRef.isEmpty()) {
                    style = sub.styleRef;
                    report_.approximated(t->id, QStringLiteral("the whole match takes the style of sub-pattern %1").arg(sub.subPattern));
                    break;
                }
            }
        }
        alts.push_back({t->id, style, t->styleRef.isEmpty() && inc.styleRef.isEmpty() && !inc.ignoreStyle && !style.isEmpty()});
        // A context that ends only where the scope around it does (no end of its own, extend-parent="false"):
        // it is one match of its start, and what it holds is valid where it stands, up to that scope's end.
        if (c.start && (c.end || c.endAtLineEnd) && endsOnlyWithParent(*t) && !seen.contains(t->id)) {
            seen.insert(t->id);
            openedUp_.insert(t->id);
            flatten(*t, style, alts, seen);
        }
        if (own_.contains(t->lang) && enteredByLookAhead(*t)) {
            QSet<QString> within{t->id + QChar(0x1F)};
            styledLists(*t, alts, within);
        } else if (enteredByLookAhead(*t)) {
            // In an embedded language, its word lists only where such a context can begin anew.
            const QString behind = firstWordBehind(*t, c);
            QSet<QString> within{t->id + QChar(0x1F)};
            if (!behind.isEmpty())
                styledLists(*t, alts, within, behind);
        }
    }
}

// The context that a scope without an end of its own holds right after its start, which ends it: entered where
// its start always matches, with an end of its own and end-parent (an attribute's quoted value after `name="`).
// The scope is one with it: it takes its end and colour, and what it holds.
const GtkContext *Conversion::bodyOf(const GtkContext &c)
{
    if (!c.start || c.end || c.match)
        return nullptr;
    for (const GtkInclude &inc : c.includes) {
        const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        GtkLanguage *lang = m && m->start && m->end && m->endParent && !m->match ? language(m->lang, m->id) : nullptr;
        if (!lang)
            continue;
        QString text;
        bool caseless = false;
        expand(*m->start, *lang, m->id, text, caseless);
        if (unwrapped(text).isEmpty())
            return m;
    }
    return nullptr;
}

// A context with a start that takes text, no end and extend-parent="false": it holds others, and the end of
// the scope around it ends it too (a doc comment's `Name:` line, after which the comment goes on).
bool Conversion::endsOnlyWithParent(const GtkContext &c)
{
    GtkLanguage *lang = c.start && !c.end && !c.endAtLineEnd && !c.extendParent && !c.match && hasChildren(c)
        ? language(c.lang, c.id)
        : nullptr;
    if (!lang)
        return false;
    QString text;
    bool caseless = false;
    expand(*c.start, *lang, c.id, text, caseless);
    return !mayBeEmpty(text);
}

// An uncoloured context that holds others and is entered where its start only looks ahead (`(?=name\b)`, a
// command): a token cannot take no text, so the context is dropped.
bool Conversion::enteredByLookAhead(const GtkContext &c)
{
    GtkLanguage *lang = c.start && coloursNothing(c.styleRef) && hasChildren(c) ? language(c.lang, c.id) : nullptr;
    if (!lang)
        return false;
    QString text;
    bool caseless = false;
    expand(*c.start, *lang, c.id, text, caseless);
    return mayBeEmpty(text);
}

// A context entered after a blank or a delimiter (`(?<=\s|[;|&(]|^)(?=name)`), that holds what follows up to
// such a delimiter or the line's end (a shell command and its arguments), begins anew only at the line's start
// or after one of those delimiters, with blanks between: a look-behind for that, or empty for any other start.
QString Conversion::firstWordBehind(const GtkContext &c, const GtkContext &container)
{
    GtkLanguage *lang = c.start && (c.end || c.endAtLineEnd) ? language(c.lang, c.id) : nullptr;
    if (!lang)
        return QString();
    QString text;
    bool caseless = false;
    expand(*c.start, *lang, c.id, text, caseless);
    const qsizetype at = text.indexOf(QLatin1String("(?<="));
    if (at < 0 || QString(text.left(at)).remove(QLatin1String("(?:")).size() != 0)
        return QString();
    const qsizetype end = RegexText::groupEnd(text, at);
    if (end < 0)
        return QString();
    QStringList kept{QStringLiteral("^")};
    bool blank = false;
    for (const QString &alt : RegexText::topLevelAlternatives(text.mid(at + 4, end - at - 5))) {
        if (alt == QLatin1String("\\s") || alt == QLatin1String("[ \\t]"))
            blank = true;
        else if (alt != QLatin1String("^"))
            kept += alt;
    }
    if (!blank || kept.size() < 2)
        return QString();
    // Up to eight blanks at the line's start (a recipe's tab and an indentation after it), two after a delimiter;
    // each alternative keeps a fixed length. Blanks as `[ \t]`, which the pattern analysis reads at once (`\s`
    // asks for every character's category).
    QStringList alts;
    for (const QString &k : kept) {
        for (int n = 0; n <= (k == QLatin1String("^") ? 8 : 2); ++n)
            alts += n == 0 ? k : n == 1 ? k + QLatin1String("[ \\t]") : k + QStringLiteral("[ \\t]{%1}").arg(n);
    }
    // After a word listed before it that stands where it may (a shell's `then`, `do`, `!`), it begins anew too.
    QStringList words;
    wordsBefore(container, c, words);
    for (const QString &w : std::as_const(words)) {
        const QString word = (w.front().isLetterOrNumber() || w.front() == u'_' ? QStringLiteral("\\b") : QString()) + w;
        for (const QString &blanks : {QStringLiteral("[ \\t]"), QStringLiteral("[ \\t]{2}")}) {
            if (QRegularExpression(QStringLiteral("(?<=%1%2)").arg(word, blanks)).isValid())
                alts += word + blanks;
        }
    }
    const QString behind = QStringLiteral("(?<=%1)").arg(alts.join(u'|'));
    return QRegularExpression(behind).isValid() ? behind : QString();
}

// The words of the keyword lists that `container` holds before `c`, directly or in containers, whose prefix is the
// look-behind that `c`'s start begins with.
void Conversion::wordsBefore(const GtkContext &container, const GtkContext &c, QStringList &words, int depth)
{
    for (const GtkInclude &inc : container.includes) {
        const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, container.id);
        if (!m || m == &c)
            return;
        if (!m->keywords.isEmpty() && m->prefix && !m->prefix->isEmpty() && c.start->text.startsWith(*m->prefix)) {
            for (const QString &k : m->keywords) {
                if (!k.isEmpty() && !k.contains(QLatin1String("\\%")))
                    words += k;
            }
        } else if (depth < 4 && !m->start && !m->match && m->keywords.isEmpty() && hasChildren(*m)) {
            wordsBefore(*m, c, words, depth + 1);
        }
    }
}

// Whether a context's start is empty (`\%{def:always-match}`).
bool Conversion::startsEmpty(const GtkContext &c)
{
    GtkLanguage *lang = c.start ? language(c.lang, c.id) : nullptr;
    if (!lang)
        return false;
    QString text;
    bool caseless = false;
    expand(*c.start, *lang, c.id, text, caseless);
    return unwrapped(text).isEmpty();
}

// A context of the language converted that colours nothing, starts empty, is entered once and has an end: a
// heading's attributes, up to the `>` after `<h1`.
bool Conversion::opensOnce(const GtkContext &t)
{
    return t.lang == mainLanguage_ && t.start && t.onceOnly && t.end && hasChildren(t) && coloursNothing(t.styleRef) && startsEmpty(t);
}

// The text of a scope that opens with such a context: a coloured context beside it that holds others, has no end,
// and whose start takes no text (a heading's text, up to where `</h1>` stands). Null when there is none.
const GtkContext *Conversion::textOf(const GtkContext &c)
{
    if (c.lang != mainLanguage_ || !isScope(c))
        return nullptr;
    const GtkContext *text = nullptr;
    bool opens = false;
    for (const GtkInclude &inc : c.includes) {
        const GtkContext *t = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        if (!t)
            continue;
        opens = opens || opensOnce(*t);
        GtkLanguage *lang = t->start ? language(t->lang, t->id) : nullptr;
        if (!text && lang && t->lang == mainLanguage_ && !t->end && hasChildren(*t) && !t->styleRef.isEmpty() && !coloursNothing(t->styleRef)
            && !marksError(t->styleRef)) {
            QString start;
            bool caseless = false;
            expand(*t->start, *lang, t->id, start, caseless);
            if (mayBeEmpty(start))
                text = t;
        }
    }
    return opens ? text : nullptr;
}

// Whether a style maps to no colour at all (JavaScript's "Expression", a name for a part of the grammar).
bool Conversion::coloursNothing(const QString &style)
{
    bool colours = false;
    alongStyles(style, nullptr, [&](const QString &s) { return colours = defIds().contains(s) || scheme_.style(s); });
    return !colours;
}

bool Conversion::marksError(const QString &style)
{
    bool error = false;
    alongStyles(style, nullptr, [&](const QString &s) { return error = s == QLatin1String("def:error"); });
    return error;
}

// The style of a scope's whole start or end (`sub-pattern="0" where="start"`), or empty.
QString Conversion::delimiterStyle(const GtkContext &c, const char *where)
{
    for (const GtkInclude &inc : c.includes) {
        if (inc.kind == GtkInclude::SubPattern && inc.subPattern == QLatin1String("0") && inc.where == QLatin1String(where))
            return inc.styleRef;
    }
    return QString();
}

// Whether a context holds one in this style, directly or in containers it holds.
bool Conversion::holdsStyle(const GtkContext &c, const QString &style, int depth)
{
    return depth < 8 && std::any_of(c.includes.begin(), c.includes.end(), [&](const GtkInclude &inc) {
        const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        return m && (m->styleRef == style || (!isLeaf(*m) && holdsStyle(*m, style, depth + 1)));
    });
}

// The coloured matches and keyword lists of such a context, and of those it holds that are entered alike,
// stay valid where it stands (the commands a shell knows), as GtkSourceView colours them on entering it.
void Conversion::styledLists(const GtkContext &c, std::vector<Alt> &alts, QSet<QString> &seen, const QString &behind)
{
    for (const GtkInclude &inc : c.includes) {
        const GtkContext *t = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        if (!t)
            continue;
        // Met again after a delimiter, a list is another (it stands after it); behind any other start, what
        // is met there counts as met.
        const QString key = t->id + QChar(0x1F) + (behind == QLatin1String("-") ? QString() : behind);
        if (seen.contains(key))
            continue;
        seen.insert(key);
        const bool list = t->match || !t->keywords.isEmpty();
        const QString style = inc.styleRef.isEmpty() ? t->styleRef : inc.styleRef;
        // Words that are errors only where a name is expected (a reserved word) stay out.
        const bool shown = !style.isEmpty() && !inc.ignoreStyle && !coloursNothing(style) && !marksError(style);
        // In a part of the language written in a language of its own (JavaScript's literals), its coloured
        // matches and scopes too: a string or a number wherever an expression may stand.
        const bool part = t->lang != mainLanguage_ && own_.contains(t->lang);
        const bool words = !t->keywords.isEmpty() && behind != QLatin1String("-");
        if (shown && (words || (part && (t->match || (t->start && t->end && !enteredByLookAhead(*t)))))) {
            report_.approximated(t->id, QStringLiteral("valid where \"%1\" stands, which is entered by a look-ahead").arg(c.id));
            alts.push_back({t->id, style, false, words ? behind : QString()});
        } else if (part && t->start && t->end && coloursNothing(style) && !coloursNothing(delimiterStyle(*t, "start"))) {
            // One whose start has a look of its own (`new`, a template literal's backquote): itself.
            report_.approximated(t->id, QStringLiteral("valid where \"%1\" stands, which is entered by a look-ahead").arg(c.id));
            alts.push_back({t->id, QString()});
        } else if (!list && (enteredByLookAhead(*t) || (!t->start && part))) {
            styledLists(*t, alts, seen, behind);
        } else if (!list && part && coloursNothing(style) && hasChildren(*t)) {
            // Behind a start that takes text (`.` before a property, `=` before a value), words listed there
            // are only such right after it (a built-in method's name after `.`), or not at all behind a longer
            // start or two; strings and numbers are the same anywhere.
            styledLists(*t, alts, seen, behind.isEmpty() ? lookBehindOf(*t) : QStringLiteral("-"));
        }
    }
}

// A look-behind at a start of one or two punctuation characters (`\.(?!\.)` gives `(?<=\.)`), looks ahead
// after it left out; "-" for any other start.
QString Conversion::lookBehindOf(const GtkContext &c)
{
    GtkLanguage *lang = c.start ? language(c.lang, c.id) : nullptr;
    if (!lang)
        return QStringLiteral("-");
    QString text;
    bool caseless = false;
    expand(*c.start, *lang, c.id, text, caseless);
    for (qsizetype at = text.lastIndexOf(QLatin1String("(?")); at > 0 && (text.mid(at, 3) == QLatin1String("(?!") || text.mid(at, 3) == QLatin1String("(?="))
         && RegexText::groupEnd(text, at) == text.size();
         at = text.lastIndexOf(QLatin1String("(?")))
        text.truncate(at);
    static const QRegularExpression delimiters(QStringLiteral(R"(^(?:\\[^\w\s]|[^\\\w\s(){}\[\]|?*+.^$]){1,2}$)"));
    return delimiters.match(text).hasMatch() ? QStringLiteral("(?<=%1)").arg(text) : QStringLiteral("-");
}

// Whether a context holds one that ends it (end-parent), directly or in containers it holds.
bool Conversion::holdsEndParent(const GtkContext &c, int depth)
{
    return depth < 8 && std::any_of(c.includes.begin(), c.includes.end(), [&](const GtkInclude &inc) {
        const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        return m && (m->endParent || (!isLeaf(*m) && holdsEndParent(*m, depth + 1)));
    });
}

bool Conversion::patterns(const GtkContext &c, std::vector<Pattern> &starts, std::vector<Pattern> &ends, bool &singleline,
                          bool &endWithParent)
{
    GtkLanguage *lang = language(c.lang, c.id);
    if (!lang)
        return false;
    auto make = [&](const QString &text, bool caseless) {
        Pattern p;
        p.text = caseless ? QStringLiteral("(?i)") + text : text;
        QString plain;
        if (RegexText::nonCapturing(text, plain))
            p.guardForm = caseless ? QStringLiteral("(?i:%1)").arg(plain) : RegexText::grouped(plain);
        return p;
    };
    auto valid = [&](const QString &text, const char *what) {
        const QRegularExpression re(text);
        if (!re.isValid()) {
            report_.dropped(c.id, QStringLiteral("the %1 regexp does not compile: %2").arg(QLatin1String(what), re.errorString()));
            return false;
        }
        return true;
    };
    singleline = c.endAtLineEnd;
    QString text;
    bool caseless = false;
    if (!c.keywords.isEmpty()) {
        QStringList words;
        for (const QString &k : c.keywords) {
            QString w;
            bool ci = false;
            expand(GtkRegex{k, std::nullopt, std::nullopt}, *lang, c.id, w, ci);
            words += w;
        }
        QString prefix, suffix;
        expand(GtkRegex{c.prefix.value_or(QStringLiteral("\\%[")), std::nullopt, std::nullopt}, *lang, c.id, prefix, caseless);
        expand(GtkRegex{c.suffix.value_or(QStringLiteral("\\%]")), std::nullopt, std::nullopt}, *lang, c.id, suffix, caseless);
        text = QStringLiteral("%1(?:%2)%3").arg(prefix, words.join(u'|'), suffix);
        if (!valid(text, "keyword"))
            return false;
        starts.push_back(make(text, caseless));
        return true;
    }
    if (c.match) {
        expand(*c.match, *lang, c.id, text, caseless);
        if (!valid(text, "match"))
            return false;
        if (mayBeEmpty(text)) {
            report_.dropped(c.id, QStringLiteral("the match can be empty, which a token cannot"));
            return false;
        }
        QString behind, shown;
        colourLeadingGroupOnly(c, text, behind, shown);
        starts.push_back(make(text, caseless));
        if (!caseless) {
            starts.back().behind = behind;
            starts.back().shown = shown;
        }
        return true;
    }
    if (!c.start)
        return false;
    expand(*c.start, *lang, c.id, text, caseless);
    if (!valid(text, "start"))
        return false;
    if (mayBeEmpty(text)) {
        // A start that only looks ahead at the end (`(?=;)` ... `;`) colours nothing before it.
        const bool nothing = c.end && text == QStringLiteral("(?=%1)").arg(c.end->text);
        // A coloured context that holds others, entered where its start looks ahead at some text
        // (`^(?=(=[a-z]))`, a block of documentation): the start takes that text, in the scope's colour.
        const qsizetype ahead = text.startsWith(u'^') ? 1 : 0;
        if (!coloursNothing(c.styleRef) && hasChildren(c) && !nothing && text.mid(ahead, 3) == QLatin1String("(?=")
            && RegexText::groupEnd(text, ahead) == text.size()) {
            const QString taken = text.left(ahead) + text.mid(ahead + 3, text.size() - ahead - 4);
            if (!mayBeEmpty(taken) && QRegularExpression(taken).isValid()) {
                report_.approximated(c.id, QStringLiteral("the start only looks ahead: the scope starts with the text it looks at, in its colour"));
                text = taken;
            }
        }
    }
    if (mayBeEmpty(text)) {
        const bool nothing = c.end && text == QStringLiteral("(?=%1)").arg(c.end->text);
        if (coloursNothing(c.styleRef) || hasChildren(c) || nothing) {
            report_.dropped(c.id, QStringLiteral("the start can be empty, which a token cannot"));
            return false;
        }
        // Coloured text from where the start matches to where the end does (or the line ends): one match.
        QString endText;
        bool endCaseless = false;
        if (c.end)
            expand(*c.end, *lang, c.id, endText, endCaseless, &text);
        // An end that takes text is part of the match, and may match right where the start does (a number:
        // `(?=\d+\b)` ... `\d+`).
        const QString run = endText.isEmpty() ? QStringLiteral("(?:%1).+").arg(text)
            : mayBeEmpty(endText)             ? QStringLiteral("(?:%1)(?:(?!%2).)+").arg(text, RegexText::grouped(endText))
                                              : QStringLiteral("(?:%1)(?:%2|(?:(?!%2).)+(?:%2)?)").arg(text, RegexText::grouped(endText));
        if (!valid(run, "start"))
            return false;
        asMatch_.insert(c.id);
        singleline = false;
        report_.approximated(c.id, QStringLiteral("the start can be empty: the context is one match, from its start to its end within a line"));
        starts.push_back(make(run, caseless));
        return true;
    }
    starts.push_back(make(text, caseless));
    if (openedUp_.contains(c.id)) {
        asMatch_.insert(c.id);
        report_.approximated(c.id, QStringLiteral("extend-parent=\"false\" and no end: the end of the scope around it ends it, so "
                                                  "the context is one match, its start, and what it holds is valid where it stands"));
        return true;
    }
    if (const GtkContext *b = bodyOf(c)) {
        GtkLanguage *bodyLang = language(b->lang, b->id);
        QString endText;
        bool endCaseless = false;
        expand(*b->end, *bodyLang, b->id, endText, endCaseless);
        if (valid(endText, "end") && !mayBeEmpty(endText)) {
            ends.push_back(make(endText, endCaseless));
            singleline = b->endAtLineEnd;
            bodies_.insert(c.id, b);
            report_.approximated(c.id, QStringLiteral("\"%1\", entered right after the start, ends it: the scope takes its end and colour").arg(b->id));
            return true;
        }
    }
    if (!c.end && hasChildren(c)) {
        // No end of its own, and each thing it holds ends it: it lasts about as long as its line.
        bool allEndIt = true;
        for (const GtkInclude &inc : c.includes) {
            const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
            allEndIt = allEndIt && (inc.kind == GtkInclude::SubPattern || (m && m->endParent));
        }
        if (allEndIt) {
            singleline = true;
            report_.approximated(c.id, QStringLiteral("everything it holds ends it: the scope closes at its line end"));
        }
    }
    if (c.end) {
        QString endText;
        bool endCaseless = false;
        expand(*c.end, *lang, c.id, endText, endCaseless, &text);
        if (!valid(endText, "end"))
            return true;
        const QString bare = endText.trimmed();
        const QString always = unwrapped(bare);
        // An end that always matches (`\%{def:always-match}`), or before any character but a blank (`(?=\S)`,
        // after a start that stops before the blank), ends the context right after its start; so does an end
        // that the start looks ahead at (`name(?=\+?=)` ... `\+?=`), which ends it once the start is taken.
        // The blank case only in the language converted: in one that embeds it, its scopes merge otherwise.
        const bool nextWord = c.lang == mainLanguage_ ? always == QLatin1String("(?=\\S)") : own_.contains(c.lang) && atNextToken(always);
        const bool lookedAt = !nextWord && !always.isEmpty() && text.endsWith(u')') && c.styleRef.isEmpty()
            && text.lastIndexOf(QLatin1String("(?=")) >= 0
            && RegexText::groupEnd(text, text.lastIndexOf(QLatin1String("(?="))) == text.size()
            && text.chopped(1).endsWith(bare);
        // Where what it holds ends it (end-parent: `:` and then one of the names a pseudo-class may have), that
        // is tried before such an end, so the context stays a scope.
        if ((always.isEmpty() && !c.endAtLineEnd && !holdsEndParent(c)) || nextWord || lookedAt) {
            asMatch_.insert(c.id);
            singleline = false;
            report_.approximated(c.id, lookedAt ? QStringLiteral("the start looks ahead at the end: the context is one match, its start, and what it holds is left out")
                                   : nextWord ? QStringLiteral("the end matches at the next word: the context is one match, its start, and what it holds is left out")
                                              : QStringLiteral("the end always matches: the context is one match, its start, and what it holds is left out"));
            return true;
        }
        if (bare == QLatin1String("$") || bare == QLatin1String("^") || bare.isEmpty() || bare == QLatin1String("\\n")) {
            singleline = true;
        } else if (mayBeEmpty(endText)) {
            // Alternatives that take text end the scope; those that only look ahead (`,|\s*(?=})`)
            // are left to the end of the scope around it, which closes both.
            QStringList kept;
            for (const QString &a : RegexText::topLevelAlternatives(endText)) {
                if (!mayBeEmpty(a))
                    kept += a;
            }
            // An end that only looks ahead at a delimiter (`(?=[;}])`): on a scope that colours nothing
            // the delimiter ends it, where no end of the scope around it matches. Only in the language
            // converted: in one that embeds it, such scopes would no longer merge with their like ones,
            // and the merges that fit the whole into a record would go elsewhere. A delimiter that may also
            // start the scope (`,` ... `(?=[,)])`, one argument after another) is left to the next one.
            QString ahead = endText;
            while (ahead.startsWith(QLatin1String("(?:")) && RegexText::groupEnd(ahead, 0) == ahead.size())
                ahead = ahead.mid(3, ahead.size() - 4);
            if (ahead.startsWith(QLatin1String("(?=")) && RegexText::groupEnd(ahead, 0) == ahead.size())
                ahead = ahead.mid(3, ahead.size() - 4);
            else
                ahead.clear();
            if (kept.isEmpty() && c.lang == mainLanguage_ && !ahead.isEmpty() && !mayBeEmpty(ahead) && QRegularExpression(ahead).isValid()
                && punctuationOnly(ahead) && !overlaps(ahead, text)) {
                kept += ahead;
                lookAheadEnds_.insert(c.id);
            }
            if (kept.isEmpty()) {
                singleline = true;
                report_.approximated(c.id, QStringLiteral("the end can be empty; the scope closes at its line end"));
            } else {
                ends.push_back(make(kept.join(u'|'), endCaseless));
                endWithParent = true;
                // GtkSourceView leaves the delimiter looked at to the scope around, where it may start
                // something (a shell's backtick after `export X=`): nothing gives way to it.
                if (lookAheadEnds_.contains(c.id))
                    ends.back().guardForm.clear();
            }
        } else {
            ends.push_back(make(endText, endCaseless));
        }
        // An end that stands in for the text of a group of the start (`\%{1@start}`) matches far more than
        // that text: what the scope holds does not give way to it.
        if (!ends.empty() && c.end->text.contains(QLatin1String("@start}")))
            ends.back().guardForm.clear();
    }
    return true;
}

int Conversion::tokenset(const Alt &alt, const QString &parentStyle)
{
    const QString key = alt.context + QChar(0x1F) + alt.style + QChar(0x1F) + alt.behind;
    if (const auto it = tokensets_.constFind(key); it != tokensets_.constEnd())
        return *it;
    const GtkContext *c = context(alt.context, true, alt.context);
    std::vector<Pattern> starts, ends;
    bool singleline = false, endWithParent = false;
    if (!c || !patterns(*c, starts, ends, singleline, endWithParent)) {
        tokensets_.insert(key, -1);
        return -1;
    }
    Q_UNUSED(parentStyle);
    const GtkContext *body = alt.style.isEmpty() ? bodies_.value(c->id) : nullptr;
    QString style = body ? body->styleRef : alt.style;
    // A scope of a part of the language that colours nothing, whose start and end are strings and which holds
    // text in their style (a template literal, its text between placeholders): a string as a whole.
    const QString delimiters = delimiterStyle(*c, "start");
    if (isScope(*c) && own_.contains(c->lang) && c->lang != mainLanguage_ && coloursNothing(style) && coloursNothing(c->styleRef)
        && !delimiters.isEmpty() && delimiters == delimiterStyle(*c, "end") && holdsStyle(*c, delimiters)
        && look(delimiters, *c).id == QLatin1String("strings"))
        style = delimiters;
    // A context that became one match of its start takes the style its start has (a keyword).
    for (const GtkInclude &inc : c->includes) {
        if (asMatch_.contains(c->id) && coloursNothing(c->styleRef) && (alt.style.isEmpty() || alt.borrowed || coloursNothing(alt.style)) && inc.kind == GtkInclude::SubPattern
            && inc.where == QLatin1String("start") && inc.subPattern == QLatin1String("0") && !inc.styleRef.isEmpty())
            style = inc.styleRef;
    }
    if (const GtkContext *text = alt.style.isEmpty() ? textOf(*c) : nullptr)
        style = text->styleRef;
    // An error that holds nothing and ends before a delimiter the scope around takes (`,` up to `)`: arguments
    // past the last one a call takes) would close only at its line end, taking that delimiter, so the scope
    // around would not close: it is left out, and its text reads as the scope around it.
    if (endWithParent && lookAheadEnds_.contains(c->id) && marksError(style) && !hasChildren(*c)) {
        report_.dropped(c->id, QStringLiteral("an error up to a delimiter the scope around takes: it would hold that delimiter"));
        tokensets_.insert(key, -1);
        return -1;
    }
    const Look l = look(style, *c);
    if (endWithParent && l.id != QLatin1String("parameterblocks")) {
        // Only a scope where code goes on closes with the one around it.
        ends.clear();
        singleline = true;
        if (lookAheadEnds_.contains(c->id))
            endWithParent = false;
        report_.approximated(c->id, QStringLiteral("the end can be empty; the scope closes at its line end"));
    } else if (endWithParent) {
        report_.approximated(c->id, QStringLiteral("the end can be empty; its other alternatives end the scope, and the end of "
                                                   "the scope around it closes it too"));
    }
    if (isScope(*c)) {
        // Matches of its own that end it (end-parent) are ends of the scope, in its colour.
        for (const GtkInclude &inc : c->includes) {
            const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c->id);
            GtkLanguage *lang = m ? language(m->lang, m->id) : nullptr;
            // A match, or a context that looks ahead at its end and takes just that (`(?=;)` ... `;`).
            const bool endOnly = m && m->start && m->end && !hasChildren(*m)
                && m->start->text == QStringLiteral("(?=%1)").arg(m->end->text);
            // A keyword list that ends it (a shell's `esac`) counts as a match of its words; only in the
            // language converted: in one that embeds it, its scopes merge otherwise.
            const bool words = m && !m->keywords.isEmpty() && c->lang == mainLanguage_;
            if (!lang || !m->endParent || !(m->match || endOnly || words))
                continue;
            QString text;
            bool caseless = false;
            if (words) {
                std::vector<Pattern> listed, none;
                bool single = false, withParent = false;
                if (!patterns(*m, listed, none, single, withParent) || listed.empty())
                    continue;
                text = listed.front().text;
            } else {
                expand(m->match ? *m->match : *m->end, *lang, m->id, text, caseless);
            }
            if (!QRegularExpression(text).isValid() || mayBeEmpty(text))
                continue;
            ends.push_back({caseless ? QStringLiteral("(?i)") + text : text, QString()});
            report_.approximated(m->id, QStringLiteral("end-parent: the match ends the scope around it, in that scope's colour"));
        }
    }
    TokensetDraft t;
    t.name = draft_->uniqueName(l.plain ? c->id.section(u':', 1) : l.name);
    t.id = l.id;
    t.source = c->id;
    t.forecolor = l.fg;
    t.backcolor = l.bg;
    t.fontstyle = l.fontstyle;
    t.error = !style.isEmpty() && marksError(style);
    t.casesensitive = true;
    t.scope = isScope(*c);
    t.singleline = singleline;
    t.borrowedLook = alt.borrowed;
    for (const Pattern &p : starts) {
        const bool caseless = p.text.startsWith(QLatin1String("(?i)"));
        t.tokens.push_back({alt.behind.isEmpty() ? p.text : caseless ? QStringLiteral("(?i)") + alt.behind + p.text.mid(4) : alt.behind + p.text,
                            true, QString(), {}});
        if (alt.behind.isEmpty() && !t.scope) {
            t.tokens.back().behind = p.behind;
            t.tokens.back().shown = p.shown;
        }
    }
    if (t.scope) {
        // The scope's ends, and the matches that end it (end-parent), as one alternation: the first
        // that matches closes it, as in GtkSourceView.
        QStringList alternatives;
        for (const Pattern &p : ends)
            alternatives += RegexText::grouped(p.text);
        if (!alternatives.isEmpty())
            t.tokens2.push_back({alternatives.size() == 1 ? ends.front().text : alternatives.join(u'|'), true, QString(), {}});
        if (c->styleInside)
            report_.approximated(c->id, QStringLiteral("style-inside: the start and end take the scope's style too"));
    }
    if (c->onceOnly)
        report_.approximated(c->id, QStringLiteral("once-only: the context may match more than once"));
    if (c->firstLineOnly)
        report_.approximated(c->id, QStringLiteral("first-line-only: the context may match on any line"));
    if (!c->extendParent && !openedUp_.contains(c->id))
        report_.approximated(c->id, QStringLiteral("extend-parent=\"false\": the enclosing context's end does not end it"));
    for (const GtkInclude &inc : c->includes) {
        if (inc.kind == GtkInclude::SubPattern && !inc.styleRef.isEmpty() && inc.styleRef != alt.style && !c->styleRef.isEmpty()) {
            report_.approximated(c->id, QStringLiteral("sub-pattern %1 takes the style of the whole %2").arg(inc.subPattern, inc.where.isEmpty() ? QStringLiteral("match") : inc.where));
        }
    }
    for (const GtkInclude &inc : c->includes) {
        // A coloured scope keeps a start of another look too (a subshell's `$(` as a keyword). So does one
        // whose styled groups all share a style and leave only blanks between them (an m4 macro's name
        // and its `(`).
        const bool whole = inc.subPattern == QLatin1String("0") || (starts.size() == 1 && stylesWholeStart(*c, starts.front().text, inc.styleRef));
        if (t.scope && inc.kind == GtkInclude::SubPattern
            && inc.where == QLatin1String("start") && whole && !inc.styleRef.isEmpty()) {
            const Look s = look(inc.styleRef, *c);
            const TokensetDraft start = listInLook(s, s.name, c->id, QString());
            if (s.id == QLatin1String("parameterblocks") || start.looksLike(t))
                continue;
            t.startLook.push_back(start);
            break;
        }
    }
    int leading = -1, continued = -1;
    if (t.scope && t.tokens.size() == 1) {
        leading = splitLeadingGroup(*c, t);
        splitTrailingGroup(*c, t);
        continued = splitContinuedLines(*c, t, ends);
        if (continued < 0)
            continued = splitIndentedLines(*c, t);
            if (continued >= 0)
                firstLines_.insert(int(draft_->tokensets.size()));
        if (continued < 0 && leading < 0)
            continued = splitEmptyGroup(*c, t);
    }
    const int index = int(draft_->tokensets.size());
    draft_->tokensets.push_back(std::move(t));
    tokensets_.insert(key, index);
    if (leading >= 0)
        leadingGroups_.insert(index, leading);
    if (continued >= 0) {
        continued_.insert(index, continued);
        scopes_.push_back(continued);
        scopeAlt_.insert(continued, alt);
    }
    if (endWithParent)
        closeWithParent_.push_back(index);
    if (c->endParent && draft_->tokensets[size_t(index)].scope)
        endParentScopes_.push_back(index);
    if (draft_->tokensets[size_t(index)].scope) {
        ends_.insert(index, ends);
        scopes_.push_back(index);
        scopeAlt_.insert(index, alt);
    }
    return index;
}

// A match without a style of its own whose first styled sub-pattern is its leading group (`(\\begin)\{.*\}`):
// the token is that group, followed by the rest; the rest is left plain. After a literal (`\$\((name)\)`, a
// variable whose name alone is coloured) the whole match stays the token's text, which others give way to, and
// `behind` (the literal) with `shown` (the group, looking ahead at the rest) is what the record holds.
void Conversion::colourLeadingGroupOnly(const GtkContext &c, QString &text, QString &behind, QString &shown)
{
    if (!c.styleRef.isEmpty())
        return;
    const GtkInclude *sub = nullptr;
    for (const GtkInclude &inc : c.includes) {
        if (inc.kind == GtkInclude::SubPattern && !inc.styleRef.isEmpty()) {
            sub = &inc;
            break;
        }
    }
    if (!sub || sub->subPattern != QLatin1String("1") || RegexText::hasTopLevelAlternation(text))
        return;
    // Look-behinds before the group only say where it may stand.
    qsizetype at = 0;
    while (text.mid(at, 4) == QLatin1String("(?<=") || text.mid(at, 4) == QLatin1String("(?<!")) {
        at = RegexText::groupEnd(text, at);
        if (at < 0)
            return;
    }
    // A literal before the group: escaped punctuation or characters that are no operators, each once.
    const qsizetype literal = at;
    static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
    while (at < text.size()) {
        if (text.at(at) == u'\\' && at + 1 < text.size() && !text.at(at + 1).isLetterOrNumber())
            at += 2;
        else if (!special.contains(text.at(at)) && !text.at(at).isSpace())
            ++at;
        else
            break;
    }
    const QString group = RegexText::groupText(text, QStringLiteral("1"));
    const QString lead = QStringLiteral("(%1)").arg(group);
    if (group.isNull() || text.mid(at, 1) != QLatin1String("(") || text.mid(at, 2) == QLatin1String("(?") || text.mid(at, lead.size()) != lead)
        return;
    const QString rest = text.mid(at + lead.size());
    QString plainRest;
    if (rest.isEmpty() || QStringLiteral("?*+{").contains(rest.front()) || mayBeEmpty(group) || !RegexText::nonCapturing(rest, plainRest))
        return;
    const QString token = QStringLiteral("%1%2(?=%3)").arg(text.left(at), lead, plainRest);
    if (!QRegularExpression(token).isValid())
        return;
    if (at > literal) {
        behind = text.left(at);
        shown = lead + QStringLiteral("(?=%1)").arg(plainRest);
        if (!QRegularExpression(QStringLiteral("(?<=%1)%2").arg(behind, shown)).isValid()) {
            behind.clear();
            shown.clear();
            return;
        }
        report_.approximated(c.id, QStringLiteral("sub-pattern 1 alone is coloured; what stands before and after it in the match is left plain"));
        return;
    }
    text = token;
    report_.approximated(c.id, QStringLiteral("sub-pattern 1 is the token; the rest of the match is left to what follows it"));
}

// A start that ends with a group coloured by a sub-pattern right after a character (`set\s*\(\s*(\w+)`, the
// name a command sets): the scope starts at that character, and a list in the group's style, valid only
// in the scope, takes the group where it follows that character.
void Conversion::splitTrailingGroup(const GtkContext &c, TokensetDraft &scope)
{
    QString text = scope.tokens.front().text;
    const QString caseless = text.startsWith(QLatin1String("(?i)")) ? QStringLiteral("(?i)") : QString();
    const QString pattern = text.mid(caseless.size());
    int last = 0;
    while (!RegexText::groupText(pattern, QString::number(last + 1)).isNull())
        ++last;
    const GtkInclude *sub = nullptr;
    for (const GtkInclude &inc : c.includes) {
        if (last > 0 && inc.kind == GtkInclude::SubPattern && inc.where == QLatin1String("start")
            && inc.subPattern == QString::number(last) && !inc.styleRef.isEmpty())
            sub = &inc;
    }
    if (!sub || RegexText::hasTopLevelAlternation(pattern))
        return;
    const QString group = RegexText::groupText(pattern, QString::number(last));
    const QString tail = QStringLiteral("(%1)").arg(group);
    if (!pattern.endsWith(tail))
        return;
    QString head = pattern.chopped(tail.size());
    const bool blanks = head.endsWith(QLatin1String("\\s*"));
    if (blanks)
        head.chop(3);
    // The character before: one escaped punctuation character or a plain one.
    QString before;
    if (head.size() >= 2 && head.at(head.size() - 2) == u'\\' && !head.back().isLetterOrNumber())
        before = head.right(2);
    else if (!head.isEmpty() && (head.back().isLetterOrNumber() || QStringLiteral(":=,;<").contains(head.back())))
        before = head.right(1);
    QString plainGroup;
    if (before.isEmpty() || mayBeEmpty(group) || mayBeEmpty(head) || !RegexText::nonCapturing(group, plainGroup))
        return;
    const Look l = look(sub->styleRef, c);
    const QString token = QStringLiteral("%1(?<=%2)%3%4").arg(caseless, before, blanks ? QStringLiteral("\\s*") : QString(), RegexText::grouped(plainGroup));
    if (l.plain || !QRegularExpression(token).isValid() || !QRegularExpression(caseless + head).isValid())
        return;
    TokensetDraft list = listInLook(l, draft_->uniqueName(l.name), c.id, token);
    list.validScopes = QStringList{scope.name};
    scope.tokens.front().text = caseless + head;
    report_.approximated(c.id, QStringLiteral("sub-pattern %1 of the start is a match of its own in the scope, where it follows %2").arg(last).arg(before));
    draft_->tokensets.push_back(std::move(list));
}

// Whether `c` holds a context that starts at a backslash that ends a line and ends where the next line
// starts (a line continued by a backslash).
bool Conversion::continuesAtBackslash(const GtkContext &c, int depth)
{
    return depth < 4 && std::any_of(c.includes.begin(), c.includes.end(), [&](const GtkInclude &inc) {
        const GtkContext *m = inc.kind == GtkInclude::SubPattern ? nullptr : context(inc.ref, inc.original, c.id);
        if (m && m->start && m->end && m->start->text == QLatin1String("\\\\$") && m->end->text == QLatin1String("^"))
            return true;
        // Through a context whose empty start makes what it holds valid where it stands (the right-hand
        // side of a Makefile assignment).
        return m && m->start && m->endAtLineEnd && startsEmpty(*m) && continuesAtBackslash(*m, depth + 1);
    });
}

// A scope that lasts to its line end and has no end of its own, continued on the next line by a
// backslash at the line end (a `#define` over several lines): a line that ends with a backslash opens
// a copy that goes on over lines, and the first line that does not end with one closes it, in its
// colour. The scope itself keeps the lines that do not end with a backslash. Returns the copy's index,
// or -1.
int Conversion::splitContinuedLines(const GtkContext &c, TokensetDraft &scope, const std::vector<Pattern> &ends)
{
    if (!scope.singleline || !c.endAtLineEnd || c.end || !continuesAtBackslash(c))
        return -1;
    const QString start = RegexText::grouped(scope.tokens.front().text);
    TokensetDraft copy = scope;
    copy.name = draft_->uniqueName(scope.name + QStringLiteral(" (continued)"));
    copy.singleline = false;
    copy.tokens.front().text = start + QStringLiteral("(?=.*\\\\$)");
    QStringList alternatives{QStringLiteral("^.*[^\\\\]$")};
    for (const Pattern &p : ends)
        alternatives += RegexText::grouped(p.text);
    copy.tokens2 = {{alternatives.join(u'|'), true, QString(), {}}};
    if (!QRegularExpression(copy.tokens.front().text).isValid())
        return -1;
    scope.tokens.front().text = start + QStringLiteral("(?!.*\\\\$)");
    report_.approximated(c.id, QStringLiteral("a backslash at the line end continues it: \"%1\" holds such lines, up to the "
                                               "first line without one, which takes its colour").arg(copy.name));
    draft_->tokensets.push_back(std::move(copy));
    return int(draft_->tokensets.size()) - 1;
}

// A scope that ends where a line does not begin with some text (`^(?!\t)`: a rule and the commands on the
// tab-indented lines after it): it closes at its line end, and each line that begins with that text opens
// a copy of it for that line, where the scope is valid. Returns the copy's index, or -1.
int Conversion::splitIndentedLines(const GtkContext &c, TokensetDraft &scope)
{
    const QString end = c.end ? c.end->text : QString();
    if (!scope.singleline || c.endAtLineEnd || !end.startsWith(QLatin1String("^(?!")) || RegexText::groupEnd(end, 1) != end.size())
        return -1;
    const QString lead = end.mid(4, end.size() - 5);
    if (lead.isEmpty() || lead.contains(QLatin1String("\\%")) || mayBeEmpty(lead) || !QRegularExpression(lead).isValid())
        return -1;
    TokensetDraft copy = scope;
    copy.name = draft_->uniqueName(scope.name + QStringLiteral(" (continued)"));
    copy.tokens = {{QStringLiteral("^") + RegexText::grouped(lead), true, QString(), {}}};
    copy.tokens2.clear();
    report_.approximated(c.id, QStringLiteral("it goes on over the lines that begin with %1: \"%2\" holds each of them").arg(lead, copy.name));
    draft_->tokensets.push_back(std::move(copy));
    return int(draft_->tokensets.size()) - 1;
}

// What takes the rest of a scope's first line right after its start: an uncoloured context up to the line end
// whose start only looks behind at the start's last character (`(?<=:)(?=.)` after a rule's `target:`, the
// prerequisites). Or null.
const GtkContext *Conversion::lineRestOf(const GtkContext &c)
{
    static const QRegularExpression behind(QStringLiteral(R"(^\(\?<=(\\?[^\\()\[\]|*+?{}.^$])\)(?:\(\?=\.\))?$)"));
    static const QString special = QStringLiteral("\\^$.|?*+()[]{}");
    for (const GtkInclude &inc : c.includes) {
        const GtkContext *m = inc.kind == GtkInclude::Ref ? context(inc.ref, inc.original, c.id) : nullptr;
        if (!c.start || !m || !m->start || !m->endAtLineEnd || m->match || !hasChildren(*m) || !coloursNothing(m->styleRef))
            continue;
        const QRegularExpressionMatch b = behind.match(m->start->text);
        if (!b.hasMatch())
            continue;
        const QChar last = b.captured(1).back();
        const QString &start = c.start->text;
        if (start.endsWith(QStringLiteral("\\") + last) || (start.endsWith(last) && !special.contains(last)))
            return m;
    }
    return nullptr;
}

// An end that repeats a group of the start that may be empty (`#\[(=*)\[` ... `\]\%{1@start}\]`, a bracket
// comment): the scope opens where the group is not empty and ends where the end's is not either, and a copy of
// it opens where the group is empty and ends where the end's is too, so `]]` does not close `#[==[`.
// Returns the copy's index, or -1.
int Conversion::splitEmptyGroup(const GtkContext &c, TokensetDraft &scope)
{
    static const QRegularExpression reference(QStringLiteral(R"(\%\{([1-9])@start\})"));
    static const QRegularExpression repeated(QStringLiteral(R"(^(\\.|[^\\()\[\]|*+?{}.^$]|\[[^\]]*\])\*$)"));
    const QRegularExpressionMatch ref = c.end ? reference.match(c.end->text) : QRegularExpressionMatch();
    if (!ref.hasMatch() || scope.tokens2.size() != 1 || c.end->text.count(QLatin1String("@start}")) != 1)
        return -1;
    QString start = scope.tokens.front().text;
    const QString options = start.startsWith(QLatin1String("(?i)")) ? QStringLiteral("(?i)") : QString();
    start = start.mid(options.size());
    const QString body = RegexText::groupText(start, ref.captured(1));
    const QRegularExpressionMatch atom = repeated.match(body);
    const QString group = u'(' + body + u')', inEnd = QStringLiteral("(?:%1)").arg(body);
    const QString &end = scope.tokens2.front().text;
    if (!atom.hasMatch() || start.count(group) != 1 || end.count(inEnd) != 1)
        return -1;
    const QString some = atom.captured(1) + u'+';
    // The copy, listed first, keeps the name: the two merge into one scope where nothing tells them apart.
    TokensetDraft copy = scope;
    copy.tokens.front().text = options + QString(start).replace(group, QStringLiteral("()"));
    copy.tokens2.front().text = QString(end).remove(inEnd);
    scope.name = draft_->uniqueName(scope.name + QStringLiteral(" (delimited)"));
    scope.tokens.front().text = options + start.replace(group, u'(' + some + u')');
    scope.tokens2.front().text = QString(end).replace(inEnd, QStringLiteral("(?:%1)").arg(some));
    report_.approximated(c.id, QStringLiteral("the end repeats a group of the start that may be empty: \"%1\" is the scope where the group "
                                               "is not empty, and ends only where the end's is not either").arg(scope.name));
    draft_->tokensets.push_back(std::move(copy));
    return int(draft_->tokensets.size()) - 1;
}

// A start that opens with an optional group coloured by a sub-pattern (`(\[de\])?\s*=`): the group becomes
// a list of its own in that style, followed by the rest of the start, and the scope starts with the rest.
// Returns the list's index, or -1 when the start has no such shape.
// Whether the start's groups styled where="start" all take `style` and, taken out, leave only blanks and
// word boundaries: `\b(NAME)\s*(\()` with both groups in one style looks as one styled start.
bool Conversion::stylesWholeStart(const GtkContext &c, const QString &start, const QString &style)
{
    QString rest = start;
    int groups = 0;
    for (const GtkInclude &inc : c.includes) {
        if (inc.kind != GtkInclude::SubPattern || inc.where != QLatin1String("start") || inc.styleRef.isEmpty())
            continue;
        const QString body = RegexText::groupText(start, inc.subPattern);
        if (inc.styleRef != style || inc.subPattern == QLatin1String("0") || body.isNull() || !rest.contains(u'(' + body + u')'))
            return false;
        rest.replace(rest.indexOf(u'(' + body + u')'), body.size() + 2, QString());
        ++groups;
    }
    static const QRegularExpression blanks(QStringLiteral(R"(^(?:\\b|\\s[*+?]?)*$)"));
    return groups > 1 && blanks.match(rest).hasMatch();
}

int Conversion::splitLeadingGroup(const GtkContext &c, TokensetDraft &scope)
{
    const GtkInclude *sub = nullptr;
    for (const GtkInclude &inc : c.includes) {
        if (inc.kind == GtkInclude::SubPattern && inc.where == QLatin1String("start") && inc.subPattern == QLatin1String("1")
            && !inc.styleRef.isEmpty())
            sub = &inc;
    }
    if (!sub)
        return -1;
    const QString text = scope.tokens.front().text;
    const QString caseless = text.startsWith(QLatin1String("(?i)")) ? QStringLiteral("(?i)") : QString();
    const QString pattern = text.mid(caseless.size());
    const QString group = RegexText::groupText(pattern, QStringLiteral("1"));
    // The group may also be one that is always there, when only a delimiter follows it (`(name\s*=\s*)(")`):
    // the scope then opens at the delimiter, which the list has looked ahead at.
    const QString optional = QStringLiteral("(%1)?").arg(group);
    const bool always = !pattern.startsWith(optional);
    const QString lead = always ? QStringLiteral("(%1)").arg(group) : optional;
    if (group.isEmpty() || !pattern.startsWith(lead) || RegexText::hasTopLevelAlternation(pattern))
        return -1;
    const QString rest = pattern.mid(lead.size());
    QString plainRest;
    if (rest.isEmpty() || mayBeEmpty(rest) || mayBeEmpty(group) || !RegexText::nonCapturing(rest, plainRest)
        || !QRegularExpression(caseless + group).isValid() || (always && !oneDelimiter(plainRest)))
        return -1;
    // Where the group is always there, the delimiter opens the scope only after the group's last character
    // (and blanks, when the group ends with them): a look-behind.
    QString behind;
    if (always) {
        QString head = group;
        const bool blanks = head.endsWith(QLatin1String("\\s*"));
        if (blanks)
            head.chop(3);
        QString last;
        if (head.size() >= 2 && head.at(head.size() - 2) == u'\\' && !head.back().isLetterOrNumber())
            last = head.right(2);
        else if (!head.isEmpty() && !QStringLiteral("\\^$.|?*+()[]{}").contains(head.back()))
            last = head.right(1);
        if (last.isEmpty() || (head.size() > last.size() && head.at(head.size() - last.size() - 1) == u'\\'))
            return -1;
        behind = blanks ? QStringLiteral("(?<=%1|%1\\s|%1\\s\\s)").arg(last) : QStringLiteral("(?<=%1)").arg(last);
    }
    const Look l = look(sub->styleRef, c);
    if (l.plain || !QRegularExpression(caseless + behind + rest).isValid())
        return -1;
    TokensetDraft list = listInLook(l, draft_->uniqueName(l.name), c.id,
                                    QStringLiteral("%1%2(?=%3)").arg(caseless, RegexText::grouped(group), plainRest));
    scope.tokens.front().text = caseless + behind + rest;
    report_.approximated(c.id, QStringLiteral("sub-pattern 1 of the start is a match of its own before the scope, in its style"));
    draft_->tokensets.push_back(std::move(list));
    return int(draft_->tokensets.size()) - 1;
}

bool Conversion::run(const QByteArray &bytes, const QString &fileName, LanguageDraft &draft, QString &problem)
{
    auto main = std::make_unique<GtkLanguage>();
    if (!main->read(bytes, fileName, problem))
        return false;
    // Without the default scheme installed the language still converts, in black on white.
    const QString scheme = options_.scheme.isEmpty() ? GtkSourceViewConverter::defaultScheme() : options_.scheme;
    if (QString why; !scheme_.load(scheme, GtkStyleScheme::standardFolders(), why)) {
        if (!options_.scheme.isEmpty()) {
            problem = why;
            return false;
        }
        report_.approximated(main->id, why + QStringLiteral(": every tokenset is black on white"));
    }
    GtkLanguage *lang = main.get();
    mainLanguage_ = lang->id;
    own_ = {lang->id};
    for (auto it = lang->replaces.cbegin(); it != lang->replaces.cend(); ++it)
        replaces_.insert(it.key(), it.value());
    languages_.emplace(lang->id, std::move(main));
    const GtkContext *top = context(lang->mainContext(), true, lang->id);
    if (!top) {
        problem = QStringLiteral("%1: the language has no main context \"%2\"").arg(fileName, lang->id);
        return false;
    }
    draft_ = &draft;
    draft.name = lang->name;
    draft.ownSources = lang->id + u':';
    if (!lang->keywordCharClass.isEmpty())
        draft.wordchars = lang->keywordCharClass;

    // The outermost level, then each scope as it is met: list what is valid in it, in priority order.
    struct Level {
        QString name; // "" for the outermost level
        const GtkContext *context;
        QString style;
        std::vector<Pattern> ends;
        bool firstLine = false; // only the first line of the context (firstLines_)
    };
    std::deque<Level> levels{{QString(), top, QString(), {}}};
    QHash<QString, int> guardOf; // the form a tokenset's first token takes as a guard -> that tokenset
    while (!levels.empty()) {
        const Level level = levels.front();
        levels.pop_front();
        std::vector<Alt> alts;
        QSet<QString> seen{level.context->id};
        // On a first line that a context takes the rest of after the start, that context holds the line: what
        // it holds is valid there, and what comes after it in the scope is not (a rule's commands).
        GtkContext firstLine;
        const GtkContext *rest = level.firstLine ? lineRestOf(*level.context) : nullptr;
        if (rest) {
            firstLine = *level.context;
            firstLine.includes.clear();
            for (const GtkInclude &inc : level.context->includes) {
                if (inc.kind != GtkInclude::SubPattern && context(inc.ref, inc.original, level.context->id) == rest) {
                    firstLine.includes.push_back({GtkInclude::Children, rest->id, QString(), false, false, QString(), QString()});
                    break;
                }
                firstLine.includes.push_back(inc);
            }
            report_.approximated(rest->id, QStringLiteral("the start only looks behind at the end of the start of \"%1\": what it holds is valid in "
                                                           "its first line, and what comes after it there is not").arg(level.name));
        }
        flatten(rest ? firstLine : *level.context, level.style, alts, seen);
        // Patterns before the current alternative, that win where they match.
        QStringList earlier;
        std::vector<int> earlierFrom; // the tokenset each earlier pattern is the start of; -1 for an end
        for (const Pattern &p : level.ends) {
            earlier += p.guardForm;
            earlierFrom.push_back(-1);
        }
        QSet<int> listed; // a tokenset met again in one place keeps the priority of its first place
        // Right after a delimiter that words stand behind here (a property's `.`), only those words are such:
        // the other lists of words of the part give way there (`globalThis.String` is no global).
        QStringList behinds;
        for (const Alt &alt : alts) {
            if (!alt.behind.isEmpty() && !behinds.contains(alt.behind))
                behinds += alt.behind;
        }
        for (const Alt &alt : alts) {
            const int k = tokenset(alt, level.style);
            if (k < 0 || listed.contains(k))
                continue;
            listed.insert(k);
            const int continued = continued_.value(k, -1);
            // A list that earlier patterns here always take the place of is not valid here.
            QStringList before;
            for (qsizetype e = 0; e < earlier.size(); ++e)
                before += earlierFrom[size_t(e)] == k ? QString() : earlier[e];
            const TokensetDraft &kt = draft.tokensets[size_t(k)];
            const bool hidden = !kt.scope && !kt.tokens.empty()
                && std::all_of(kt.tokens.begin(), kt.tokens.end(), [&](const TokenDraft &x) { return shadowed(x.text, before); });
            if (hidden && !draft.tokensets[size_t(k)].hiddenIn.contains(level.name))
                draft.tokensets[size_t(k)].hiddenIn += level.name;
            for (const int n : {leadingGroups_.value(k, -1), continued, k}) {
                if (n < 0 || (hidden && n == k))
                    continue;
                TokensetDraft &t = draft.tokensets[size_t(n)];
                if (!t.validScopes.contains(level.name))
                    t.validScopes += level.name;
                const GtkContext *from = behinds.isEmpty() || !alt.behind.isEmpty() || n != k ? nullptr : context(alt.context, true, alt.context);
                const bool words = from && !from->keywords.isEmpty() && from->lang != mainLanguage_ && own_.contains(from->lang);
                for (TokenDraft &token : t.tokens) {
                    for (const QString &b : std::as_const(behinds)) {
                        if (words && !token.guards.contains(b))
                            token.guards += b;
                    }
                    for (qsizetype e = 0; e < earlier.size(); ++e) {
                        // A tokenset listed twice in one place (also through a context entered by a
                        // look-ahead) does not give way to itself.
                        const QString &g = earlier[e];
                        if (earlierFrom[size_t(e)] == n)
                            continue;
                        if (!g.isEmpty() && !token.guards.contains(g) && overlaps(g, token.text))
                            token.guards += g;
                    }
                }
            }
            for (const int n : {continued, k}) {
                if (n < 0)
                    continue;
                TokensetDraft &t = draft.tokensets[size_t(n)];
                const QString own = t.tokens.empty() ? QString() : t.tokens.front().text;
                QString plain;
                // A list that stands only after a delimiter (a property after `.`) holds nothing back: its
                // words, thousands of them, would make every later token too large to compile.
                if (!own.isEmpty() && alt.behind.isEmpty() && RegexText::nonCapturing(own, plain)) {
                    earlier += own.startsWith(QLatin1String("(?i)")) ? QStringLiteral("(?i:%1)").arg(plain.mid(4)) : RegexText::grouped(plain);
                    guardOf.insert(earlier.back(), n);
                } else
                    earlier += QString();
                earlierFrom.push_back(n);
            }
            while (!scopes_.empty()) {
                const int s = scopes_.front();
                scopes_.pop_front();
                const Alt a = scopeAlt_.value(s);
                levels.push_back({draft.tokensets[size_t(s)].name, context(a.context, true, a.context), a.style, ends_.value(s), firstLines_.contains(s)});
            }
        }
    }
    dropMutualGuards(draft, guardOf, report_);
    for (TokensetDraft &t : draft.tokensets) {
        if (t.hiddenIn.isEmpty())
            continue;
        report_.approximated(t.source, QStringLiteral("\"%1\" is left out of %2 scopes where patterns before it always match first")
                                           .arg(t.name).arg(t.hiddenIn.size()));
        // Left out everywhere, it goes (no places would read as the record's default places).
        if (t.validScopes.isEmpty())
            t.tokens.clear();
    }
    // A tokenset hidden where another stands does not hold that one back: there it never matches.
    for (auto it = guardOf.cbegin(); it != guardOf.cend(); ++it) {
        const QStringList &hidden = draft.tokensets[size_t(it.value())].hiddenIn;
        if (hidden.isEmpty())
            continue;
        for (TokensetDraft &u : draft.tokensets) {
            if (std::any_of(hidden.begin(), hidden.end(), [&](const QString &h) { return u.validScopes.contains(h); })) {
                for (TokenDraft &x : u.tokens)
                    x.guards.removeAll(it.key());
            }
        }
    }
    // A scope that colours nothing and ends the scope around it (end-parent: `@media ... { ... }`, a style sheet
    // up to `</style>`): the end becomes an end of that scope, beside any it has (a tag's `/>`), tried inside
    // this one (chain), so one end closes both; this one then has no end of its own.
    for (const int k : endParentScopes_) {
        TokensetDraft &t = draft.tokensets[size_t(k)];
        if (t.tokens2.empty())
            continue;
        const bool uncoloured = t.id == QLatin1String("parameterblocks");
        std::vector<TokensetDraft *> parents;
        for (const QString &name : std::as_const(t.validScopes)) {
            TokensetDraft *p = name.isEmpty() ? nullptr : draft.find(name);
            if (p && p != &t && p->scope && (p->tokens2.empty() || (uncoloured && t.tokens2.size() == 1)))
                parents.push_back(p);
        }
        if (parents.empty())
            continue;
        if (!uncoloured) {
            if (splitEndWithParents(t, parents))
                report_.approximated(t.source, QStringLiteral("end-parent: the first character of the end is its end, the rest ends the scopes around it"));
            continue;
        }
        for (TokensetDraft *p : parents) {
            if (p->tokens2.empty()) {
                p->tokens2 = t.tokens2;
            } else {
                for (TokenDraft &e : p->tokens2)
                    e.text = QStringLiteral("%1|%2").arg(flagGrouped(guardedText(e)), flagGrouped(t.tokens2.front().text));
            }
            p->chain = true;
        }
        report_.approximated(t.source, QStringLiteral("end-parent: the scopes around it end where it does, and it ends with them"));
        t.tokens2.clear();
    }
    // The scopes around one that closes with them try their ends inside it too (chain), and win over its
    // end where both match.
    for (const int k : closeWithParent_) {
        TokensetDraft &t = draft.tokensets[size_t(k)];
        for (const QString &parent : std::as_const(t.validScopes)) {
            TokensetDraft *p = draft.find(parent);
            if (!p || !p->scope)
                continue;
            p->chain = true;
            for (const TokenDraft &e : p->tokens2) {
                QString plain;
                if (t.tokens2.size() == 1 && RegexText::nonCapturing(e.text, plain) && !t.tokens2.front().guards.contains(plain))
                    t.tokens2.front().guards += plain;
            }
        }
    }
    if (draft.tokensets.empty()) {
        problem = QStringLiteral("%1: the language defines nothing to colour").arg(fileName);
        return false;
    }
    return true;
}

} // namespace

bool GtkSourceViewConverter::recognises(const QByteArray &bytes) const
{
    return looksLikeGtkLanguage(bytes);
}

QStringList GtkSourceViewConverter::standardFolders()
{
    QStringList folders;
    for (const char *version : {"4", "5", "3.0"})
        folders += QStringLiteral("/usr/share/gtksourceview-%1/language-specs").arg(QLatin1String(version));
    folders += QDir::homePath() + QStringLiteral("/.local/share/gtksourceview-4/language-specs");
    return folders;
}

bool GtkSourceViewConverter::convert(const QByteArray &bytes, const QString &fileName, const ConversionOptions &options,
                                     LanguageDraft &draft, ConversionReport &report, QString &problem) const
{
    Conversion conversion(options, report, searchFolders(fileName, options, standardFolders()));
    return conversion.run(bytes, fileName, draft, problem);
}
