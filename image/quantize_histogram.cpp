#include "image/quantize_histogram.h"

#include <algorithm>

namespace {

constexpr std::size_t kCellCount = std::size_t{ ColourHistogram::kCells0 }
        * ColourHistogram::kCells1 * ColourHistogram::kCells2;

} // namespace

ColourHistogram::ColourHistogram() : counters(new std::uint16_t[kCellCount]()) { }

void ColourHistogram::countPixels(const std::uint8_t *pixels, std::int32_t width,
                                  std::int32_t height, std::ptrdiff_t stride)
{
    std::uint16_t *cells = counters.get();
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t *p = pixels + y * stride;
        for (std::int32_t x = 0; x < width; ++x, p += 3) {
            std::uint16_t &cell = cells[indexOf(p[0] >> 3, p[1] >> 2, p[2] >> 3)];
            if (cell != kSaturated)
                ++cell;
        }
    }
}

void ColourHistogram::clear()
{
    std::fill_n(counters.get(), kCellCount, std::uint16_t{ 0 });
}
