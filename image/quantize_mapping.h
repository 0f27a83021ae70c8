#pragma once

#include "image/quantize_nearest.h"

#include <cstddef>
#include <cstdint>

// What the mapping stage reads and writes. Strides are in bytes.
struct MappingArea
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint8_t *source = nullptr;
    std::ptrdiff_t sourceStride = 0;
    std::uint8_t *destination = nullptr;
    std::ptrdiff_t destinationStride = 0;
    bool indexOutput = true;
    // Pixels whose bytes equal key (in storage order) are written as transparentIndex, or as key
    // in colour form.
    bool hasKey = false;
    std::uint8_t key[3] = { 0, 0, 0 };
    std::int32_t transparentIndex = -1;
};

// Each pixel to its nearest palette entry, rows top to bottom, left to right. Reading a pixel
// precedes writing it, so the destination may be the source.
void MapNearest(const MappingArea &area, const AxisPalette &palette, NearestColourCache &cache);

// Floyd-Steinberg diffusion with limited errors, alternating the row direction. False, with
// nothing written, when its tables cannot be allocated.
bool MapDithered(const MappingArea &area, const AxisPalette &palette, NearestColourCache &cache);
