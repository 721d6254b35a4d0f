#include "testrun/core/embedded_files.h"

#include <cstdio>
#include <filesystem>
#include <unordered_map>

#include <sys/stat.h>

namespace zx {

namespace {

bool existsNoFollow(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

EmbeddedFiles::EmbeddedFiles(std::string workingFolder)
    : m_folder(std::move(workingFolder))
{
}

void EmbeddedFiles::clear()
{
    m_authorNames.clear();
    m_workingNames.clear();
}

std::string EmbeddedFiles::chooseWorkingName(int n, std::string_view authorName, const RandomSource& random) const
{
    std::string name = embeddedWorkingName(n, authorName);
    const std::string path = m_folder + "/" + name;
    if (!existsNoFollow(path))
        return name;
    if (std::remove(path.c_str()) == 0)
        return name;
    const std::string aside = path + std::to_string(random() % 9999);
    if (std::rename(path.c_str(), aside.c_str()) == 0)
        return name;
    const std::string extension = name.substr(("R" + std::to_string(n)).size());
    return "R" + std::to_string(random() % 9999) + "zx" + std::to_string(n) + extension;
}

int EmbeddedFiles::extract(const std::string& bankPath, std::int64_t indexLength, std::string_view list,
                           const RandomSource& random, const Progress& progress)
{
    clear();
    const std::vector<EmbeddedFileEntry> entries = parseEmbeddedFileList(list);
    const auto total = static_cast<std::int64_t>(list.size());
    int copied = 0;
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const EmbeddedFileEntry& entry = entries[n];
        const std::string workingName = chooseWorkingName(static_cast<int>(n), entry.authorName, random);
        m_authorNames.push_back(entry.authorName);
        m_workingNames.push_back(workingName);
        if (progress)
            progress(total * static_cast<std::int64_t>(n + 1) / static_cast<std::int64_t>(entries.size()), total);
        if (const auto range = embeddedFileRange(entry, indexLength)) {
            if (copyBankRange(bankPath, *range, m_folder + "/" + workingName))
                ++copied;
        }
    }
    if (progress)
        progress(total, total);
    return copied;
}

std::string EmbeddedFiles::resolve(std::string_view storedName) const
{
    std::string name;
    name.reserve(storedName.size());
    for (char c : storedName)
        if (c != '\\')
            name += c;
    for (std::size_t n = 0; n < m_authorNames.size(); ++n)
        if (m_authorNames[n] == name)
            return m_folder + "/" + m_workingNames[n];
    // Not embedded: a name in the working folder that does not exist.  A
    // "/" would lead out of the folder, so it never stays in the name.
    for (char& c : name)
        if (c == '/')
            c = '_';
    if (name.empty() || name == "." || name == "..")
        name = "-none-" + name;
    return m_folder + "/" + name;
}

} // namespace zx
