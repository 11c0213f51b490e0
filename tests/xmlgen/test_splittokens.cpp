#include "model/tokenset.h"
#include "xmlgen/splittokens.h"

#include <gtest/gtest.h>

namespace {

// Lines of the expected result, each preceded by CR LF.
QString lines(std::initializer_list<const char *> list)
{
    QString out;
    for (const char *line : list)
        out += QStringLiteral("\r\n") + QString::fromUtf8(line);
    return out;
}

struct Case {
    const char *what;
    const char *t1;
    const char *t2 = "";
    const char *type = "list";
    qint32 regexp = 1;
    const char *rule = "Word";
    const char *lead = "";
    const char *trail = "";
    bool hide = false;
    QString expected;
};

void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.what;
}

class SplitTokensCase : public testing::TestWithParam<Case> {};

TEST_P(SplitTokensCase, GivesTheExpectedXml)
{
    const Case &c = GetParam();
    Tokenset ts;
    ts.regexp = c.regexp;
    ts.rule = QString::fromUtf8(c.rule);
    ts.lead = QString::fromUtf8(c.lead);
    ts.trail = QString::fromUtf8(c.trail);
    EXPECT_EQ(SplitTokens(QString::fromUtf8(c.t1), QString::fromUtf8(c.t2), QString::fromUtf8(c.type), ts, c.hide),
              c.expected)
        << c.what;
}

const char *const kOpen = "     <tokens regexp=\"true\" rule=\"word\">";
const char *const kClose = "     </tokens>";

INSTANTIATE_TEST_SUITE_P(Lines, SplitTokensCase, testing::Values(
    Case{.what = "worked example", .t1 = "if\r\nFoo :::: ListMembers :::: false :::: col 3", .expected = lines({kOpen,
         "          <token >if</token>",
         "          <token  action=\"ListMembers\" regexp=\"false\" rule=\"col3\">Foo</token>", kClose})},
    Case{.what = "only line breaks and blanks", .t1 = "\r\n   \r\n", .expected = lines({kOpen, kClose})},
    Case{.what = "empty token with action", .t1 = ":::: ListMembers",
         .expected = lines({kOpen, "          <token  action=\"ListMembers\"></token>", kClose})},
    Case{.what = "blanks around the separator do not count", .t1 = "a::::b\r\na :::: b", .expected = lines({kOpen,
         "          <token  action=\"b\">a</token>", "          <token  action=\"b\">a</token>", kClose})},
    Case{.what = "five fields give no attributes", .t1 = "x :::: a :::: true :::: word :::: y",
         .expected = lines({kOpen, "          <token >x</token>", kClose})},
    Case{.what = "a bare line never takes attributes of an earlier line", .t1 = "a :::: ListMembers :::: true\r\nb",
         .expected = lines({kOpen, "          <token  action=\"ListMembers\" regexp=\"true\">a</token>",
                            "          <token >b</token>", kClose})},
    Case{.what = "markup is escaped once", .t1 = "a<b&c\r\nd :::: :::: :::: leadwith[&]", .expected = lines({kOpen,
         "          <token >a&lt;b&amp;c</token>",
         "          <token  action=\"\" regexp=\"false\" rule=\"leadwith[&amp;]\">d</token>", kClose})},
    Case{.what = "quotes in action and rule", .t1 = "q :::: a\"b :::: :::: trailwith[\"]", .expected = lines({kOpen,
         "          <token  action=\"a&quot;b\" regexp=\"false\" rule=\"trailwith[&quot;]\">q</token>", kClose})},
    Case{.what = "tabs and lone line feeds are token text", .t1 = "\tx\nb ", .expected = lines({kOpen,
         "          <token >\tx\nb</token>", kClose})}));

INSTANTIATE_TEST_SUITE_P(RuleFields, SplitTokensCase, testing::Values(
    Case{.what = "letter case of leadwith kept", .t1 = "t :::: :::: :::: LeadWith(x)",
         .expected = lines({kOpen, "          <token  action=\"\" regexp=\"false\" rule=\"LeadWith(x)\">t</token>", kClose})},
    Case{.what = "mixed brackets that fail", .t1 = "t :::: :::: :::: leadwith(x]",
         .expected = lines({kOpen, "          <token  action=\"\" regexp=\"false\" rule=\"word\">t</token>", kClose})},
    Case{.what = "mixed brackets that pass", .t1 = "t :::: :::: :::: leadwith[x}",
         .expected = lines({kOpen, "          <token  action=\"\" regexp=\"false\" rule=\"leadwith[x}\">t</token>", kClose})},
    Case{.what = "trailwith without a bracket", .t1 = "t :::: :::: :::: trailwith",
         .expected = lines({kOpen, "          <token  action=\"\" regexp=\"false\" rule=\"word\">t</token>", kClose})},
    Case{.what = "null, unknown and col forms", .t1 = "a :::: x :::: TRUE   :::: Null\r\nb :::: x :::: yes :::: whatever\r\n"
         "c :::: x :::: :::: COL 12\r\nd :::: x :::: :::: col", .expected = lines({kOpen,
         "          <token  action=\"x\" regexp=\"true\" rule=\"\">a</token>",
         "          <token  action=\"x\" regexp=\"false\" rule=\"word\">b</token>",
         "          <token  action=\"x\" regexp=\"false\" rule=\"col12\">c</token>",
         "          <token  action=\"x\" regexp=\"false\" rule=\"col0\">d</token>", kClose})},
    Case{.what = "col numbers are held to 16 bits", .t1 = "a :::: x :::: :::: col 99999\r\nb :::: x :::: :::: col-40000\r\nc :::: x :::: :::: col 3.5",
         .expected = lines({kOpen, "          <token  action=\"x\" regexp=\"false\" rule=\"col32767\">a</token>",
                            "          <token  action=\"x\" regexp=\"false\" rule=\"col-32768\">b</token>",
                            "          <token  action=\"x\" regexp=\"false\" rule=\"col4\">c</token>", kClose})},
    Case{.what = "hidden defaults on token lines", .t1 = "a :::: :::: true :::: word\r\nb :::: :::: no :::: null", .hide = true,
         .expected = lines({"     <tokens>", "          <token >a</token>",
                            "          <token  regexp=\"false\" rule=\"\">b</token>", kClose})}));

INSTANTIATE_TEST_SUITE_P(ListDefaults, SplitTokensCase, testing::Values(
    Case{.what = "a list ignores the second list", .t1 = "a", .t2 = "b", .expected = lines({kOpen, "          <token >a</token>", kClose})},
    Case{.what = "a scope writes both lists with the same attributes", .t1 = "a", .t2 = "b\r\nc", .type = "scope", .regexp = 0, .rule = "LeadWith", .lead = "x&",
         .expected = lines({"     <tokens regexp=\"false\" rule=\"leadwith[x&amp;]\">", "          <token >a</token>",
                            kClose, "     <tokens2 regexp=\"false\" rule=\"leadwith[x&amp;]\">",
                            "          <token >b</token>", "          <token >c</token>", "     </tokens2>"})},
    Case{.what = "hidden: regexp 1 and Word give a bare tag", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "Word", .hide = true,
         .expected = lines({"     <tokens>", kClose})},
    Case{.what = "hidden: NULL keeps its empty rule", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "NULL", .hide = true,
         .expected = lines({"     <tokens rule=\"\">", kClose})},
    Case{.what = "hidden: Col keeps its rule", .t1 = "", .t2 = "", .type = "list", .regexp = 0, .rule = "Col", .lead = " 2.5x", .hide = true,
         .expected = lines({"     <tokens regexp=\"false\" rule=\"col2\">", kClose})},
    Case{.what = "blank lead gives no rule", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "LeadWith", .lead = "  ",
         .expected = lines({"     <tokens regexp=\"true\">", kClose})},
    Case{.what = "lead and trail", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "LeadWith TrailWith", .lead = "a", .trail = " b",
         .expected = lines({"     <tokens regexp=\"true\" rule=\"leadwith[a]|trailwith[ b]\">", kClose})},
    Case{.what = "one of lead and trail blank", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "LeadWith TrailWith", .lead = "a", .trail = "",
         .expected = lines({"     <tokens regexp=\"true\">", kClose})},
    Case{.what = "trailwith with a quote", .t1 = "", .t2 = "", .type = "list", .regexp = 1, .rule = "TrailWith", .lead = "", .trail = "\"",
         .expected = lines({"     <tokens regexp=\"true\" rule=\"trailwith[&quot;]\">", kClose})},
    Case{.what = "unknown rule names give an empty rule", .t1 = "", .t2 = "", .type = "list", .regexp = 2, .rule = "<NULL>",
         .expected = lines({"     <tokens regexp=\"true\" rule=\"\">", kClose})}));

} // namespace
