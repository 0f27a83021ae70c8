#pragma once

#include "image/palette.h"

#include <cstdint>

// Equal-size conversion of a pixel array to 3-byte blue, green, red pixels: 3-byte rows are
// copied, 1-byte indices are looked up in palette. False for a 1-byte source without a palette.
bool convertToTrueColour(const std::uint8_t *source, std::int32_t width, std::int32_t height,
                         std::int32_t sourceRowPad, int sourceBytesPerPixel,
                         const ImagePalette *palette, std::uint8_t *destination,
                         std::int32_t destinationRowPad);
