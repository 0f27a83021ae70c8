#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

// The palette the quantizer maps onto: one byte array per axis, where axis 0, 1 and 2 are the
// pixel's bytes in storage order (so axis 0 is blue for blue-first pixels and red otherwise).
struct AxisPalette
{
    std::uint8_t axis[3][256] = {};
    int count = 0;
};

// Counters of the pixels per colour cell: 32 x 64 x 32 cells addressed by the top 5, 6 and 5
// bits of the three axes. Once the palette is known the same counters serve as the nearest-colour
// cache. One allocation of 128 KB; the layout is fixed so that a whole axis-0 slice is 4 KB.
class ColourHistogram
{
public:
    static constexpr int kCells0 = 32;
    static constexpr int kCells1 = 64;
    static constexpr int kCells2 = 32;
    static constexpr std::uint16_t kSaturated = 0xFFFF;

    // Allocates the cleared counters; throws std::bad_alloc.
    ColourHistogram();

    static constexpr std::size_t indexOf(int c0, int c1, int c2)
    {
        return (static_cast<std::size_t>(c0) << 11) | (static_cast<std::size_t>(c1) << 5)
                | static_cast<std::size_t>(c2);
    }

    std::uint16_t &at(int c0, int c1, int c2) { return counters[indexOf(c0, c1, c2)]; }

    std::uint16_t at(int c0, int c1, int c2) const { return counters[indexOf(c0, c1, c2)]; }

    std::uint16_t *data() { return counters.get(); }

    // Counts every pixel of width x height 3-byte pixels with rows stride bytes apart. A counter
    // stops at 65,535: a huge single-colour area keeps the greatest weight instead of wrapping to
    // a small one.
    void countPixels(const std::uint8_t *pixels, std::int32_t width, std::int32_t height,
                     std::ptrdiff_t stride);

    void clear();

private:
    std::unique_ptr<std::uint16_t[]> counters;
};
