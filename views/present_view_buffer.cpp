#include "views/present_view_buffer.h"

#include "image/screen_reduction.h"
#include "image/view_buffer.h"

#include <QImage>
#include <QPainter>

namespace {

constexpr std::int32_t kFirstHalftoneMode = 4;

} // namespace

bool presentViewBuffer(QPainter &target, const Rect &area, std::uint8_t *pixels,
                       std::int32_t rowPad, std::int32_t mode, RgbValue key, bool useKey,
                       ImagePalette *palette, double pixelRatio)
{
    if (area == Rect{} || area.isEmpty())
        return true;
    if (!target.isActive() || !pixels || rowPad < 0)
        return false;

    ImagePalette own;
    own.count = ImagePalette::kMaxEntries;
    ImagePalette *record = palette;
    if (!record && mode >= kFirstHalftoneMode)
        record = &own;
    reduceForScreen(area, pixels, rowPad, mode, key, useKey, record);

    const qsizetype stride = static_cast<qsizetype>(area.width() + rowPad) * 3;
    QImage image(pixels, area.width(), area.height(), stride, QImage::Format_BGR888);
    if (image.isNull())
        return false;
    target.save();
    target.setCompositionMode(QPainter::CompositionMode_Source);
    image.setDevicePixelRatio(pixelRatio);
    target.drawImage(QPointF(area.left / pixelRatio, area.top / pixelRatio), image);
    target.restore();
    return true;
}

bool presentViewBuffer(QPainter &target, const Rect &area, ViewBuffer &buffer, std::int32_t mode,
                       RgbValue key, bool useKey, ImagePalette *palette)
{
    if (area == Rect{} || area.isEmpty())
        return true;
    if (buffer.bottomUp || area.width() > buffer.width || area.height() > buffer.height)
        return false;
    return presentViewBuffer(target, area, buffer.pixels, buffer.width - area.width(), mode, key,
                             useKey, palette);
}
