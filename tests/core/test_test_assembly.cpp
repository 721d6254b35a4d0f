#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "tools/bankpack/bank_packer.h"
#include "testrun/core/embedded_files.h"
#include "testrun/core/test_assembly.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <unistd.h>

using namespace zx;
namespace fs = std::filesystem;

namespace {

std::string page(int n) { return "<zxText><textString>Question " + std::to_string(n) + "</textString></zxText>"; }

std::string questionList(int count)
{
    std::string list;
    for (int i = 0; i < count; ++i)
        list += "<questionFile" + std::to_string(i) + ">" + page(i) + "</questionFile" + std::to_string(i) + ">\r\n";
    return list;
}

RandomSource seeded(unsigned seed)
{
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<std::uint32_t>((*engine)()); };
}

std::vector<std::string> presented(const AssembledQuestions& test)
{
    std::vector<std::string> pages;
    const NumberedTags tags(test.questionList, "questionFile", 500);
    for (int k = 0; k <= test.lastQuestion; ++k)
        pages.push_back(tags.value(k));
    return pages;
}

} // namespace

TEST(TestAssembly, StoredOrderWhenAllAreAskedForInOrder)
{
    const std::string list = questionList(10);
    for (const char* settings : {"", "<NumberOfQuestions>0</NumberOfQuestions>",
                                 "<NumberOfQuestions>-3</NumberOfQuestions>",
                                 "<NumberOfQuestions>99</NumberOfQuestions>",
                                 "<NumberOfQuestions>10</NumberOfQuestions>"}) {
        const AssembledQuestions test = assembleQuestions(list, settings, seeded(1));
        EXPECT_EQ(test.lastQuestion, 9) << settings;
        EXPECT_FALSE(test.drawn);
        EXPECT_EQ(test.questionList, list);
    }
}

TEST(TestAssembly, ExtremeQuestionCountsMeanAll)
{
    // The count is decided on the number as read: neither end of the
    // integer range may overflow on the way.
    const std::string list = questionList(4);
    for (const char* settings : {"<NumberOfQuestions>-2147483648</NumberOfQuestions>",
                                 "<NumberOfQuestions>2147483647</NumberOfQuestions>"}) {
        const AssembledQuestions test = assembleQuestions(list, settings, seeded(1));
        EXPECT_EQ(test.lastQuestion, 3) << settings;
        EXPECT_EQ(test.questionList, list) << settings;
    }
    EXPECT_EQ(assembleQuestions(list, "<NumberOfQuestions>1</NumberOfQuestions>", seeded(1)).lastQuestion, 0);
}

TEST(TestAssembly, FewerQuestionsAreDrawnAtRandomEvenInStoredOrder)
{
    const std::string list = questionList(10);
    const AssembledQuestions test =
        assembleQuestions(list, "<NumberOfQuestions>3</NumberOfQuestions><PresentInRandomOrder>0</PresentInRandomOrder>",
                          seeded(2));
    EXPECT_TRUE(test.drawn);
    EXPECT_EQ(test.lastQuestion, 2);
    const auto pages = presented(test);
    std::set<std::string> distinct(pages.begin(), pages.end());
    EXPECT_EQ(distinct.size(), 3u);
    for (const auto& p : pages)
        EXPECT_NE(list.find(p), std::string::npos);
    // The first drawn gets the highest number and comes first in the text.
    EXPECT_EQ(test.questionList.rfind("<questionFile2>", 0), 0u);
}

TEST(TestAssembly, RandomDrawsNeverRepeatAndCoverEveryQuestion)
{
    const std::string list = questionList(40);
    for (unsigned seed = 0; seed < 20; ++seed) {
        const AssembledQuestions test =
            assembleQuestions(list, "<PresentInRandomOrder>1</PresentInRandomOrder>", seeded(seed));
        ASSERT_EQ(test.lastQuestion, 39);
        const auto pages = presented(test);
        EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()).size(), 40u);
    }
}

TEST(TestAssembly, DrawsThatRunOutStillGiveDenseNumbers)
{
    // A source that keeps hitting the same question: the draws end, and the
    // rest is filled from the questions not yet taken.
    const AssembledQuestions test =
        assembleQuestions(questionList(5), "<PresentInRandomOrder>1</PresentInRandomOrder>", [] { return 0u; });
    const auto pages = presented(test);
    EXPECT_EQ(std::set<std::string>(pages.begin(), pages.end()).size(), 5u);
    EXPECT_EQ(pages[4], page(0));
}

TEST(TestAssembly, ShortRecordEndsTheListAndAFullListCounts)
{
    std::string list = questionList(3);
    list = setTag(list, "questionFile1", "0123456789"); // 10 characters: the end
    EXPECT_EQ(lastAvailableQuestion(list), 0);
    list = setTag(list, "questionFile1", "0123456789A");
    EXPECT_EQ(lastAvailableQuestion(list), 2);
    EXPECT_EQ(lastAvailableQuestion(""), -1);
    EXPECT_EQ(assembleQuestions("", "", seeded(1)).lastQuestion, -1);
    // All 500 numbers filled: 500 questions, not "no question".
    EXPECT_EQ(lastAvailableQuestion(questionList(501)), 499);
}

TEST(TestAssembly, StartDates)
{
    StartTime t{2026, 12, 6, 14, 30, 5, "Sunday", "December"};
    EXPECT_EQ(formatStartDate(t), "20261206143005");
    EXPECT_EQ(formatStartDisplayDate(t), "2:30 pm, Sunday 6 December, 2026");
    t.hour = 0;
    t.minute = 7;
    EXPECT_EQ(formatStartDisplayDate(t), "12:07 am, Sunday 6 December, 2026");
    t.hour = 12;
    EXPECT_EQ(formatStartDisplayDate(t).substr(0, 8), "12:07 pm");
    const std::string stamped = stampStartDates("<isExam>0</isExam>", t);
    EXPECT_EQ(getTag(stamped, "testStartDate"), "20261206120705");
    EXPECT_EQ(getTagInt(stamped, "isExam", -1), 0);
}

class Extraction : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(m_dir / "work"); }

    std::string makeBank(const std::vector<std::pair<std::string, std::string>>& media)
    {
        BankSources sources;
        sources.settings = "<version>1</version>";
        sources.questionPages.push_back({"q00", page(0)});
        int i = 0;
        for (const auto& [name, bytes] : media) {
            const std::string file = (m_dir / ("m" + std::to_string(i++))).string();
            std::ofstream(file, std::ios::binary) << bytes;
            sources.media.push_back({name, file, bytes.size()});
        }
        const std::string bank = (m_dir / "bank.zxb").string();
        PackOptions options;
        options.requirePlayable = false;
        const PackResult result = writeBank(sources, bank, options);
        EXPECT_TRUE(result.ok) << result.error;
        m_indexLength = result.indexLength;
        return bank;
    }
    static std::string bytesOf(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    zx::testing::TempFolder m_folder{"zxextract"};
    const fs::path& m_dir = m_folder.folder();
    std::int64_t m_indexLength = 0;
};

TEST_F(Extraction, CopiesEveryFileUnderItsWorkingName)
{
    const std::string bank = makeBank({{"pic.bmp", "BM0123456789abc"}, {"C:/pics/sun.JPG", "0123456789sun"}});
    const BankIndexResult index = readBankIndex(bank);
    ASSERT_TRUE(index.ok());
    EmbeddedFiles files((m_dir / "work").string());
    std::vector<std::int64_t> seen;
    EXPECT_EQ(files.extract(bank, index.index.length, index.index.fileHeader, seeded(1),
                            [&](std::int64_t done, std::int64_t) { seen.push_back(done); }),
              2);
    EXPECT_FALSE(seen.empty());
    ASSERT_EQ(files.count(), 2);
    EXPECT_EQ(files.workingName(0), "R0.bmp");
    EXPECT_EQ(files.workingName(1), "R1.JPG");
    EXPECT_EQ(bytesOf(files.resolve("pic.bmp")), "BM0123456789abc");
    EXPECT_EQ(bytesOf(files.resolve("C:/pics/sun.JPG")), "0123456789sun");
    // Backslashes of a page's name are dropped before the comparison.
    EXPECT_EQ(files.resolve("p\\ic.bmp"), files.resolve("pic.bmp"));
    // Names are compared exactly.
    EXPECT_FALSE(fs::exists(files.resolve("PIC.bmp")));
}

TEST_F(Extraction, HostileNamesStayInsideTheWorkingFolder)
{
    // Our packer refuses such names; a bank from elsewhere may carry them.
    const std::string bank = makeBank({{"ok.bmp", "0123456789abcdef"}});
    const BankIndexResult index = readBankIndex(bank);
    const std::string list = "<../../evil.b/../x>0,16</../../evil.b/../x><a.j\x01pg>0,16</a.j\x01pg>"
                             "<x./../../y>0,16</x./../../y>";
    EmbeddedFiles files((m_dir / "work").string());
    EXPECT_EQ(files.extract(bank, index.index.length, list, seeded(1)), 3);
    for (const auto& entry : fs::recursive_directory_iterator(m_dir)) {
        if (entry.is_regular_file()) {
            EXPECT_TRUE(entry.path().parent_path() == m_dir || entry.path().parent_path() == m_dir / "work")
                << entry.path();
        }
    }
    EXPECT_EQ(files.workingName(0), "R0");
    EXPECT_EQ(files.workingName(2), "R2");
    EXPECT_EQ(files.workingName(1), "R1.jpg");
    const std::string outside = files.resolve("../bank.zxb");
    EXPECT_EQ(fs::path(outside).parent_path(), m_dir / "work");
    EXPECT_FALSE(fs::exists(outside));
    EXPECT_FALSE(fs::exists(files.resolve("..")));
}

TEST_F(Extraction, BadRangesGetATableEntryButNoFile)
{
    const std::string bank = makeBank({{"ok.bmp", "0123456789abcdef"}});
    const BankIndexResult index = readBankIndex(bank);
    const std::string list = "<short.bmp>0,5</short.bmp><neg.bmp>-900,20</neg.bmp><rev.bmp>16,0</rev.bmp>"
                             "<far.bmp>0,99999999999</far.bmp><huge.bmp>9223372036854775000,9223372036854775807"
                             "</huge.bmp><ok.bmp>0,16</ok.bmp>";
    EmbeddedFiles files((m_dir / "work").string());
    EXPECT_EQ(files.extract(bank, index.index.length, list, seeded(1)), 1);
    EXPECT_EQ(files.count(), 6);
    EXPECT_EQ(bytesOf(files.resolve("ok.bmp")), "0123456789abcdef");
    for (const char* name : {"short.bmp", "neg.bmp", "rev.bmp", "far.bmp", "huge.bmp"}) {
        EXPECT_FALSE(fs::exists(files.resolve(name))) << name;
    }
}

TEST_F(Extraction, AWorkingNameInUseIsReplaced)
{
    const std::string bank = makeBank({{"a.bmp", "0123456789abcdef"}});
    const BankIndexResult index = readBankIndex(bank);
    // A folder of that name cannot be deleted: it is renamed aside.
    fs::create_directories(m_dir / "work" / "R0.bmp" / "inside");
    EmbeddedFiles files((m_dir / "work").string());
    EXPECT_EQ(files.extract(bank, index.index.length, index.index.fileHeader, seeded(4)), 1);
    EXPECT_EQ(files.workingName(0), "R0.bmp");
    EXPECT_EQ(bytesOf(files.resolve("a.bmp")), "0123456789abcdef");
    int folders = 0;
    for (const auto& entry : fs::directory_iterator(m_dir / "work"))
        folders += entry.is_directory() && entry.path().filename().string().rfind("R0.bmp", 0) == 0;
    EXPECT_EQ(folders, 1);
}
