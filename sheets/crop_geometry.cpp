#include "sheets/crop_geometry.h"

#include <algorithm>

CropBox LimitCropBox(const CropBox &box, Size picture)
{
    const std::int32_t w = std::max(picture.width, 0);
    const std::int32_t h = std::max(picture.height, 0);
    CropBox out;
    out.x = std::clamp(box.x, 0, w);
    out.y = std::clamp(box.y, 0, h);
    out.width = std::clamp(box.width, 0, w - out.x);
    out.height = std::clamp(box.height, 0, h - out.y);
    return out;
}
