#include "codecs/mapped_file_stream.h"

#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/string_ids.h"

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kCopiedSize = 64 * 1024;

} // namespace

MappedFileStream::~MappedFileStream()
{
    MappedFileStream::close();
}

void MappedFileStream::open(const std::string &path)
{
    if (path.empty())
        ThrowAlb(Msg::InvalidParameter);
    close();
    lost = false;
    filePath = path;
    std::string host = HostPath(path);

    struct stat facts
    { };

    // O_NONBLOCK: a FIFO renamed to look like a picture must not hang the album. A folder opens
    // too, and is told by its facts.
    fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        ThrowFileError(errno, path);
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        int error = S_ISDIR(facts.st_mode) ? EISDIR : S_ISREG(facts.st_mode) ? errno : EINVAL;
        close();
        ThrowFileError(error, path);
    }
    if (facts.st_size == 0) {
        close();
        ThrowAlb(Msg::InvalidFormat);
    }
    // A small file is cheaper copied than mapped: the mapping's page faults and its unmapping,
    // which interrupts every other thread of the process, cost more than the copy. A folder of
    // small pictures reads thousands of them on opening.
    if (facts.st_size <= kCopiedSize) {
        copyFile(facts.st_size);
        return;
    }
    void *mapped =
            ::mmap(nullptr, static_cast<std::size_t>(facts.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
        int error = errno;
        close();
        ThrowFileError(error, path);
    }
    view = mapped;
    viewSize = facts.st_size;
    if (guard.watch(view, static_cast<std::size_t>(viewSize))) {
        attach(static_cast<const std::uint8_t *>(view), viewSize);
        return;
    }
    ::munmap(view, static_cast<std::size_t>(viewSize));
    view = nullptr;
    copyFile(facts.st_size);
}

// Reads the whole file into memory: a copy cannot fault. A file that is shorter than it was a
// moment ago has changed under the reader.
void MappedFileStream::copyFile(std::int64_t size)
{
    try {
        copy = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc &) {
        close();
        ThrowAlb(Msg::NotEnoughMemory);
    }
    for (std::int64_t at = 0; at < size;) {
        const ssize_t got = ::pread(fd, copy.get() + at, static_cast<std::size_t>(size - at), at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            const int error = got < 0 ? errno : 0;
            close();
            if (error != 0)
                ThrowFileError(error, filePath);
            ThrowAlb(Msg::InvalidFormat);
        }
        at += got;
    }
    attach(copy.get(), size);
}

void MappedFileStream::close()
{
    ImageStream::close();
    lost = lost || guard.faulted();
    guard.release();
    copy.reset();
    if (view)
        ::munmap(view, static_cast<std::size_t>(viewSize));
    view = nullptr;
    viewSize = 0;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
