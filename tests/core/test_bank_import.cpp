#include "objects/core/answer_marks.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "tools/bankimport/gift_reader.h"
#include "tools/bankimport/html_text.h"
#include "tools/bankimport/mark_rules.h"
#include "tools/bankimport/moodle_reader.h"
#include "tools/bankimport/page_builder.h"
#include "tools/bankimport/qti_reader.h"
#include "tools/bankimport/source_text.h"

#include "tests/support/temp_folder.h"
#include "tests/support/tool_run.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <zip.h>

namespace {

using namespace zx::import;
using TempDir = zx::testing::TempFolder;

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string dataFile(const std::string& name) { return std::string(ZX_SOURCE_DIR) + "/tests/data/import/" + name; }

// Every element of `key` in a page, in order.
std::vector<std::string> elements(const std::string& page, const std::string& key)
{
    std::vector<std::string> out;
    const std::string open = "<" + key + ">", close = "</" + key + ">";
    std::size_t at = 0;
    while ((at = page.find(open, at)) != std::string::npos) {
        const std::size_t end = page.find(close, at);
        if (end == std::string::npos)
            break;
        out.push_back(page.substr(at + open.size(), end - at - open.size()));
        at = end + close.size();
    }
    return out;
}

// A measurer with fixed character cells: 7 pixels wide, lines of 1.5 points.
class CellMeasurer : public TextMeasurer {
public:
    int height(const std::string& text, const TextStyle& style, int width) const override
    {
        const int perLine = std::max(1, width / 7);
        int lines = 0;
        std::size_t start = 0;
        while (start <= text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            lines += std::max<int>(1, static_cast<int>((end - start + perLine - 1) / perLine));
            start = end + 1;
        }
        return lines * style.points * 3 / 2;
    }
    int width(const std::string& text, const TextStyle&) const override { return static_cast<int>(text.size()) * 7; }
};

// ---------------------------------------------------------------- text

TEST(SourceText, BytesNumbersAndBase64)
{
    EXPECT_TRUE(isValidUtf8("plain \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));         // overlong
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));     // a surrogate
    EXPECT_FALSE(isValidUtf8("\xE2\x82"));         // cut short
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // beyond U+10FFFF
    EXPECT_EQ(sourceToUtf8("\xEF\xBB\xBF" "caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(sourceToUtf8("caf\xE9\x80"), "caf\xC3\xA9\xE2\x82\xAC");
    double v = 7;
    EXPECT_TRUE(parseNumber(" 33.5 ", v));
    EXPECT_DOUBLE_EQ(v, 33.5);
    EXPECT_TRUE(parseNumber("1,5", v));
    EXPECT_DOUBLE_EQ(v, 1.5);
    for (const char* bad : {"", "0x10", "inf", "nan", "1e999", "12abc", "--1"})
        EXPECT_FALSE(parseNumber(bad, v)) << bad;
    std::string bytes;
    EXPECT_TRUE(decodeBase64("SGVs\nbG8=", bytes));
    EXPECT_EQ(bytes, "Hello");
    EXPECT_FALSE(decodeBase64("SGV*", bytes));
    EXPECT_FALSE(decodeBase64("SG=Vs", bytes)); // data after padding
    EXPECT_EQ(categoryName(" $course$/top/A/B "), "A/B");
    EXPECT_EQ(categoryName("top"), "");
    EXPECT_EQ(urlDecode("a%20b%2"), "a b%2");
}

TEST(HtmlText, ParagraphsStylesPicturesAndNames)
{
    const RichText text = htmlToRichText("<h1>Title</h1><p><b>All bold</b></p><p>Mixed <i>style</i></p>"
                                         "<p><em>all italic</em><br>two lines</p><img src=\"x.png\" alt=\"an X\">"
                                         "<img src=\"known.png\"><script>skip()</script><p>a&amp;b &lt;c&gt;</p>",
                                         [](const std::string& src) { return src == "known.png" ? "K" : ""; });
    ASSERT_EQ(text.blocks.size(), 7u);
    EXPECT_EQ(text.blocks[0].heading, 1);
    EXPECT_TRUE(text.blocks[1].bold);
    EXPECT_FALSE(text.blocks[2].italic);
    EXPECT_EQ(text.blocks[3].text, "all italic\ntwo lines");
    EXPECT_FALSE(text.blocks[3].italic);
    EXPECT_EQ(text.blocks[4].text, "an X"); // a picture the source lacks: its alt text
    EXPECT_EQ(text.blocks[5].kind, TextBlock::Kind::Picture);
    EXPECT_EQ(text.blocks[5].picture, "K");
    EXPECT_EQ(text.blocks[6].text, "a&b <c>");
    EXPECT_EQ(plainToRichText("one\ntwo\n\n\nthree  four").blocks.size(), 2u);
    EXPECT_EQ(htmlToPlain("<p>a</p><p> b </p>"), "a b");
    EXPECT_EQ(nameFromText(std::string(70, 'x')).size(), 63u);
    EXPECT_EQ(nameFromText("short"), "short");
    // Never cut inside a UTF-8 sequence.
    std::string accents;
    for (int i = 0; i < 40; ++i)
        accents += "\xC3\xA9";
    EXPECT_TRUE(isValidUtf8(nameFromText(accents)));
}

// ---------------------------------------------------------------- readers

TEST(GiftReader, ReadsTheDocumentedKinds)
{
    const SourceDocument doc = readGift(readBytes(dataFile("gift-examples.gift")));
    ASSERT_TRUE(doc.error.empty());
    ASSERT_EQ(doc.questions.size(), 20u);
    const std::vector<Question>& q = doc.questions;
    EXPECT_EQ(q[0].kind, QuestionKind::TrueFalse);
    EXPECT_TRUE(q[0].trueIsCorrect);
    EXPECT_EQ(q[0].category, "Grant/Tomb");
    EXPECT_EQ(q[1].kind, QuestionKind::Choice);
    EXPECT_TRUE(q[1].singleAnswer);
    ASSERT_EQ(q[1].answers.size(), 3u);
    EXPECT_EQ(q[1].answers[0].plain, "yellow");
    EXPECT_EQ(q[1].answers[0].feedback.plain(), "right; good!");
    EXPECT_EQ(q[2].kind, QuestionKind::ShortAnswer);
    EXPECT_EQ(q[2].text.plain(), "Two plus _____ equals four.");
    EXPECT_EQ(q[3].kind, QuestionKind::Matching);
    ASSERT_EQ(q[3].pairs.size(), 2u);
    EXPECT_EQ(q[3].pairs[1].promptPlain, "dog");
    EXPECT_EQ(q[3].pairs[1].answer, "dog food");
    EXPECT_EQ(q[4].numbers.at(0).tolerance, "2");
    EXPECT_TRUE(q[5].numbers.at(0).isRange);
    EXPECT_EQ(q[6].numbers.size(), 2u);
    EXPECT_DOUBLE_EQ(q[6].numbers[1].fraction, 0.5);
    EXPECT_EQ(q[7].kind, QuestionKind::Unsupported);
    EXPECT_EQ(q[8].category, "Grant/Life");
    EXPECT_FALSE(q[10].trueIsCorrect);
    EXPECT_EQ(q[11].trueFeedback.plain(), "Right.");
    EXPECT_EQ(q[11].falseFeedback.plain(), "Wrong: it does rise in the east.");
    EXPECT_EQ(q[15].generalFeedback.plain(), "It's good to know the capitals");
    EXPECT_FALSE(q[16].singleAnswer); // weights only: several answers
    EXPECT_DOUBLE_EQ(q[16].answers[0].fraction, -1.0);
    EXPECT_EQ(q[17].name, "Kanji-Origin");
    EXPECT_EQ(q[18].kind, QuestionKind::Description);
    // Escaped specials are text.
    EXPECT_EQ(q[19].pairs.at(0).promptPlain, "{");
    EXPECT_EQ(q[19].pairs.at(1).promptPlain, ":");
    EXPECT_EQ(q[19].pairs.at(2).promptPlain, "=");
}

TEST(GiftReader, OddInputGivesNoQuestionOrAReason)
{
    EXPECT_FALSE(readGift("").error.empty());
    EXPECT_FALSE(readGift("// only a comment\n\n").error.empty());
    const SourceDocument open = readGift("What? {=a ~b");
    ASSERT_EQ(open.questions.size(), 1u);
    EXPECT_EQ(open.questions[0].kind, QuestionKind::Unsupported);
    EXPECT_FALSE(readGift(std::string("GIF89a\0\0{=x}", 12)).error.empty());
    // A category line may open the chunk of its first question.
    const SourceDocument same = readGift("$CATEGORY: $course$/A\n::Q:: x {T}");
    ASSERT_EQ(same.questions.size(), 1u);
    EXPECT_EQ(same.questions[0].category, "A");
    EXPECT_EQ(same.questions[0].name, "Q");
    EXPECT_TRUE(looksLikeGift(""));
    EXPECT_TRUE(looksLikeGift(" ::Q:: x {T}"));
    EXPECT_FALSE(looksLikeGift("\xEF\xBB\xBF <quiz/>"));
    // Windows-1252 bytes are read as such.
    const SourceDocument latin = readGift("Caf\xE9? {=ja}");
    EXPECT_EQ(latin.questions.at(0).text.plain(), "Caf\xC3\xA9?");
}

TEST(MoodleReader, ReadsKindsGradesPicturesAndCategories)
{
    const SourceDocument doc = readMoodle(readBytes(dataFile("moodle-examples.xml")));
    ASSERT_TRUE(doc.error.empty()) << doc.error;
    ASSERT_EQ(doc.questions.size(), 9u);
    const std::vector<Question>& q = doc.questions;
    EXPECT_EQ(q[0].grade, 200);
    EXPECT_EQ(q[0].category, "Astronomy/Planets");
    EXPECT_EQ(q[0].correctFeedback.plain(), "Your answer is correct.");
    ASSERT_EQ(q[0].text.blocks.size(), 2u);
    EXPECT_EQ(q[0].text.blocks[1].kind, TextBlock::Kind::Picture);
    ASSERT_NE(findPicture(doc, q[0].text.blocks[1].picture), nullptr);
    EXPECT_EQ(findPicture(doc, q[0].text.blocks[1].picture)->bytes.substr(1, 3), "PNG");
    EXPECT_FALSE(q[1].singleAnswer);
    EXPECT_FALSE(q[2].trueIsCorrect);
    EXPECT_EQ(q[3].category, "Astronomy/Numbers");
    EXPECT_EQ(q[4].grade, 150);
    EXPECT_EQ(q[5].pairs.size(), 4u);
    EXPECT_TRUE(q[5].pairs[3].promptPlain.empty());
    EXPECT_EQ(q[6].kind, QuestionKind::Description);
    EXPECT_EQ(q[6].text.blocks.at(0).heading, 2);
    EXPECT_EQ(q[7].kind, QuestionKind::Unsupported);
    EXPECT_EQ(q[8].kind, QuestionKind::Cloze);
    ASSERT_EQ(q[8].gaps.size(), 3u);
    EXPECT_EQ(q[8].gaps[1].kind, QuestionKind::Numerical);
    EXPECT_EQ(q[8].pieces.at(0).text, "The Moon goes round the");
    EXPECT_EQ(q[8].gapTail, "the Earth.");
}

TEST(MoodleReader, RefusesWhatIsNoQuizAndHostileXml)
{
    EXPECT_FALSE(readMoodle("not xml at all").error.empty());
    EXPECT_FALSE(readMoodle("<other/>").error.empty());
    const std::string bomb = "<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;\">]>"
                             "<quiz><question type=\"description\"><questiontext><text>&b;</text></questiontext></question></quiz>";
    EXPECT_NE(readMoodle(bomb).error.find("entity"), std::string::npos);
    std::string deep = "<quiz>";
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    EXPECT_TRUE(readMoodle(deep).questions.empty());
}

TEST(QtiReader, ReadsTheExampleItemsWithTheirMaximumScores)
{
    struct Expected {
        const char* file;
        QuestionKind kind;
        int grade;
    };
    const Expected expected[] = {
        {"choice.xml", QuestionKind::Choice, 100},          {"choice_multiple.xml", QuestionKind::Choice, 200},
        {"text_entry.xml", QuestionKind::ShortAnswer, 100}, {"match.xml", QuestionKind::Matching, 300},
        {"order.xml", QuestionKind::Ordering, 100},         {"inline_choice.xml", QuestionKind::Cloze, 100},
        {"gap_match.xml", QuestionKind::Matching, 300},     {"associate.xml", QuestionKind::Matching, 400},
        {"extended_text.xml", QuestionKind::Unsupported, 100}, {"qti3-choice.xml", QuestionKind::Choice, 100},
        {"qti3-text-entry.xml", QuestionKind::Numerical, 100},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.file);
        const SourceDocument doc = readQtiXml(readBytes(dataFile(std::string("qti/") + e.file)));
        ASSERT_EQ(doc.questions.size(), 1u) << doc.error;
        EXPECT_EQ(doc.questions[0].kind, e.kind);
        if (e.kind != QuestionKind::Unsupported) {
            EXPECT_EQ(doc.questions[0].grade, e.grade);
        }
    }
    const Question match = readQtiXml(readBytes(dataFile("qti/match.xml"))).questions.at(0);
    EXPECT_EQ(match.targets, (std::vector<std::string>{"A Midsummer-Night's Dream", "Romeo and Juliet", "The Tempest"}));
    EXPECT_EQ(match.itemTarget, (std::vector<int>{1, 0, 0, 2}));
    // Values the mapping does not list take its default value.
    const Question water = readQtiXml(readBytes(dataFile("qti/choice_multiple.xml"))).questions.at(0);
    EXPECT_DOUBLE_EQ(water.answers.at(1).fraction, -1.0);
    EXPECT_DOUBLE_EQ(water.answers.at(5).fraction, -0.5);
    EXPECT_EQ(water.approximations.size(), 1u);
    const Question order = readQtiXml(readBytes(dataFile("qti/order.xml"))).questions.at(0);
    EXPECT_EQ(order.itemTarget, (std::vector<int>{1, 2, 0}));
    const Question entry = readQtiXml(readBytes(dataFile("qti/text_entry.xml"))).questions.at(0);
    EXPECT_NE(entry.text.plain().find("sun of _____ ;"), std::string::npos) << entry.text.plain();
    EXPECT_FALSE(readQtiXml("<assessmentTest/>").error.empty());
}

// A zip in memory with the given files.
std::string makeZip(const std::vector<std::pair<std::string, std::string>>& files)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : files) {
        zip_source_t* file = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
        zip_file_add(archive, name.c_str(), file, ZIP_FL_OVERWRITE);
    }
    zip_close(archive);
    zip_source_open(buffer);
    zip_source_seek(buffer, 0, SEEK_END);
    const zip_int64_t size = zip_source_tell(buffer);
    zip_source_seek(buffer, 0, SEEK_SET);
    std::string out(static_cast<std::size_t>(size), '\0');
    zip_source_read(buffer, out.data(), static_cast<zip_uint64_t>(size));
    zip_source_close(buffer);
    zip_source_free(buffer);
    zip_error_fini(&error);
    return out;
}

TEST(QtiReader, ReadsAContentPackageAndRefusesHostileOnes)
{
    const SourceDocument doc = readQtiPackage(readBytes(dataFile("qti-package.zip")));
    ASSERT_EQ(doc.questions.size(), 3u) << doc.error;
    EXPECT_EQ(doc.questions[0].name, "Unattended Luggage");
    ASSERT_EQ(doc.pictures.size(), 1u);
    EXPECT_EQ(doc.pictures[0].key, "items/images/sign.png");
    EXPECT_EQ(doc.questions[1].kind, QuestionKind::Ordering);
    EXPECT_EQ(doc.questions[2].kind, QuestionKind::Unsupported);

    const std::string manifest = "<manifest><resources><resource type=\"imsqti_item_xmlv2p1\" href=\"a.xml\"/></resources></manifest>";
    const std::string escape = makeZip({{"imsmanifest.xml", manifest}, {"../a.xml", "<assessmentItem/>"}});
    EXPECT_NE(readQtiPackage(escape).error.find("outside"), std::string::npos) << readQtiPackage(escape).error;
    const std::string bomb = makeZip({{"imsmanifest.xml", manifest}, {"a.xml", std::string(8u << 20, ' ')}});
    EXPECT_NE(readQtiPackage(bomb).error.find("zip bomb"), std::string::npos) << readQtiPackage(bomb).error;
    EXPECT_FALSE(readQtiPackage("PK\x03\x04 broken").error.empty());
    EXPECT_FALSE(readQtiPackage(makeZip({{"other.txt", "x"}})).error.empty());
}

// ---------------------------------------------------------------- marks

TEST(MarkRules, SharesAddUpToTheGradeInHundredths)
{
    EXPECT_EQ(splitHundredths(100, {1, 1, 1}), (std::vector<int>{34, 33, 33}));
    EXPECT_EQ(splitHundredths(200, {0.5, 0.25, 0.25}), (std::vector<int>{100, 50, 50}));
    EXPECT_EQ(splitHundredths(1, {1, 1, 1}), (std::vector<int>{1, 0, 0}));
    EXPECT_EQ(splitHundredths(100, {}), std::vector<int>{});
    EXPECT_EQ(splitHundredths(100, {0, 0}), (std::vector<int>{0, 0}));
    // The remainder goes to the largest fractional parts, not to the first.
    EXPECT_EQ(splitHundredths(10, {1, 2}), (std::vector<int>{3, 7}));
}

TEST(MarkRules, ChoiceMarksKeepNegativesAndDropSingleAnswerPartialCredit)
{
    Question q;
    q.kind = QuestionKind::Choice;
    q.answers.resize(4);
    q.answers[0].fraction = 1;
    q.answers[1].fraction = 0.5;
    q.answers[2].fraction = -0.5;
    q.answers[3].fraction = 0;
    std::vector<std::string> notes;
    EXPECT_EQ(choiceMarks(q, 200, notes), (std::vector<int>{200, 0, -100, 0}));
    EXPECT_EQ(notes.size(), 1u);
    q.singleAnswer = false;
    q.answers[1].fraction = 1.0 / 3;
    q.answers[0].fraction = 1.0 / 3;
    q.answers[3].fraction = 1.0 / 3;
    notes.clear();
    EXPECT_EQ(choiceMarks(q, 100, notes), (std::vector<int>{34, 33, -50, 33}));
    EXPECT_TRUE(notes.empty());
    // A single-answer question without a right answer gives no marks.
    Question none;
    none.answers.resize(2);
    EXPECT_EQ(choiceMarks(none, 100, notes), (std::vector<int>{0, 0}));
}

NumberAnswer number(const char* value, const char* tolerance)
{
    NumberAnswer n;
    n.value = value;
    n.tolerance = tolerance;
    return n;
}

TEST(MarkRules, ShortAnswersAndNumbers)
{
    Question q;
    q.kind = QuestionKind::ShortAnswer;
    for (const char* text : {"Paris", "Par*", "Pa\xC3\xA9ris", "paris"}) {
        Answer a;
        a.plain = text;
        a.fraction = 1;
        q.answers.push_back(a);
    }
    q.answers.push_back({});
    q.answers.back().plain = "Lyon";
    q.answers.back().fraction = 0.5;
    std::vector<std::string> notes;
    EXPECT_EQ(acceptedShortAnswers(q, notes), (std::vector<std::string>{"Paris", "paris"}));
    EXPECT_EQ(notes.size(), 3u); // wildcard, untypeable, partial credit

    Question n;
    n.numbers.push_back(number("3.14", "0.01"));
    NumberField field;
    notes.clear();
    ASSERT_TRUE(numberField(n, field, notes));
    EXPECT_TRUE(field.useRange);
    EXPECT_EQ(field.answers, (std::vector<std::string>{"3.13", "3.15"}));
    EXPECT_EQ(field.editRestriction, 1);
    Question whole;
    whole.numbers.push_back(number("1822", ""));
    whole.numbers.push_back(number("1e3", "0"));
    field = {};
    ASSERT_TRUE(numberField(whole, field, notes));
    EXPECT_FALSE(field.useRange);
    EXPECT_EQ(field.answers, (std::vector<std::string>{"1822", "1000"}));
    EXPECT_EQ(field.editRestriction, 2);
    Question range;
    range.numbers.push_back({});
    range.numbers[0].isRange = true;
    range.numbers[0].low = "1";
    range.numbers[0].high = "5";
    field = {};
    ASSERT_TRUE(numberField(range, field, notes));
    EXPECT_EQ(field.editRestriction, 1); // 2.5 lies in the range too
    // The smallest tolerance still makes a range; a list keeps 20 numbers.
    Question tiny;
    tiny.numbers.push_back(number("2", "0.000000000001"));
    field = {};
    ASSERT_TRUE(numberField(tiny, field, notes));
    EXPECT_EQ(field.answers, (std::vector<std::string>{"1.999999999999", "2.000000000001"}));
    Question many;
    for (int i = 0; i < 25; ++i)
        many.numbers.push_back(number(std::to_string(i).c_str(), ""));
    field = {};
    ASSERT_TRUE(numberField(many, field, notes));
    EXPECT_EQ(field.answers.size(), 20u);
    EXPECT_EQ(field.answers.back(), "19");
    EXPECT_EQ(decimalText("-0.50"), "-0.5");
    EXPECT_EQ(decimalText("abc"), "");
}

TEST(PageText, TextsCannotCutARecordAndKeepWhatWindows1252Lacks)
{
    bool lossy = true;
    EXPECT_EQ(tagSafeText("a < b and </zxString>", &lossy), "a < b and \x8B/zxString>");
    EXPECT_FALSE(lossy);
    EXPECT_EQ(tagSafeText("\xE2\x82\xAC \xCE\xA3 \xE2\x88\x92", &lossy), "\x80 ? -");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(tagSafeUtf8("x<y"), "x\xE2\x80\xB9y");
}

// ---------------------------------------------------------------- pages

struct Box {
    int left, top, width, height;
};

bool overlaps(const Box& a, const Box& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height && b.top < a.top + a.height;
}

// The answer objects' rectangles of a page (buttons at their pictures' sizes).
std::vector<Box> answerBoxes(const std::string& page)
{
    std::vector<Box> boxes;
    for (const std::string& b : elements(page, "zxButton")) {
        const bool tf = zx::getTagInt(b, "buttonType", 0) == 1;
        boxes.push_back({zx::getTagInt(b, "buttonLeft", 0), zx::getTagInt(b, "buttonTop", 0),
                         tf ? drawn::trueFalseWidth : drawn::choiceSize, tf ? drawn::trueFalseHeight : drawn::choiceSize});
    }
    for (const std::string& f : elements(page, "zxField"))
        boxes.push_back({zx::getTagInt(f, "FieldLeft", 0), zx::getTagInt(f, "FieldTop", 0), zx::getTagInt(f, "FieldWidth", 0),
                         zx::getTagInt(f, "FieldHeight", 0)});
    for (const std::string& d : elements(page, "zxDrag")) {
        boxes.push_back({zx::getTagInt(d, "DragLeft", 0), zx::getTagInt(d, "DragTop", 0), zx::getTagInt(d, "DragWidth", 0),
                         zx::getTagInt(d, "DragHeight", 0)});
    }
    return boxes;
}

// Every object inside the page, no two answer objects on each other.
void expectTidyPage(const std::string& page, const PageGeometry& g)
{
    std::vector<Box> all = answerBoxes(page);
    for (const std::string& t : elements(page, "zxText"))
        if (zx::getTag(t, "feedback") == "0")
            all.push_back({zx::getTagInt(t, "textLeft", 0), zx::getTagInt(t, "textTop", 0), zx::getTagInt(t, "textWidth", 0),
                           zx::getTagInt(t, "textHeight", 0)});
    for (const std::string& p : elements(page, "zxFeedback"))
        all.push_back({zx::getTagInt(p, "FeedbackLeft", 0), zx::getTagInt(p, "FeedbackTop", 0),
                       zx::getTagInt(p, "FeedbackWidth", 0), zx::getTagInt(p, "FeedbackHeight", 0)});
    for (const Box& b : all) {
        EXPECT_GE(b.left, 0);
        EXPECT_GE(b.top, 0);
        EXPECT_LE(b.left + b.width, g.width);
        EXPECT_LE(b.top + b.height, g.height);
    }
    const std::vector<Box> answers = answerBoxes(page);
    for (std::size_t i = 0; i < answers.size(); ++i)
        for (std::size_t j = i + 1; j < answers.size(); ++j)
            EXPECT_FALSE(overlaps(answers[i], answers[j])) << "answer objects " << i << " and " << j;
}

// Answers every object of a page with its best answer; the score.
int bestAnswerScore(const std::string& page)
{
    int score = 0;
    for (const std::string& b : elements(page, "zxButton")) {
        const zx::ObjectMarks a = zx::markButton(b, 1), c = zx::markButton(b, 2), none = zx::markButton(b, 0);
        score += std::max({a.score, c.score, none.score});
    }
    for (const std::string& f : elements(page, "zxField")) {
        const std::string answer = zx::getTag(f, "FieldAnswer1");
        score += zx::markField(f, answer).score;
    }
    for (const std::string& d : elements(page, "zxDrag")) {
        int best = zx::markDrag(d, -1).score;
        for (int t = 0; t < 100; ++t)
            best = std::max(best, zx::markDrag(d, t).score);
        score += best;
    }
    return score;
}

TEST(PageBuilder, EveryKindFitsTheDocumentedExamplesAndScoresTheGrade)
{
    const CellMeasurer measurer;
    const std::map<std::string, int> pages = {{"gift-examples.gift", 19}, {"moodle-examples.xml", 8}, {"qti-package.zip", 2},
                                              {"qti/match.xml", 1}, {"qti/gap_match.xml", 1}, {"qti/associate.xml", 1},
                                              {"qti/choice_multiple.xml", 1}, {"qti/inline_choice.xml", 1},
                                              {"qti/text_entry.xml", 1}, {"qti/qti3-text-entry.xml", 1}};
    for (const auto& [file, expectedPages] : pages) {
        const std::string bytes = readBytes(dataFile(file));
        const SourceDocument doc = file[0] == 'g' ? readGift(bytes)
                                   : file[0] == 'm' ? readMoodle(bytes)
                                   : file.find(".zip") != std::string::npos ? readQtiPackage(bytes)
                                                                             : readQtiXml(bytes);
        for (const char* size : {"640x480", "800x600", "1024x768"}) {
            const PageGeometry g = *pageGeometryFor(size);
            int built = 0;
            for (const Question& q : doc.questions) {
                const PageResult page = buildQuestionPage(q, g, measurer, [](const std::string&) {
                    return std::optional<PlacedPicture>(PlacedPicture{"p.bmp", 400, 300});
                });
                if (!page.built)
                    continue;
                ++built;
                SCOPED_TRACE(file + " " + size + " " + q.name);
                expectTidyPage(page.record, g);
                if (q.kind != QuestionKind::Description) {
                    EXPECT_EQ(bestAnswerScore(page.record), q.grade);
                }
                EXPECT_EQ(zx::getTag(page.record, "ResultsText"), tagSafeText(q.name));
            }
            EXPECT_EQ(built, expectedPages);
        }
    }
}

TEST(PageBuilder, MatchingPairsShareTheGradeAndDistractorsScoreNothing)
{
    const SourceDocument doc = readMoodle(readBytes(dataFile("moodle-examples.xml")));
    const PageResult page = buildQuestionPage(doc.questions.at(5), *pageGeometryFor("800x600"), CellMeasurer(), {});
    ASSERT_TRUE(page.built);
    const std::vector<std::string> drags = elements(page.record, "zxDrag");
    ASSERT_EQ(drags.size(), 4u);
    EXPECT_EQ(zx::markDrag(drags[0], 0).score, 34);
    EXPECT_EQ(zx::markDrag(drags[1], 1).score, 33);
    EXPECT_EQ(zx::markDrag(drags[2], 2).score, 33);
    EXPECT_EQ(zx::markDrag(drags[0], 1).score, 0);
    EXPECT_EQ(zx::markDrag(drags[3], 0).best, 0);
    EXPECT_EQ(zx::markDrag(drags[1], 1).answerText, "Titan");
}

TEST(PageBuilder, AQuestionTooLongForThePageIsReportedNotCut)
{
    Question q;
    q.kind = QuestionKind::Choice;
    q.name = "long";
    q.text = RichText::fromPlain(std::string(20000, 'x'));
    q.answers.push_back({RichText::fromPlain("a"), "a", 1, {}});
    const PageResult page = buildQuestionPage(q, *pageGeometryFor("640x480"), CellMeasurer(), {});
    EXPECT_FALSE(page.built);
    EXPECT_NE(page.skipReason.find("does not fit"), std::string::npos);
    // More than 60 choices do not fit one page either.
    Question many;
    many.kind = QuestionKind::Choice;
    for (int i = 0; i < 61; ++i)
        many.answers.push_back({RichText::fromPlain("c"), "c", i == 0 ? 1.0 : 0.0, {}});
    EXPECT_FALSE(buildQuestionPage(many, *pageGeometryFor("1024x768"), CellMeasurer(), {}).built);
}

TEST(PageBuilder, FeedbackBecomesPanelsChosenByScore)
{
    const SourceDocument doc = readMoodle(readBytes(dataFile("moodle-examples.xml")));
    const PageResult page = buildQuestionPage(doc.questions.at(0), *pageGeometryFor("800x600"), CellMeasurer(), {});
    ASSERT_TRUE(page.built);
    const std::vector<std::string> panels = elements(page.record, "zxFeedback");
    // Three answers' feedback (scores 2, 0, -1), correct/partial/incorrect, general.
    ASSERT_EQ(panels.size(), 7u);
    EXPECT_EQ(zx::getTag(panels[0], "FeedbackCriteria"), "2");
    EXPECT_EQ(zx::getTag(panels.back(), "FeedbackCriteria"), "5");
    const std::vector<std::string> texts = elements(page.record, "zxText");
    int inPanels = 0;
    for (const std::string& t : texts)
        inPanels += zx::getTag(t, "feedback") != "0";
    EXPECT_EQ(inPanels, 7);
}

// ---------------------------------------------------------------- the tool

using zx::testing::ToolRun;

ToolRun runImport(const std::string& arguments) { return zx::testing::runTool(ZX_ZXBANK_PATH, "import " + arguments); }

std::string quoted(const std::string& path) { return "'" + path + "'"; }

TEST(ZxbankImport, WritesAPlayableBankAndReportsEveryQuestion)
{
    TempDir dir;
    const ToolRun run = runImport("--title 'Grant quiz' --random 5 --time-limit 20 " + quoted(dataFile("gift-examples.gift"))
                                  + " " + quoted(dataFile("moodle-examples.xml")) + " " + quoted(dir.path("out.zxb")));
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("8. Q8 [essay]: skipped: an essay"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("7. Q7 [numerical]: approximated: a partial-credit answer dropped"), std::string::npos);
    EXPECT_NE(run.out.find("21. Red planet [single choice]: imported"), std::string::npos);
    const zx::BankIndexResult index = zx::readBankIndex(dir.path("out.zxb"));
    ASSERT_EQ(index.error, zx::BankReadError::None);
    EXPECT_EQ(zx::listPageCount(index.index.questionFileList), 27);
    EXPECT_EQ(zx::listPageCount(index.index.preTestFileList), 1);
    EXPECT_EQ(zx::getTag(index.index.testList, "NumberOfQuestions"), "5");
    EXPECT_EQ(zx::getTag(index.index.testList, "PresentInRandomOrder"), "1");
    EXPECT_EQ(zx::getTag(index.index.testList, "timeLimitMinutes"), "20");
    EXPECT_NE(index.index.testList.find("<zxCategory>Astronomy/Planets</zxCategory>"), std::string::npos);
}

TEST(ZxbankImport, FolderOutputPacksAgain)
{
    TempDir dir;
    const ToolRun run = runImport("--exam --details --page 1024x768 --folder " + quoted(dir.path("src")) + " "
                                  + quoted(dataFile("moodle-examples.xml")));
    ASSERT_EQ(run.status, 0) << run.out;
    const std::string settings = readBytes(dir.path("src/settings.txt"));
    EXPECT_EQ(zx::getTag(settings, "isExam"), "1");
    EXPECT_EQ(zx::getTag(settings, "allowCheating"), "0");
    EXPECT_EQ(zx::getTag(settings, "shouldUserEnterDetails"), "1");
    EXPECT_EQ(zx::getTag(settings, "timeLimitMinutes"), "");
    EXPECT_EQ(zx::getTagInt(readBytes(dir.path("src/pages/q00.txt")), "windowSize", -1), 2);
    EXPECT_TRUE(std::filesystem::exists(dir.path("src/media/pic-0001.bmp")));
    // A second import into the same folder is refused.
    EXPECT_EQ(runImport("--folder " + quoted(dir.path("src")) + " " + quoted(dataFile("moodle-examples.xml"))).status, 1);
}

TEST(ZxbankImport, ExitStatusesForBadArgumentsAndSourcesWithoutQuestions)
{
    TempDir dir;
    EXPECT_EQ(runImport("").status, 2);
    EXPECT_EQ(runImport(quoted(dataFile("gift-examples.gift"))).status, 2); // no output
    EXPECT_EQ(runImport("--page 100x100 a b").status, 2);
    EXPECT_EQ(runImport("--random x a b").status, 2);
    EXPECT_EQ(runImport("--bogus a b").status, 2);
    std::ofstream(dir.path("essay.gift")) << "Describe. {}\n";
    const ToolRun none = runImport(quoted(dir.path("essay.gift")) + " " + quoted(dir.path("x.zxb")));
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.out.find("no importable question"), std::string::npos) << none.out;
    std::ofstream(dir.path("broken.xml")) << "<quiz><question type=\"truefalse\">";
    const ToolRun broken = runImport(quoted(dir.path("broken.xml")) + " " + quoted(dir.path("x.zxb")));
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.out.find("not well-formed XML"), std::string::npos) << broken.out;
    EXPECT_EQ(runImport(quoted(dir.path("missing.gift")) + " " + quoted(dir.path("x.zxb"))).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.path("x.zxb")));
}

} // namespace
