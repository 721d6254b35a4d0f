// Writing a file so that an earlier file of that name is never lost: the
// bytes go to a temporary file in the same folder, which replaces the
// target in one rename once everything is written and flushed.
#pragma once

#include "tagtext/stored_file.h" // RandomSource

#include <cstddef>
#include <functional>
#include <string>

#include <sys/types.h>

namespace zx {

// The system's write(2), or a stand-in that fails as a full disk does.
using WriteCall = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

class ReplacingFile {
public:
    // Creates the temporary file beside `target`; see isOpen().  `write`
    // replaces the system's write(2) (tests give a failing one).
    ReplacingFile(std::string target, const RandomSource& random, WriteCall write = {});
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
    WriteCall m_write;
    int m_fd = -1;
    bool m_committed = false;
};

} // namespace zx
