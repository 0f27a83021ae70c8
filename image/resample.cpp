#include "image/resample.h"

#include <cstddef>
#include <cstring>

bool convertToTrueColour(const std::uint8_t *source, std::int32_t width, std::int32_t height,
                         std::int32_t sourceRowPad, int sourceBytesPerPixel,
                         const ImagePalette *palette, std::uint8_t *destination,
                         std::int32_t destinationRowPad)
{
    if (sourceBytesPerPixel == 1 && !palette)
        return false;
    std::size_t sourceStride = static_cast<std::size_t>(width + sourceRowPad) * sourceBytesPerPixel;
    std::size_t destinationStride = static_cast<std::size_t>(width + destinationRowPad) * 3;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t *in = source + y * sourceStride;
        std::uint8_t *out = destination + y * destinationStride;
        if (sourceBytesPerPixel == 3) {
            std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
            continue;
        }
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            const PaletteEntry &e = palette->entries[in[x]];
            out[0] = e.blue;
            out[1] = e.green;
            out[2] = e.red;
        }
    }
    return true;
}
