#pragma once

#include <cstdint>

// A colour: red in bits 0-7, green in 8-15, blue in 16-23. kNoColour (-1) where a transparent or
// background colour is optional and absent.
using RgbValue = std::int32_t;
inline constexpr RgbValue kNoColour = -1;

constexpr RgbValue MakeRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return static_cast<RgbValue>(red | (green << 8) | (blue << 16));
}
constexpr std::uint8_t RedOf(RgbValue c) { return static_cast<std::uint8_t>(c & 0xFF); }
constexpr std::uint8_t GreenOf(RgbValue c) { return static_cast<std::uint8_t>((c >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(RgbValue c) { return static_cast<std::uint8_t>((c >> 16) & 0xFF); }

struct PaletteEntry
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t flags = 0;

    bool sameColour(const PaletteEntry &o) const
    {
        return red == o.red && green == o.green && blue == o.blue;
    }
};

// A palette in the logical-palette layout: version word, count of valid entries, and always room
// for 256 entries (1,028 bytes in all). Entries past the count are zero unless a codec says
// otherwise, so an index beyond the count reads black.
struct ImagePalette
{
    static constexpr std::uint16_t kVersion = 0x300;
    static constexpr int kMaxEntries = 256;

    std::uint16_t version = kVersion;
    std::uint16_t count = 0;
    PaletteEntry entries[kMaxEntries] = {};
};

static_assert(sizeof(ImagePalette) == 1028, "palette layout is 4 + 256 x 4 bytes");
