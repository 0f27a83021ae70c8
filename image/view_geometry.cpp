#include "image/view_geometry.h"

#include <algorithm>

Size fitSize(std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t imageWidth,
             std::int32_t imageHeight, bool allowEnlarge)
{
    if (imageWidth <= 0 || imageHeight <= 0 || boxWidth <= 0 || boxHeight <= 0)
        return { 0, 0 };
    double rw = static_cast<double>(boxWidth) / imageWidth;
    double rh = static_cast<double>(boxHeight) / imageHeight;
    if (rw >= 1 && rh >= 1 && !allowEnlarge)
        return { imageWidth, imageHeight };
    // 64-bit products: a 65,535-pixel box times a 65,535-pixel side overflows 32 bits.
    if (rw <= rh) {
        std::int64_t h = (imageWidth + static_cast<std::int64_t>(boxWidth) * imageHeight - 1)
                / imageWidth;
        return { boxWidth, static_cast<std::int32_t>(std::clamp<std::int64_t>(h, 1, boxHeight)) };
    }
    std::int64_t w = (imageHeight + static_cast<std::int64_t>(boxHeight) * imageWidth - 1)
            / imageHeight;
    return { static_cast<std::int32_t>(std::clamp<std::int64_t>(w, 1, boxWidth)), boxHeight };
}
