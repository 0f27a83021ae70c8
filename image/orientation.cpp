#include "image/orientation.h"

#include <cstring>
#include <utility>

namespace {

// One line of the upright picture read from the stored one: the first source pixel and the
// distance in bytes from each source pixel to the next.
struct SourceLine
{
    std::ptrdiff_t first = 0;
    std::ptrdiff_t step = 0;
};

template <int Bytes>
void copyLine(const std::uint8_t *source, const SourceLine &line, std::uint8_t *out,
              std::int32_t count)
{
    const std::uint8_t *in = source + line.first;
    for (std::int32_t i = 0; i < count; ++i, in += line.step, out += Bytes)
        std::memcpy(out, in, Bytes);
}

void copyLine(int bytes, const std::uint8_t *source, const SourceLine &line, std::uint8_t *out,
              std::int32_t count)
{
    if (bytes == 1)
        copyLine<1>(source, line, out, count);
    else
        copyLine<3>(source, line, out, count);
}

} // namespace

Orientation OrientationFromExif(unsigned exifValue)
{
    // Tag values 1 to 8: as stored, mirrored, upside down, flipped top to bottom, mirrored about
    // the main diagonal, turned right, mirrored about the other diagonal, turned left.
    static const Orientation upright[] = { 0, 4, 2, 6, 5, 1, 7, 3 };
    return exifValue >= 1 && exifValue <= 8 ? upright[exifValue - 1] : 0;
}

PictureTurn::PictureTurn(Orientation orientation, Size stored)
    : turn(((orientation % 8) + 8) % 8), storedSize(stored)
{ }

// Quarter turns clockwise carry stored (x, y) of a W x H picture to (H-1-y, x), (W-1-x, H-1-y)
// or (y, W-1-x); the mirror then reverses the columns of the turned picture.
PictureTurn::Point PictureTurn::uprightPoint(Point p) const
{
    const std::int32_t w = storedSize.width, h = storedSize.height;
    Point q = p;
    switch (turn % 4) {
    case 1:
        q = { h - 1 - p.y, p.x };
        break;
    case 2:
        q = { w - 1 - p.x, h - 1 - p.y };
        break;
    case 3:
        q = { p.y, w - 1 - p.x };
        break;
    default:
        break;
    }
    if (turn >= 4)
        q.x = upright(storedSize).width - 1 - q.x;
    return q;
}

PictureTurn::Point PictureTurn::storedPoint(Point p) const
{
    const std::int32_t w = storedSize.width, h = storedSize.height;
    if (turn >= 4)
        p.x = upright(storedSize).width - 1 - p.x;
    switch (turn % 4) {
    case 1:
        return { p.y, h - 1 - p.x };
    case 2:
        return { w - 1 - p.x, h - 1 - p.y };
    case 3:
        return { w - 1 - p.y, p.x };
    default:
        return p;
    }
}

Rect PictureTurn::uprightRect(const Rect &stored) const
{
    if (stored.isEmpty() || isIdentity())
        return stored;
    const Point a = uprightPoint({ stored.left, stored.top });
    const Point b = uprightPoint({ stored.right - 1, stored.bottom - 1 });
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
             std::max(a.y, b.y) + 1 };
}

Rect PictureTurn::storedRect(const Rect &upright) const
{
    if (upright.isEmpty() || isIdentity())
        return upright;
    const Point a = storedPoint({ upright.left, upright.top });
    const Point b = storedPoint({ upright.right - 1, upright.bottom - 1 });
    return { std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
             std::max(a.y, b.y) + 1 };
}

void TurnUpright(ImageBuffer &image, Orientation orientation)
{
    const PictureTurn turn(orientation, { image.width, image.height });
    if (turn.isIdentity() || !image.hasPixels())
        return;
    const Size size = turn.upright({ image.width, image.height });
    const std::int32_t rowPixels = size.width + RowPadFor(size.width);
    const int bytes = image.bytesPerPixel;
    ImageBuffer::Store pixels = ImageBuffer::allocateStore(rowPixels, size.height, bytes);
    ImageBuffer::Store alpha;
    if (image.alpha)
        alpha = ImageBuffer::allocateStore(rowPixels, size.height, 1);

    const auto stride = static_cast<std::ptrdiff_t>(image.stride());
    const auto alphaStride = static_cast<std::ptrdiff_t>(image.width + image.rowPad);
    for (std::int32_t y = 0; y < size.height; ++y) {
        // Neighbours on an upright row are neighbours on a stored row or column.
        const Rect first = turn.storedRect({ 0, y, 1, y + 1 });
        const Rect last = turn.storedRect({ size.width - 1, y, size.width, y + 1 });
        const std::ptrdiff_t dx = size.width > 1 ? (last.left - first.left) / (size.width - 1) : 0;
        const std::ptrdiff_t dy = size.width > 1 ? (last.top - first.top) / (size.width - 1) : 0;
        const std::size_t outRow = static_cast<std::size_t>(y) * rowPixels;
        copyLine(bytes, image.pixels,
                 { first.top * stride + first.left * bytes, dy * stride + dx * bytes },
                 pixels.get() + outRow * bytes, size.width);
        if (alpha)
            copyLine(1, image.alpha,
                     { first.top * alphaStride + first.left, dy * alphaStride + dx },
                     alpha.get() + outRow, size.width);
    }
    image.width = size.width;
    image.height = size.height;
    image.rowPad = RowPadFor(size.width);
    image.pixelStore = std::move(pixels);
    image.pixels = image.pixelStore.get();
    if (alpha) {
        image.alphaStore = std::move(alpha);
        image.alpha = image.alphaStore.get();
    }
}
