// The files embedded in a bank, unpacked into the working folder under
// working names ("R" + number + extension), and the mapping from the names
// pages use to those copies.
#pragma once

#include "tagtext/stored_file.h" // RandomSource
#include "testrun/core/bank_file.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

class EmbeddedFiles {
public:
    // Called with (done, total) while the list is walked.
    using Progress = std::function<void(std::int64_t done, std::int64_t total)>;

    // `workingFolder` without a trailing separator.
    explicit EmbeddedFiles(std::string workingFolder = {});

    void setWorkingFolder(std::string workingFolder) { m_folder = std::move(workingFolder); }
    const std::string& workingFolder() const { return m_folder; }

    // Empties both tables.
    void clear();

    // Copies every embedded file of the bank into the working folder (the
    // caller has emptied it).  A file whose range starts before bank byte
    // 500 or is shorter than 10 bytes gets its table entry but no copy.  A
    // working name that is in use and cannot be removed is replaced by
    // another one.  Returns the number of files copied.
    int extract(const std::string& bankPath, std::int64_t indexLength, std::string_view embeddedFileList,
                const RandomSource& random, const Progress& progress = {});

    // The working-folder path for a file name used by a page: "\" removed,
    // the first equal author name (exact, case-sensitive) gives its working
    // name.  A name that is not embedded gives a path in the working folder
    // that does not exist.
    std::string resolve(std::string_view storedName) const;

    int count() const { return static_cast<int>(m_authorNames.size()); }
    const std::string& authorName(int n) const { return m_authorNames[static_cast<std::size_t>(n)]; }
    const std::string& workingName(int n) const { return m_workingNames[static_cast<std::size_t>(n)]; }

private:
    std::string chooseWorkingName(int n, std::string_view authorName, const RandomSource& random) const;

    std::string m_folder;
    std::vector<std::string> m_authorNames;
    std::vector<std::string> m_workingNames;
};

} // namespace zx
