#pragma once

#include "image/palette.h"

#include <cstdint>
#include <vector>

// Equal-size conversion of a pixel array to 3-byte blue, green, red pixels: 3-byte rows are
// copied, 1-byte indices are looked up in palette. False for a 1-byte source without a palette.
bool convertToTrueColour(const std::uint8_t *source, std::int32_t width, std::int32_t height,
                         std::int32_t sourceRowPad, int sourceBytesPerPixel,
                         const ImagePalette *palette, std::uint8_t *destination,
                         std::int32_t destinationRowPad);

// The tent-filter weights of one axis: output sample i is made of sources first[i] ... last[i]
// with the percent weights weights[i * taps ...], which total 100.
struct ResampleTable
{
    std::int32_t taps = 0;
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> last;
    std::vector<std::uint16_t> weights;
};

// Builds the table for sourceCount samples to outputCount samples (both at least 1). False when
// memory is short or a count is below 1.
bool buildResampleTable(std::int32_t sourceCount, std::int32_t outputCount, ResampleTable &table);

// Resizes a 3-byte or 1-byte (indexed, palette needed) pixel array into a 3-byte one with tent
// filtering; equal sizes convert without filtering. False when a size is below 1, a 1-byte source
// has no palette or memory is short.
bool resampleToTrueColour(const std::uint8_t *source, std::int32_t sourceWidth,
                          std::int32_t sourceHeight, std::int32_t sourceRowPad,
                          int sourceBytesPerPixel, const ImagePalette *palette,
                          std::uint8_t *destination, std::int32_t destinationWidth,
                          std::int32_t destinationHeight, std::int32_t destinationRowPad);

// The same for 8-bit planes such as an alpha plane.
bool resamplePlane(const std::uint8_t *source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   std::int32_t sourceRowPad, std::uint8_t *destination,
                   std::int32_t destinationWidth, std::int32_t destinationHeight,
                   std::int32_t destinationRowPad);

// The single pass that filters both axes at once, used when the intermediate of the two-pass
// form cannot be allocated; exposed so that both forms can be compared.
bool resampleToTrueColourSinglePass(const std::uint8_t *source, std::int32_t sourceWidth,
                                    std::int32_t sourceHeight, std::int32_t sourceRowPad,
                                    int sourceBytesPerPixel, const ImagePalette *palette,
                                    std::uint8_t *destination, std::int32_t destinationWidth,
                                    std::int32_t destinationHeight, std::int32_t destinationRowPad);

// Turns 1-byte indices of an area into 3-byte pixels (blue, green, red when blueFirst, else red,
// green, blue). When transparentIndex lies within the palette's count and another entry has the
// same colour, that entry is first given the smallest red, green and blue values no other entry
// has, so the colour key stays unambiguous. transparentColour receives the key's RgbValue, or -1.
void expandIndexed(std::int32_t width, std::int32_t height, const std::uint8_t *source,
                   std::int32_t sourceRowPad, ImagePalette &palette, std::int32_t transparentIndex,
                   std::uint8_t *destination, std::int32_t destinationRowPad, bool blueFirst,
                   RgbValue &transparentColour);
