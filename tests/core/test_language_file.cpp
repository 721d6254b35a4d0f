#include "app/core/language_choice.h"
#include "app/core/language_file.h"
#include "tagtext/stored_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;

namespace zx {
namespace {

TEST(LanguageFile, MessageLinesFillTheTableWithLineBreaks)
{
    const LanguageTexts t = parseLanguageFile(
        "0104 Line one#r#nLine two\r\n"
        "0009 Version 1.0\n"
        "0119xLast entry\r"
        "0016 first\n"
        "0016 second wins\n");
    EXPECT_EQ(t.message(104), "Line one\r\nLine two");
    EXPECT_EQ(t.message(9), "Version 1.0");
    EXPECT_EQ(t.message(119), "Last entry");     // any separator character
    EXPECT_EQ(t.message(16), "second wins");
    EXPECT_EQ(t.messageForKey("x104"), "Line one\r\nLine two");
    EXPECT_EQ(t.messageForKey("x16"), "second wins");
    EXPECT_TRUE(t.formTexts.empty());
}

TEST(LanguageFile, IgnoredLines)
{
    const LanguageTexts t = parseLanguageFile(
        "0250 out of range\n"
        "0200 just out of range\n"
        "0010 \n"           // 5 characters: ignored
        "0011 x\n"          // 6 characters: message "x"
        "0005 MainForm FormCaption x\n"
        "\n\r\n\r\r");
    EXPECT_EQ(t.message(11), "x");
    EXPECT_EQ(t.message(10), "");
    for (const std::string& m : t.messages)
        EXPECT_TRUE(m.empty() || m == "x");
    // '0005 ...' is a form-text line whose control name is "0005".
    ASSERT_EQ(t.formTexts.size(), 1u);
    EXPECT_EQ(t.formTexts[0].control, "0005");
    EXPECT_EQ(t.formTexts[0].property, "MainForm");
    EXPECT_EQ(t.formTexts[0].value, "FormCaption x");
}

TEST(LanguageFile, NumbersAreReadLikeTagIntegers)
{
    // Sign and digits only; a number below 9 is a form-text line.
    EXPECT_EQ(parseLanguageLine("+104 text").kind, LanguageLine::Kind::Message);
    EXPECT_EQ(parseLanguageLine("+104 text").number, 104);
    EXPECT_EQ(parseLanguageLine(" 104 text").kind, LanguageLine::Kind::FormText);
    EXPECT_EQ(parseLanguageLine("-104 a b").kind, LanguageLine::Kind::FormText);
    EXPECT_EQ(parseLanguageLine("0008 a b").kind, LanguageLine::Kind::FormText);
    EXPECT_EQ(parseLanguageLine("9999 text").kind, LanguageLine::Kind::Ignored);
    EXPECT_EQ(parseLanguageLine("10#r#n X Y").kind, LanguageLine::Kind::FormText);   // "10#r" is no number
    // The marker is replaced before the number and separator are dropped.
    const LanguageLine l = parseLanguageLine("0020#r#nrest");
    EXPECT_EQ(l.kind, LanguageLine::Kind::Message);
    EXPECT_EQ(l.text, "\nrest");
}

TEST(LanguageFile, LinesEndAtCrLfCrOrLfAndFillTheirOwnEntry)
{
    // A CR alone ends a line; the next line keeps its first character.
    const LanguageTexts t = parseLanguageFile("0016 a\r0017 b\r\n0018 c\n0019 d\r\r0020 e\n\r0021 f");
    EXPECT_EQ(t.message(16), "a");
    EXPECT_EQ(t.message(17), "b");
    EXPECT_EQ(t.message(18), "c");
    EXPECT_EQ(t.message(19), "d");
    EXPECT_EQ(t.message(20), "e");
    EXPECT_EQ(t.message(21), "f");
    // Each number fills exactly its own entry, up to the last one.
    const LanguageTexts own = parseLanguageFile("0120 one twenty\n0199 last\n0009 first\n0200 none\n");
    EXPECT_EQ(own.messages[120], "one twenty");
    EXPECT_EQ(own.messages[121], "");
    EXPECT_EQ(own.messages[119], "");
    EXPECT_EQ(own.messages[199], "last");
    EXPECT_EQ(own.messages[198], "");
    EXPECT_EQ(own.messages[9], "first");
    EXPECT_EQ(own.messages[8], "");
    EXPECT_EQ(own.messages[10], "");
    EXPECT_EQ(own.message(120), "one twenty");
    EXPECT_EQ(own.messageForKey("x199"), "last");
    EXPECT_EQ(parseLanguageLine("0199 x").number, 199);
    EXPECT_EQ(parseLanguageLine("0200 x").kind, LanguageLine::Kind::Ignored);
}

TEST(LanguageFile, OwnMessagesFallBackToTheBuiltInEnglish)
{
    // The player's own messages (120 and up) that a language file lacks
    // come in English; the classic ones stay empty.
    const std::string english = builtInEnglishMessage(121);
    ASSERT_FALSE(english.empty());
    EXPECT_EQ(builtInEnglishMessage(119), "");
    EXPECT_EQ(builtInEnglishMessage(200), "");
    EXPECT_EQ(builtInEnglishMessage(-1), "");
    const LanguageTexts other = parseLanguageFile("0016 sechzehn\n0122 eigener Text\n");
    EXPECT_EQ(other.message(121), english);
    EXPECT_EQ(other.messageForKey("x121"), english);
    EXPECT_EQ(other.message(122), "eigener Text");
    EXPECT_EQ(other.message(17), "");
    EXPECT_EQ(other.message(200), "");
    // A second file over the first keeps the first file's text.
    const LanguageTexts second = parseLanguageFile("0016 again\n", other);
    EXPECT_EQ(second.message(122), "eigener Text");
    EXPECT_EQ(second.message(121), english);
}

TEST(LanguageFile, FormTextLinesAndHints)
{
    const LanguageTexts t = parseLanguageFile(
        "MainForm FormCaption Exam player\n"
        "FinishButton Hint2 Ends the test\n"
        "CheatButton Caption Show\n"
        "HelpButton Hint Opens help#r#nwith two lines\n"
        "AutoPlay Hint14 Plays pages\n"
        "StartButton Hint15 out of range\n"
        "MarkButton Hint-1 negative\n"
        "Subtitles xHint7 odd property\n"
        "SaveDialog Filter Tallyworks Results|*.zxr\n"
        "NoSeparators\n"
        "OneSeparator only\n"
        "Trailing Caption \n");
    EXPECT_EQ(t.hints[2], "Ends the test");
    EXPECT_EQ(t.hints[14], "Plays pages");
    // "xHint7" without its first four characters is "t7": no number, entry 0.
    EXPECT_EQ(t.hints[0], "odd property");
    EXPECT_EQ(t.hints[1], "");
    ASSERT_EQ(t.formTexts.size(), 10u);   // the two lines without separators are dropped
    EXPECT_EQ(t.formTexts[0], (FormTextLine{"MainForm", "FormCaption", "Exam player"}));
    EXPECT_TRUE(t.formTexts[0].isFormCaption());
    EXPECT_EQ(t.formTexts[1], (FormTextLine{"FinishButton", "Hint2", "Ends the test"}));
    EXPECT_TRUE(t.formTexts[1].isHint());
    EXPECT_EQ(t.formTexts[2], (FormTextLine{"CheatButton", "Caption", "Show"}));
    EXPECT_FALSE(t.formTexts[2].isHint());
    EXPECT_EQ(t.formTexts[3].value, "Opens help\r\nwith two lines");
    EXPECT_EQ(t.formTexts[8].value, "Tallyworks Results|*.zxr");
    EXPECT_EQ(t.formTexts[9], (FormTextLine{"Trailing", "Caption", ""}));
}

TEST(LanguageFile, HintEntryForProperty)
{
    EXPECT_EQ(hintEntryForProperty("Hint"), 0);
    EXPECT_EQ(hintEntryForProperty("Hint3"), 3);
    EXPECT_EQ(hintEntryForProperty("Hint14"), 14);
    EXPECT_EQ(hintEntryForProperty("Hint15"), -1);
    EXPECT_EQ(hintEntryForProperty("Hint3a"), 0);
    EXPECT_EQ(hintEntryForProperty("Caption"), -1);
    EXPECT_EQ(hintEntryForProperty("hint3"), -1);   // case matters
    EXPECT_EQ(hintEntryForProperty("Hint99999999999999999999"), 0);
}

TEST(LanguageFile, SecondLanguageReplacesOnlyWhatItDefines)
{
    const LanguageTexts first = parseLanguageFile(
        "0016 English sixteen\n0017 English seventeen\n"
        "FinishButton Hint2 Finish\nMarkButton Hint3 Mark\nMainForm FormCaption Exam\n");
    const LanguageTexts second = parseLanguageFile(
        "0017 Deutsch siebzehn\nFinishButton Hint2 Beenden\n", first);
    EXPECT_EQ(second.message(16), "English sixteen");
    EXPECT_EQ(second.message(17), "Deutsch siebzehn");
    EXPECT_EQ(second.hints[2], "Beenden");
    EXPECT_EQ(second.hints[3], "Mark");
    ASSERT_EQ(second.formTexts.size(), 1u);   // only the second file's lines are left to apply
    EXPECT_EQ(second.formTexts[0].value, "Beenden");
}

TEST(LanguageFile, ComboItems)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(splitComboItems("Red#Green#Blue#"), (V{"Red", "Green", "Blue"}));
    EXPECT_EQ(splitComboItems("Red#Green"), (V{"Red", "Gree"}));
    EXPECT_EQ(splitComboItems("Red#Gr"), (V{"Red"}));
    EXPECT_EQ(splitComboItems("#ab#"), (V{"", "ab"}));
    EXPECT_EQ(splitComboItems("ab"), V{});
    EXPECT_EQ(splitComboItems(""), V{});
    EXPECT_EQ(splitComboItems("###"), (V{""}));
}

TEST(LanguageFile, DialogFilters)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(dialogNameFilters("All Question Formats|*.zxb;*.zxr|Question Banks|*.zxb|Tallyworks Results| *.zxr"),
              (V{"All Question Formats (*.zxb *.zxr)", "Question Banks (*.zxb)", "Tallyworks Results (*.zxr)"}));
    EXPECT_EQ(dialogNameFilters("Tallyworks Results|*.zxr"), (V{"Tallyworks Results (*.zxr)"}));
    EXPECT_EQ(dialogNameFilters("no bar at all"), V{});
    EXPECT_EQ(dialogNameFilters("Name|"), V{});
    EXPECT_EQ(dialogNameFilters("|*.a"), (V{"*.a"}));
}

TEST(LanguageFile, HintKeysAndMessageKeys)
{
    std::array<std::string, languageHintCount> hints{};
    hints[0] = "Zero";
    hints[3] = "Marks the question";
    hints[5] = "Marks the question";
    EXPECT_EQ(hintMessageKey(hints, "Marks the question"), "Hint3");
    EXPECT_EQ(hintMessageKey(hints, "Mark|Marks the question"), "Hint3");
    EXPECT_EQ(hintMessageKey(hints, "Zero"), "");        // entry 0 is never compared
    EXPECT_EQ(hintMessageKey(hints, "x|y"), "");         // long part too short
    EXPECT_EQ(hintShortPart("a|b|c"), "a");
    EXPECT_EQ(hintLongPart("a|b|c"), "b|c");
    EXPECT_EQ(hintLongPart("abc"), "abc");

    EXPECT_EQ(messageNumberFromKey("x16"), 16);
    EXPECT_EQ(messageNumberFromKey("x119"), 119);
    EXPECT_EQ(messageNumberFromKey("x199"), 199);
    EXPECT_EQ(messageNumberFromKey("x200"), -1);
    EXPECT_EQ(messageNumberFromKey("xh0"), -1);
    EXPECT_EQ(messageNumberFromKey("Hint3"), -1);
    EXPECT_EQ(messageNumberFromKey("x"), -1);
    EXPECT_EQ(messageNumberFromKey("x99999999999"), -1);
    LanguageTexts t;
    EXPECT_EQ(t.message(-5), "");
    EXPECT_EQ(t.message(500), "");
    EXPECT_EQ(withLfBreaks("a\r\nb\rc\nd"), "a\nb\nc\nd");
}

TEST(LanguageFile, GarbageAndHugeInputStayLinearAndSafe)
{
    std::mt19937 random(1234);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    const LanguageTexts g = parseLanguageFile(garbage);   // must simply not crash
    EXPECT_LE(g.formTexts.size(), garbage.size() / 6 + 1);

    // One huge line of markers and a huge number of short lines.
    std::string huge = "0050 ";
    for (int i = 0; i < 500000; ++i)
        huge += "#r#n";
    huge += '\n';
    for (int i = 0; i < 200000; ++i)
        huge += "A B C\n0099 x\n";
    const auto start = std::chrono::steady_clock::now();
    const LanguageTexts h = parseLanguageFile(huge);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(h.message(50).size(), 1000000u);
    EXPECT_EQ(h.message(99), "x");
    EXPECT_EQ(h.formTexts.size(), 0u);     // "A B C" is 5 characters
    EXPECT_LT(seconds, 5.0);               // generous: catches quadratic behaviour only
}

// --- choosing the language file ------------------------------------------

class LanguageFolder : public ::testing::Test {
protected:

    void store(const std::string& fileName, const std::string& content)
    {
        ASSERT_TRUE(writeStoredFile(content, (m_dir / fileName).string()));
    }

    zx::testing::TempFolder m_folder{"zx-lang"};
    const fs::path& m_dir = m_folder.folder();
};

TEST_F(LanguageFolder, ListsOnlyZxcFilesSortedByName)
{
    store("German.zxc", "0016 x\n");
    store("English (UK).zxc", "0016 y\n");
    store("french.ZXC", "0016 z\n");
    store("notes.txt", "plain");
    store("Spanish.zxcx", "0016 w\n");
    fs::create_directories(m_dir / "Folder.zxc");
    const std::vector<LanguageFileEntry> files = listLanguageFiles(m_dir);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "English (UK)");
    EXPECT_EQ(files[1].name, "french");
    EXPECT_EQ(files[2].name, "German");
    // An upper-case extension is found through its listed path.
    EXPECT_EQ(languageFilePath(m_dir, files, "french"), m_dir / "french.ZXC");
    EXPECT_EQ(languageFilePath(m_dir, files, "Other"), m_dir / "Other.zxc");
    EXPECT_TRUE(listLanguageFiles(m_dir / "missing").empty());
}

TEST_F(LanguageFolder, AtMostOneHundredLanguages)
{
    for (int i = 0; i < 105; ++i)
        store("L" + std::to_string(1000 + i) + ".zxc", "0016 x\n");
    EXPECT_EQ(listLanguageFiles(m_dir).size(), maxLanguageFiles);
}

TEST(LanguageDecision, Rules)
{
    const std::vector<LanguageFileEntry> none;
    const std::vector<LanguageFileEntry> one{{"German", {}}};
    const std::vector<LanguageFileEntry> two{{"English (UK)", {}}, {"German", {}}};
    const std::vector<LanguageFileEntry> twoOther{{"French", {}}, {"German", {}}};

    LanguageDecision d = decideLanguage(none, std::nullopt);
    EXPECT_TRUE(d.missing);

    d = decideLanguage(one, std::string("English (UK)"));
    EXPECT_FALSE(d.missing);
    EXPECT_FALSE(d.showMenu);
    EXPECT_EQ(d.current, "German");          // the stored choice does not matter with one file

    d = decideLanguage(two, std::string("German"));
    EXPECT_TRUE(d.showMenu);
    EXPECT_EQ(d.current, "German");

    d = decideLanguage(two, std::nullopt);
    EXPECT_EQ(d.current, "English (UK)");

    d = decideLanguage(two, std::string("g"));   // too short: the default language
    EXPECT_EQ(d.current, "English (UK)");

    d = decideLanguage(two, std::string("german"));  // exact match only
    EXPECT_EQ(d.current, "English (UK)");

    // A stored choice that names neither file: the first file.
    d = decideLanguage(twoOther, std::string("Klingon"));
    EXPECT_EQ(d.current, "French");
    d = decideLanguage(twoOther, std::nullopt);
    EXPECT_EQ(d.current, "French");
}

TEST_F(LanguageFolder, LoadingAppliesOverEarlierTexts)
{
    store("English (UK).zxc", "0016 Sixteen\n0017 Seventeen\nFinishButton Hint2 Finish\n");
    store("German.zxc", "0017 Siebzehn\n");
    LanguageTexts texts;
    ASSERT_TRUE(loadLanguageFile(m_dir / "English (UK).zxc", texts));
    EXPECT_EQ(texts.message(17), "Seventeen");
    ASSERT_TRUE(loadLanguageFile(m_dir / "German.zxc", texts));
    EXPECT_EQ(texts.message(16), "Sixteen");
    EXPECT_EQ(texts.message(17), "Siebzehn");
    EXPECT_EQ(texts.hints[2], "Finish");

    // Missing, folder, oversized: nothing changes.
    const LanguageTexts before = texts;
    EXPECT_FALSE(loadLanguageFile(m_dir / "Missing.zxc", texts));
    fs::create_directories(m_dir / "Dir.zxc");
    EXPECT_FALSE(loadLanguageFile(m_dir / "Dir.zxc", texts));
    {
        std::ofstream big(m_dir / "Big.zxc", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(maxLanguageFileBytes));
        big.put('x');
    }
    EXPECT_FALSE(loadLanguageFile(m_dir / "Big.zxc", texts));
    EXPECT_EQ(texts.messages, before.messages);
    EXPECT_EQ(texts.hints, before.hints);

    // A file that is not a stored file reads as garbage and changes little.
    {
        std::ofstream junk(m_dir / "Junk.zxc", std::ios::binary);
        junk << "0016 plain text, not scrambled\n";
    }
    EXPECT_TRUE(loadLanguageFile(m_dir / "Junk.zxc", texts));
}

} // namespace
} // namespace zx
