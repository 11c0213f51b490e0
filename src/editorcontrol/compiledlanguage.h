#pragma once

#include "editorcontrol/languagedefinition.h"

#include <QString>
#include <QStringList>

#include <memory>

// The style a tokenset paints with, after colour inheritance. Colours are 0x00BBGGRR; -1 means
// "use the pane's default".
struct TokensetStyle {
    qint32 fore = -1;
    qint32 back = -1;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hyperlink = false; // tokens of an id "hyperlinks" tokenset are hot spots
};

// Tokenset id numbers the colouring rules look at.
namespace TokensetIds {
constexpr int Text = 1;
constexpr int ScopeKeywords = 5;
constexpr int BlockComments = 6;
constexpr int LineComments = 7;
constexpr int Strings = 8;
constexpr int Hyperlinks = 15;
constexpr int ParameterBlocks = 28;
constexpr int Whitespace = 30;
} // namespace TokensetIds

struct CompiledLanguageData;

// A definition made ready for colouring: literal tokens in hash tables, regexps compiled once, the
// resolved style of each tokenset and the tokensets valid in each scope. Built once per load, never
// changed afterwards, shared by every pane and highlighter that colours with it.
class CompiledLanguage {
public:
    // Never fails: a token whose regexp does not compile never matches, a reference to a missing
    // tokenset is ignored; both are listed in problems().
    // `shortcuts` off: every regexp token goes to the regexp engine at every position where it is
    // valid. Slow; the colours are the same, which the tests check.
    static std::shared_ptr<const CompiledLanguage> compile(const LanguageDefinition &definition, bool shortcuts = true);
    ~CompiledLanguage();

    const LanguageDefinition &definition() const;
    QStringList problems() const;

    int tokensetCount() const;
    QString tokensetName(int tokenset) const;
    int indexOf(const QString &name) const; // -1 when no tokenset has that name
    bool isScope(int tokenset) const;
    bool matchBraces(int tokenset) const;
    const TokensetStyle &style(int tokenset) const; // tokenset -1: defaultStyle()
    // Plain text outside every token: the "text" tokenset (id 1, preferring one without tokens),
    // or -1 when the language has none.
    int textTokenset() const;
    const TokensetStyle &defaultStyle() const;
    // Whether a character counts as a word character for the rule "word" (the language's wordchars).
    bool isWordChar(char32_t c) const;

    // Regexp tokens that ran out of steps while colouring with this language (a pattern that
    // backtracks without end, such as "(a+)+$"): one message each, in the order they were found. Such
    // a token counts as no match where it runs out and goes on matching elsewhere.
    QStringList matchLimitProblems() const;

    const CompiledLanguageData &data() const { return *d; }

private:
    CompiledLanguage();
    std::unique_ptr<CompiledLanguageData> d;
};

using CompiledLanguagePtr = std::shared_ptr<const CompiledLanguage>;
