#include "tagtext/numbered_tags.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/bank_file.h"
#include "tools/bankpack/bank_packer.h"

#include "tests/support/temp_folder.h"
#include "tests/support/tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

using TempDir = zx::testing::TempFolder;

void writeBytes(const std::string& path, const std::string& bytes)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Every file below a folder, by relative path.
std::map<std::string, std::string> tree(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).string()] = readBytes(entry.path().string());
    }
    return files;
}

std::string page(const std::string& words)
{
    return "<windowSize>2</windowSize> <zxText><feedback>0</feedback><zxString>" + words
           + "</zxString></zxText>\r\n";
}

std::string mediaBytes(int seed, std::size_t size)
{
    std::string bytes(size, '\0');
    std::mt19937 random(static_cast<unsigned>(seed));
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// A source folder with settings, one pre-test page, three questions and
// three media files.
void makeSource(const std::string& root)
{
    writeBytes(root + "/settings.txt", "<isExam>0</isExam> <allowMarking>1</allowMarking> <BankPassword>Secret</BankPassword>\r\n");
    writeBytes(root + "/pages/pre-00.txt", page("Welcome \xA3 \x80"));
    writeBytes(root + "/pages/q00.txt", page("First question"));
    writeBytes(root + "/pages/q01.txt", page("Second question"));
    writeBytes(root + "/pages/q10.txt", page("Third question"));
    writeBytes(root + "/media/sun.bmp", "BM" + mediaBytes(1, 3000));
    writeBytes(root + "/media/a b.gif", "GIF89a" + mediaBytes(2, 40));
    writeBytes(root + "/media/tick.bmp", "BM" + mediaBytes(3, 10));
}

std::uint32_t fixedRandom()
{
    static std::mt19937 random(11);
    return random();
}

TEST(BankPacker, PackedBankReadsBackAsItsSources)
{
    TempDir dir;
    makeSource(dir.path("src"));
    zx::PackOptions options;
    options.random = fixedRandom;
    const zx::PackResult packed = zx::packBank(dir.path("src"), dir.path("out.zxb"), options);
    ASSERT_TRUE(packed.ok) << packed.error;

    const std::string bank = readBytes(dir.path("out.zxb"));
    EXPECT_EQ(packed.bankSize, bank.size());
    const zx::BankIndexResult read = zx::readBankIndex(dir.path("out.zxb"));
    ASSERT_TRUE(read.ok());
    const zx::BankIndex& index = read.index;
    EXPECT_EQ(index.length, packed.indexLength);
    EXPECT_GE(index.length, 500);
    EXPECT_FALSE(index.truncated);

    // The index section is exactly the first N bytes: N = 317 + content length.
    const std::string content = zx::unscrambleText(bank.substr(0, static_cast<std::size_t>(index.length)), 3);
    EXPECT_EQ(static_cast<std::int64_t>(content.size()) + 317, index.length);
    EXPECT_EQ(content.substr(0, 20), std::string(20 - std::to_string(index.length).size(), '0') + std::to_string(index.length));

    EXPECT_EQ(index.testList, readBytes(dir.path("src/settings.txt")));
    EXPECT_EQ(zx::getTag(index.preTestFileList, "questionFile0"), readBytes(dir.path("src/pages/pre-00.txt")));
    EXPECT_EQ(zx::getTag(index.questionFileList, "questionFile0"), readBytes(dir.path("src/pages/q00.txt")));
    EXPECT_EQ(zx::getTag(index.questionFileList, "questionFile1"), readBytes(dir.path("src/pages/q01.txt")));
    EXPECT_EQ(zx::getTag(index.questionFileList, "questionFile2"), readBytes(dir.path("src/pages/q10.txt")));
    EXPECT_EQ(zx::listPageCount(index.questionFileList), 3);
    EXPECT_EQ(zx::listPageCount(index.preTestFileList), 1);

    // Media in name order, ranges relative to N, end to end, byte exact.
    const std::vector<zx::EmbeddedFileEntry> entries = zx::parseEmbeddedFileList(index.fileHeader);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].authorName, "a b.gif");
    EXPECT_EQ(entries[1].authorName, "sun.bmp");
    EXPECT_EQ(entries[2].authorName, "tick.bmp");
    EXPECT_EQ(entries[0].start, 0);
    std::int64_t expectedStart = 0;
    for (const zx::EmbeddedFileEntry& entry : entries) {
        EXPECT_EQ(entry.start, expectedStart);
        expectedStart = entry.end;
        const auto range = zx::embeddedFileRange(entry, index.length);
        ASSERT_TRUE(range) << entry.authorName;
        EXPECT_EQ(bank.substr(static_cast<std::size_t>(range->from), static_cast<std::size_t>(range->size())),
                  readBytes(dir.path("src/media/" + entry.authorName)));
    }
    EXPECT_EQ(static_cast<std::size_t>(index.length + expectedStart), bank.size());
}

TEST(BankPacker, TinyBankIsPaddedSoFilesStartAtByte500)
{
    const std::string content = zx::buildIndexContent("<x.bmp>0,10</x.bmp>", "<a>1</a>", "", "");
    EXPECT_EQ(content.size() + 317, 500u);
    EXPECT_EQ(zx::bankLengthFromContent(content), 500);
    EXPECT_EQ(zx::getTag(content, "fileHeader"), "<x.bmp>0,10</x.bmp>");
    EXPECT_EQ(zx::getTag(content, "testList"), "<a>1</a>");
    EXPECT_EQ(zx::bankLengthFromContent(zx::buildIndexContent("", "", "", "")), 500);

    const std::string big(1000, 'p');
    const std::string bigContent = zx::buildIndexContent("", "", big, "");
    EXPECT_EQ(zx::bankLengthFromContent(bigContent), static_cast<std::int64_t>(bigContent.size() + 317));
}

TEST(BankPacker, UnpackPackUnpackGivesTheSameSources)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("one.zxb")).ok);
    zx::UnpackResult first = zx::unpackBank(dir.path("one.zxb"), dir.path("u1"));
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_TRUE(first.warnings.empty());
    // The source used the default order and plain names: no files.txt needed,
    // and the page files come back renumbered densely.
    std::map<std::string, std::string> original = tree(dir.path("src"));
    original["pages/q02.txt"] = original["pages/q10.txt"];
    original.erase("pages/q10.txt");
    EXPECT_EQ(tree(dir.path("u1")), original);

    ASSERT_TRUE(zx::packBank(dir.path("u1"), dir.path("two.zxb")).ok);
    ASSERT_TRUE(zx::unpackBank(dir.path("two.zxb"), dir.path("u2")).ok);
    EXPECT_EQ(tree(dir.path("u1")), tree(dir.path("u2")));
}

TEST(BankPacker, FilesListKeepsOrderAndAuthorNamesThatAreNoFileNames)
{
    TempDir dir;
    makeSource(dir.path("src"));
    // Author names as the editor writes them: authoring paths without "\".
    writeBytes(dir.path("src/files.txt"), "tick.bmp\r\nC:Program FilesZXsun.bmp\tsun.bmp\nd\xE9j\xE0.gif\ta b.gif\n");
    const zx::PackResult packed = zx::packBank(dir.path("src"), dir.path("b.zxb"));
    ASSERT_TRUE(packed.ok) << packed.error;
    const zx::BankIndexResult read = zx::readBankIndex(dir.path("b.zxb"));
    const auto entries = zx::parseEmbeddedFileList(read.index.fileHeader);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].authorName, "tick.bmp");
    EXPECT_EQ(entries[1].authorName, "C:Program FilesZXsun.bmp");
    EXPECT_EQ(entries[2].authorName, "d\xE9j\xE0.gif");

    const zx::UnpackResult first = zx::unpackBank(dir.path("b.zxb"), dir.path("u1"));
    ASSERT_TRUE(first.ok) << first.error;
    EXPECT_TRUE(fs::exists(dir.path("u1/files.txt")));
    ASSERT_TRUE(zx::packBank(dir.path("u1"), dir.path("c.zxb")).ok);
    const zx::BankIndexResult again = zx::readBankIndex(dir.path("c.zxb"));
    EXPECT_EQ(zx::parseEmbeddedFileList(again.index.fileHeader), entries);
    ASSERT_TRUE(zx::unpackBank(dir.path("c.zxb"), dir.path("u2")).ok);
    EXPECT_EQ(tree(dir.path("u1")), tree(dir.path("u2")));
}

TEST(BankPacker, RefusesSourcesWithMissingParts)
{
    TempDir dir;
    auto errorOf = [&](const std::string& folder) {
        const zx::PackResult result = zx::packBank(dir.path(folder), dir.path(folder + ".zxb"));
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(fs::exists(dir.path(folder + ".zxb")));
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
        return result.error;
    };
    EXPECT_NE(errorOf("nothing").find("no such source folder"), std::string::npos);

    makeSource(dir.path("nosettings"));
    fs::remove(dir.path("nosettings/settings.txt"));
    EXPECT_NE(errorOf("nosettings").find("settings.txt: missing"), std::string::npos);

    makeSource(dir.path("nopages"));
    fs::remove_all(dir.path("nopages/pages"));
    EXPECT_NE(errorOf("nopages").find("pages: missing"), std::string::npos);

    makeSource(dir.path("noquestions"));
    fs::remove(dir.path("noquestions/pages/q00.txt"));
    fs::remove(dir.path("noquestions/pages/q01.txt"));
    fs::remove(dir.path("noquestions/pages/q10.txt"));
    EXPECT_NE(errorOf("noquestions").find("no question page"), std::string::npos);

    makeSource(dir.path("nomedia"));
    fs::remove_all(dir.path("nomedia/media"));
    EXPECT_NE(errorOf("nomedia").find("without embedded files"), std::string::npos);

    makeSource(dir.path("badname"));
    writeBytes(dir.path("badname/pages/Q3.txt"), page("x"));
    EXPECT_NE(errorOf("badname").find("not a page file"), std::string::npos);

    makeSource(dir.path("twice"));
    writeBytes(dir.path("twice/pages/q1.txt"), page("x"));
    EXPECT_NE(errorOf("twice").find("given twice"), std::string::npos);

    makeSource(dir.path("listmissing"));
    writeBytes(dir.path("listmissing/files.txt"), "sun.bmp\ntick.bmp\na b.gif\nnot-there.bmp\n");
    EXPECT_NE(errorOf("listmissing").find("not-there.bmp does not exist"), std::string::npos);

    makeSource(dir.path("unlisted"));
    writeBytes(dir.path("unlisted/files.txt"), "sun.bmp\ntick.bmp\n");
    EXPECT_NE(errorOf("unlisted").find("not listed"), std::string::npos);

    makeSource(dir.path("dupname"));
    writeBytes(dir.path("dupname/files.txt"), "sun.bmp\ntick.bmp\na b.gif\nsun.bmp\ttick.bmp\n");
    EXPECT_NE(errorOf("dupname").find("given twice"), std::string::npos);

    makeSource(dir.path("subfolder"));
    fs::create_directories(dir.path("subfolder/media/more"));
    EXPECT_NE(errorOf("subfolder").find("no folders inside media"), std::string::npos);

    makeSource(dir.path("newer"));
    writeBytes(dir.path("newer/settings.txt"), "<version>2</version>");
    EXPECT_NE(errorOf("newer").find("version 2"), std::string::npos);

    // A time limit the player would read as none.
    for (const char* limit : {"half an hour", "-10", "1.5", "100000"}) {
        makeSource(dir.path("limit"));
        writeBytes(dir.path("limit/settings.txt"), std::string("<timeLimitMinutes>") + limit + "</timeLimitMinutes>");
        EXPECT_NE(errorOf("limit").find(std::string("timeLimitMinutes ") + limit + "; give a whole number"),
                  std::string::npos)
            << limit;
        fs::remove_all(dir.path("limit"));
    }
}

TEST(BankPacker, RefusesHostileNamesAndContents)
{
    auto refused = [](zx::BankSources sources) {
        std::string error;
        EXPECT_FALSE(zx::checkBankSources(sources, zx::PackOptions{}, error));
        return error;
    };
    zx::BankSources good;
    good.settings = "<isExam>0</isExam>";
    good.questionPages.push_back({"q00", page("question")});
    good.media.push_back({"pic.bmp", "/m/pic.bmp", 100});
    std::string error;
    ASSERT_TRUE(zx::checkBankSources(good, zx::PackOptions{}, error)) << error;

    for (const std::string& name : std::vector<std::string>{"a<b.bmp", "a>b.bmp", "a,b.bmp", std::string("a\x01.bmp"), std::string("a\tb"),
                                   std::string("a\x7F"), std::string("dir\\pic.bmp"), std::string()}) {
        zx::BankSources sources = good;
        sources.media[0].authorName = name;
        EXPECT_NE(refused(sources).find("cannot be embedded"), std::string::npos) << name;
    }
    {
        zx::BankSources sources = good;
        sources.media[0].size = 9;
        EXPECT_NE(refused(sources).find("shorter than 10 bytes"), std::string::npos);
        sources.media[0].size = 10;
        EXPECT_TRUE(zx::checkBankSources(sources, zx::PackOptions{}, error));
    }
    {
        zx::BankSources sources = good;
        sources.media.clear();
        for (int i = 0; i < 2001; ++i)
            sources.media.push_back({"f" + std::to_string(i), "/m", 10});
        EXPECT_NE(refused(sources).find("at most 2000"), std::string::npos);
        sources.media.pop_back();
        EXPECT_TRUE(zx::checkBankSources(sources, zx::PackOptions{}, error));
    }
    {
        zx::BankSources sources = good;
        sources.questionPages.assign(501, {"q", page("q")});
        EXPECT_NE(refused(sources).find("at most 500"), std::string::npos);
        sources.questionPages.pop_back();
        EXPECT_TRUE(zx::checkBankSources(sources, zx::PackOptions{}, error));
        sources.preTestPages.assign(501, {"p", page("p")});
        EXPECT_NE(refused(sources).find("at most 500"), std::string::npos);
    }
    const std::vector<std::pair<std::string, std::string>> badPages = {
        {"1234567890", "10 or fewer"},
        {"", "10 or fewer"},
        {page("a") + std::string(1, '\0') + "b", "zero byte"},
        {page("see </questionFile3> here"), "</questionFile3>"},
        {page("<questionFile0>"), "<questionFile0>"},
        {page("</questionFileList>"), "</questionFileList>"},
        {page("<fileHeader>"), "<fileHeader>"},
    };
    for (const auto& [text, expected] : badPages) {
        zx::BankSources sources = good;
        sources.questionPages[0].text = text;
        EXPECT_NE(refused(sources).find(expected), std::string::npos) << text;
        sources = good;
        sources.preTestPages.push_back({"pre", text});
        EXPECT_NE(refused(sources).find(expected), std::string::npos) << text;
    }
    {
        zx::BankSources sources = good;
        sources.questionPages[0].text = "12345678901";
        EXPECT_TRUE(zx::checkBankSources(sources, zx::PackOptions{}, error));
        sources.settings = "<a></testList></a>";
        EXPECT_NE(refused(sources).find("</testList>"), std::string::npos);
        sources.settings = std::string("<a>\0</a>", 8);
        EXPECT_NE(refused(sources).find("zero byte"), std::string::npos);
    }
}

TEST(BankPacker, FailedPackLeavesTheEarlierBankWhole)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("b.zxb")).ok);
    const std::string before = readBytes(dir.path("b.zxb"));

    // Refused before writing.
    fs::remove(dir.path("src/settings.txt"));
    EXPECT_FALSE(zx::packBank(dir.path("src"), dir.path("b.zxb")).ok);
    EXPECT_EQ(readBytes(dir.path("b.zxb")), before);

    // Failing halfway through the media.
    zx::BankSources sources;
    sources.settings = "<a>1</a>";
    sources.questionPages.push_back({"q00", page("question")});
    sources.media.push_back({"one.bmp", dir.path("src/media/sun.bmp"), fs::file_size(dir.path("src/media/sun.bmp"))});
    sources.media.push_back({"gone.bmp", dir.path("src/media/gone.bmp"), 100});
    const zx::PackResult result = zx::writeBank(sources, dir.path("b.zxb"));
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("gone.bmp"), std::string::npos);
    EXPECT_EQ(readBytes(dir.path("b.zxb")), before);

    // A media file whose size changed since it was listed.
    sources.media[1] = {"grown.bmp", dir.path("src/media/tick.bmp"), 5};
    sources.media[1].size = 11;
    EXPECT_FALSE(zx::writeBank(sources, dir.path("b.zxb")).ok);
    EXPECT_EQ(readBytes(dir.path("b.zxb")), before);

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"b.zxb", "src"})); // no temporary left behind
}

TEST(BankPacker, UnpackRefusesUsedFoldersAndReportsUnusableEntries)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("b.zxb")).ok);
    EXPECT_FALSE(zx::unpackBank(dir.path("b.zxb"), dir.path("src")).ok);
    EXPECT_FALSE(zx::unpackBank(dir.path("none.zxb"), dir.path("x")).ok);
    writeBytes(dir.path("fake.zxb"), "not a bank at all");
    const zx::UnpackResult fake = zx::unpackBank(dir.path("fake.zxb"), dir.path("y"));
    EXPECT_FALSE(fake.ok);
    EXPECT_NE(fake.error.find("not a question bank (index length unreadable)"), std::string::npos);

    // A bank (written by hand) whose list names a file twice, one too short,
    // one before byte 500 and one beyond the end of the file.
    std::string body = "<fileHeader><a.bmp>0,20</a.bmp><a.bmp>0,20</a.bmp><s.bmp>20,25</s.bmp>"
                       "<e.bmp>-600,-500</e.bmp><far.bmp>20,9999</far.bmp></fileHeader>"
                       "<testList><x>1</x></testList><questionFileList><questionFile0>a page record</questionFile0>"
                       "</questionFileList>";
    body.append(400, ' ');
    const std::string n = std::to_string(317 + 20 + body.size());
    const std::string bank = zx::scrambleText(std::string(20 - n.size(), '0') + n + body, 3) + mediaBytes(4, 40);
    writeBytes(dir.path("odd.zxb"), bank);
    const zx::UnpackResult odd = zx::unpackBank(dir.path("odd.zxb"), dir.path("odd"));
    ASSERT_TRUE(odd.ok) << odd.error;
    EXPECT_EQ(odd.warnings.size(), 4u);
    EXPECT_EQ(readBytes(dir.path("odd/media/a.bmp")), bank.substr(bank.size() - 40, 20));
    EXPECT_EQ(readBytes(dir.path("odd/pages/q00.txt")), "a page record");
    EXPECT_FALSE(fs::exists(dir.path("odd/media/far.bmp")));
}

TEST(BankPacker, InfoSummarisesSettingsPagesAndFiles)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("b.zxb")).ok);
    std::string text;
    std::string error;
    ASSERT_TRUE(zx::describeBank(dir.path("b.zxb"), text, error)) << error;
    for (const char* line : {"pre-test pages: 1\n", "question pages: 3\n", "  isExam: 0\n", "  allowMarking: 1\n",
                             "  password: set\n", "windowSize (first question): 2 (1024 x 768)", "embedded files: 3\n",
                             "  sun.bmp  3002 bytes\n", "  tick.bmp  12 bytes\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in:\n" << text;
    EXPECT_NE(text.find("  timeLimitMinutes: 0 (no limit)\n"), std::string::npos) << text;
    EXPECT_FALSE(zx::describeBank(dir.path("src/settings.txt"), text, error));

    writeBytes(dir.path("src/settings.txt"), "<timeLimitMinutes>99999</timeLimitMinutes><isExam>1</isExam>");
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("timed.zxb")).ok);
    ASSERT_TRUE(zx::describeBank(dir.path("timed.zxb"), text, error)) << error;
    EXPECT_NE(text.find("  timeLimitMinutes: 99999\n"), std::string::npos) << text;
}

TEST(BankPacker, CorruptedAndTruncatedBanksNeverCrashTheReaders)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ASSERT_TRUE(zx::packBank(dir.path("src"), dir.path("b.zxb")).ok);
    const std::string bank = readBytes(dir.path("b.zxb"));
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::string damaged = bank.substr(0, random() % (bank.size() + 1));
        const int flips = static_cast<int>(random() % 8);
        for (int i = 0; i < flips && !damaged.empty(); ++i)
            damaged[random() % std::min<std::size_t>(damaged.size(), 700)] = static_cast<char>(random());
        writeBytes(dir.path("d.zxb"), damaged);
        const zx::BankIndexResult read = zx::readBankIndex(dir.path("d.zxb"));
        if (read.ok()) {
            EXPECT_GT(read.index.length, 0);
            EXPECT_EQ(read.index.fileSize, damaged.size());
            for (const zx::EmbeddedFileEntry& entry : zx::parseEmbeddedFileList(read.index.fileHeader))
                (void)zx::embeddedFileRange(entry, read.index.length);
            (void)zx::listPageCount(read.index.questionFileList);
        } else {
            EXPECT_EQ(read.error, zx::BankReadError::IndexLengthUnreadable);
        }
        std::string text;
        std::string error;
        EXPECT_EQ(zx::describeBank(dir.path("d.zxb"), text, error), read.ok());
    }
}

// ---------------------------------------------------------------- the tool

using zx::testing::ToolRun;

ToolRun runTool(const std::string& arguments) { return zx::testing::runTool(ZX_ZXBANK_PATH, arguments); }

std::string quoted(const std::string& path) { return "'" + path + "'"; }

TEST(ZxbankTool, PacksUnpacksAndDescribes)
{
    TempDir dir;
    makeSource(dir.path("src"));
    ToolRun pack = runTool("pack " + quoted(dir.path("src")) + " " + quoted(dir.path("b.zxb")));
    ASSERT_EQ(pack.status, 0) << pack.out;
    ToolRun info = runTool("info " + quoted(dir.path("b.zxb")));
    EXPECT_EQ(info.status, 0);
    EXPECT_NE(info.out.find("question pages: 3"), std::string::npos) << info.out;
    ToolRun unpack = runTool("unpack " + quoted(dir.path("b.zxb")) + " " + quoted(dir.path("u")));
    EXPECT_EQ(unpack.status, 0) << unpack.out;
    EXPECT_EQ(readBytes(dir.path("u/settings.txt")), readBytes(dir.path("src/settings.txt")));
    ToolRun cat = runTool("cat " + quoted(dir.path("b.zxb")));
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(cat.out.substr(0, 20), zx::readBankIndexContent(dir.path("b.zxb")).content.substr(0, 20));
    EXPECT_NE(cat.out.find("<testList>"), std::string::npos);
}

TEST(ZxbankTool, StoresAndPrintsStoredFiles)
{
    TempDir dir;
    writeBytes(dir.path("in.txt"), "<x16>Hello \xA3 world</x16>\r\n");
    ASSERT_EQ(runTool("store " + quoted(dir.path("in.txt")) + " " + quoted(dir.path("lang.zxc"))).status, 0);
    EXPECT_EQ(zx::readStoredFile(dir.path("lang.zxc")), readBytes(dir.path("in.txt")));
    EXPECT_NE(readBytes(dir.path("lang.zxc")), readBytes(dir.path("in.txt")));
    const ToolRun cat = runTool("cat " + quoted(dir.path("lang.zxc")));
    EXPECT_EQ(cat.status, 0);
    EXPECT_EQ(cat.out, readBytes(dir.path("in.txt")));

    writeBytes(dir.path("zero.txt"), std::string("a\0b", 3));
    const ToolRun zero = runTool("store " + quoted(dir.path("zero.txt")) + " " + quoted(dir.path("z.zxr")));
    EXPECT_EQ(zero.status, 1);
    EXPECT_NE(zero.out.find("zero byte"), std::string::npos);
}

TEST(ZxbankTool, ErrorsAreOneLineWithAFailingStatus)
{
    TempDir dir;
    makeSource(dir.path("src"));
    fs::remove(dir.path("src/settings.txt"));
    auto expectError = [](const ToolRun& run, const std::string& text) {
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_EQ(run.out.rfind("zxbank: ", 0), 0u) << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
        EXPECT_NE(run.out.find(text), std::string::npos) << run.out;
    };
    expectError(runTool("pack " + quoted(dir.path("src")) + " " + quoted(dir.path("b.zxb"))), "settings.txt: missing");
    expectError(runTool("info " + quoted(dir.path("none.zxb"))), "no such file");
    writeBytes(dir.path("fake.zxb"), std::string(600, 'x'));
    expectError(runTool("info " + quoted(dir.path("fake.zxb"))), "not a question bank (index length unreadable)");
    expectError(runTool("cat " + quoted(dir.path("fake.zxb"))), "not a question bank");
    expectError(runTool("cat " + quoted(dir.path("none.zxr"))), "no such file");

    for (const char* bad : {"", "pack", "pack a", "frobnicate x y", "info a b"}) {
        const ToolRun usage = runTool(bad);
        EXPECT_EQ(usage.status, 2) << bad;
        EXPECT_NE(usage.out.find("usage: zxbank"), std::string::npos) << bad;
    }
}

TEST(ZxbankTool, SampleBankPacksAndRoundTrips)
{
    TempDir dir;
    const std::string sample = std::string(ZX_SOURCE_DIR) + "/examples/sample-bank";
    ASSERT_TRUE(zx::packBank(sample, dir.path("sample.zxb")).ok);
    std::string text;
    std::string error;
    ASSERT_TRUE(zx::describeBank(dir.path("sample.zxb"), text, error));
    EXPECT_NE(text.find("  isExam: 0\n"), std::string::npos);
    EXPECT_NE(text.find("  allowMarking: 1\n"), std::string::npos);
    EXPECT_NE(text.find("  allowCheating: 1\n"), std::string::npos);
    EXPECT_NE(text.find("  password: none\n"), std::string::npos);
    EXPECT_NE(text.find("windowSize (first question): 1 "), std::string::npos);
    EXPECT_NE(text.find("pre-test pages: 3\n"), std::string::npos);
    ASSERT_TRUE(zx::unpackBank(dir.path("sample.zxb"), dir.path("u")).ok);
    EXPECT_EQ(tree(dir.path("u")), tree(sample));
}

} // namespace

namespace {

TEST(ZxbankTool, TestBankSourcesPack)
{
    TempDir dir;
    const std::string banks = std::string(ZX_SOURCE_DIR) + "/tests/data/banks/";
    auto pack = [&](const std::string& name, const std::string& flag = {}) {
        return runTool("pack " + flag + quoted(banks + name) + " " + quoted(dir.path(name + ".zxb")));
    };
    for (const char* name : {"exam", "password"}) {
        const ToolRun run = pack(name);
        EXPECT_EQ(run.status, 0) << name << ": " << run.out;
    }
    const zx::BankIndexResult exam = zx::readBankIndex(dir.path("exam.zxb"));
    ASSERT_TRUE(exam.ok());
    EXPECT_EQ(zx::getTagInt(exam.index.testList, "isExam", 0), 1);
    EXPECT_EQ(zx::listPageCount(exam.index.questionFileList), 3);
    const zx::BankIndexResult password = zx::readBankIndex(dir.path("password.zxb"));
    ASSERT_TRUE(password.ok());
    EXPECT_EQ(zx::getTag(password.index.testList, "BankPassword"), "Open Sesame");
    EXPECT_EQ(zx::listPageCount(password.index.preTestFileList), 2);

    // Banks the player refuses need the explicit flag.
    for (const char* name : {"version2", "no-media"}) {
        EXPECT_EQ(pack(name).status, 1) << name;
        const ToolRun run = pack(name, "--allow-unplayable ");
        EXPECT_EQ(run.status, 0) << name << ": " << run.out;
    }
    const zx::BankIndexResult noMedia = zx::readBankIndex(dir.path("no-media.zxb"));
    ASSERT_TRUE(noMedia.ok());
    EXPECT_LE(noMedia.index.fileHeader.size(), 4u);
    EXPECT_EQ(zx::getTagInt(zx::readBankIndex(dir.path("version2.zxb")).index.testList, "version", 0), 2);
}

} // namespace
