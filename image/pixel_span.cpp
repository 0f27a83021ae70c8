#include "image/pixel_span.h"

PixelSpan PixelSpan::Padded(const std::uint8_t *pixels, std::int32_t width, std::int32_t height,
                            std::int32_t rowPad, std::int32_t bytesPerPixel,
                            const ImagePalette *palette)
{
    const auto stride =
            static_cast<std::size_t>(width + rowPad) * static_cast<std::size_t>(bytesPerPixel);
    return PixelSpan{ pixels, width, height, stride, bytesPerPixel, palette };
}

std::int32_t PixelSpan::rowPad() const
{
    return bytesPerPixel > 0
            ? static_cast<std::int32_t>(stride / static_cast<std::size_t>(bytesPerPixel)) - width
            : 0;
}

PixelSpan PixelSpan::cropped(const Rect &rect) const
{
    PixelSpan part = *this;
    const Rect inside = rect.intersected(Rect{ 0, 0, width, height });
    if (inside.isEmpty()) {
        part.width = part.height = 0;
        return part;
    }
    part.pixels = row(inside.top)
            + static_cast<std::size_t>(inside.left) * static_cast<std::size_t>(bytesPerPixel);
    part.width = inside.width();
    part.height = inside.height();
    return part;
}
