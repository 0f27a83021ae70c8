#include "codecs/interleaved_rows.h"

#include <cstring>
#include <vector>

namespace {

std::uint8_t over(std::uint8_t colour, std::uint8_t background, unsigned alpha)
{
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

template <int Channels, bool RedFirst>
void copyRow(const std::uint8_t *in, const std::int32_t *columns, std::int32_t count,
             std::uint8_t *out, const std::uint8_t back[3])
{
    for (std::int32_t x = 0; x < count; ++x, out += 3) {
        const std::uint8_t *p = in + static_cast<std::size_t>(columns[x]) * Channels;
        const std::uint8_t blue = RedFirst ? p[2] : p[0];
        const std::uint8_t red = RedFirst ? p[0] : p[2];
        if constexpr (Channels == 4) {
            const unsigned alpha = p[3];
            out[0] = over(blue, back[0], alpha);
            out[1] = over(p[1], back[1], alpha);
            out[2] = over(red, back[2], alpha);
        } else {
            out[0] = blue;
            out[1] = p[1];
            out[2] = red;
        }
    }
}

using RowCopy = void (*)(const std::uint8_t *, const std::int32_t *, std::int32_t, std::uint8_t *,
                         const std::uint8_t[3]);

RowCopy rowCopyFor(const InterleavedPixels &frame)
{
    if (frame.channels == 4)
        return frame.redFirst ? copyRow<4, true> : copyRow<4, false>;
    return frame.redFirst ? copyRow<3, true> : copyRow<3, false>;
}

} // namespace

void CopyIntoTarget(const InterleavedPixels &frame, const FrameSelection &selection,
                    ImageBuffer &target, RgbValue background)
{
    if (selection.isEmpty() || !target.pixels || !frame.data)
        return;
    const std::size_t targetStride = target.stride();
    const std::vector<std::int32_t> columns = selection.columnMap();
    const std::uint8_t back[3] = { BlueOf(background), GreenOf(background), RedOf(background) };
    const RowCopy copy = rowCopyFor(frame);
    const std::size_t rowBytes = static_cast<std::size_t>(selection.targetWidth()) * 3;
    std::int32_t previous = -1;
    for (std::int32_t r = 0; r < selection.targetHeight(); ++r) {
        std::uint8_t *out = target.row(r);
        const std::int32_t row = selection.frameRow(r);
        if (row == previous) {
            std::memcpy(out, out - targetStride, rowBytes);
            continue;
        }
        copy(frame.data + static_cast<std::size_t>(row) * frame.stride, columns.data(),
             selection.targetWidth(), out, back);
        previous = row;
    }
}
