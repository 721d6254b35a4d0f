// The language files shipped with the program: every message the program
// shows and every hint it speaks is defined, in every language alike.
#include "app/core/language_file.h"
#include "tagtext/stored_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace zx {
namespace {

std::vector<fs::path> languageSources()
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& e : fs::directory_iterator(fs::path(ZX_SOURCE_DIR) / "lang")) {
        if (e.path().extension() == ".txt")
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The message numbers the program reads.
std::set<int> usedMessages()
{
    std::set<int> used{9, 11};
    for (int n = 14; n <= 35; ++n)
        used.insert(n);
    for (int n = 37; n <= 64; ++n)
        used.insert(n);
    for (int n = 67; n <= 101; ++n)
        used.insert(n);
    for (int n = 103; n <= 126; ++n)
        if (n != 108)
            used.insert(n);
    for (int n = 130; n <= 136; ++n)
        used.insert(n);
    return used;
}

std::set<std::pair<std::string, std::string>> formKeys(const LanguageTexts& t)
{
    std::set<std::pair<std::string, std::string>> keys;
    for (const FormTextLine& l : t.formTexts) {
        if (l.control != "####")
            keys.insert({l.control, l.property});
    }
    return keys;
}

TEST(LanguageSources, EnglishAndAtLeastOneMoreLanguage)
{
    const std::vector<fs::path> files = languageSources();
    ASSERT_GE(files.size(), 2u);
    EXPECT_TRUE(std::any_of(files.begin(), files.end(),
                            [](const fs::path& p) { return p.filename() == "English (UK).txt"; }));
}

TEST(LanguageSources, EveryUsedMessageAndHintIsDefinedOnce)
{
    for (const fs::path& file : languageSources()) {
        SCOPED_TRACE(file.filename().string());
        const std::string content = readStoredFile(file.string());
        ASSERT_FALSE(content.empty());
        const LanguageTexts t = parseLanguageFile(content);
        for (const int n : usedMessages())
            EXPECT_FALSE(t.message(n).empty()) << "message " << n;
        for (int h = 1; h < languageHintCount; ++h)
            EXPECT_FALSE(t.hints[static_cast<std::size_t>(h)].empty()) << "hint " << h;
        // Each hint entry 1..14 is set by exactly one line, so the spoken
        // hint belongs to one control.
        std::set<int> seen;
        for (const FormTextLine& l : t.formTexts) {
            const int h = hintEntryForProperty(l.property);
            if (h > 0) {
                EXPECT_TRUE(seen.insert(h).second) << "hint " << h << " set twice";
            }
        }
        // Message 85 names an element key: no spaces or marks.
        EXPECT_EQ(t.message(85).find_first_of(" <>/"), std::string::npos);
        // No line of the file is silently dropped: every line longer than
        // five characters is a message or a form-text line.
        std::size_t pos = 0;
        while (pos < content.size()) {
            std::size_t end = content.find('\n', pos);
            if (end == std::string::npos)
                end = content.size();
            const std::string line = content.substr(pos, end - pos);
            pos = end + 1;
            if (line.size() > 5) {
                EXPECT_NE(parseLanguageLine(line).kind, LanguageLine::Kind::Ignored) << line;
            }
            EXPECT_EQ(line.find('\r'), std::string::npos) << "line ends are LF in the sources";
        }
    }
}

TEST(LanguageSources, TheBuiltInEnglishIsTheEnglishFile)
{
    const LanguageTexts english =
        parseLanguageFile(readStoredFile((fs::path(ZX_SOURCE_DIR) / "lang" / "English (UK).txt").string()));
    for (int n = languageFirstOwnMessage; n < languageMessageCount; ++n)
        EXPECT_EQ(builtInEnglishMessage(n), english.messages[static_cast<std::size_t>(n)]) << "message " << n;
}

TEST(LanguageSources, AllLanguagesDefineTheSameTexts)
{
    const std::vector<fs::path> files = languageSources();
    ASSERT_FALSE(files.empty());
    const LanguageTexts first = parseLanguageFile(readStoredFile(files.front().string()));
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const LanguageTexts t = parseLanguageFile(readStoredFile(file.string()));
        for (std::size_t n = 0; n < first.messages.size(); ++n)
            EXPECT_EQ(first.messages[n].empty(), t.messages[n].empty()) << "message " << n;
        EXPECT_EQ(formKeys(first), formKeys(t));
        // The element key of message 85 stays the same in every language.
        EXPECT_EQ(first.message(85), t.message(85));
    }
}

TEST(LanguageSources, FormTextLinesNameTheProgramsControls)
{
    const std::set<std::string> windows{"MainForm", "AboutBox", "UserDetails", "Password"};
    const std::set<std::string> controls{
        // main window menus and items
        "File1", "FileOpenItem", "Reopen", "SaveResults1", "PrintSetup1", "Print1", "FileExitItem",
        "View1", "ResultsSummary1", "DetailedResults1", "Options1", "LangChoices", "Subtitles",
        "AudioMessages", "ReadAloud", "Help1", "Help2", "TellMeAudio1", "HelpAboutItem", "zxWebJump1", "zxWebJump2",
        "zxWebJump3", "zxWebJump4",
        // control panel and dialogs of the main window
        "questionSlider", "AutoPlay", "FinishButton", "MarkButton", "CheatButton", "HelpButton",
        "StartButton", "OpenDialog", "SaveDialog",
        // help window
        "TabIntroduction", "TabAutoPlay", "TabCheat", "TabMark", "TabFinish", "TabKeyboard",
        "HowToTakeATestHeading", "HelpIntro", "HelpAutoPlay", "HelpCheat", "HelpMark", "HelpFinish",
        "HelpKeyboard",
        // user details and password dialogs
        "userEntryLabel1", "userEntryLabel2", "userEntryLabel3", "UserDetails1", "UserDetails2",
        "UserDetails3", "EnterDetailsButton", "CancelButton", "BankPassword", "PasswordEnterButton",
        "PasswordCancelButton"};
    for (const fs::path& file : languageSources()) {
        SCOPED_TRACE(file.filename().string());
        const LanguageTexts t = parseLanguageFile(readStoredFile(file.string()));
        for (const FormTextLine& l : t.formTexts) {
            if (l.control == "####")
                continue;   // comment lines
            if (l.isFormCaption())
                EXPECT_TRUE(windows.count(l.control)) << l.control;
            else
                EXPECT_TRUE(controls.count(l.control)) << l.control << " " << l.property;
        }
    }
}

} // namespace
} // namespace zx
