#include "thumbnails/thumbnail_fit.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/resample.h"
#include "image/view_geometry.h"

#include <algorithm>
#include <cstring>

namespace {

// Each target pixel takes the source pixel under its centre.
ImageBuffer pickPixels(const ImageBuffer &source, Size size)
{
    ImageBuffer target;
    target.create(size.width, size.height, 1, false);
    target.transparent = source.transparent;
    if (source.palette && target.palette)
        *target.palette = *source.palette;
    for (std::int32_t y = 0; y < size.height; ++y) {
        const std::int64_t sy = (std::int64_t{ y } * 2 + 1) * source.height / (2 * size.height);
        const std::uint8_t *from = source.row(static_cast<std::int32_t>(sy));
        std::uint8_t *to = target.row(y);
        for (std::int32_t x = 0; x < size.width; ++x)
            to[x] = from[(std::int64_t{ x } * 2 + 1) * source.width / (2 * size.width)];
    }
    return target;
}

ImageBuffer filter(const ImageBuffer &source, Size size)
{
    ImageBuffer target;
    target.create(size.width, size.height, 3, source.alpha != nullptr);
    if (!resampleToTrueColour(source.pixels, source.width, source.height, source.rowPad,
                              source.bytesPerPixel, source.palette, target.pixels, size.width,
                              size.height, target.rowPad))
        ThrowAlb(Msg::NotEnoughMemory);
    if (source.alpha
        && !resamplePlane(source.alpha, source.width, source.height, source.rowPad, target.alpha,
                          size.width, size.height, target.rowPad))
        ThrowAlb(Msg::NotEnoughMemory);
    return target;
}

} // namespace

ImageBuffer FitThumbnail(ImageBuffer image, Size box, Size picture)
{
    if (!image.hasPixels() || (image.width <= box.width && image.height <= box.height))
        return image;
    const Size shape =
            picture.width > 0 && picture.height > 0 ? picture : Size{ image.width, image.height };
    Size size = fitSize(box.width, box.height, shape.width, shape.height, false);
    size = { std::min(size.width, image.width), std::min(size.height, image.height) };
    if (image.bytesPerPixel == 1 && image.transparent >= 0)
        return pickPixels(image, size);
    return filter(image, size);
}
