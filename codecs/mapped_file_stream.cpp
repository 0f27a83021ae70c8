#include "codecs/mapped_file_stream.h"

#include "common/alb_exception.h"
#include "common/host_path.h"
#include "common/string_ids.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MappedFileStream::~MappedFileStream()
{
    MappedFileStream::close();
}

void MappedFileStream::open(const std::string &path)
{
    if (path.empty())
        ThrowAlb(Msg::InvalidParameter);
    close();
    filePath = path;
    std::string host = HostPath(path);
    struct stat facts {};
    if (::stat(host.c_str(), &facts) != 0)
        ThrowFileError(errno, path);
    if (S_ISDIR(facts.st_mode))
        ThrowFileError(EISDIR, path);
    // O_NONBLOCK: a FIFO renamed to look like a picture must not hang the album.
    fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        ThrowFileError(errno, path);
    if (::fstat(fd, &facts) != 0 || !S_ISREG(facts.st_mode)) {
        int error = S_ISREG(facts.st_mode) ? errno : EINVAL;
        close();
        ThrowFileError(error, path);
    }
    if (facts.st_size == 0) {
        close();
        ThrowAlb(Msg::InvalidFormat);
    }
    void *mapped = ::mmap(nullptr, static_cast<std::size_t>(facts.st_size), PROT_READ, MAP_PRIVATE,
                          fd, 0);
    if (mapped == MAP_FAILED) {
        int error = errno;
        close();
        ThrowFileError(error, path);
    }
    view = mapped;
    viewSize = facts.st_size;
    attach(static_cast<const std::uint8_t *>(view), viewSize);
}

void MappedFileStream::close()
{
    ImageStream::close();
    if (view)
        ::munmap(view, static_cast<std::size_t>(viewSize));
    view = nullptr;
    viewSize = 0;
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}
