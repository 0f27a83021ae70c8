#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// A small tmpfs mounted over a folder for one test, so that a write can meet a genuinely full or
// read-only file system. The test program that uses it enters a mount namespace of its own before
// main (as root, else as root of a user namespace of its own), so its mounts are seen by nobody
// else and vanish with it.
class SmallFileSystem
{
public:
    // Why no file system can be mounted in this process; empty when one can.
    static const std::string &Unavailable();

    // Mounts a tmpfs of about bytes (whole pages) over folder, which is created when missing.
    SmallFileSystem(const std::filesystem::path &folder, std::size_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    // False when the mount failed (the reason is in error()).
    bool ok() const { return mounted; }

    const std::string &error() const { return failure; }

    // Fills every free byte with a hidden filler file, which listings leave out.
    void fill();
    // Removes the filler again.
    void makeRoom();
    // Mounts the same file system read-only, or writable again; false when that failed.
    bool setReadOnly(bool on);

    // The name of the filler file inside the folder.
    static constexpr const char *kFillerName = ".filler";

private:
    std::filesystem::path where;
    std::string failure;
    bool mounted = false;
};
