// How a language file's lines are cut and split: line ends, line breaks
// inside a text, the spaces that separate a form-text line, and the
// table's bounds.
#include "app/core/language_file.h"

#include <gtest/gtest.h>

namespace zx {
namespace {

TEST(LanguageFileLines, EveryLineBreakMarkerOfALineBecomesABreak)
{
    const LanguageTexts t = parseLanguageFile("0016 one#r#ntwo#r#nthree#r#n\r\n"
                                              "HelpIntro Caption A#r#nB#r#nC\r\n");
    EXPECT_EQ(t.message(16), "one\r\ntwo\r\nthree\r\n");
    ASSERT_EQ(t.formTexts.size(), 1u);
    EXPECT_EQ(t.formTexts[0].value, "A\r\nB\r\nC");
}

TEST(LanguageFileLines, AFormTextLineSplitsAtItsFirstTwoSpacesExactly)
{
    // Two spaces in a row: the property is empty and the value keeps the
    // rest, so no hint entry is touched.
    const LanguageTexts t = parseLanguageFile("MainForm  Hint3 not a hint\n"
                                              "A B  two spaces\n");
    ASSERT_EQ(t.formTexts.size(), 2u);
    EXPECT_EQ(t.formTexts[0], (FormTextLine{"MainForm", "", "Hint3 not a hint"}));
    EXPECT_EQ(t.formTexts[1], (FormTextLine{"A", "B", " two spaces"}));
    for (const std::string& hint : t.hints)
        EXPECT_EQ(hint, "");
}

TEST(LanguageFileLines, TheFirstHintEntryGivesItsKey)
{
    std::array<std::string, languageHintCount> hints{};
    hints[1] = "Opens the help";
    hints[14] = "Plays pages";
    EXPECT_EQ(hintMessageKey(hints, "Opens the help"), "Hint1");
    EXPECT_EQ(hintMessageKey(hints, "Play|Plays pages"), "Hint14");
}

TEST(LanguageFileLines, FilterNamesAndPatternsLoseTheirSpaces)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(dialogNameFilters("  Banks  | *.zxb ;  *.zxr  ; |Results\t|*.zxr\t"),
              (V{"Banks (*.zxb *.zxr)", "Results (*.zxr)"}));
    EXPECT_EQ(dialogNameFilters("A|*.a|B|*.b|C|*.c"), (V{"A (*.a)", "B (*.b)", "C (*.c)"}));
}

TEST(LanguageFileLines, NumbersOutsideTheTableFindNothing)
{
    // The hint table lies beside the message table; a number just past the
    // end must not reach into it.
    LanguageTexts t = parseLanguageFile("FinishButton Hint Ends the test\n0199 last\n");
    ASSERT_EQ(t.hints[0], "Ends the test");
    EXPECT_EQ(t.message(199), "last");
    EXPECT_EQ(t.message(200), "");
    EXPECT_EQ(t.message(-1), "");
    EXPECT_EQ(t.messageForKey("x200"), "");
}

} // namespace
} // namespace zx
