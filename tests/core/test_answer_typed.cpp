#include "objects/core/saved_answer.h"
#include "objects/core/typed_answer.h"

#include <gtest/gtest.h>

#include <string>

using namespace zx;

namespace {

std::string field(int restriction, const std::string& answers, int useRange = 0)
{
    return "<editRestriction>" + std::to_string(restriction) + "</editRestriction><useRange>"
        + std::to_string(useRange) + "</useRange>" + answers;
}

std::string answer(int k, const std::string& value)
{
    const std::string key = "FieldAnswer" + std::to_string(k);
    return "<" + key + ">" + value + "</" + key + ">";
}

bool correct(const std::string& record, const std::string& typed)
{
    return isTypedAnswerCorrect(record, normaliseAnswer(typed));
}

} // namespace

TEST(TypedAnswer, NormalisationTrimsAndFoldsSpaces)
{
    EXPECT_EQ(normaliseAnswer("  paris  "), "paris");
    EXPECT_EQ(normaliseAnswer("par  is"), "par is");
    EXPECT_EQ(normaliseAnswer("\t a    b \r\n"), "a b");
    EXPECT_EQ(normaliseAnswer("   "), "");
}

TEST(TypedAnswer, TextAnswersIgnoreCaseAndOuterSpaces)
{
    const std::string r = field(0, answer(1, "Paris") + answer(3, " paris france "));
    EXPECT_TRUE(correct(r, "  paris  "));
    EXPECT_TRUE(correct(r, "PARIS"));
    EXPECT_FALSE(correct(r, "par  is"));
    EXPECT_TRUE(correct(r, "  Paris   France "));
    EXPECT_FALSE(correct(r, ""));

    // Accented capitals of Windows-1252 fold too; an accepted answer with an
    // inner double space can never match a folded answer.
    const std::string accented = field(0, answer(1, "\xC9T\xC9") + answer(2, "new  york"));
    EXPECT_TRUE(correct(accented, "\xE9t\xE9"));
    EXPECT_FALSE(correct(accented, "new  york"));
}

TEST(TypedAnswer, NoTextMarkerIsNeverAnAcceptedAnswer)
{
    const std::string text = field(0, answer(1, "-empty45646-") + answer(2, "yes"));
    EXPECT_FALSE(correct(text, "-empty45646-"));
    EXPECT_TRUE(correct(text, "yes"));

    // In a decimal field the marker does not read as the number -45646.
    const std::string decimal = field(1, answer(1, "-empty45646-") + answer(2, "3"));
    EXPECT_FALSE(correct(decimal, "-45646"));
    EXPECT_TRUE(correct(decimal, "3"));

    const std::string whole = field(2, answer(1, "-empty45646-") + answer(2, "3"));
    EXPECT_FALSE(correct(whole, "-45646"));
    EXPECT_TRUE(correct(whole, "3"));

    // A range end holding the marker is a missing end: nothing is correct.
    const std::string range = field(1, answer(1, "-empty45646-") + answer(2, "10"), 1);
    EXPECT_FALSE(correct(range, "0"));
    EXPECT_FALSE(correct(range, "-45646"));
}

TEST(TypedAnswer, DecimalAnswers)
{
    const std::string r = field(1, answer(1, "2.5"));
    EXPECT_TRUE(correct(r, "2.50"));
    EXPECT_TRUE(correct(r, "02.5"));
    EXPECT_TRUE(correct(r, "2.5000000000001")); // places beyond the twelfth are dropped
    EXPECT_FALSE(correct(r, "2.500000000001"));
    EXPECT_FALSE(correct(r, "25"));
    EXPECT_FALSE(correct(r, "-"));

    EXPECT_TRUE(correct(field(1, answer(1, "-2.5")), "-2.50"));
    // Slots that give no number are skipped, later slots still count.
    EXPECT_TRUE(correct(field(1, answer(1, "") + answer(2, "abc") + answer(20, "7")), "7.0"));
    EXPECT_FALSE(correct(field(1, answer(21, "7")), "7"));
    // More than 18 kept characters is no number, also for the answer.
    EXPECT_FALSE(correct(field(1, answer(1, "1")), "1.000000000000000000"));
}

TEST(TypedAnswer, DecimalRangeInEitherOrder)
{
    for (const auto& [a, b] : {std::pair{"1.5", "-2"}, std::pair{"-2", "1.5"}}) {
        const std::string r = field(1, answer(1, a) + answer(2, b), 1);
        EXPECT_TRUE(correct(r, "1.5"));
        EXPECT_TRUE(correct(r, "-2"));
        EXPECT_TRUE(correct(r, "0"));
        EXPECT_FALSE(correct(r, "1.51"));
        EXPECT_FALSE(correct(r, "-2.000000000001"));
    }
    EXPECT_FALSE(correct(field(1, answer(1, "1"), 1), "1")); // missing end
}

TEST(TypedAnswer, WholeNumbers)
{
    for (const auto& [a, b] : {std::pair{"10", "5"}, std::pair{"5", "10"}}) {
        const std::string r = field(2, answer(1, a) + answer(2, b), 1);
        EXPECT_TRUE(correct(r, "5"));
        EXPECT_TRUE(correct(r, "7"));
        EXPECT_TRUE(correct(r, "10"));
        EXPECT_FALSE(correct(r, "11"));
        EXPECT_FALSE(correct(r, "12"));
        EXPECT_FALSE(correct(r, "seven"));
    }
    const std::string list = field(2, answer(1, "x") + answer(2, "-3") + answer(3, "2147483647"));
    EXPECT_TRUE(correct(list, "-3"));
    EXPECT_TRUE(correct(list, "+2147483647"));
    EXPECT_FALSE(correct(list, "2147483648"));
    EXPECT_FALSE(correct(list, "-"));

    // A text that is no whole number is never inside a range, not even one
    // reaching down to the smallest integer.
    const std::string wide = field(2, answer(1, "-2147483648") + answer(2, "0"), 1);
    EXPECT_TRUE(correct(wide, "-2147483647"));
    EXPECT_FALSE(correct(wide, "5-"));
}

TEST(TypedAnswer, ReportedAnswer)
{
    EXPECT_EQ(reportedAnswer(field(0, ""), "  Paris   France "), "paris france");
    EXPECT_EQ(reportedAnswer(field(2, ""), " +007 "), "7");
    EXPECT_EQ(reportedAnswer(field(2, ""), "seven"), "seven");
    EXPECT_EQ(reportedAnswer(field(1, ""), "02.50"), "02.50");
}

TEST(TypedAnswer, ExpectedAnswerShownWhileCheatIsHeld)
{
    EXPECT_EQ(expectedAnswerText(field(2, answer(1, "10") + answer(2, "5"), 1)), "10 to 5");
    EXPECT_EQ(expectedAnswerText(field(1, answer(1, "-empty45646-") + answer(2, "5"), 1)), "(nothing) to 5");
    EXPECT_EQ(expectedAnswerText(field(0, answer(1, "-empty45646-") + answer(2, "Rome"))), "Rome");
    // Every restriction but 0 shows the range, free-text values included;
    // restriction 0 lists the first answer even with useRange 1.
    EXPECT_EQ(expectedAnswerText(field(3, answer(1, "cat") + answer(2, "dog"), 1)), "cat to dog");
    EXPECT_EQ(expectedAnswerText(field(-1, answer(1, "cat") + answer(2, "dog"), 1)), "cat to dog");
    EXPECT_EQ(expectedAnswerText(field(0, answer(1, "cat") + answer(2, "dog"), 1)), "cat");
    EXPECT_EQ(expectedAnswerText(field(3, answer(1, "cat") + answer(2, "dog"))), "cat");

    std::string allMarkers;
    for (int k = 1; k <= 20; ++k)
        allMarkers += answer(k, "-empty45646-");
    EXPECT_EQ(expectedAnswerText(field(0, allMarkers)), "");
    EXPECT_EQ(expectedAnswerText(field(0, answer(2, "Rome"))), ""); // a missing first answer stops the search
}

TEST(TypedAnswer, KeyFilter)
{
    // A second "." in a decimal field is refused; the first is taken.
    EXPECT_EQ(filterTypedCharacter(1, '.', "12", 2), KeyVerdict::Accepted);
    EXPECT_EQ(filterTypedCharacter(1, '.', "1.2", 3), KeyVerdict::Refused);
    // "." is no whole-number character; in a text field any number may be typed.
    EXPECT_EQ(filterTypedCharacter(2, '.', "1", 1), KeyVerdict::Ignored);
    EXPECT_EQ(filterTypedCharacter(0, '.', "a.b", 3), KeyVerdict::Accepted);

    // "-" only at the start and only once, except in a text field.
    for (int kind : {1, 2, 3}) {
        EXPECT_EQ(filterTypedCharacter(kind, '-', "", 0), KeyVerdict::Accepted) << kind;
        EXPECT_EQ(filterTypedCharacter(kind, '-', "5", 0), KeyVerdict::Accepted) << kind;
        EXPECT_EQ(filterTypedCharacter(kind, '-', "5", 1), KeyVerdict::Refused) << kind;
        EXPECT_EQ(filterTypedCharacter(kind, '-', "-5", 0), KeyVerdict::Refused) << kind;
    }
    EXPECT_EQ(filterTypedCharacter(0, '-', "a-b", 2), KeyVerdict::Accepted);

    // Characters outside the set do nothing at all.
    EXPECT_EQ(filterTypedCharacter(1, 'a', "", 0), KeyVerdict::Ignored);
    for (char c : std::string("<>\"\\^_`\xE9\t") + '\0')
        EXPECT_EQ(filterTypedCharacter(0, static_cast<unsigned char>(c), "", 0), KeyVerdict::Ignored) << int(c);
    EXPECT_EQ(filterTypedCharacter(0, 0xA3, "", 0), KeyVerdict::Accepted); // the pound sign

    EXPECT_EQ(allowedCharacters(0).size(), 89u);
    EXPECT_EQ(allowedCharacters(7), allowedCharacters(0));
}

TEST(TypedAnswer, SavedTextIsRestoredOnlyAfterAPress)
{
    SavedAnswer saved;
    EXPECT_FALSE(saved.takeForRestore()); // Help released without Cheat: nothing to put back

    saved.save("my answer");
    saved.save("Rome"); // a second press while the expected answer shows
    EXPECT_EQ(saved.takeForRestore(), "my answer");
    EXPECT_FALSE(saved.takeForRestore()); // an out-of-date copy is never used twice
}
