// The one version number: the About window's line and each tool's
// --version.
#include "app/core/program_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace zx;

namespace {

std::string outputOf(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}

} // namespace

TEST(ProgramVersion, AboutLineCarriesTheBuildsNumber)
{
    EXPECT_EQ(withProgramVersion("Exam Player#r#nVersion 1.0", "2.3.4"), "Exam Player#r#nVersion 2.3.4");
    EXPECT_EQ(withProgramVersion("Version 1.0.7 (2026), build 12.5b", "2.3"), "Version 1.0.7 (2026), build 2.3b")
        << "the last dotted number is the one replaced";
    EXPECT_EQ(withProgramVersion("Fassung 3.1.", "2.3"), "Fassung 2.3.");
    EXPECT_EQ(withProgramVersion("Version 10 (2026). .5", "2.3"), "Version 10 (2026). .5 2.3")
        << "numbers without a dot inside are no version";
    EXPECT_EQ(withProgramVersion("", "2.3"), "2.3");
    EXPECT_EQ(withProgramVersion("1.0", "2.3"), "2.3");
    ASSERT_FALSE(programVersion().empty());
    EXPECT_NE(programVersion().find('.'), std::string_view::npos);
    EXPECT_EQ(versionBanner("zxbank"), "zxbank " + std::string(programVersion()) + "\n");
}

TEST(ProgramVersion, ToolsPrintIt)
{
    EXPECT_EQ(outputOf("'" ZX_ZXBANK_PATH "' --version"), versionBanner("zxbank"));
#ifdef ZX_ZXRESULTS_PATH
    EXPECT_EQ(outputOf("'" ZX_ZXRESULTS_PATH "' --version"), versionBanner("zxresults"));
#endif
}
