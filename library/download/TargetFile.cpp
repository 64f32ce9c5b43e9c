#include "library/download/TargetFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr mode_t CreatedFileMode = 0666;  // narrowed by the user's umask
}

TargetFile::~TargetFile()
{
    Close();
}

bool TargetFile::Open(const std::string& path)
{
    Close();
    do {
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, CreatedFileMode);
    } while (m_fd < 0 && errno == EINTR);
    return m_fd >= 0;
}

bool TargetFile::Write(const char* data, size_t size)
{
    if (m_fd < 0)
        return false;
    while (size > 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;  // no progress: the device takes nothing more
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool TargetFile::Close()
{
    if (m_fd < 0)
        return true;
    const int fd = m_fd;
    m_fd = -1;
    // The descriptor is gone even when close reports an error; retrying could close another file.
    return ::close(fd) == 0;
}

void TargetFile::RemoveIfRegular(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() == std::filesystem::file_type::regular)
        std::filesystem::remove(path, error);
}
