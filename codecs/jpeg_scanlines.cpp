#include "codecs/jpeg_scanlines.h"

#include <algorithm>
#include <cstring>

namespace {

// Scanlines asked for per library call on the direct path. Several at a time spare the
// library the copy through its spare row that single rows cost with vertically subsampled
// colour.
constexpr JDIMENSION kRowsPerRead = 16;

void readOneScanline(j_decompress_ptr cinfo, std::uint8_t *row)
{
    JSAMPROW rows[1] = { row };
    // Our source never suspends, so no scanline means the library has nothing more to give.
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1)
        FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_TOO_LITTLE_DATA);
}

// Fills a target row from a scanline by the column map.
void pickColumns(const JpegSelectedRead &read, std::uint8_t *out)
{
    const std::uint8_t *in = read.scanline;
    const std::int32_t *column = read.columns;
    const std::int32_t *end = column + read.selection->targetWidth();
    const int components = read.cinfo->output_components;
    if (components == 1) {
        for (; column != end; ++column)
            *out++ = in[*column];
    } else if (read.cinfo->out_color_space == JCS_EXT_BGR) {
        for (; column != end; ++column, out += 3)
            std::memcpy(out, in + static_cast<std::size_t>(*column) * 3, 3);
    } else {
        for (; column != end; ++column, out += 3) {
            const std::uint8_t *p = in + static_cast<std::size_t>(*column) * components;
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
    }
}

} // namespace

void ReadJpegRowsDirect(void *context)
{
    const auto &read = *static_cast<const JpegDirectRead *>(context);
    j_decompress_ptr cinfo = read.cinfo;
    while (cinfo->output_scanline < cinfo->output_height) {
        const JDIMENSION first = cinfo->output_scanline;
        const JDIMENSION count = std::min(kRowsPerRead, cinfo->output_height - first);
        JSAMPROW rows[kRowsPerRead];
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = read.target.pixels + (first + i) * read.target.stride;
        if (jpeg_read_scanlines(cinfo, rows, count) == 0)
            FailJpeg(reinterpret_cast<j_common_ptr>(cinfo), JERR_TOO_LITTLE_DATA);
    }
}

void ReadJpegRowsSelected(void *context)
{
    const auto &read = *static_cast<const JpegSelectedRead *>(context);
    const FrameSelection &selection = *read.selection;
    const std::size_t rowBytes = static_cast<std::size_t>(selection.targetWidth())
            * static_cast<std::size_t>(read.cinfo->output_components == 1 ? 1 : 3);
    std::int32_t previous = -1;
    for (std::int32_t r = 0; r < selection.targetHeight(); ++r) {
        const std::int32_t scanline = selection.frameRow(r);
        std::uint8_t *out = read.target.pixels + static_cast<std::size_t>(r) * read.target.stride;
        if (scanline == previous) {
            std::memcpy(out, out - read.target.stride, rowBytes);
            continue;
        }
        while (static_cast<std::int32_t>(read.cinfo->output_scanline) <= scanline)
            readOneScanline(read.cinfo, read.scanline);
        pickColumns(read, out);
        previous = scanline;
    }
}
