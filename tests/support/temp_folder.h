// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace zx::testing {

class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "zx-test")
    {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path()
                 / (prefix + "-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder()
    {
        std::error_code ec;
        // A test may have taken the owner's rights away.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& folder() const { return m_path; }
    // The path of `name` inside the folder (the folder itself for "").
    std::string path(const std::string& name = {}) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

} // namespace zx::testing
