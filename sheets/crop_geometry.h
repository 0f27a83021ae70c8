#pragma once

#include "image/rect.h"

#include <cstdint>

// The crop rectangle as the Crop page holds it, in picture pixels.
struct CropBox
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool operator==(const CropBox &) const = default;

    bool isEmpty() const { return width == 0 || height == 0; }
};

// Limits a crop box to a picture: the corner inside the picture, the size to what is left of it.
CropBox LimitCropBox(const CropBox &box, Size picture);
