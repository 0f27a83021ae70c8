#include "common/safe_file.h"

#include "common/alb_exception.h"
#include "common/file_descriptor.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// The new entry survives a power cut only once its folder is on the disk too. A file system that
// cannot flush a folder (EINVAL) keeps its entries by other means.
int syncFolder(const std::string &folder)
{
    const FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.valid() || ::fsync(fd.get()) == 0 || errno == EINVAL)
        return 0;
    return errno;
}

bool writeFully(int fd, const char *bytes, std::size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t done = at < 0 ? ::write(fd, bytes, size) : ::pwrite(fd, bytes, size, at);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            errno = done < 0 ? errno : ENOSPC;
            return false;
        }
        bytes += done;
        size -= static_cast<std::size_t>(done);
        if (at >= 0)
            at += done;
    }
    return true;
}

} // namespace

SafeFile::SafeFile(std::string hostPath, std::string displayPath, Existing whenExisting)
    : target(std::move(hostPath)), shownPath(std::move(displayPath)), existing(whenExisting)
{
    const std::optional<unsigned> mode = settleTarget();
    std::string pattern = hostFolder(target) + "/.vistrel-write-XXXXXX";
    fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        ThrowFileError(errno, shownPath);
    temporary = pattern;
    // mkostemp creates the file for the owner only: a replaced file keeps its permissions, a new
    // one gets the usual ones.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, mode ? *mode : 0666 & ~mask);
    buffer.reserve(kBufferSize);
}

SafeFile::~SafeFile()
{
    discard();
}

// Follows a symbolic link to the file it names and refuses what must not be replaced. Returns
// the permissions of the file that is there, if one is.
std::optional<unsigned> SafeFile::settleTarget()
{
    struct stat facts
    { };

    if (::lstat(target.c_str(), &facts) != 0) {
        if (errno != ENOENT)
            ThrowFileError(errno, shownPath);
        return std::nullopt;
    }
    if (existing == Existing::Keep)
        ThrowFileError(EEXIST, shownPath);
    if (S_ISLNK(facts.st_mode)) {
        char *resolved = ::realpath(target.c_str(), nullptr);
        if (!resolved)
            ThrowFileError(errno, shownPath);
        target = resolved;
        std::free(resolved);
        if (::stat(target.c_str(), &facts) != 0)
            ThrowFileError(errno, shownPath);
    }
    if (S_ISDIR(facts.st_mode))
        ThrowFileError(EISDIR, shownPath);
    // A device or a pipe would become a regular file, and the thing it was would be gone.
    if (!S_ISREG(facts.st_mode))
        ThrowFileError(EINVAL, shownPath);
    // A file that nobody may write was made read-only on purpose, which binds the super-user too.
    if ((facts.st_mode & 0222) == 0)
        ThrowFileError(EACCES, shownPath);
    if (::access(target.c_str(), W_OK) != 0)
        ThrowFileError(errno, shownPath);
    inPlace = facts.st_nlink > 1;
    return facts.st_mode & 07777;
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
    if (!writeFully(fd, static_cast<const char *>(data), size, -1))
        ThrowFileError(errno, shownPath);
    written += size;
}

void SafeFile::commit()
{
    if (fd < 0)
        ThrowFileError(EBADF, shownPath);
    flushBuffer();
    // The data reaches the disk before the name does: after a power cut the target holds the
    // old file or the whole new one, never an empty one.
    if (::fdatasync(fd) != 0)
        fail(errno);
    if (inPlace)
        copyOverTarget();
    else
        renameOverTarget();
    discard();
    if (const int error = syncFolder(hostFolder(target)); error != 0)
        ThrowFileError(error, shownPath);
}

void SafeFile::renameOverTarget()
{
    const int descriptor = fd;
    fd = -1;
    if (::close(descriptor) != 0)
        fail(errno);
    if (existing == Existing::Replace) {
        if (::rename(temporary.c_str(), target.c_str()) != 0)
            fail(errno);
        temporary.clear();
        return;
    }
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
        // A file system without the no-replace rename: a new link fails on an existing name too.
        if ((errno != EINVAL && errno != ENOSYS) || ::link(temporary.c_str(), target.c_str()) != 0)
            fail(errno);
        return;
    }
    temporary.clear();
}

// The complete new file is copied over the old one, whose room is reserved first: a full disk
// shows before the first byte of the old file changes.
void SafeFile::copyOverTarget()
{
    const FileDescriptor out(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (!out.valid())
        fail(errno);
    const auto size = static_cast<off_t>(written);
    if (::fallocate(out.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        fail(errno);
    buffer.resize(kBufferSize);
    for (off_t at = 0; at < size;) {
        const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            fail(got < 0 ? errno : EIO);
        if (!writeFully(out.get(), buffer.data(), static_cast<std::size_t>(got), at))
            fail(errno);
        at += got;
    }
    if (::ftruncate(out.get(), size) != 0 || ::fdatasync(out.get()) != 0)
        fail(errno);
}

void SafeFile::fail(int error)
{
    discard();
    ThrowFileError(error, shownPath);
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
