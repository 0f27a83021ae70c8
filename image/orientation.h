#pragma once

#include "image/image_buffer.h"
#include "image/rect.h"

#include <cstdint>

// Orientation: value % 4 quarter turns clockwise, plus 4 when the turned picture is also mirrored
// left to right. Odd values swap width and height.
using Orientation = int;

// The orientation that makes a picture stored with the EXIF orientation tag value (1 to 8) stand
// upright; 0 (none) for any other value.
Orientation OrientationFromExif(unsigned exifValue);

// How a picture of the stored size is turned to stand upright, and how places map both ways.
class PictureTurn
{
public:
    PictureTurn(Orientation orientation, Size stored);

    Orientation orientation() const { return turn; }

    bool isIdentity() const { return turn == 0; }

    bool swapsSides() const { return turn % 2 != 0; }

    // A size as it is after (upright) and before (stored) the turn.
    Size upright(Size size) const { return swapsSides() ? Size{ size.height, size.width } : size; }

    Size storedOf(Size size) const { return upright(size); }

    // A rectangle of the stored picture where it lies in the upright one, and back.
    Rect uprightRect(const Rect &stored) const;
    Rect storedRect(const Rect &upright) const;

private:
    struct Point
    {
        std::int32_t x;
        std::int32_t y;
    };

    Point uprightPoint(Point stored) const;
    Point storedPoint(Point upright) const;

    Orientation turn;
    Size storedSize;
};

// Replaces image (1 or 3 bytes per pixel, with its alpha plane) by its upright version: turned by
// the orientation, with new stores. The palette and transparency stay. Throws 46040 when the new
// store cannot be had; image is then left as it was.
void TurnUpright(ImageBuffer &image, Orientation orientation);
