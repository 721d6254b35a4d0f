// Writing a file so that an earlier file of that name is never lost: the
// bytes go to a temporary file in the same folder, which replaces the
// target in one rename once everything is written and flushed.
#pragma once

#include "tagtext/stored_file.h" // RandomSource

#include <cstddef>
#include <string>

namespace zx {

class ReplacingFile {
public:
    // Creates the temporary file beside `target`; see isOpen().
    ReplacingFile(std::string target, const RandomSource& random);
    // Removes the temporary file unless commit() succeeded.
    ~ReplacingFile();

    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Appends bytes; false (with error()) when they could not be written.
    bool write(const char* data, std::size_t size);
    // Flushes, closes and renames over the target.  False (with error())
    // when any step fails; the target is then untouched.
    bool commit();
    // The system's reason for the last failure.
    const std::string& error() const { return m_error; }

private:
    void fail();

    std::string m_target;
    std::string m_temporary;
    std::string m_error;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace zx
