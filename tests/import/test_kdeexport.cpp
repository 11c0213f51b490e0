// Languages written as KDE syntax definitions colour in kate-syntax-highlighter as in Varlex: longest
// match over first rule, conditions of rules, case, scopes closed through transparent ones, single-line
// scopes; and the command and menu that write them.
#include "common/testutil.h"
#include "editorcontrol/test_engine_support.h"
#include "import/kdesyntaxwriter.h"

#include <QDir>

#include <array>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

using namespace EngineTest;

namespace {

// The text of kate's HTML: its markup characters and numeric references.
QString unescaped(QString html)
{
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9a-fA-F]+);"));
    for (auto m = numeric.match(html); m.hasMatch(); m = numeric.match(html, m.capturedStart() + 1))
        html.replace(m.capturedStart(), m.capturedLength(),
                     QString::fromUcs4(std::array<char32_t, 1>{char32_t(m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16))}.data(), 1));
    return html.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

bool haveKate()
{
    return !QStandardPaths::findExecutable(QStringLiteral("kate-syntax-highlighter")).isEmpty();
}

// A text with each run of a tokenset other than plain text marked [Name:text]; line breaks, which
// kate colours with no tokenset, are left out of every run.
QString markedNames(const QString &text, const QStringList &names)
{
    QString out;
    QString open;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const QString now = i == text.size() || text[i] == u'\n' ? QString() : names.value(i);
        if (now != open) {
            if (!open.isEmpty())
                out += QLatin1Char(']');
            if (!now.isEmpty())
                out += QLatin1Char('[') + now + QLatin1Char(':');
            open = now;
        }
        if (i < text.size())
            out += text[i];
    }
    return out;
}

QString varlexMarked(const LanguageDefinition &definition, const QString &text)
{
    const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
    QStringList names;
    for (const StyleRun &r : Highlighter(language).highlightText(text, true))
        for (int i = 0; i < r.length; ++i)
            names << (r.tokenset < 0 || r.tokenset == language->textTokenset() ? QString() : language->tokensetName(r.tokenset));
    return markedNames(text, names);
}

// kate-syntax-highlighter's colouring of a text with only this definition added: each tokenset has a
// colour of its own, so the colour names it.
QString kateMarked(LanguageDefinition definition, const QString &text, QString *warnings = nullptr)
{
    definition.name = QStringLiteral("Varlex Test Language");
    for (int i = 0; i < definition.tokensets.size(); ++i) {
        definition.tokensets[i].forecolor = (i + 1) << 16; // #0000NN
        definition.tokensets[i].backcolor = -1;
    }
    const CompiledLanguagePtr language = CompiledLanguage::compile(definition);
    const KdeSyntaxWriter::Result result = KdeSyntaxWriter::write(*language);
    TestUtil::TempFolder home;
    QDir(home.path()).mkpath(QStringLiteral("org.kde.syntax-highlighting/syntax"));
    home.write(QStringLiteral("org.kde.syntax-highlighting/syntax/test.xml"), result.xml);
    home.write(QStringLiteral("text.txt"), text.toUtf8());
    QProcess kate;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    kate.setProcessEnvironment(env);
    kate.start(QStringLiteral("kate-syntax-highlighter"),
               {QStringLiteral("-s"), definition.name, QStringLiteral("-f"), QStringLiteral("html"), home.file(QStringLiteral("text.txt"))});
    kate.waitForFinished(60000);
    if (warnings)
        *warnings = QString::fromUtf8(kate.readAllStandardError()).trimmed();
    const QString page = QString::fromUtf8(kate.readAllStandardOutput());
    const qsizetype from = page.indexOf(QStringLiteral("<pre>\n")) + 6;
    const QString body = page.mid(from, page.lastIndexOf(QStringLiteral("</pre>")) - from);
    QStringList names;
    auto add = [&](const QString &name, const QString &piece) {
        for (qsizetype i = 0; i < piece.size(); ++i)
            names << name;
    };
    static const QRegularExpression runs(QStringLiteral("<span style=\"color:#0000([0-9a-f]{2})[^\"]*\">(.*?)</span>|<span[^>]*>(.*?)</span>|([^<]+)"),
                                         QRegularExpression::DotMatchesEverythingOption);
    for (auto it = runs.globalMatch(body); it.hasNext();) {
        const auto m = it.next();
        const int index = m.captured(1).isEmpty() ? 0 : m.captured(1).toInt(nullptr, 16);
        add(index ? definition.tokensets[index - 1].name : QString(), unescaped(index ? m.captured(2) : m.captured(3) + m.captured(4)));
    }
    return markedNames(text, names);
}

TokensetDefinition validIn(TokensetDefinition set, const QStringList &scopes)
{
    set.validscopes = scopes;
    return set;
}

TokensetDefinition caseSensitive(TokensetDefinition set)
{
    set.casesensitive = true;
    return set;
}

void expectSameInKate(const std::vector<std::pair<LanguageDefinition, QString>> &cases)
{
    if (!haveKate())
        GTEST_SKIP() << "kate-syntax-highlighter is not installed (scripts/install-deps.sh installs it)";
    for (const auto &[definition, text] : cases) {
        QString warnings;
        EXPECT_EQ(kateMarked(definition, text, &warnings), varlexMarked(definition, text)) << text.toStdString();
        EXPECT_EQ(warnings, QString()) << text.toStdString();
    }
}

} // namespace

TEST(KdeExport, LongestMatchRulesAndCase)
{
    const LanguageDefinition tokens = language({
        listSet("Short", {"if", "<"}),
        listSet("Ident", {"[a-z_]\\w*"}, true),                    // longer than a keyword it begins with
        caseSensitive(listSet("Types", {"Int", "Integer"})),
        listSet("Ops", {"<=", "<<="}),
        listSet("Lead", {"x"}, false, QStringLiteral("leadwith[(]")),
        listSet("Trail", {"y"}, false, QStringLiteral("trailwith[;]")),
        listSet("Col", {"#"}, false, QStringLiteral("col1")),
        listSet("Num", {"\\d+(\\.\\d+)?"}, true, QStringLiteral("word")),
        listSet("Fall", {"#(if|ifdef)"}, true, QStringLiteral("word")), // the next choice that ends a word
    });
    expectSameInKate({
        {tokens, "if iffy IF If"},
        {tokens, "a <<= b <= c < d"},
        {tokens, "Int INT Integer integer"},
        {tokens, "(x x y; y"},
        {tokens, "# x #\n#ifdef #if #ifx"},
        {tokens, "12.5 1x 3.a"},
    });
}

TEST(KdeExport, ScopesAndWhereTokensAreValid)
{
    TokensetDefinition braces = scopeSet("Braces", TokensetIds::ScopeKeywords, {"{"}, {"}"});
    TokensetDefinition parens = scopeSet("Parens", TokensetIds::ParameterBlocks, {"("}, {")"});
    parens.chain = false;
    TokensetDefinition quotes = scopeSet("Str##ing", TokensetIds::Strings, {"\"", "'"}, {}); // "##" names no other definition
    quotes.symmetrical = true;
    quotes.singlelinescope = true;
    const LanguageDefinition d = language({
        braces,
        parens,
        quotes,
        scopeSet("Com", TokensetIds::BlockComments, {"/*"}, {"*/"}),
        scopeSet("Line", TokensetIds::LineComments, {"//"}, {}, true),
        scopeSet("Pre", 26, {"#"}, {}, true),
        listSet("K", {"if"}),
        validIn(listSet("Esc", {"\\\\."}, true), {"Str##ing"}),
        validIn(listSet("Todo", {"TODO"}), {"Com", ""}),
        validIn(listSet("Arg", {","}), {"Parens"}),
        scopeSet("Begin", TokensetIds::ScopeKeywords, {"begin"}, {"}"}), // closes as the braces do
    });
    expectSameInKate({
        {d, "if {if (if, a)} \"if ' \\\" x\" 'a\"b'"},
        {d, "{ f( } if"},                                    // the brace closes the parenthesis with it
        {d, "{ ( ( } ) }"},
        {d, "/* TODO\nstill */ TODO // if\nif"},
        {d, "# /* a multi-line scope inside a single-line one\nif */"},
        {d, "\"open\nif"},
        {d, "{ begin ( } } begin ( } if"},
    });
    // A scope opened in more than one way (one context per quote) has its tokens written once.
    const QString xml = QString::fromUtf8(KdeSyntaxWriter::write(*CompiledLanguage::compile(d)).xml);
    EXPECT_EQ(xml.count(QStringLiteral("attribute=\"Esc\"")), 1);
    // Inside the braces, whose "}" chains through it, "begin" opens a context that acts as the one
    // it opens outside them: one context stands for both.
    EXPECT_EQ(xml.count(QRegularExpression(QStringLiteral("<context name=\"[^\"]*\" attribute=\"Begin\""))), 1);
}

TEST(KdeExport, DefinitionNamesItemsAndWordCharacters)
{
    LanguageDefinition d = language({listSet("Keywords", {"a"}), listSet("Keywords", {"b"}, false)});
    d.name = QStringLiteral("Tom & \"Jerry\"");
    d.wordchars = QStringLiteral("[\\w$.]");
    d.tokensets[0].forecolor = 0x0000FF; // red
    d.tokensets[0].fontstyle = 3;
    d.tokensets[1].forecolor = -1;
    d.tokensets[1].backcolor = 0x302010;
    KdeSyntaxWriter::Options options;
    options.extensions = QStringLiteral("*.tj;*.tom");
    const QString xml = QString::fromUtf8(KdeSyntaxWriter::write(*CompiledLanguage::compile(d), options).xml);
    EXPECT_TRUE(xml.contains(QStringLiteral("name=\"Tom &amp; &quot;Jerry&quot;\" section=\"Other\" version=\"1000\" "
                                            "kateversion=\"5.0\" extensions=\"*.tj;*.tom\"")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<itemData name=\"Keywords\" defStyleNum=\"dsKeyword\" color=\"#ff0000\" "
                                            "bold=\"1\" italic=\"1\"")));
    // No colour of its own: KDE's normal text colour; every look is said, so no theme adds to it.
    EXPECT_TRUE(xml.contains(QStringLiteral("<itemData name=\"Keywords (2)\" defStyleNum=\"dsNormal\" backgroundColor=\"#102030\" "
                                            "bold=\"0\" italic=\"0\" underline=\"0\"")));
    // "$" and "." are word characters here: "." is no longer a delimiter, "$" was none already.
    EXPECT_TRUE(xml.contains(QStringLiteral("weakDeliminator=\".\"")));
    EXPECT_FALSE(xml.contains(QStringLiteral("additionalDeliminator=\"\"")));
    EXPECT_EQ(KdeSyntaxWriter::fileName(QStringLiteral("C++ / Tom's")), QStringLiteral("c++___tom_s.xml"));
}
