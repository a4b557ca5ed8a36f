#include "util/text_encoding.h"

#include <gtest/gtest.h>

using namespace zuv;

TEST(IsValidUtf8, AcceptsWellFormedText)
{
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ASCII"));
    EXPECT_TRUE(IsValidUtf8("árvíztűrő tükörfúrógép"));
    EXPECT_TRUE(
        IsValidUtf8("\xEF\xBF\xBD \xF0\x9F\x8E\xAC \xF4\x8F\xBF\xBF")); // U+FFFD, U+1F3AC, U+10FFFF
}

TEST(IsValidUtf8, RefusesMalformedText)
{
    EXPECT_FALSE(IsValidUtf8("\xF5"));             // cp1250 "ő"
    EXPECT_FALSE(IsValidUtf8("K\xF6z\xE9p"));      // cp1250 "Közép"
    EXPECT_FALSE(IsValidUtf8("\x80"));             // a lone continuation byte
    EXPECT_FALSE(IsValidUtf8("\xC3"));             // cut short at the end
    EXPECT_FALSE(IsValidUtf8("\xE2\x82 "));        // cut short before a blank
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));         // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xE0\x9F\xBF"));     // overlong three-byte form
    EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF")); // overlong four-byte form
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")); // above U+10FFFF
}

TEST(Cp1250ToUtf8, ConvertsCentralEuropeanLettersAndSigns)
{
    EXPECT_EQ(Cp1250ToUtf8("abc"), "abc");
    EXPECT_EQ(Cp1250ToUtf8("\xF5\xFB\xD5\xDB"), "őűŐŰ");
    EXPECT_EQ(Cp1250ToUtf8("\x8A\x9A\x8E\x9E\xA3\xB3"), "ŠšŽžŁł");
    EXPECT_EQ(Cp1250ToUtf8("\x80\x84\x93\x94\x96\x99"), "€„“”–™");
    EXPECT_EQ(Cp1250ToUtf8("\xA0\xFF"), "\u00A0˙");
}

TEST(Cp1250ToUtf8, UnassignedBytesBecomeReplacementCharacters)
{
    for (const char* byte : {"\x81", "\x83", "\x88", "\x90", "\x98"})
        EXPECT_EQ(Cp1250ToUtf8(byte), "\uFFFD")
            << static_cast<int>(static_cast<unsigned char>(*byte));
}

TEST(Cp1250ToUtf8, EveryByteGivesValidUtf8)
{
    std::string all;
    for (int byte = 1; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const std::string converted = Cp1250ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(converted));
    // Two bytes each, one more for the 22 code points from U+0800 on (signs and U+FFFD).
    EXPECT_EQ(converted.size(), 127u + 128u * 2u + 22u);
}

TEST(TextToUtf8, KeepsUtf8DropsTheByteOrderMarkAndConvertsTheRest)
{
    EXPECT_EQ(TextToUtf8("Größe"), "Größe");
    EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF[Lang]"), "[Lang]");
    EXPECT_EQ(TextToUtf8("\xEF\xBB\xBF"), "");
    EXPECT_EQ(TextToUtf8("Gr\xF6\xDF"
                         "e"),
              "Größe");
    // One stray byte makes the whole text cp1250.
    EXPECT_EQ(TextToUtf8("\xC3\xB6 \xF6"), "Ă¶ ö");
}
