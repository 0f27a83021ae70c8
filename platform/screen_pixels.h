#pragma once

#include <array>
#include <cstdint>
#include <optional>

// How the X server lays out the pixels of a screen image (ZPixmap): bits per pixel, byte order of
// a pixel, and which bits of the pixel value hold each colour.
struct ScreenPixelFormat
{
    int bitsPerPixel = 0;
    bool msbFirst = false;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
};

// Blue, green, red of each value of an 8-bit palette pixel.
using BgrPalette = std::array<std::array<std::uint8_t, 3>, 256>;

// Turns rows of the server's pixels into blue-green-red bytes. Pixels of 8, 16, 24 or 32 bits with
// contiguous colour masks are understood, and 8-bit pixels that index a palette. Channels narrower than 8 bits are widened by repeating
// their bits (5-bit 31 becomes 255, not 248), so full intensity stays full; wider ones keep their
// top 8 bits.
class ScreenRowConverter
{
public:
    // Nothing for a layout the converter cannot read.
    static std::optional<ScreenRowConverter> For(const ScreenPixelFormat &format);
    // For 8-bit pixels looked up in colours.
    static ScreenRowConverter ForPalette(const BgrPalette &colours);

    // Converts width pixels from source (the server's row) to 3 bytes each at target.
    void convert(const std::uint8_t *source, std::uint8_t *target, std::int32_t width) const;

private:
    struct Channel
    {
        int shift = 0; // of the channel's top 8 (or fewer) bits
        std::uint32_t mask = 0; // after the shift
        std::array<std::uint8_t, 256> widened{};
        int byteIndex = -1; // where an 8-bit byte-aligned channel sits in the pixel, else -1
    };

    ScreenRowConverter() = default;
    static std::optional<Channel> MakeChannel(std::uint32_t mask, const ScreenPixelFormat &format);
    void convertBytes(const std::uint8_t *source, std::uint8_t *target, std::int32_t width) const;
    void convertBits(const std::uint8_t *source, std::uint8_t *target, std::int32_t width) const;
    std::uint32_t pixelAt(const std::uint8_t *p) const;

    int bytesPerPixel = 0;
    bool msbFirst = false;
    bool byteAligned = false;
    bool indexed = false;
    BgrPalette palette{};
    Channel blue;
    Channel green;
    Channel red;
};
