#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using zx::NumberedTags;

// Every number in -1..count (the ends lie outside the reader's range) reads
// exactly as getTag reads it.
void expectSameAsGetTag(const std::string& text, const std::string& prefix, int count)
{
    const NumberedTags reader(text, prefix, count);
    for (int k = -1; k <= count; ++k) {
        const std::string expected = (k >= 0 && k < count) ? zx::getTag(text, prefix + std::to_string(k)) : "";
        ASSERT_EQ(reader.value(k), expected) << "number " << k << " of prefix '" << prefix << "' in: " << text;
        ASSERT_EQ(reader.valueLength(k), expected.size());
    }
}

TEST(NumberedTags, ReadsAListOfPages)
{
    const std::string list = "<questionFile0>zero page</questionFile0> <questionFile1>one</questionFile1>\r\n"
                             "<questionFile2></questionFile2><questionFile10>ten</questionFile10>";
    const NumberedTags reader(list, "questionFile", 500);
    EXPECT_EQ(reader.value(0), "zero page");
    EXPECT_EQ(reader.value(1), "one");
    EXPECT_EQ(reader.value(2), "");
    EXPECT_EQ(reader.value(3), "");
    EXPECT_EQ(reader.value(10), "ten");
    EXPECT_EQ(reader.count(), 500);
    expectSameAsGetTag(list, "questionFile", 500);
}

TEST(NumberedTags, FollowsTheFirstMarkRulesOfGetTag)
{
    const std::vector<std::string> texts = {
        // repeated elements: first open and first close win
        "<q1>a</q1><q1>b</q1>",
        // reversed marks: close before open reads as empty
        "</q1><q1>x</q1>",
        "</q2>junk<q2>",
        // nested element of the same key ends at the inner close mark
        "<q3>outer <q3>inner</q3> tail</q3>",
        // a longer number is not a match of its prefix number
        "<q10>ten</q10><q1>one</q1><q100>hundred</q100>",
        "<q1>one<q10>ten</q10></q1>",
        // leading zeros never name a number
        "<q01>x</q01><q1>y</q01></q1>",
        "<q00>a</q00><q0>b</q0>",
        // marks inside values of other numbers
        "<q4>see </q5> here</q4><q5>five</q5>",
        "<q5><q6>six</q6></q5>",
        // missing close, missing open, broken marks
        "<q7>no close", "only close</q7>", "<q7 >x</q7 >", "<q7>x</ q7>", "<<q7>>x<</q7>>",
        // adjacent and overlapping-looking marks
        "<q8></q8><q8>", "<q9><q9></q9></q9>", "</q1></q1><q1><q1>",
        // empty text and text without marks
        "", "plain text", "<", "</", "<q", "</q1",
    };
    for (const std::string& text : texts)
        expectSameAsGetTag(text, "q", 12);
}

TEST(NumberedTags, OddPrefixesStillMatchGetTag)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "<1>one</1><0>zero</0>"},
        {"q1", "<q10>a</q10><q11>b</q11><q1>x</q1>"},  // prefix ending in a digit
        {"/a", "</a1>open</a1></a1>"},                 // open mark that looks like a close mark
        {"a<b", "<a<b2>two</a<b2>"},                   // "<" inside the key
        {"x>", "<x>1>v</x>1>"},                        // ">" inside the key
    };
    for (const auto& [prefix, text] : cases)
        expectSameAsGetTag(text, prefix, 12);
}

TEST(NumberedTags, RandomTextsReadAsGetTagReadsThem)
{
    std::mt19937 random(20260607);
    const std::vector<std::string> pieces = {"<q", "</q", "<q1>", "</q1>", "<q10>", "</q10>", "<q01>", "<q2>",
                                             "</q2>", "<q11>", "</q11>", "<", ">", "/", "q", "0", "1", "2",
                                             "x", " ", "<q0>", "</q0>", "\r\n", "<q3>", "</q3>", "<qq1>"};
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += pieces[random() % pieces.size()];
        expectSameAsGetTag(text, "q", 12);
    }
}

TEST(NumberedTags, NumbersOutsideTheRangeAreEmpty)
{
    const std::string text = "<q5>five</q5><q12>twelve</q12>";
    const NumberedTags reader(text, "q", 6);
    EXPECT_EQ(reader.value(5), "five");
    EXPECT_EQ(reader.value(12), "");
    EXPECT_EQ(reader.value(-1), "");
    const NumberedTags none(text, "q", 0);
    EXPECT_EQ(none.count(), 0);
    EXPECT_EQ(none.value(0), "");
}

} // namespace
