#pragma once

#include <unistd.h>
#include <utility>

// Owns a file descriptor and closes it when it goes; moving hands the descriptor on.
class FileDescriptor
{
public:
    explicit FileDescriptor(int owned = -1) : fd(owned) { }

    ~FileDescriptor() { reset(); }

    FileDescriptor(FileDescriptor &&other) noexcept : fd(std::exchange(other.fd, -1)) { }

    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            reset();
            fd = std::exchange(other.fd, -1);
        }
        return *this;
    }

    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const { return fd; }

    bool valid() const { return fd >= 0; }

    // Gives up ownership: the caller closes what it gets.
    int release() { return std::exchange(fd, -1); }

    void reset()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

private:
    int fd;
};
