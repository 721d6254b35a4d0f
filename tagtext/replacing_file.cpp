#include "tagtext/replacing_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zx {

ReplacingFile::ReplacingFile(std::string target, const RandomSource& random, WriteCall write)
    : m_target(std::move(target))
    , m_write(write ? std::move(write) : WriteCall(::write))
{
    if (m_target.empty()) {
        m_error = "no file name";
        return;
    }
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = m_target + ".zxtmp" + std::to_string(random() % 1000000u);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_error = std::strerror(errno);
        m_temporary.clear();
        return;
    }
    // A file replaced keeps its permissions: a results file its owner made
    // private stays private.
    struct stat old {};
    if (::lstat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(m_fd, old.st_mode & 07777);
}

ReplacingFile::~ReplacingFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temporary.empty())
        ::unlink(m_temporary.c_str());
}

void ReplacingFile::fail()
{
    m_error = std::strerror(errno);
}

bool ReplacingFile::write(const char* data, std::size_t size)
{
    if (m_fd < 0)
        return false;
    while (size > 0) {
        const ssize_t written = m_write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            fail();
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (m_fd < 0)
        return false;
    bool ok = ::fsync(m_fd) == 0;
    if (!ok)
        fail();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && ok) {
        fail();
        ok = false;
    }
    if (ok && ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        fail();
        ok = false;
    }
    if (ok) {
        // The rename itself reaches the disk with the folder.
        const std::size_t slash = m_target.find_last_of('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : m_target.substr(0, slash + 1);
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    m_committed = ok;
    return ok;
}

} // namespace zx
