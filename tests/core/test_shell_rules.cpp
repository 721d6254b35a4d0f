// The shell's plain rules: recent lists, the close query, typed booleans
// and the hand-off file.
#include "app/core/close_query.h"
#include "app/core/handoff_file.h"
#include "app/core/message_keys.h"
#include "app/core/recent_files.h"
#include "app/core/typed_setting.h"

#include <gtest/gtest.h>

using namespace zx;

namespace {

RecentList listOf(std::initializer_list<const char*> paths)
{
    RecentList list;
    int i = 0;
    for (const char* p : paths)
        list[i++] = p;
    return list;
}

RecentList fullList()
{
    RecentList list;
    for (int i = 0; i < recentFileCount; ++i)
        list[i] = "/b/bank" + std::to_string(i) + ".zxb";
    return list;
}

} // namespace

TEST(ShellRecentFiles, NewPathGoesOnTopAndOthersMoveDown)
{
    RecentList list = listOf({"/a.zxb", "/b.zxb"});
    rememberInList(list, "/c.zxb");
    EXPECT_EQ(list, listOf({"/c.zxb", "/a.zxb", "/b.zxb"}));
}

TEST(ShellRecentFiles, ReopeningAnEntryMovesItToTheTopKeepingTheOrder)
{
    RecentList list = listOf({"/a.zxb", "/b.zxb", "/c.zxb", "/d.zxb"});
    rememberInList(list, "/c.zxb");
    EXPECT_EQ(list, listOf({"/c.zxb", "/a.zxb", "/b.zxb", "/d.zxb"}));
    rememberInList(list, "/d.zxb");
    EXPECT_EQ(list, listOf({"/d.zxb", "/c.zxb", "/a.zxb", "/b.zxb"}));
}

TEST(ShellRecentFiles, ReopeningTheNewestEntryChangesNothing)
{
    RecentList list = listOf({"/a.zxb", "/b.zxb", "/c.zxb"});
    rememberInList(list, "/a.zxb");
    EXPECT_EQ(list, listOf({"/a.zxb", "/b.zxb", "/c.zxb"}));

    // Not even in a full list: the oldest entry stays.
    RecentList full = fullList();
    const RecentList before = full;
    rememberInList(full, before[0]);
    EXPECT_EQ(full, before);
}

TEST(ShellRecentFiles, AThirtyFirstPathDropsTheOldest)
{
    RecentList list = fullList();
    rememberInList(list, "/new.zxb");
    EXPECT_EQ(list[0], "/new.zxb");
    EXPECT_EQ(list[1], "/b/bank0.zxb");
    EXPECT_EQ(list[29], "/b/bank28.zxb");
    for (const auto& entry : list)
        EXPECT_NE(entry, "/b/bank29.zxb");

    // An entry in the middle of a full list moves up without losing any.
    RecentList again = fullList();
    rememberInList(again, "/b/bank17.zxb");
    EXPECT_EQ(again[0], "/b/bank17.zxb");
    EXPECT_EQ(again[17], "/b/bank16.zxb");
    EXPECT_EQ(again[18], "/b/bank18.zxb");
    EXPECT_EQ(again[29], "/b/bank29.zxb");
}

TEST(ShellRecentFiles, OnlyExactMatchesCount)
{
    RecentList list = listOf({"/x/Algebra.zxb"});
    rememberInList(list, "/x/algebra.zxb");
    EXPECT_EQ(list, listOf({"/x/algebra.zxb", "/x/Algebra.zxb"}));
}

TEST(ShellRecentFiles, ExtensionSelectsTheList)
{
    RecentBanksAndResults lists;
    EXPECT_TRUE(lists.remember("/t/Maths.ZXB"));
    EXPECT_TRUE(lists.remember("/t/Maths.zxr"));
    EXPECT_FALSE(lists.remember("/t/Maths.txt"));
    EXPECT_FALSE(lists.remember("/t/zxb"));
    EXPECT_FALSE(lists.remember("/t.zxb/file"));
    EXPECT_EQ(lists.banks[0], "/t/Maths.ZXB");
    EXPECT_EQ(lists.results[0], "/t/Maths.zxr");
    EXPECT_TRUE(lists.banks[1].empty());
    EXPECT_TRUE(lists.results[1].empty());
}

TEST(ShellRecentFiles, ReopenMenuOrderAndCaptions)
{
    RecentBanksAndResults lists;
    EXPECT_EQ(reopenMenuEntries(lists).size(), 1u); // the separator alone
    EXPECT_EQ(reopenMenuEntries(lists)[0].kind, RecentKind::None);

    lists.banks = listOf({"C:\\x\\Algebra.zxb", "", "/home/u/Physics.zxb"});
    lists.results = listOf({"/r/Algebra.zxr"});
    const auto entries = reopenMenuEntries(lists);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].kind, RecentKind::Bank);
    EXPECT_EQ(entries[0].caption, "Algebra");
    EXPECT_EQ(entries[0].index, 0);
    EXPECT_EQ(entries[1].caption, "Physics");
    EXPECT_EQ(entries[1].index, 2);
    EXPECT_EQ(entries[2].kind, RecentKind::None);
    EXPECT_EQ(entries[3].kind, RecentKind::Results);
    EXPECT_EQ(entries[3].caption, "Algebra");

    EXPECT_EQ(recentCaption("ab"), "");
    EXPECT_EQ(recentBankValueName(0), "lastQBank0");
    EXPECT_EQ(recentResultValueName(29), "lastQResult29");
}

namespace {

zx::CloseDecision closeFor(zx::TestState state, std::string_view settingsText)
{
    return zx::decideClose(state, zx::BankSettings::parse(settingsText));
}

} // namespace

TEST(ShellCloseQuery, EveryState)
{
    const std::string none;
    EXPECT_EQ(closeFor(TestState::NoTest, none), CloseDecision::Close);
    EXPECT_EQ(closeFor(TestState::Ready, none), CloseDecision::Close);
    EXPECT_EQ(closeFor(TestState::Running, none), CloseDecision::AskRunning);
    EXPECT_EQ(closeFor(TestState::RunningExam, none), CloseDecision::RefuseExam);
    EXPECT_EQ(closeFor(TestState::Finished, none), CloseDecision::Close);
    EXPECT_EQ(closeFor(TestState::Finished, "<allowSaving>1</allowSaving>"),
              CloseDecision::AskUnsavedResults);
    EXPECT_EQ(closeFor(TestState::Finished, "<allowSaving>2</allowSaving>"), CloseDecision::Close);
    EXPECT_EQ(closeFor(TestState::ResultsStored, "<allowSaving>1</allowSaving>"), CloseDecision::Close);
}

TEST(ShellCloseQuery, QuestionPreviewClosesInEveryState)
{
    const std::string preview = "<allowSaving>1</allowSaving><questionPreview>1</questionPreview>";
    for (int s = 0; s <= 5; ++s)
        EXPECT_EQ(closeFor(static_cast<TestState>(s), preview), CloseDecision::Close) << s;
    EXPECT_EQ(closeFor(TestState::RunningExam, "<questionPreview>2</questionPreview>"),
              CloseDecision::RefuseExam);
    EXPECT_EQ(closeFor(TestState::RunningExam, "<questionPreview>x</questionPreview>"),
              CloseDecision::RefuseExam);
}

TEST(ShellTypedSetting, OnlyIntegersCount)
{
    EXPECT_TRUE(settingBoolean(std::string("1"), false));
    EXPECT_FALSE(settingBoolean(std::string("0"), true));
    EXPECT_TRUE(settingBoolean(std::string("-3"), false));
    EXPECT_FALSE(settingBoolean(std::string("+0"), true));
    EXPECT_TRUE(settingBoolean(std::nullopt, true));
    EXPECT_FALSE(settingBoolean(std::nullopt, false));
    for (const char* other : {"true", "false", "", " 1", "1 ", "0x1", "yes", "-", "1.0",
                              "99999999999999999999999"}) {
        EXPECT_TRUE(settingBoolean(std::string(other), true)) << other;
        EXPECT_FALSE(settingBoolean(std::string(other), false)) << other;
    }
    EXPECT_EQ(settingBooleanText(true), "1");
    EXPECT_EQ(settingBooleanText(false), "0");
}

TEST(ShellHandoff, ContentIsByteExact)
{
    EXPECT_EQ(handoffContent("openShellCall", "/home/u/My Bank.zxb"),
              "<p1>openShellCall</p1><p2>/home/u/My Bank.zxb</p2>");
    EXPECT_EQ(handoffContent("", ""), "<p1></p1><p2></p2>");
    const Handoff h = parseHandoff(handoffContent("printShellCall", "/r/\xe9t\xe9.zxr"));
    EXPECT_EQ(h.verb, "printShellCall");
    EXPECT_EQ(h.path, "/r/\xe9t\xe9.zxr");
    EXPECT_TRUE(parseHandoff("garbage").verb.empty());
    EXPECT_FALSE(needsHandoffFile({}));
    EXPECT_FALSE(needsHandoffFile({"openShellCall"}));
    EXPECT_TRUE(needsHandoffFile({"openShellCall", "/x.zxb"}));
}

TEST(ShellHandoff, LaterStartHandsOverAnAbsolutePath)
{
    using Args = std::vector<std::string>;
    EXPECT_EQ(handoffArguments({"openShellCall", "sample.zxb"}, "/home/u/banks"),
              (Args{"openShellCall", "/home/u/banks/sample.zxb"}));
    EXPECT_EQ(handoffArguments({"openShellCall", "./././a b/s.zxr", "extra"}, "/r/"),
              (Args{"openShellCall", "/r/a b/s.zxr", "extra"}));
    EXPECT_EQ(handoffArguments({"printShellCall", "../up.zxr"}, "/r/x"), (Args{"printShellCall", "/r/x/../up.zxr"}));
    for (const Args& unchanged : {Args{"openShellCall", "/abs.zxb"}, Args{"openShellCall", ""}, Args{"sample.zxb"}, Args{}})
        EXPECT_EQ(handoffArguments(unchanged, "/r"), unchanged);
    EXPECT_EQ(handoffArguments({"openShellCall", "s.zxb"}, ""), (Args{"openShellCall", "s.zxb"}));
}

TEST(ShellHandoff, ExtraTimeGoesAfterTheParameters)
{
    const std::string content = handoffContent("openShellCall", "/b.zxb", 25);
    EXPECT_EQ(content, "<p1>openShellCall</p1><p2>/b.zxb</p2><extraTime>25</extraTime>");
    EXPECT_EQ(parseHandoff(content).extraTimePercent, 25);
    EXPECT_EQ(parseHandoff(content).path, "/b.zxb");
    EXPECT_EQ(handoffContent("openShellCall", "/b.zxb", 0), "<p1>openShellCall</p1><p2>/b.zxb</p2>");
    EXPECT_EQ(parseHandoff(handoffContent("openShellCall", "/b.zxb")).extraTimePercent, 0);
    // A path holding the element gives nothing; values out of range neither.
    EXPECT_EQ(parseHandoff("<p1>openShellCall</p1><p2>/<extraTime>50</extraTime>.zxb</p2>").extraTimePercent, 0);
    for (const char* odd : {"-5", "1001", "ten", ""})
        EXPECT_EQ(parseHandoff(std::string("<p1>a</p1><p2>b</p2><extraTime>") + odd + "</extraTime>").extraTimePercent,
                  0)
            << odd;
    EXPECT_EQ(parseHandoff("<p1>a</p1><p2>b</p2><extraTime>1000</extraTime>").extraTimePercent, 1000);
    // A hand-off cut short before its path's end gives no extra time.
    EXPECT_EQ(parseHandoff("<p1>openShellCall</p1><p2>/b.zx").extraTimePercent, 0);
}

TEST(ShellMessageKeys, SoundKeysStayInTheSoundFolder)
{
    EXPECT_TRUE(isPlainSoundKey("x104"));
    EXPECT_TRUE(isPlainSoundKey("Hint3"));
    EXPECT_FALSE(isPlainSoundKey(""));
    EXPECT_FALSE(isPlainSoundKey(".."));
    EXPECT_FALSE(isPlainSoundKey("../x"));
    EXPECT_FALSE(isPlainSoundKey("a\\b"));
    EXPECT_EQ(messageKey(16), "x16");
}
