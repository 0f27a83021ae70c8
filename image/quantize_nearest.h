#pragma once

#include "image/quantize_histogram.h"

#include <cstdint>

// The nearest palette entry of every histogram cell, found lazily: the first look-up in a block of
// 4 x 8 x 4 cells fills the whole block, so one search of the palette serves up to 128 cells. The
// answers live in the histogram's cleared counters as index + 1 (0 = not yet known).
//
// Distances weight the axes 1, 3 and 2 (squared differences 1, 9 and 4 times), in axis order.
class NearestColourCache
{
public:
    // counters must be cleared. No cell maps to reserved (an entry kept for transparent pixels,
    // or -1 for none) unless it is the palette's only entry.
    NearestColourCache(ColourHistogram &counters, const AxisPalette &entries, int reserved);

    int indexOf(int c0, int c1, int c2)
    {
        std::uint16_t &cell = cells.at(c0, c1, c2);
        if (cell == 0)
            fillBlock(c0, c1, c2);
        return cell - 1;
    }

private:
    void fillBlock(int c0, int c1, int c2);
    int findCandidates(const int low[3], const int high[3], std::uint8_t *candidates) const;

    ColourHistogram &cells;
    const AxisPalette &palette;
    int excluded;
};
