#pragma once

#include "tests/support/small_file_system.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// The names a user sees in a folder: hidden entries (the filler, a writer's temporary file) left
// out, sorted.
inline std::vector<std::string> VisibleNames(const std::filesystem::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.front() != '.')
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Whether a writer's temporary file is left in folder.
inline bool HoldsTemporaryFile(const std::filesystem::path &folder)
{
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with(".vistrel-write-"))
            return true;
    }
    return false;
}

// A fixture Base whose test may mount a small file system over one of its folders; the test is
// skipped, with the reason, where this process cannot mount one.
template <typename Base>
class OnSmallFileSystem : public Base
{
protected:
    static constexpr std::size_t kDiskBytes = 64 << 10;

    void SetUp() override
    {
        if (!SmallFileSystem::Unavailable().empty())
            GTEST_SKIP() << "no private mount namespace for a small tmpfs here ("
                         << SmallFileSystem::Unavailable() << ")";
        Base::SetUp();
    }

    // Mounts a fresh small file system over folder (a host path), replacing an earlier one.
    void mountOver(const std::filesystem::path &folder)
    {
        disk.reset();
        disk.emplace(folder, kDiskBytes);
        ASSERT_TRUE(disk->ok()) << disk->error();
    }

    std::optional<SmallFileSystem> disk;
};
