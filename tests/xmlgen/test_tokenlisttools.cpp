#include "model/language.h"
#include "xmlgen/tokenlisttools.h"

#include <gtest/gtest.h>

namespace {

using namespace TokenListTools;

template <typename F>
void expectEach(std::initializer_list<std::pair<const char *, const char *>> cases, F f)
{
    for (const auto &[in, out] : cases)
        EXPECT_EQ(f(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

// Sorting moves whole lines with the exchange sort; letter case and attribute removal rewrite each line.
TEST(TokenListTools, WholeTextRewrites)
{
    const auto up = [](const QString &t) { return sortLines(t, Order::Ascending, Case::Insensitive); };
    const auto upCase = [](const QString &t) { return sortLines(t, Order::Ascending, Case::Sensitive); };
    const auto down = [](const QString &t) { return sortLines(t, Order::Descending, Case::Insensitive); };
    expectEach({{"", ""}, {"b\r\na\r\n", "\r\na\r\nb"}, {"B\r\na", "a\r\nB"}, {"B\r\nb\r\na", "a\r\nb\r\nB"}}, up);
    expectEach({{"B\r\na", "B\r\na"}, {"Foo :::: ListMembers\r\nFoo", "Foo\r\nFoo :::: ListMembers"},
                {"\xc3\xa9\r\nz\r\nE", "E\r\nz\r\n\xc3\xa9"}}, upCase);
    expectEach({{"a\r\nB", "B\r\na"}, {"a\r\nc\r\nb", "c\r\nb\r\na"}, {"b\r\na\r\nB", "b\r\nB\r\na"}}, down);
    EXPECT_EQ(lowerCase(QStringLiteral("IF\r\nThen :::: ListMembers")), QStringLiteral("if\r\nthen :::: listmembers"));
    expectEach({{"", ""}, {"  foo", "  foo"}, {"fOO", "FOO"}, {"\r\nbar\r\n", "\r\nBar\r\n"}, {"\tx", "\tx"},
                {"\xc3\xa9t\r\n  \r\nx", "\xc3\x89t\r\n  \r\nX"}}, titleCase);
    expectEach({{"x :::: a :::: true", "x"}, {":::: a", ""}, {"a\r\n:::: a\r\nb", "a\r\n\r\nb"}, {"  y  ", "  y  "},
                {"  y  ::::", "y"}, {"a::::b::::c\r\n", "a\r\n"}}, [](const QString &t) { return removeAttributes(t); });

    Language lang;
    lang.tokensets[0].tokens = QStringLiteral("a :::: x");
    lang.tokensets[0].tokens2 = QStringLiteral("b :::: y");
    lang.tokensets[50].tokens = QStringLiteral("c :::: z"); // every slot, used or not
    removeAttributes(lang);
    EXPECT_EQ(lang.tokensets[0].tokens + lang.tokensets[0].tokens2 + lang.tokensets[50].tokens, QStringLiteral("abc"));
}

} // namespace
