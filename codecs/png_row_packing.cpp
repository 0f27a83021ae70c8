#include "codecs/png_row_packing.h"

#include <cstddef>
#include <libdeflate.h>
#include <memory>
#include <new>

namespace {

constexpr std::uint8_t kNoFilter = 0;
constexpr std::uint8_t kSubFilter = 1;

struct CompressorRelease
{
    void operator()(libdeflate_compressor *compressor) const
    {
        libdeflate_free_compressor(compressor);
    }
};

// Level 0 stores, level 1 is the fastest that compresses. One compressor per thread and level
// is kept: making one costs more than packing a thumbnail.
libdeflate_compressor *threadCompressor(int level)
{
    thread_local std::unique_ptr<libdeflate_compressor, CompressorRelease> compressors[2];
    std::unique_ptr<libdeflate_compressor, CompressorRelease> &compressor = compressors[level];
    if (!compressor)
        compressor.reset(libdeflate_alloc_compressor(level));
    if (!compressor)
        throw std::bad_alloc();
    return compressor.get();
}

// The row in PNG's byte order, each byte less the same channel of the pixel before it when sub
// is set (the Sub filter), as it is otherwise (no filter).
void filterRow(const std::uint8_t *in, std::int32_t width, std::uint8_t *out, bool sub)
{
    std::uint8_t red = 0, green = 0, blue = 0;
    for (std::int32_t x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = static_cast<std::uint8_t>(in[2] - red);
        out[1] = static_cast<std::uint8_t>(in[1] - green);
        out[2] = static_cast<std::uint8_t>(in[0] - blue);
        if (sub) {
            blue = in[0];
            green = in[1];
            red = in[2];
        }
    }
}

std::vector<std::uint8_t> filterRows(const PixelSpan &picture, bool sub)
{
    const std::size_t rowBytes = 1 + static_cast<std::size_t>(picture.width) * 3;
    std::vector<std::uint8_t> rows(rowBytes * static_cast<std::size_t>(picture.height));
    std::uint8_t *out = rows.data();
    for (std::int32_t y = 0; y < picture.height; ++y, out += rowBytes) {
        out[0] = sub ? kSubFilter : kNoFilter;
        filterRow(picture.row(y), picture.width, out + 1, sub);
    }
    return rows;
}

} // namespace

std::vector<std::uint8_t> PackPngRows(const PixelSpan &picture, PngPacking packing)
{
    const bool quick = packing == PngPacking::Quick;
    const std::vector<std::uint8_t> rows = filterRows(picture, quick);
    libdeflate_compressor *compressor = threadCompressor(quick ? 1 : 0);
    std::vector<std::uint8_t> packed(libdeflate_zlib_compress_bound(compressor, rows.size()));
    // The bound always holds the result, so a zero never comes back.
    packed.resize(libdeflate_zlib_compress(compressor, rows.data(), rows.size(), packed.data(),
                                           packed.size()));
    return packed;
}
