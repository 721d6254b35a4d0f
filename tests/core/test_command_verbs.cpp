#include "app/core/command_verbs.h"

#include <gtest/gtest.h>

using namespace zx;

TEST(CommandVerbs, VerbsAreExactAndExtensionsAnyCase)
{
    EXPECT_EQ(verbAction("openShellCall", "/a/b.ZXB"), VerbAction::OpenBank);
    EXPECT_EQ(verbAction("openShellCall", "/a/b.zxr"), VerbAction::OpenResults);
    EXPECT_EQ(verbAction("openShellCall", "/a/b.txt"), VerbAction::None);
    EXPECT_EQ(verbAction("printShellCall", "/a/b.Zxr"), VerbAction::PrintResults);
    EXPECT_EQ(verbAction("printShellCall", "/a/b.zxb"), VerbAction::RefusePrintBank);
    EXPECT_EQ(verbAction("printShellCall", "/a/b.doc"), VerbAction::Ignored);
    EXPECT_EQ(verbAction("OpenShellCall", "/a/b.zxb"), VerbAction::None);
    EXPECT_TRUE(isVerb("printShellCall"));
    EXPECT_FALSE(isVerb("printshellcall"));
}

TEST(CommandVerbs, LocalBankAndResultsFolder)
{
    EXPECT_EQ(localBankName({"zeta.zxb", "notes.txt", "Alpha.ZXB", "beta.zxb.bak"}), "Alpha.ZXB");
    EXPECT_EQ(localBankName({"x.zxbb", "y.zx"}), std::nullopt);
    EXPECT_EQ(localResultsFolder("/opt/exams/player"), "/opt/exams/ZXResults/");
    EXPECT_EQ(localResultsFolder("/opt/exams/player/"), "/opt/exams/ZXResults/");
    EXPECT_EQ(localResultsFolder("/player"), "/ZXResults/");
    EXPECT_EQ(startupBankPath("<f>/home/ann/Maths.zxb</f>"), "/home/ann/Maths.zxb");
}

TEST(CommandVerbs, DefaultApplicationFromMimeappsLists)
{
    const std::string user = "# mine\n[Added Associations]\napplication/x-zxexam-bank=other.desktop;\n"
                             "[Default Applications]\r\ntext/plain=editor.desktop\r\n"
                             " application/x-zxexam-bank = zxexam.desktop;viewer.desktop;\r\n";
    const std::string system = "[Default Applications]\napplication/x-zxexam-bank=viewer.desktop\n";
    EXPECT_EQ(defaultApplication("application/x-zxexam-bank", {user, system}), "zxexam.desktop");
    EXPECT_EQ(defaultApplication("application/x-zxexam-bank", {"[Default Applications]\n", system}),
              "viewer.desktop");
    EXPECT_EQ(defaultApplication("application/x-zxexam-results", {user, system}), std::nullopt);
    EXPECT_EQ(defaultApplication("application/x-zxexam-bank", {std::string(100000, '[')}), std::nullopt);
}

TEST(CommandVerbs, ExtraTimeStandsBeforeTheVerb)
{
    using Args = std::vector<std::string>;
    StartOptions start = takeStartOptions({"--extra-time", "25", "openShellCall", "/b.zxb"});
    EXPECT_TRUE(start.error.empty());
    EXPECT_EQ(start.extraTimePercent, 25);
    EXPECT_EQ(start.args, (Args{"openShellCall", "/b.zxb"}));
    start = takeStartOptions({"--extra-time=0", "openShellCall", "/b.zxb"});
    EXPECT_EQ(start.extraTimePercent, 0);
    EXPECT_EQ(start.args, (Args{"openShellCall", "/b.zxb"}));
    start = takeStartOptions({"--extra-time=1000"});
    EXPECT_EQ(start.extraTimePercent, 1000);
    EXPECT_TRUE(start.args.empty());
    // Without the option the command line is as given, also after the verb.
    start = takeStartOptions({"openShellCall", "--extra-time", "5"});
    EXPECT_EQ(start.extraTimePercent, 0);
    EXPECT_EQ(start.args, (Args{"openShellCall", "--extra-time", "5"}));
    EXPECT_TRUE(takeStartOptions({}).args.empty());

    for (const Args& wrong : {Args{"--extra-time"}, Args{"--extra-time", "-1", "openShellCall", "/b.zxb"},
                              Args{"--extra-time", "1001"}, Args{"--extra-time=", "x"}, Args{"--extra-time", "2.5"},
                              Args{"--extra-timex", "5"}, Args{"--extra-time=5", "--extra-time=6"}}) {
        start = takeStartOptions(wrong);
        EXPECT_FALSE(start.error.empty()) << wrong[0];
        EXPECT_EQ(start.extraTimePercent, 0);
        EXPECT_TRUE(start.args.empty());
    }
}
