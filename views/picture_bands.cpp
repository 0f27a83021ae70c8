#include "views/picture_bands.h"

#include "image/render.h"
#include "image/view_buffer.h"
#include "views/present_view_buffer.h"

#include <algorithm>
#include <cstring>

namespace {

void fillBand(ViewBuffer &store, std::int32_t rows, RgbValue colour)
{
    const std::uint8_t bgr[3] = { BlueOf(colour), GreenOf(colour), RedOf(colour) };
    std::uint8_t *first = store.pixels;
    for (std::int32_t x = 0; x < store.width; ++x)
        std::memcpy(first + std::size_t(x) * 3, bgr, 3);
    for (std::int32_t y = 1; y < rows; ++y)
        std::memcpy(first + std::size_t(y) * store.stride(), first, store.stride());
}

} // namespace

Rect PictureRectInWindow(Size zoomed, std::int32_t offsetX, std::int32_t offsetY, Size client)
{
    Rect r{ 0, 0, client.width, client.height };
    if (zoomed.width < client.width) {
        r.left = -offsetX;
        r.right = -offsetX + zoomed.width;
    }
    if (zoomed.height < client.height) {
        r.top = -offsetY;
        r.bottom = -offsetY + zoomed.height;
    }
    return r;
}

bool PaintPictureInBands(QPainter &painter, const Rect &pictureRect, const BandedPicture &picture,
                         const BandStyle &style)
{
    if (pictureRect.isEmpty())
        return true;
    std::optional<ViewBuffer> store = makeViewBuffer(pictureRect.width(), pictureRect.height(),
                                                     true, false, style.byteLimit);
    if (!store)
        return false;
    const std::int32_t rowPad = store->width - pictureRect.width();
    RenderOptions options;
    options.viewClip = picture.imageInView;
    options.viewSize = picture.zoomed;
    options.orientation = picture.orientation;
    options.frameX = picture.frameX;
    options.frameY = picture.frameY;
    options.canvasSize = picture.canvas;
    for (std::int32_t top = pictureRect.top; top < pictureRect.bottom; top += store->height) {
        const std::int32_t bottom = std::min(top + store->height, pictureRect.bottom);
        const Rect band{ pictureRect.left, top, pictureRect.right, bottom };
        fillBand(*store, band.height(), style.background);
        const Rect inPicture{ band.left + picture.offsetX, band.top + picture.offsetY,
                              band.right + picture.offsetX, band.bottom + picture.offsetY };
        if (picture.image)
            renderImage(*picture.image, inPicture, store->pixels, rowPad, options);
        if (!presentViewBuffer(painter, band, store->pixels, rowPad, style.colourMode,
                               style.background, style.keepBackground))
            return false;
    }
    return true;
}
