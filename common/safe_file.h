#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes a file safely: the bytes go to a temporary file in the target's folder, which replaces
// the target only when commit() succeeds. Without a commit (a failure, an exception) the
// temporary file is removed and any earlier file at the target stays as it was.
// Errors throw the file exception with the target's path as the caller gave it.
class SafeFile
{
public:
    // displayPath is the path shown in errors; hostPath is where the file goes.
    SafeFile(std::string hostPath, std::string displayPath);
    ~SafeFile();
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    void write(const void *data, std::size_t size);
    // Flushes, closes and renames the temporary file over the target.
    void commit();

private:
    void flushBuffer();
    void writeAll(const void *data, std::size_t size);
    void discard() noexcept;

    std::string target;
    std::string shownPath;
    std::string temporary;
    int fd = -1;
    std::string buffer;
};
