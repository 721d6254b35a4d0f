#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace zx;

TEST(TaggedText, GetTagUsesFirstOpenAndFirstCloseMark)
{
    EXPECT_EQ(getTag("<a></a>", "a"), "");
    EXPECT_EQ(getTag("<a>x", "a"), "");
    EXPECT_EQ(getTag("</a><a>x</a>", "a"), "");
    EXPECT_EQ(getTag("<a> 1 </a>", "a"), " 1 ");
    EXPECT_EQ(getTag("<a>1</a><a>2</a>", "a"), "1");
    // A nested element of the same key ends at the inner close mark.
    EXPECT_EQ(getTag("<a>x<a>y</a>z</a>", "a"), "x<a>y");
    // Keys are exact: a key never matches a longer key that begins with it.
    EXPECT_EQ(getTag("<ab>1</ab><a>2</a>", "a"), "2");
    EXPECT_EQ(getTag("<A>1</A>", "a"), "");
    // Values may hold line breaks and other elements.
    EXPECT_EQ(getTag("<p>\r\n<b>1</b>\r\n</p>", "p"), "\r\n<b>1</b>\r\n");
}

TEST(TaggedText, DeleteTagRemovesFirstElementAndSurroundingSpace)
{
    EXPECT_EQ(deleteTag("<a>1</a> <b>2</b> <c>3</c>", "b"), "<a>1</a><c>3</c>");
    const std::string twice = "<a>1</a><a>2</a>";
    EXPECT_EQ(getTag(deleteTag(twice, "a"), "a"), "2");
    EXPECT_EQ(deleteTag("<a>1</a>", "b"), "<a>1</a>");
    EXPECT_EQ(deleteTag("<a>1", "a"), "<a>1");
    EXPECT_EQ(deleteTag("  \r\n<a>1</a>\r\n  ", "a"), "");
    EXPECT_EQ(deleteTag("x  <a>1</a>  y", "a"), "xy");
    // A close mark only before the element: nothing is removed, nothing lost.
    EXPECT_EQ(deleteTag("</a><a>x", "a"), "</a><a>x");
}

TEST(TaggedText, SetTagWritesAtTheFrontAndReplacesTheFirstElement)
{
    EXPECT_EQ(setTag("<b>2</b>", "a", "1"), "<a>1</a> <b>2</b>");
    EXPECT_EQ(setTag("<b>2</b> <a>0</a>", "a", "1"), "<a>1</a> <b>2</b>");
    EXPECT_EQ(setTag("", "a", ""), "<a></a> ");
    const std::string list = setTag(setTag(setTag("", "u1", "x"), "u2", "y"), "u3", "z");
    EXPECT_EQ(list.rfind("<u3>", 0), 0u);
    EXPECT_EQ(getTag(list, "u1"), "x");
}

TEST(TaggedText, GetTagIntAcceptsOnlyPlainIntegers)
{
    EXPECT_EQ(getTagInt("<n>7</n>", "n", -1), 7);
    EXPECT_EQ(getTagInt("<n>-12</n>", "n", -1), -12);
    EXPECT_EQ(getTagInt("<n>+3</n>", "n", -1), 3);
    for (const char* bad : {"x", "7.0", "", "7 ", " 7", "-", "1e3", "99999999999"})
        EXPECT_EQ(getTagInt(std::string("<n>") + bad + "</n>", "n", 42), 42) << bad;
    EXPECT_EQ(getTagInt("<m>1</m>", "n", 5), 5);
    EXPECT_EQ(getTagInt("<n>2147483647</n>", "n", 0), INT_MAX);
    EXPECT_EQ(getTagInt("<n>-2147483648</n>", "n", 0), INT_MIN);
}

TEST(TaggedText, FilterPlainText)
{
    EXPECT_EQ(filterPlainText("  a\tb   c "), "ab c");
    EXPECT_EQ(filterPlainText("\"x\"^`\r\n"), "x");
    EXPECT_EQ(filterPlainText("\xA3" "5 <ok>"), "\xA3" "5 <ok>");
    EXPECT_EQ(filterPlainText("\xE9t\xE9"), "t");
    EXPECT_EQ(filterPlainText("Start  Test"), "Start Test");
}

TEST(TaggedText, Hundredths)
{
    EXPECT_EQ(parseHundredths("12.345"), 1234);
    EXPECT_EQ(parseHundredths("-1.5"), -150);
    EXPECT_EQ(parseHundredths(".5"), 50);
    EXPECT_EQ(parseHundredths("abc"), 0);
    EXPECT_EQ(parseHundredths("5-3"), 5300);
    EXPECT_EQ(parseHundredths("1.2.3"), 0);
    EXPECT_EQ(parseHundredths("-"), 0);
    EXPECT_EQ(parseHundredths(""), 0);
    EXPECT_EQ(parseHundredths("99999999999"), 0); // does not fit: no number

    EXPECT_EQ(formatHundredths(1234), "12.34");
    EXPECT_EQ(formatHundredths(5), "0.05");
    EXPECT_EQ(formatHundredths(0), "0.00");
    EXPECT_EQ(formatHundredths(-150), "-1.50");
    EXPECT_EQ(formatHundredths(-5), "-0.05");
    EXPECT_EQ(formatHundredths(INT_MIN), "-21474836.48");

    EXPECT_EQ(formatHundredthsTrimmed(1250, 2), "12.5");
    EXPECT_EQ(formatHundredthsTrimmed(1200, 2), "12");
    EXPECT_EQ(formatHundredthsTrimmed(0, 2), "0");
    EXPECT_EQ(formatHundredthsTrimmed(1200, 1), "12.0");
    EXPECT_EQ(formatHundredthsTrimmed(1201, 2), "12.01");
}

TEST(TaggedText, HundredthsRoundTripOverRandomValues)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const int n = static_cast<int>(rng()) / 3;
        EXPECT_EQ(parseHundredths(formatHundredths(n)), n);
    }
}

TEST(TaggedText, ReadingAListByDeletingEachElement)
{
    std::string text;
    for (int i = 0; i < 5; ++i)
        text += "<cat>c" + std::to_string(i) + "</cat>\r\n";
    std::vector<std::string> seen;
    for (std::string v = getTag(text, "cat"); !v.empty(); v = getTag(text, "cat")) {
        seen.push_back(v);
        text = deleteTag(text, "cat");
    }
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen.front(), "c0");
    EXPECT_EQ(seen.back(), "c4");
    EXPECT_EQ(text, "");
}
