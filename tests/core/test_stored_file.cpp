#include "tagtext/stored_file.h"
#include "tagtext/substitution_tables.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

using namespace zx;
namespace fs = std::filesystem;

namespace {

std::string randomText(std::mt19937& rng, std::size_t length, bool anyByte)
{
    std::string text(length, ' ');
    for (char& c : text) {
        if (anyByte)
            c = static_cast<char>(1 + rng() % 255);
        else
            c = static_cast<char>(32 + rng() % 95);
    }
    return text;
}

class TempFolder : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return m_folder.path(name); }
    static std::string bytesOf(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    zx::testing::TempFolder m_folder{"zxstored"};
    const fs::path& m_dir = m_folder.folder();
};

} // namespace

TEST(SubstitutionTables, GeneratedTablesHaveTheirShape)
{
    const auto base = SubstitutionTables::storedBaseAlphabet();
    ASSERT_EQ(base.size(), 94u);
    std::set<unsigned char> chars(base.begin(), base.end());
    EXPECT_EQ(chars.size(), 94u);
    EXPECT_EQ(chars.count('"'), 0u);
    EXPECT_EQ(chars.count('\\'), 0u);
    EXPECT_EQ(chars.count(0xA3), 1u);
    for (int c = 32; c < 127; ++c) {
        if (c != '"' && c != '\\') {
            EXPECT_EQ(chars.count(static_cast<unsigned char>(c)), 1u) << c;
        }
    }

    for (int i = 35; i < 130; ++i) {
        const auto alphabet = SubstitutionTables::storedEntry(i);
        EXPECT_EQ(std::set<unsigned char>(alphabet.begin(), alphabet.end()), chars) << "entry " << i;
        EXPECT_EQ(alphabet.size(), 94u);
    }
    for (int i = 0; i < 35; ++i) {
        const auto key = SubstitutionTables::storedEntry(i);
        EXPECT_GE(key.size(), 92u);
        EXPECT_LE(key.size(), 224u);
        for (unsigned char c : key)
            EXPECT_EQ(chars.count(c), 1u);
    }
    const auto startup = SubstitutionTables::startupKey();
    EXPECT_EQ(startup.size(), 114u);
    for (unsigned char c : startup)
        EXPECT_EQ(chars.count(c), 1u);
}

TEST(SubstitutionTables, StartupStepIsAppliedOnceToColumnsZeroToFour)
{
    const SubstitutionTables& tables = SubstitutionTables::instance();
    EXPECT_EQ(&tables, &SubstitutionTables::instance());
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 7; ++column) {
            const int index = column + 7 * row;
            const std::string stored(SubstitutionTables::storedEntry(index));
            if (column <= 4) {
                EXPECT_EQ(tables.fileKey(column, row), substituteForward(stored, SubstitutionTables::startupKey()));
            } else {
                EXPECT_EQ(tables.fileKey(column, row), stored);
            }
        }
    }
}

TEST(Substitution, BackwardUndoesForwardForAnyKey)
{
    std::mt19937 rng(11);
    const std::string& base = SubstitutionTables::instance().baseAlphabet();
    for (int round = 0; round < 200; ++round) {
        const std::string text = randomText(rng, rng() % 700, true);
        std::string key = randomText(rng, 1 + rng() % 300, round % 2 == 0);
        const std::string forward = substituteForward(text, key);
        ASSERT_EQ(forward.size(), text.size());
        EXPECT_EQ(substituteBackward(forward, key), text);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (base.find(text[i]) == std::string::npos) {
                ASSERT_EQ(forward[i], text[i]);
            }
        }
    }
    EXPECT_EQ(substituteForward("abc", ""), "abc");
    EXPECT_EQ(substituteBackward("abc", ""), "abc");
}

TEST(Substitution, KeyByteOutsideTheBaseSelectsTheSpareAlphabet)
{
    const SubstitutionTables& tables = SubstitutionTables::instance();
    const std::string& base = tables.baseAlphabet();
    const std::string spare = tables.entry(35);
    EXPECT_EQ(substituteForward(base, std::string(1, '\n')), spare);
    const std::string second = tables.entry(36);
    EXPECT_EQ(substituteForward(base, std::string(1, base[0])), second);
}

TEST(Scrambling, RoundTripsOverRandomTextsAndAllColumns)
{
    std::mt19937 rng(3);
    for (int column = 0; column <= 6; ++column) {
        for (int round = 0; round < 25; ++round) {
            const std::string content = randomText(rng, rng() % 2000, round % 3 == 0);
            const std::string stored = scrambleText(content, column, [&rng] { return static_cast<std::uint32_t>(rng()); });
            ASSERT_EQ(stored.size(), content.size() + 317);
            ASSERT_EQ(unscrambleText(stored, column), content) << "column " << column;
        }
    }
}

TEST(Scrambling, EachOuterKeyIsFoundAndLineBreaksAndQuotesStayInPlace)
{
    const std::string content = "<a>\"quoted\"\\path\r\n\ttab</a>";
    for (std::uint32_t k = 0; k < 5; ++k) {
        std::uint32_t calls = 0;
        // 300 draws for the per-file key, then the outer key choice.
        const std::string stored = scrambleText(content, 3, [&] { return ++calls > 300 ? k : calls * 7919u; });
        EXPECT_EQ(unscrambleText(stored, 3), content);
        for (std::size_t i = 0; i < content.size(); ++i) {
            const char c = content[i];
            if (c == '\r' || c == '\n' || c == '\t' || c == '"' || c == '\\') {
                EXPECT_EQ(stored[317 + i], c);
            }
        }
        EXPECT_NE(stored.substr(0, 17), "zx5676fgverfile01");
    }
}

TEST(Scrambling, ShortAndForeignTextsNeverCrash)
{
    EXPECT_EQ(unscrambleText("", 3), "");
    EXPECT_EQ(unscrambleText("short", 3), "");
    EXPECT_EQ(unscrambleText(std::string(316, 'x'), 3), "");
    EXPECT_EQ(unscrambleText(std::string(317, 'x'), 3), "");
    EXPECT_EQ(unscrambleText(std::string(400, '\0'), 3).size(), 83u);
    const std::string stored = scrambleText("hello", 3);
    EXPECT_NE(unscrambleText(stored, 4), "hello"); // wrong column: unreadable, not an error
    EXPECT_EQ(unscrambleText(stored, 99), unscrambleText(stored, 99)); // bad column: no crash
}

TEST(Scrambling, TheSameContentTwiceGivesDifferentFiles)
{
    const std::string a = scrambleText("<x>1</x>", 4);
    const std::string b = scrambleText("<x>1</x>", 4);
    EXPECT_NE(a, b);
    EXPECT_EQ(unscrambleText(a, 4), unscrambleText(b, 4));
}

TEST(FileTypes, ColumnFollowsTheLowerCasedExtension)
{
    EXPECT_EQ(storedFileColumn("a.zxl"), 1);
    EXPECT_EQ(storedFileColumn("a.ZXS"), 2);
    EXPECT_EQ(storedFileColumn("/x/y/bank.Zxb"), 3);
    EXPECT_EQ(storedFileColumn("r.zxr"), 4);
    EXPECT_EQ(storedFileColumn("English (UK).zxc"), 5);
    EXPECT_EQ(storedFileColumn("filespec.pab"), 0);
    EXPECT_EQ(storedFileColumn("noext"), 0);
    EXPECT_EQ(storedFileColumn("dir.zxb/file"), 0);
    EXPECT_TRUE(isPlainTextPath("ZXX.TXT"));
    EXPECT_FALSE(isPlainTextPath("a.txt.zxb"));
}

TEST_F(TempFolder, TextFilesArePlainAndScrambledFilesGrowBy317)
{
    const std::string content = "<a>1</a>\r\n\"x\" \xA3";
    ASSERT_TRUE(writeStoredFile(content, path("plain.TXT")));
    EXPECT_EQ(bytesOf(path("plain.TXT")), content);
    EXPECT_EQ(readStoredFile(path("plain.TXT")), content);

    for (const char* name : {"r.zxr", "b.zxb", "l.zxc", "h.pab"}) {
        ASSERT_TRUE(writeStoredFile(content, path(name)));
        EXPECT_EQ(bytesOf(path(name)).size(), content.size() + 317) << name;
        EXPECT_EQ(readStoredFile(path(name)), content) << name;
    }
}

TEST_F(TempFolder, ReadingStopsAtTheFirstZeroByte)
{
    std::ofstream(path("z.txt"), std::ios::binary) << std::string("abc\0def", 7);
    EXPECT_EQ(readStoredFile(path("z.txt")), "abc");
    EXPECT_EQ(readStoredFile(path("missing.zxr")), "");
}

TEST_F(TempFolder, WritingReplacesAtomicallyAndNeverLosesTheOldFile)
{
    const std::string target = path("results.zxr");
    ASSERT_TRUE(writeStoredFile("first", target));
    ASSERT_TRUE(writeStoredFile("second", target));
    EXPECT_EQ(readStoredFile(target), "second");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator{}), 1);

    // A folder that cannot be written: false, and the old file is intact.
    if (::geteuid() != 0) {
        fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(writeStoredFile("third", target));
        fs::permissions(m_dir, fs::perms::owner_all);
        EXPECT_EQ(readStoredFile(target), "second");
    }
    // A target that is a folder cannot be replaced: false, folder intact.
    fs::create_directories(path("sub.zxr"));
    EXPECT_FALSE(writeStoredFile("x", path("sub.zxr")));
    EXPECT_TRUE(fs::is_directory(path("sub.zxr")));
    EXPECT_FALSE(writeStoredFile("x", path("no/such/folder/x.zxr")));
    EXPECT_FALSE(writeStoredFile("x", ""));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator{}), 2);

    // The file replaced keeps its permissions.
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(writeStoredFile("fourth", target));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(TempFolder, MediaHeaderCheckUsesSignedByteSums)
{
    auto write = [&](const std::string& name, std::string bytes) {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    };
    EXPECT_TRUE(mediaHeaderMatches(write("a.jpg", "\xFF\xD8\xFF\xE0\x00\x10JFIF")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.JPEG", "\xFF\xD8\xFF\xE0rest")));
    EXPECT_FALSE(mediaHeaderMatches(write("exif.jpg", "\xFF\xD8\xFF\xE1rest")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.bmp", "BMxxxx")));
    EXPECT_FALSE(mediaHeaderMatches(write("b.bmp", "GIF89a")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.wav", "RIFFxxxxWAVE")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.avi", "RIFFxxxxAVI ")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.aif", "FORMxxxxAIFF")));
    EXPECT_TRUE(mediaHeaderMatches(write("a.mp3", "\xFF\xF3\x90\x00")));
    EXPECT_FALSE(mediaHeaderMatches(write("id3.mp3", "ID3\x03\x00")));
    EXPECT_FALSE(mediaHeaderMatches(write("empty.wav", "")));
    EXPECT_TRUE(mediaHeaderMatches(write("x.png", "\x89PNG")));
    EXPECT_TRUE(mediaHeaderMatches(path("missing.jpg")));
    // The bytes after a zero byte do not count.
    EXPECT_FALSE(mediaHeaderMatches(write("z.wav", std::string("RI\0FF", 5))));
}

TEST_F(TempFolder, LocateRelativeFileSearchesTheStoredFolders)
{
    const std::string bank = path("bank.zxb");
    fs::create_directories(path("media/pics"));
    std::ofstream(path("here.jpg")) << "x";
    std::ofstream(path("media/pics/deep.jpg")) << "x";
    std::ofstream(path("pics.jpg")) << "x";

    EXPECT_EQ(locateRelativeFile(bank, "C:\\author\\here.jpg"), "here.jpg");
    EXPECT_EQ(locateRelativeFile(bank, "C:\\author\\media\\pics\\deep.jpg"), "media/pics/deep.jpg");
    EXPECT_EQ(locateRelativeFile(bank, "C:\\x\\missing.jpg"), "C:\\x\\missing.jpg");
    EXPECT_EQ(locateRelativeFile(bank, (m_dir / "other" / "a.jpg").string()), "other/a.jpg");
    EXPECT_EQ(locateRelativeFile(bank, ""), "");
}
