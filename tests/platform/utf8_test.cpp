#include "platform/utf8.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Utf8, SequenceLengthFromTheLeadByte)
{
    EXPECT_EQ(1u, Utf8SequenceLength('a'));
    EXPECT_EQ(2u, Utf8SequenceLength(0xC3));
    EXPECT_EQ(3u, Utf8SequenceLength(0xE3));
    EXPECT_EQ(4u, Utf8SequenceLength(0xF0));
    EXPECT_EQ(0u, Utf8SequenceLength(0x80)); // continuation
    EXPECT_EQ(0u, Utf8SequenceLength(0xC0)); // always overlong
    EXPECT_EQ(0u, Utf8SequenceLength(0xFF));
}

TEST(Utf8, Validity)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("Präsentation 資料 \xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short
    EXPECT_FALSE(IsValidUtf8("\xC3\x28"));         // bad continuation
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));     // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(Utf8, ReplacementsAndCounts)
{
    EXPECT_EQ("a?b", Utf8WithReplacements("a\xFF"
                                          "b"));
    EXPECT_EQ("??", Utf8WithReplacements("\xE3\x81"));
    EXPECT_EQ("ä", Utf8WithReplacements("ä"));
    EXPECT_EQ(3u, Utf8CharacterCount("aä資"));
}
