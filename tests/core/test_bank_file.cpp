#include "tagtext/stored_file.h"
#include "testrun/core/bank_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;
using zx::EmbeddedFileEntry;

using TempDir = zx::testing::TempFolder;

void writeBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::uint32_t fixedRandom()
{
    static std::mt19937 random(7);
    return random();
}

// A bank whose index content is `content` (N field included), followed by
// `media`.
std::string bankBytes(const std::string& content, const std::string& media = {})
{
    return zx::scrambleText(content, 3, fixedRandom) + media;
}

std::string field(std::int64_t n)
{
    std::string digits = std::to_string(n);
    return std::string(20 - digits.size(), '0') + digits;
}

TEST(BankFile, ReadsTheIndexSectionAndItsFourParts)
{
    TempDir dir;
    std::string body = "<fileHeader><a.bmp>0,12</a.bmp></fileHeader> <testList><isExam>1</isExam></testList> "
                       "<questionFileList><questionFile0>page zero text</questionFile0></questionFileList> "
                       "<preTestFileList></preTestFileList>";
    body.append(300, ' ');
    const std::int64_t n = static_cast<std::int64_t>(317 + 20 + body.size());
    const std::string media = "0123456789AB";
    writeBytes(dir.path("b.zxb"), bankBytes(field(n) + body, media));

    const zx::BankIndexResult result = zx::readBankIndex(dir.path("b.zxb"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.index.length, n);
    EXPECT_FALSE(result.index.truncated);
    EXPECT_EQ(result.index.fileSize, static_cast<std::uint64_t>(n) + media.size());
    EXPECT_EQ(result.index.fileHeader, "<a.bmp>0,12</a.bmp>");
    EXPECT_EQ(result.index.testList, "<isExam>1</isExam>");
    EXPECT_EQ(result.index.questionFileList, "<questionFile0>page zero text</questionFile0>");
    EXPECT_EQ(result.index.preTestFileList, "");
}

TEST(BankFile, LengthFieldMayBePaddedWithZerosOrSpaces)
{
    EXPECT_EQ(zx::bankLengthFromContent("00000000000000000612<x>"), 612);
    EXPECT_EQ(zx::bankLengthFromContent("                 612<x>"), 612);
    EXPECT_EQ(zx::bankLengthFromContent("0000000000000000061234"), 612); // only 20 characters count
    EXPECT_EQ(zx::bankLengthFromContent("612                 "), 0);   // trailing spaces do not convert
    EXPECT_EQ(zx::bankLengthFromContent("99999999999999999999"), 0);   // beyond 64 bits
    EXPECT_EQ(zx::bankLengthFromContent("0000000000000000x612"), 0);
    EXPECT_EQ(zx::bankLengthFromContent(""), 0);
    EXPECT_EQ(zx::bankLengthFromContent("-0000000000000000612"), -612);

    EXPECT_EQ(zx::parseBankInteger("  42").value_or(-1), 42);
    EXPECT_EQ(zx::parseBankInteger("+42").value_or(-1), 42);
    EXPECT_FALSE(zx::parseBankInteger("4 2"));
    EXPECT_FALSE(zx::parseBankInteger(" "));
    EXPECT_FALSE(zx::parseBankInteger("1.5"));
}

TEST(BankFile, FilesThatAreNoBankFailCleanly)
{
    TempDir dir;
    auto errorOf = [&](const std::string& bytes) {
        writeBytes(dir.path("x.zxb"), bytes);
        return zx::readBankIndex(dir.path("x.zxb")).error;
    };
    using E = zx::BankReadError;
    EXPECT_EQ(zx::readBankIndex(dir.path("missing.zxb")).error, E::CannotOpen);
    EXPECT_EQ(errorOf(""), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf("short"), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(std::string(2000, 'z')), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(std::string(2000, '\0')), E::IndexLengthUnreadable);
    // A plain text bank is not scrambled, so it has no length field.
    EXPECT_EQ(errorOf(field(400) + "<fileHeader></fileHeader>" + std::string(500, ' ')), E::IndexLengthUnreadable);
    // Scrambled with another file type's keys.
    EXPECT_EQ(errorOf(zx::scrambleText(field(700) + std::string(400, ' '), 4, fixedRandom)),
              E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(bankBytes(field(0) + std::string(400, ' '))), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(bankBytes("-0000000000000000700" + std::string(400, ' '))), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(bankBytes("99999999999999999999" + std::string(400, ' '))), E::IndexLengthUnreadable);
    EXPECT_EQ(errorOf(bankBytes("not a number at all!" + std::string(400, ' '))), E::IndexLengthUnreadable);
    EXPECT_NE(zx::bankReadErrorText(E::IndexLengthUnreadable).find("not a question bank"), std::string::npos);
}

TEST(BankFile, HugeOrTruncatedLengthsReadOnlyWhatTheFileHolds)
{
    TempDir dir;
    const std::string body = "<testList><a>1</a></testList>" + std::string(300, ' ');
    // N far beyond the file: no huge allocation, the index is what exists.
    writeBytes(dir.path("huge.zxb"), bankBytes("09000000000000000000" + body));
    zx::BankIndexResult huge = zx::readBankIndex(dir.path("huge.zxb"));
    ASSERT_TRUE(huge.ok());
    EXPECT_TRUE(huge.index.truncated);
    EXPECT_EQ(huge.index.length, 9000000000000000000LL);
    EXPECT_EQ(huge.index.testList, "<a>1</a>");

    // A bank cut inside its index: the elements after the cut are gone.
    const std::string whole = "<testList><a>1</a></testList><questionFileList>" + std::string(600, 'q')
                              + "</questionFileList>";
    const std::int64_t n = static_cast<std::int64_t>(317 + 20 + whole.size());
    const std::string bank = bankBytes(field(n) + whole, std::string(100, 'm'));
    writeBytes(dir.path("cut.zxb"), bank.substr(0, 700));
    zx::BankIndexResult cut = zx::readBankIndex(dir.path("cut.zxb"));
    ASSERT_TRUE(cut.ok());
    EXPECT_TRUE(cut.index.truncated);
    EXPECT_EQ(cut.index.testList, "<a>1</a>");
    EXPECT_EQ(cut.index.questionFileList, "");

    // Only the length field survives.
    writeBytes(dir.path("stub.zxb"), bank.substr(0, 340));
    EXPECT_TRUE(zx::readBankIndex(dir.path("stub.zxb")).ok());
}

TEST(BankFile, IndexEndsAtTheFirstZeroByte)
{
    TempDir dir;
    std::string content = field(0) + "<testList>ab</testList><preTestFileList>x</preTestFileList>"
                          + std::string(200, ' ');
    const std::int64_t n = static_cast<std::int64_t>(317 + content.size());
    content.replace(0, 20, field(n));
    std::string bank = bankBytes(content);
    // The value "x" of preTestFileList becomes a zero byte.
    bank[zx::storedFileOverhead + content.find("<preTestFileList>") + 17] = '\0';
    writeBytes(dir.path("z.zxb"), bank);
    const zx::BankIndexResult result = zx::readBankIndex(dir.path("z.zxb"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.index.testList, "ab");
    EXPECT_EQ(result.index.preTestFileList, "");
}

TEST(BankFile, EmbeddedListWalk)
{
    using V = std::vector<EmbeddedFileEntry>;
    EXPECT_EQ(zx::parseEmbeddedFileList("<a.bmp>0,100</a.bmp> <b c.gif>100,250</b c.gif>\r\n"),
              (V{{"a.bmp", 0, 100}, {"b c.gif", 100, 250}}));
    // The final close mark is no entry; nothing happens for 5 characters or fewer.
    EXPECT_EQ(zx::parseEmbeddedFileList("<long-name.jpeg>5,60</long-name.jpeg>"), (V{{"long-name.jpeg", 5, 60}}));
    EXPECT_EQ(zx::parseEmbeddedFileList("<a>1,2"), (V{{"a", 0, 0}})); // no "<" after the value
    EXPECT_EQ(zx::parseEmbeddedFileList("<ab>1,2<"), (V{{"ab", 1, 2}}));
    EXPECT_TRUE(zx::parseEmbeddedFileList("").empty());
    EXPECT_TRUE(zx::parseEmbeddedFileList("<a>1<").empty());
    // Text without any "<" or with no ">" after it ends the walk instead of looping.
    EXPECT_TRUE(zx::parseEmbeddedFileList("no marks in this long text").empty());
    EXPECT_TRUE(zx::parseEmbeddedFileList("> > > > > > > > >").empty());
    EXPECT_TRUE(zx::parseEmbeddedFileList("<no closing angle here").empty());
    EXPECT_EQ(zx::parseEmbeddedFileList("<<<<<<<<").size(), 0u);
    // Values: not numbers read as 0; no comma gives the end only; spaces before numbers.
    EXPECT_EQ(zx::parseEmbeddedFileList("<x>abc,12x</x> <y>77</y> <z> 5, 9</z> <w>-5,10</w>"),
              (V{{"x", 0, 0}, {"y", 0, 77}, {"z", 5, 9}, {"w", -5, 10}}));
    EXPECT_EQ(zx::parseEmbeddedFileList("<big>99999999999999999999,1</big>"), (V{{"big", 0, 1}}));
    // A name may hold "<" (the name runs to the next ">").
    EXPECT_EQ(zx::parseEmbeddedFileList("<a<b>1,20</a<b>"), (V{{"a<b", 1, 20}}));

    std::string many;
    for (int i = 0; i < 2100; ++i)
        many += "<f" + std::to_string(i) + ">0,10</f" + std::to_string(i) + ">";
    const V entries = zx::parseEmbeddedFileList(many);
    ASSERT_EQ(entries.size(), 2000u);
    EXPECT_EQ(entries.back().authorName, "f1999");
}

TEST(BankFile, ExtractedRangesFollowTheOffsetAndSizeRules)
{
    auto range = [](std::int64_t start, std::int64_t end, std::int64_t n) {
        return zx::embeddedFileRange(EmbeddedFileEntry{"f", start, end}, n);
    };
    ASSERT_TRUE(range(0, 10, 500));
    EXPECT_EQ(range(0, 10, 500)->from, 500);
    EXPECT_EQ(range(0, 10, 500)->to, 510);
    EXPECT_FALSE(range(0, 9, 500));      // 9 bytes
    EXPECT_FALSE(range(0, 10, 499));     // before byte 500
    EXPECT_TRUE(range(-10, 0, 510));     // a negative start still counts from N
    EXPECT_FALSE(range(20, 10, 600));    // reversed
    EXPECT_FALSE(range(INT64_MAX - 5, INT64_MAX, 600)); // overflow
    EXPECT_FALSE(range(INT64_MIN, 0, 600));

    EXPECT_EQ(zx::embeddedWorkingName(3, "pic.bmp"), "R3.bmp");
    EXPECT_EQ(zx::embeddedWorkingName(0, "a.b.JPG"), "R0.JPG");
    EXPECT_EQ(zx::embeddedWorkingName(12, "noext"), "R12");
    EXPECT_EQ(zx::embeddedWorkingName(1, "C:dir.x\\file"), "R1");
}

TEST(BankFile, CopiesRangesAndFailsWhenTheBankEndsEarly)
{
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>(i * 7);
    writeBytes(dir.path("b.zxb"), bytes);
    std::string error;
    ASSERT_TRUE(zx::copyBankRange(dir.path("b.zxb"), {500, 2500}, dir.path("out.bin"), &error)) << error;
    EXPECT_EQ(readBytes(dir.path("out.bin")), bytes.substr(500, 2000));
    EXPECT_FALSE(zx::copyBankRange(dir.path("b.zxb"), {2500, 3001}, dir.path("late.bin"), &error));
    EXPECT_FALSE(fs::exists(dir.path("late.bin")));
    EXPECT_FALSE(zx::copyBankRange(dir.path("none.zxb"), {500, 600}, dir.path("n.bin"), &error));
}

TEST(BankFile, PageCountStopsAtTheFirstShortPage)
{
    EXPECT_EQ(zx::listPageCount(""), 0);
    EXPECT_EQ(zx::listPageCount("<questionFile0>12345678901</questionFile0>"), 1);
    EXPECT_EQ(zx::listPageCount("<questionFile0>1234567890</questionFile0>"), 0);
    EXPECT_EQ(zx::listPageCount("<questionFile0>12345678901</questionFile0><questionFile1>short</questionFile1>"
                                "<questionFile2>12345678901</questionFile2>"),
              1);
    std::string full;
    for (int k = 0; k < 501; ++k)
        full += "<questionFile" + std::to_string(k) + ">a page record</questionFile" + std::to_string(k) + ">";
    EXPECT_EQ(zx::listPageCount(full), 500);
}

} // namespace
