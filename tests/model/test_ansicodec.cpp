#include "model/ansicodec.h"

#include <gtest/gtest.h>

TEST(AnsiCodec, EveryByteOfTheCodePageRoundTrips)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    EXPECT_EQ(AnsiCodec::encode(AnsiCodec::decode(all)), all);
}

TEST(AnsiCodec, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(AnsiCodec::encode(QString::fromUtf8("\xe2\x82\xac x \xe6\xbc\xa2 \xf0\x9f\x98\x80")),
              QByteArray("\x80 x ? ?"));
    EXPECT_EQ(AnsiCodec::encodedSize(QString::fromUtf8("\xc3\xa9t\xc3\xa9")), 3);
}
