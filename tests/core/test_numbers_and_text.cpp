#include "objects/core/text_display.h"
#include "tagtext/colour.h"
#include "tagtext/cp1252.h"
#include "tagtext/decimal.h"

#include <gtest/gtest.h>

using namespace zx;

TEST(Decimal, ParsesToTwelvePlaces)
{
    EXPECT_EQ(parseDecimal(""), decimalInvalid);
    EXPECT_EQ(parseDecimal("0"), 0);
    EXPECT_EQ(parseDecimal("007"), 7000000000000);
    EXPECT_EQ(parseDecimal("1.5"), 1500000000000);
    EXPECT_EQ(parseDecimal("1.5.3"), 1530000000000);
    EXPECT_EQ(parseDecimal("12-3"), 123000000000000);
    EXPECT_EQ(parseDecimal("0.0000000000019"), 1);
    EXPECT_EQ(parseDecimal("-2.50"), parseDecimal("-2.5"));
    EXPECT_EQ(parseDecimal("2.50"), parseDecimal("2.5"));
    EXPECT_EQ(parseDecimal("-0.5"), -500000000000);
    EXPECT_EQ(parseDecimal("abc"), 0);
    EXPECT_EQ(parseDecimal("-"), 0);
    EXPECT_EQ(parseDecimal("-empty45646-"), -45646000000000000);
    EXPECT_EQ(parseDecimal("9223372"), 9223372000000000000);
    EXPECT_EQ(parseDecimal("9223373"), decimalInvalid);
    EXPECT_EQ(parseDecimal("1234567890123456789"), decimalInvalid); // 19 kept characters
    EXPECT_EQ(parseDecimal(std::string(25, '0') + "5"), 5000000000000);
    EXPECT_EQ(parseDecimal(std::string(40, '0') + "5"), decimalInvalid); // 19 zeros go, 22 characters stay
    EXPECT_EQ(getTagDecimal("<v>3.25</v>", "v"), 3250000000000);
    EXPECT_EQ(getTagDecimal("<w>3</w>", "v"), decimalInvalid);
}

TEST(Colour, NamesNumbersAndSystemColours)
{
    EXPECT_EQ(colourFromText("clRed")->value, 0x0000FFu);
    EXPECT_EQ(colourFromText("clred")->value, 0x0000FFu);
    EXPECT_EQ(colourFromText("clSkyBlue")->value, 0xF0CAA6u);
    EXPECT_EQ(colourFromText("clLtGray")->value, 0xC0C0C0u);
    EXPECT_TRUE(colourFromText("clNone")->isNone());
    EXPECT_TRUE(colourFromText("clDefault")->isDefault());

    auto face = colourFromText("clBtnFace");
    ASSERT_TRUE(face);
    EXPECT_TRUE(face->isSystem());
    EXPECT_EQ(face->systemIndex(), 15);
    EXPECT_EQ(colourFromText("clInfoBk")->systemIndex(), 24);
    EXPECT_EQ(colourFromText("clMenuBar")->systemIndex(), 30);
    EXPECT_EQ(*colourFromText("clBackground"), systemColour(SystemColour::Background));

    EXPECT_EQ(colourFromText("255")->value, 0xFFu);
    EXPECT_EQ(colourFromText("$00FF8000")->value, 0xFF8000u);
    auto rgb = colourFromText("$FF8000");
    EXPECT_EQ(rgb->red(), 0x00);
    EXPECT_EQ(rgb->green(), 0x80);
    EXPECT_EQ(rgb->blue(), 0xFF);
    EXPECT_EQ(colourFromText("$8000000F")->systemIndex(), 15);
    EXPECT_EQ(colourFromText("-2147483633")->value, 0x8000000Fu); // signed form of clBtnFace

    for (const char* bad : {"", "red", "cl", "$", "$GG", "12a", "4294967296", "$100000000", "clRedd"})
        EXPECT_FALSE(colourFromText(bad).has_value()) << bad;

    EXPECT_EQ(colourToText(Colour{0xFFFFFF}), "clWhite");
    EXPECT_EQ(colourToText(Colour{0x123456}), "$00123456");
}

TEST(Cp1252, WholeHighRangeRoundTrips)
{
    EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252ToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(cp1252ToUnicode(0x81), U'\u0081');
    EXPECT_EQ(cp1252ToUnicode(0xA3), U'\u00A3');
    for (int b = 0; b < 256; ++b) {
        const auto back = unicodeToCp1252(cp1252ToUnicode(static_cast<unsigned char>(b)));
        ASSERT_TRUE(back) << b;
        EXPECT_EQ(*back, b);
    }
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?"); // no byte for it
    EXPECT_EQ(utf8ToCp1252("a\xFF" "b"), "a?b");  // invalid UTF-8
    EXPECT_EQ(utf8ToCp1252("\xC3"), "?");          // truncated sequence
}

TEST(Cp1252, InvalidUtf8GivesOneReplacementPerByte)
{
    // Overlong forms of '<', surrogates, code points above U+10FFFF and the
    // lead bytes that can only start such forms are no characters: every
    // byte of them becomes one replacement, so no bracket slips through.
    EXPECT_EQ(utf8ToCp1252("\xC0\xBC"), "??");
    EXPECT_EQ(utf8ToCp1252("\xC1\xBF"), "??");
    EXPECT_EQ(utf8ToCp1252("\xE0\x80\xBC"), "???");
    EXPECT_EQ(utf8ToCp1252("\xE0\x9F\xBF"), "???");
    EXPECT_EQ(utf8ToCp1252("\xF0\x80\x80\xBC"), "????");
    EXPECT_EQ(utf8ToCp1252("\xED\xA0\x80" "a\xED\xBF\xBF"), "???a???");
    EXPECT_EQ(utf8ToCp1252("\xF4\x90\x80\x80"), "????");
    EXPECT_EQ(utf8ToCp1252("\xF5\x80\x80\x80" "\xF8\xFE"), "??????");
    EXPECT_EQ(utf8ToCp1252("\xE2\x82<"), "?" "?<") << "a cut sequence loses only its own bytes";
    // The edges that are characters.
    EXPECT_EQ(utf8ToCp1252("\xC2\xA3\xE2\x82\xAC\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF\xF0\x90\x80\x80"),
              "\xA3\x80????");
}

TEST(Cp1252, LowerCaseOfTypedAnswers)
{
    EXPECT_EQ(lowerCp1252(std::string("PARIS \xC0\xC9\xDE\xD7\x8A\x8C\x8E\x9F\xDF")),
              std::string("paris \xE0\xE9\xFE\xD7\x9A\x9C\x9E\xFF\xDF"));
}

TEST(TextObject, LineMarksAreRemovedAndBreaksKept)
{
    EXPECT_EQ(textObjectDisplayText("<zxLine>One</zxLine><zxLine>Two</zxLine>"), "OneTwo");
    EXPECT_EQ(textObjectDisplayText("<zxLine>One</zxLine>\r\n<zxLine>Two</zxLine>"), "One\nTwo");
    EXPECT_EQ(textObjectDisplayText("lone </zxLine>close and <zxLine>open"), "lone close and open");
    EXPECT_EQ(textObjectDisplayText("a\rb\n\nc"), "a\nb\n\nc");
    EXPECT_EQ(textObjectDisplayText("<zxLine<zxLine>>x"), "x") << "marks made by a removal go as well";
}
