#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A fresh folder for one test, removed with everything in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const { return root; }
    std::string file(const std::string &name) const { return (root / name).string(); }
    // Names in the folder, sorted.
    std::vector<std::string> names() const;

private:
    std::filesystem::path root;
};

std::vector<std::uint8_t> ReadBytes(const std::string &path);
void WriteBytes(const std::string &path, const std::vector<std::uint8_t> &bytes);
