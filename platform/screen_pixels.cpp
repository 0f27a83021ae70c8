#include "platform/screen_pixels.h"

#include <bit>
#include <cstring>

namespace {

// Widens an n-bit value to 8 bits by repeating its bits: 5-bit abcde becomes abcdeabc. Full
// intensity stays 255 and black stays 0, which plain shifting would not give.
std::uint8_t RepeatBits(std::uint32_t value, int bits)
{
    std::uint32_t out = 0;
    int filled = 0;
    while (filled < 8) {
        out = (out << bits) | value;
        filled += bits;
    }
    return static_cast<std::uint8_t>(out >> (filled - 8));
}

} // namespace

std::optional<ScreenRowConverter::Channel>
ScreenRowConverter::MakeChannel(std::uint32_t mask, const ScreenPixelFormat &format)
{
    const std::uint64_t pixelBits = std::uint64_t{ 1 } << format.bitsPerPixel;
    if (mask == 0 || mask >= pixelBits)
        return std::nullopt;
    int shift = std::countr_zero(mask);
    int bits = std::popcount(mask);
    if ((mask >> shift) != (std::uint32_t{ 1 } << bits) - 1) // not one run of bits
        return std::nullopt;
    if (bits > 8) {
        shift += bits - 8;
        bits = 8;
    }
    Channel channel;
    channel.shift = shift;
    channel.mask = (std::uint32_t{ 1 } << bits) - 1;
    for (std::uint32_t v = 0; v <= channel.mask; ++v)
        channel.widened[v] = RepeatBits(v, bits);
    if (bits == 8 && shift % 8 == 0) {
        const int lowByte = shift / 8;
        channel.byteIndex = format.msbFirst ? format.bitsPerPixel / 8 - 1 - lowByte : lowByte;
    }
    return channel;
}

std::optional<ScreenRowConverter> ScreenRowConverter::For(const ScreenPixelFormat &format)
{
    if (format.bitsPerPixel != 8 && format.bitsPerPixel != 16 && format.bitsPerPixel != 24
        && format.bitsPerPixel != 32)
        return std::nullopt;
    if ((format.redMask & format.greenMask) || (format.redMask & format.blueMask)
        || (format.greenMask & format.blueMask))
        return std::nullopt;
    auto blue = MakeChannel(format.blueMask, format);
    auto green = MakeChannel(format.greenMask, format);
    auto red = MakeChannel(format.redMask, format);
    if (!blue || !green || !red)
        return std::nullopt;
    ScreenRowConverter converter;
    converter.bytesPerPixel = format.bitsPerPixel / 8;
    converter.msbFirst = format.msbFirst;
    converter.blue = *blue;
    converter.green = *green;
    converter.red = *red;
    // A channel narrowed from more than 8 bits is not byte-aligned in general; the check above
    // only marks exact 8-bit bytes.
    converter.byteAligned = blue->byteIndex >= 0 && green->byteIndex >= 0 && red->byteIndex >= 0
            && format.bitsPerPixel > 16;
    return converter;
}

ScreenRowConverter ScreenRowConverter::ForPalette(const BgrPalette &colours)
{
    ScreenRowConverter converter;
    converter.bytesPerPixel = 1;
    converter.indexed = true;
    converter.palette = colours;
    return converter;
}

void ScreenRowConverter::convert(const std::uint8_t *source, std::uint8_t *target,
                                 std::int32_t width) const
{
    if (indexed) {
        for (std::int32_t x = 0; x < width; ++x, target += 3)
            std::memcpy(target, palette[source[x]].data(), 3);
    } else if (byteAligned) {
        convertBytes(source, target, width);
    } else {
        convertBits(source, target, width);
    }
}

void ScreenRowConverter::convertBytes(const std::uint8_t *source, std::uint8_t *target,
                                      std::int32_t width) const
{
    if (width <= 0)
        return;
    if (bytesPerPixel == 4 && blue.byteIndex == 0 && green.byteIndex == 1 && red.byteIndex == 2) {
        // The usual screen: blue, green, red, unused. Copying 4 bytes per pixel and advancing 3
        // overwrites each unused byte with the next pixel's blue; the last pixel is copied apart
        // so that nothing is written past the row. This runs at the speed of memory; packing
        // words by shifts measured no faster.
        for (std::int32_t x = 0; x + 1 < width; ++x)
            std::memcpy(target + 3 * x, source + 4 * x, 4);
        std::memcpy(target + 3 * (width - 1), source + 4 * (width - 1), 3);
        return;
    }
    for (std::int32_t x = 0; x < width; ++x, source += bytesPerPixel, target += 3) {
        target[0] = source[blue.byteIndex];
        target[1] = source[green.byteIndex];
        target[2] = source[red.byteIndex];
    }
}

std::uint32_t ScreenRowConverter::pixelAt(const std::uint8_t *p) const
{
    std::uint32_t value = 0;
    if (msbFirst) {
        for (int i = 0; i < bytesPerPixel; ++i)
            value = (value << 8) | p[i];
    } else {
        for (int i = bytesPerPixel - 1; i >= 0; --i)
            value = (value << 8) | p[i];
    }
    return value;
}

void ScreenRowConverter::convertBits(const std::uint8_t *source, std::uint8_t *target,
                                     std::int32_t width) const
{
    for (std::int32_t x = 0; x < width; ++x, source += bytesPerPixel, target += 3) {
        const std::uint32_t pixel = pixelAt(source);
        target[0] = blue.widened[(pixel >> blue.shift) & blue.mask];
        target[1] = green.widened[(pixel >> green.shift) & green.mask];
        target[2] = red.widened[(pixel >> red.shift) & red.mask];
    }
}
