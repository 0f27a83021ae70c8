#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// SHA-256, enough for comparing decoded pictures with checksums kept in manifests.
class Sha256
{
public:
    Sha256();

    void update(const void *data, std::size_t size);
    // The digest as 64 lowercase hex digits. Ends the hashing: call once.
    std::string hexDigest();

private:
    void compress(const std::uint8_t *block);

    std::array<std::uint32_t, 8> state;
    std::array<std::uint8_t, 64> pending{};
    std::size_t pendingSize = 0;
    std::uint64_t totalBytes = 0;
};

std::string Sha256Hex(const void *data, std::size_t size);
std::string Sha256Hex(const std::vector<std::uint8_t> &bytes);
