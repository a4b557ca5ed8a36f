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

TEST(NameText, BytesOfAnyNameComeBackExactly)
{
    struct Case
    {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"film.avi", u"film.avi"},
        {"árvíz \xF0\x9F\x8E\xAC.mkv", u"árvíz \U0001F3AC.mkv"}, // well-formed: its characters
        {"a\xFF\xFE"
         "b",
         u"a\xDCFF\xDCFE"
         "b"},
        {"K\xF6z\xE9p", u"K\xDCF6z\xDCE9p"},     // cp1250
        {"\xE2\x82 ", u"\xDCE2\xDC82 "},         // cut short: each byte alone
        {"\xC0\x80", u"\xDCC0\xDC80"},           // overlong
        {"\xED\xB3\xBF", u"\xDCED\xDCB3\xDCBF"}, // the UTF-8 form of a mark itself
        {"\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.bytes);
        EXPECT_EQ(NameToUtf16(test.bytes), test.text);
        EXPECT_EQ(NameFromUtf16(test.text), test.bytes);
    }
    // Every byte after every lead byte.
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int next = 0; next <= 0xFF; ++next) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(next), 'x'};
            ASSERT_EQ(NameFromUtf16(NameToUtf16(bytes)), bytes) << lead << ' ' << next;
        }
    }
}

TEST(NameText, TextThatNoNameGivesBecomesReplacementCharacters)
{
    EXPECT_EQ(NameFromUtf16(u"a\xD800"), "a\xEF\xBF\xBD");         // half a pair
    EXPECT_EQ(NameFromUtf16(u"\xDC7F"), "\xEF\xBF\xBD");           // below the marks
    EXPECT_EQ(NameFromUtf16(u"\xD83C\xDFAC"), "\xF0\x9F\x8E\xAC"); // a whole pair
}
