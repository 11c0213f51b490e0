#include "model/tokenset.h"
#include "xmlgen/splittokens.h"

#include <gtest/gtest.h>

namespace {

// The expected lines, each preceded by CR LF; a line starting with '>' is a token line "<token " + the rest.
QString lines(std::initializer_list<const char *> list)
{
    QString out;
    for (const char *line : list)
        out += QStringLiteral("\r\n") + (line[0] == '>' ? QStringLiteral("          <token ") + QString::fromUtf8(line + 1)
                                                        : QString::fromUtf8(line));
    return out;
}

const char *const kOpen = "     <tokens regexp=\"true\" rule=\"word\">";
const char *const kClose = "     </tokens>";

struct Case {
    const char *what;
    const char *t1;
    QString expected;
    const char *rule = "Word";
    qint32 regexp = 1;
    const char *lead = "", *trail = "";
    bool hide = false;
    const char *type = "list", *t2 = "";
};

TEST(SplitTokens, TokenLinesAndListDefaults)
{
    const Case cases[] = {
        // Token lines
        {"worked example", "if\r\nFoo :::: ListMembers :::: false :::: col 3", lines({kOpen,
         "          <token >if</token>",
         "          <token  action=\"ListMembers\" regexp=\"false\" rule=\"col3\">Foo</token>", kClose})},
        {"only line breaks and blanks", "\r\n   \r\n", lines({kOpen, kClose})},
        {"empty token with action", ":::: ListMembers", lines({kOpen, "> action=\"ListMembers\"></token>", kClose})},
        {"blanks around the separator do not count", "a::::b\r\na :::: b",
         lines({kOpen, "> action=\"b\">a</token>", "> action=\"b\">a</token>", kClose})},
        {"five fields give no attributes", "x :::: a :::: true :::: word :::: y", lines({kOpen, ">>x</token>", kClose})},
        {"a bare line never takes attributes of an earlier line", "a :::: ListMembers :::: true\r\nb",
         lines({kOpen, "> action=\"ListMembers\" regexp=\"true\">a</token>", ">>b</token>", kClose})},
        {"markup is escaped once", "a<b&c\r\nd :::: :::: :::: leadwith[&]", lines({kOpen, ">>a&lt;b&amp;c</token>",
         "> action=\"\" regexp=\"false\" rule=\"leadwith[&amp;]\">d</token>", kClose})},
        {"quotes in action and rule", "q :::: a\"b :::: :::: trailwith[\"]",
         lines({kOpen, "> action=\"a&quot;b\" regexp=\"false\" rule=\"trailwith[&quot;]\">q</token>", kClose})},
        {"tabs and lone line feeds are token text", "\tx\nb ", lines({kOpen, ">>\tx\nb</token>", kClose})},
        // Rule fields of token lines
        {"letter case of leadwith kept", "t :::: :::: :::: LeadWith(x)",
         lines({kOpen, "> action=\"\" regexp=\"false\" rule=\"LeadWith(x)\">t</token>", kClose})},
        {"mixed brackets that fail", "t :::: :::: :::: leadwith(x]",
         lines({kOpen, "> action=\"\" regexp=\"false\" rule=\"word\">t</token>", kClose})},
        {"mixed brackets that pass", "t :::: :::: :::: leadwith[x}",
         lines({kOpen, "> action=\"\" regexp=\"false\" rule=\"leadwith[x}\">t</token>", kClose})},
        {"null, unknown and col forms",
         "a :::: x :::: TRUE   :::: Null\r\nb :::: x :::: yes :::: whatever\r\nc :::: x :::: :::: COL 12\r\nd :::: x :::: :::: col",
         lines({kOpen, "> action=\"x\" regexp=\"true\" rule=\"\">a</token>",
                "> action=\"x\" regexp=\"false\" rule=\"word\">b</token>",
                "> action=\"x\" regexp=\"false\" rule=\"col12\">c</token>",
                "> action=\"x\" regexp=\"false\" rule=\"col0\">d</token>", kClose})},
        {"col numbers are held to 16 bits",
         "a :::: x :::: :::: col 99999\r\nb :::: x :::: :::: col-40000\r\nc :::: x :::: :::: col 3.5",
         lines({kOpen, "> action=\"x\" regexp=\"false\" rule=\"col32767\">a</token>",
                "> action=\"x\" regexp=\"false\" rule=\"col-32768\">b</token>",
                "> action=\"x\" regexp=\"false\" rule=\"col4\">c</token>", kClose})},
        {"hidden defaults on token lines", "a :::: :::: true :::: word\r\nb :::: :::: no :::: null",
         lines({"     <tokens>", ">>a</token>", "> regexp=\"false\" rule=\"\">b</token>", kClose}), "Word", 1, "", "", true},
        // Attributes of the list tags
        {"a list ignores the second list", "a", lines({kOpen, ">>a</token>", kClose}), "Word", 1, "", "", false, "list", "b"},
        {"a scope writes both lists with the same attributes", "a",
         lines({"     <tokens regexp=\"false\" rule=\"leadwith[x&amp;]\">", ">>a</token>", kClose,
                "     <tokens2 regexp=\"false\" rule=\"leadwith[x&amp;]\">", ">>b</token>", ">>c</token>", "     </tokens2>"}),
         "LeadWith", 0, "x&", "", false, "scope", "b\r\nc"},
        {"hidden: regexp 1 and Word give a bare tag", "", lines({"     <tokens>", kClose}), "Word", 1, "", "", true},
        {"hidden: NULL keeps its empty rule", "", lines({"     <tokens rule=\"\">", kClose}), "NULL", 1, "", "", true},
        {"hidden: Col keeps its rule", "", lines({"     <tokens regexp=\"false\" rule=\"col2\">", kClose}), "Col", 0,
         " 2.5x", "", true},
        {"blank lead gives no rule", "", lines({"     <tokens regexp=\"true\">", kClose}), "LeadWith", 1, "  "},
        {"lead and trail", "", lines({"     <tokens regexp=\"true\" rule=\"leadwith[a]|trailwith[ b]\">", kClose}),
         "LeadWith TrailWith", 1, "a", " b"},
        {"unknown rule names give an empty rule", "", lines({"     <tokens regexp=\"true\" rule=\"\">", kClose}),
         "<NULL>", 2},
    };
    for (const Case &c : cases) {
        Tokenset ts;
        ts.regexp = c.regexp;
        ts.rule = QString::fromUtf8(c.rule);
        ts.lead = QString::fromUtf8(c.lead);
        ts.trail = QString::fromUtf8(c.trail);
        EXPECT_EQ(SplitTokens(QString::fromUtf8(c.t1), QString::fromUtf8(c.t2), QString::fromUtf8(c.type), ts, c.hide),
                  c.expected)
            << c.what;
    }
}

} // namespace
