#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// Writes a file safely: the bytes go to a temporary file in the target's folder, which replaces
// the target only when commit() succeeds. Without a commit (a failure, an exception) the
// temporary file is removed and any earlier file at the target stays as it was. The commit is
// durable: the data reaches the disk before the rename, and the folder's new entry after it.
//
// What is already at the target decides how it is written:
// - nothing: the file is made with the usual permissions;
// - a regular file the user may write: it is replaced and keeps its permissions; one with other
//   names (hard links) is rewritten in place once the new bytes are complete and their room on
//   the disk is reserved, so that every name sees the new file;
// - a symbolic link: its target is written as above and the link stays;
// - a file nobody may write, or the user may not write: refused (EACCES);
// - a folder (EISDIR) or anything that is not a regular file (EINVAL), a dangling or looping link:
//   refused, untouched.
// Errors throw the file exception with the target's path as the caller gave it.
class SafeFile
{
public:
    // What becomes of a file that is already at the target.
    enum class Existing {
        Replace,
        // The write fails with EEXIST, also when another program makes the file meanwhile.
        Keep,
    };

    // displayPath is the path shown in errors; hostPath is where the file goes.
    SafeFile(std::string hostPath, std::string displayPath, Existing existing = Existing::Replace);
    ~SafeFile();
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    void write(const void *data, std::size_t size);
    // Flushes the temporary file to the disk and puts it in the target's place.
    void commit();

private:
    std::optional<unsigned> settleTarget();
    void flushBuffer();
    void writeAll(const void *data, std::size_t size);
    void renameOverTarget();
    void copyOverTarget();
    [[noreturn]] void fail(int error);
    void discard() noexcept;

    // Where the bytes go: a link's target, not the link.
    std::string target;
    std::string shownPath;
    std::string temporary;
    int fd = -1;
    std::string buffer;
    std::uint64_t written = 0;
    Existing existing;
    // The target has other names that must go on seeing it.
    bool inPlace = false;
};
