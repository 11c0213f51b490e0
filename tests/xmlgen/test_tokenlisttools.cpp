#include "model/language.h"
#include "xmlgen/tokenlisttools.h"

#include <gtest/gtest.h>

namespace {

using namespace TokenListTools;

QString q(const char *text)
{
    return QString::fromUtf8(text);
}

TEST(TokenListTools, SortsWholeLinesWithTheExchangeSort)
{
    const struct {
        const char *text;
        Order order;
        Case letterCase;
        const char *sorted;
    } cases[] = {
        {"", Order::Ascending, Case::Insensitive, ""},
        {"b\r\na\r\n", Order::Ascending, Case::Insensitive, "\r\na\r\nb"}, // the trailing empty line goes first
        {"B\r\na", Order::Ascending, Case::Insensitive, "a\r\nB"},
        {"B\r\na", Order::Ascending, Case::Sensitive, "B\r\na"},
        {"a\r\nB", Order::Descending, Case::Sensitive, "a\r\nB"},
        {"a\r\nB", Order::Descending, Case::Insensitive, "B\r\na"},
        {"Foo :::: ListMembers\r\nFoo", Order::Ascending, Case::Sensitive, "Foo\r\nFoo :::: ListMembers"},
        {"a\r\nc\r\nb", Order::Descending, Case::Sensitive, "c\r\nb\r\na"},
        {"B\r\nb\r\na", Order::Ascending, Case::Insensitive, "a\r\nb\r\nB"}, // equal lines trade places
        {"b\r\na\r\nB", Order::Descending, Case::Insensitive, "b\r\nB\r\na"},
        {"\xc3\xa9\r\nz\r\nE", Order::Ascending, Case::Sensitive, "E\r\nz\r\n\xc3\xa9"}, // character codes
    };
    for (const auto &c : cases)
        EXPECT_EQ(sortLines(q(c.text), c.order, c.letterCase), q(c.sorted)) << c.text;
}

TEST(TokenListTools, LetterCase)
{
    EXPECT_EQ(lowerCase(q("IF\r\nThen :::: ListMembers")), q("if\r\nthen :::: listmembers"));
    const struct {
        const char *text;
        const char *title;
    } cases[] = {
        {"", ""},       {"  foo", "  foo"},         {"fOO", "FOO"},
        {"\r\nbar\r\n", "\r\nBar\r\n"}, {"\tx", "\tx"}, {"\xc3\xa9t\xc3\xa9\r\n  \r\nx", "\xc3\x89t\xc3\xa9\r\n  \r\nX"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(titleCase(q(c.text)), q(c.title)) << c.text;
}

TEST(TokenListTools, RemovesAttributes)
{
    const struct {
        const char *text;
        const char *plain;
    } cases[] = {
        {"x :::: a :::: true", "x"},
        {":::: a", ""},
        {"a\r\n:::: a\r\nb", "a\r\n\r\nb"}, // the emptied line stays
        {"  y  ", "  y  "},                 // no separator: unchanged
        {"  y  ::::", "y"},
        {"a::::b::::c\r\n", "a\r\n"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(removeAttributes(q(c.text)), q(c.plain)) << c.text;

    Language lang;
    lang.tokensets[0].name = q("A");
    lang.tokensets[0].tokens = q("a :::: x");
    lang.tokensets[0].tokens2 = q("b :::: y");
    lang.tokensets[50].tokens = q("c :::: z"); // every slot, used or not
    removeAttributes(lang);
    EXPECT_EQ(lang.tokensets[0].tokens, q("a"));
    EXPECT_EQ(lang.tokensets[0].tokens2, q("b"));
    EXPECT_EQ(lang.tokensets[50].tokens, q("c"));
}

TEST(TokenListTools, FontSizeSteps)
{
    const std::pair<int, int> cases[] = {{8, 14}, {14, 22}, {22, 32}, {32, 48}, {48, 8}, {10, 10}, {0, 0}};
    for (const auto &[size, next] : cases)
        EXPECT_EQ(nextFontSize(size), next) << size;
}

} // namespace
