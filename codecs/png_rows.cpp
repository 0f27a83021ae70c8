#include "codecs/png_rows.h"

#include <cstring>

namespace {

std::uint8_t *targetRow(const PngRowRead &read, std::int32_t r)
{
    return read.targetPixels + static_cast<std::size_t>(r) * read.targetStride;
}

// c over b at opacity a, rounded to the nearest level.
std::uint8_t blend(unsigned c, unsigned b, unsigned a)
{
    return static_cast<std::uint8_t>((c * a + b * (255 - a) + 127) / 255);
}

// The picked columns of a file row into a target row, 4-byte pixels laid over the background.
void convertRow(const PngRowRead &read, const std::uint8_t *in, std::uint8_t *out)
{
    const std::int32_t width = read.selection->targetWidth();
    if (read.outputBytes == 4) {
        const unsigned back[3] = { BlueOf(read.background), GreenOf(read.background),
                                   RedOf(read.background) };
        for (std::int32_t x = 0; x < width; ++x, out += 3) {
            const std::uint8_t *p = in + static_cast<std::size_t>(read.columns[x]) * 4;
            for (int k = 0; k < 3; ++k)
                out[k] = blend(p[k], back[k], p[3]);
        }
        return;
    }
    const auto bytes = static_cast<std::size_t>(read.outputBytes);
    for (std::int32_t x = 0; x < width; ++x)
        std::memcpy(out + static_cast<std::size_t>(x) * bytes,
                    in + static_cast<std::size_t>(read.columns[x]) * bytes, bytes);
}

// Rows arrive in order once: each is read where it goes, and a target row that takes the same
// file row as the one above it is a copy of that row.
void readSequential(const PngRowRead &read)
{
    const FrameSelection &selection = *read.selection;
    const std::size_t rowBytes =
            static_cast<std::size_t>(selection.targetWidth()) * read.targetBytes;
    std::int32_t next = 0;
    for (std::int32_t r = 0; r < selection.targetHeight(); ++r) {
        const std::int32_t fileRow = selection.frameRow(r);
        std::uint8_t *out = targetRow(read, r);
        if (fileRow < next) {
            std::memcpy(out, targetRow(read, r - 1), rowBytes);
            continue;
        }
        for (; next < fileRow; ++next)
            png_read_row(read.png, nullptr, nullptr);
        if (read.direct) {
            png_read_row(read.png, out, nullptr);
        } else {
            png_read_row(read.png, read.scratch, nullptr);
            convertRow(read, read.scratch, out);
        }
        ++next;
    }
}

// Every pass runs over every row; only the rows the target takes are kept, each in its own
// scratch row, which the passes fill in turn. The target is made from them at the end.
void readInterlaced(const PngRowRead &read)
{
    const FrameSelection &selection = *read.selection;
    const std::int32_t rows = selection.targetHeight();
    for (int pass = 0; pass < read.passes; ++pass) {
        std::int32_t r = 0;
        std::uint8_t *slot = read.scratch;
        for (std::int32_t y = 0; y < read.fileHeight; ++y) {
            while (r < rows && selection.frameRow(r) < y)
                ++r;
            if (r < rows && selection.frameRow(r) == y) {
                png_read_row(read.png, slot, nullptr);
                slot += read.outputRowBytes;
            } else {
                png_read_row(read.png, nullptr, nullptr);
            }
        }
    }
    const std::uint8_t *slot = read.scratch;
    for (std::int32_t r = 0; r < rows; ++r) {
        if (r > 0 && selection.frameRow(r) != selection.frameRow(r - 1))
            slot += read.outputRowBytes;
        convertRow(read, slot, targetRow(read, r));
    }
}

} // namespace

void ReadPngRows(void *context)
{
    const auto &read = *static_cast<const PngRowRead *>(context);
    if (read.passes > 1)
        readInterlaced(read);
    else
        readSequential(read);
}

std::int32_t PngScratchRows(const FrameSelection &selection, bool interlaced, bool direct)
{
    if (!interlaced)
        return direct ? 0 : 1;
    std::int32_t distinct = 0;
    for (std::int32_t r = 0; r < selection.targetHeight(); ++r)
        if (r == 0 || selection.frameRow(r) != selection.frameRow(r - 1))
            ++distinct;
    return distinct;
}
