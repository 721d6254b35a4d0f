// The inputs the fuzz targets once failed on (tests/fuzz/regressions/<target>/)
// and the hand-made seeds (tests/fuzz/seeds/<target>/), fed to the same
// entry code as the fuzz build, so every test run replays them without
// clang.  A folder must name a target.
#include "tests/fuzz/entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs every file below folder/<target>/ through its target's entry.
int replay(const fs::path& folder)
{
    int inputs = 0;
    if (!fs::is_directory(folder))
        return inputs;
    for (const fs::directory_entry& target : fs::directory_iterator(folder)) {
        if (!target.is_directory())
            continue;
        const std::string name = target.path().filename().string();
        const zx::fuzz::Entry entry = zx::fuzz::entryNamed(name);
        EXPECT_NE(entry, nullptr) << "no fuzz target named " << name;
        if (!entry)
            continue;
        for (const fs::directory_entry& file : fs::directory_iterator(target.path())) {
            if (!file.is_regular_file())
                continue;
            ++inputs;
            EXPECT_EQ(entry(readAll(file.path())), "") << file.path();
        }
    }
    return inputs;
}

} // namespace

TEST(FuzzRegressions, SavedFindingsAndSeedsPassTheirTargets)
{
    const fs::path fuzz = fs::path(ZX_SOURCE_DIR) / "tests" / "fuzz";
    EXPECT_GT(replay(fuzz / "seeds"), 0);
    replay(fuzz / "regressions");
}
