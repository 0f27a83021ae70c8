#pragma once

#include <cstdint>
#include <vector>

// Little-endian numbers appended to bytes being built, as the BMP, GIF and TIFF layouts store
// them.
inline void PutLittleEndian(std::vector<std::uint8_t> &out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline void Put16(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    PutLittleEndian(out, value, 2);
}

inline void Put32(std::vector<std::uint8_t> &out, std::uint32_t value)
{
    PutLittleEndian(out, value, 4);
}
