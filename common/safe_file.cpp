#include "common/safe_file.h"

#include "common/alb_exception.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

// The folder part of a host path, for the temporary file: it must be on the same file system as
// the target so that the final rename is atomic.
std::string hostFolder(const std::string &path)
{
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

SafeFile::SafeFile(std::string hostPath, std::string displayPath)
    : target(std::move(hostPath)), shownPath(std::move(displayPath))
{
    struct stat facts {};
    bool exists = ::stat(target.c_str(), &facts) == 0;
    if (exists && S_ISDIR(facts.st_mode))
        ThrowFileError(EISDIR, shownPath);
    std::string pattern = hostFolder(target) + "/.vistrel-write-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        ThrowFileError(errno, shownPath);
    temporary = pattern;
    // mkostemp creates the file for the owner only: a replaced file keeps its permissions, a new
    // one gets the usual ones.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, exists ? facts.st_mode & 07777 : 0666 & ~mask);
    buffer.reserve(kBufferSize);
}

SafeFile::~SafeFile()
{
    discard();
}

void SafeFile::write(const void *data, std::size_t size)
{
    if (fd < 0)
        ThrowFileError(EBADF, shownPath);
    if (buffer.size() + size > kBufferSize)
        flushBuffer();
    if (size >= kBufferSize)
        writeAll(data, size);
    else
        buffer.append(static_cast<const char *>(data), size);
}

void SafeFile::flushBuffer()
{
    writeAll(buffer.data(), buffer.size());
    buffer.clear();
}

void SafeFile::writeAll(const void *data, std::size_t size)
{
    const char *p = static_cast<const char *>(data);
    std::size_t left = size;
    while (left > 0) {
        ssize_t written = ::write(fd, p, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            ThrowFileError(written < 0 ? errno : ENOSPC, shownPath);
        p += written;
        left -= static_cast<std::size_t>(written);
    }
}

void SafeFile::commit()
{
    flushBuffer();
    int descriptor = fd;
    fd = -1;
    if (::close(descriptor) != 0) {
        int error = errno;
        discard();
        ThrowFileError(error, shownPath);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        int error = errno;
        discard();
        ThrowFileError(error, shownPath);
    }
    temporary.clear();
}

void SafeFile::discard() noexcept
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
    if (!temporary.empty())
        ::unlink(temporary.c_str());
    temporary.clear();
}
