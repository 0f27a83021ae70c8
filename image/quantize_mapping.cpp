#include "image/quantize_mapping.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

bool isKey(const MappingArea &area, const std::uint8_t *p)
{
    return area.hasKey && p[0] == area.key[0] && p[1] == area.key[1] && p[2] == area.key[2];
}

// Writes pixel x of a destination row: the entry's index or its colour, or the transparent
// index or colour for a transparent pixel.
void writePixel(const MappingArea &area, const AxisPalette &palette, std::uint8_t *row,
                std::int32_t x, int entry, bool transparent)
{
    if (area.indexOutput) {
        row[x] = static_cast<std::uint8_t>(transparent ? area.transparentIndex : entry);
        return;
    }
    std::uint8_t *q = row + static_cast<std::ptrdiff_t>(x) * 3;
    for (int axis = 0; axis < 3; ++axis)
        q[axis] = transparent ? area.key[axis] : palette.axis[axis][entry];
}

// Errors pass through this curve before they are added: small ones in full, middle ones at half
// slope, and none beyond 32, so that a run of large errors cannot push whole areas into
// overshooting streaks.
std::vector<int> errorLimitTable()
{
    std::vector<int> table(511);
    for (int e = -255; e <= 255; ++e) {
        const int magnitude = e < 0 ? -e : e;
        const int limited = magnitude < 16 ? magnitude
                : magnitude < 48           ? 16 + (magnitude - 16) / 2
                                           : 32;
        table[static_cast<std::size_t>(e + 255)] = e < 0 ? -limited : limited;
    }
    return table;
}

// The error state of one row in progress: the error carried to the next pixel (7/16) and the
// shares of the row below still being summed (behind: 3/16 + 5/16 + 1/16 from three pixels).
struct RowErrors
{
    int carried[3] = { 0, 0, 0 };
    int belowBehind[3] = { 0, 0, 0 };
    int belowHere[3] = { 0, 0, 0 };
};

} // namespace

void MapNearest(const MappingArea &area, const AxisPalette &palette, NearestColourCache &cache)
{
    for (std::int32_t y = 0; y < area.height; ++y) {
        const std::uint8_t *in = area.source + y * area.sourceStride;
        std::uint8_t *out = area.destination + y * area.destinationStride;
        for (std::int32_t x = 0; x < area.width; ++x, in += 3) {
            if (isKey(area, in)) {
                writePixel(area, palette, out, x, 0, true);
                continue;
            }
            const int entry = cache.indexOf(in[0] >> 3, in[1] >> 2, in[2] >> 3);
            writePixel(area, palette, out, x, entry, false);
        }
    }
}

// The error row holds, per column and axis, the sum of the errors the row above left for it,
// as whole multiples (the division by 16 happens when it is used). It has a dummy entry before
// the first and after the last column so that both directions can write behind them freely.
bool MapDithered(const MappingArea &area, const AxisPalette &palette, NearestColourCache &cache)
{
    std::vector<int> limitTable;
    std::vector<int> errorRow;
    try {
        limitTable = errorLimitTable();
        errorRow.assign((static_cast<std::size_t>(area.width) + 2) * 3, 0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    const int *limit = limitTable.data() + 255;
    for (std::int32_t y = 0; y < area.height; ++y) {
        const bool forward = y % 2 == 0;
        const int step = forward ? 1 : -1;
        std::int32_t x = forward ? 0 : area.width - 1;
        int *below = errorRow.data() + (forward ? 0 : (area.width + 1) * 3);
        const std::uint8_t *in = area.source + y * area.sourceStride;
        std::uint8_t *out = area.destination + y * area.destinationStride;
        RowErrors row;
        for (std::int32_t n = 0; n < area.width; ++n, x += step, below += 3 * step) {
            const std::uint8_t *p = in + static_cast<std::ptrdiff_t>(x) * 3;
            int u[3];
            for (int axis = 0; axis < 3; ++axis) {
                const int t = limit[(row.carried[axis] + below[3 * step + axis] + 8) >> 4];
                u[axis] = std::clamp(p[axis] + t, 0, 255);
            }
            const int entry = cache.indexOf(u[0] >> 3, u[1] >> 2, u[2] >> 3);
            writePixel(area, palette, out, x, entry, isKey(area, p));
            // Transparent pixels spread the error of the colour they would have had, so that
            // their neighbours look the same with and without them.
            for (int axis = 0; axis < 3; ++axis) {
                const int e = u[axis] - palette.axis[axis][entry];
                below[axis] = row.belowBehind[axis] + 3 * e;
                row.belowBehind[axis] = row.belowHere[axis] + 5 * e;
                row.belowHere[axis] = e;
                row.carried[axis] = 7 * e;
            }
        }
        for (int axis = 0; axis < 3; ++axis)
            below[axis] = row.belowBehind[axis];
    }
    return true;
}
