#include "image/quantize_nearest.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kWeight[3] = { 1, 3, 2 };

// A block spans 4 cells of 8 values on axes 0 and 2 and 8 cells of 4 values on axis 1: 32 byte
// values on every axis.
constexpr int kBlockCells[3] = { 4, 8, 4 };
constexpr int kCellWidth[3] = { 8, 4, 8 };
constexpr int kBlockSize = 4 * 8 * 4;

// The least and greatest weighted distance on one axis from value v to any cell centre in
// low..high.
void axisBounds(int v, int low, int high, int weight, int &least, int &greatest)
{
    if (v < low) {
        least = (low - v) * weight;
        greatest = (high - v) * weight;
    } else if (v > high) {
        least = (v - high) * weight;
        greatest = (v - low) * weight;
    } else {
        least = 0;
        greatest = (v <= (low + high) / 2 ? high - v : v - low) * weight;
    }
}

} // namespace

NearestColourCache::NearestColourCache(ColourHistogram &counters, const AxisPalette &entries,
                                       int reserved)
    : cells(counters), palette(entries), excluded(entries.count > 1 ? reserved : -1)
{ }

// Only entries that could be nearest for some cell of the block are worth comparing: an entry
// whose least possible distance exceeds another entry's greatest possible distance never wins.
int NearestColourCache::findCandidates(const int low[3], const int high[3],
                                       std::uint8_t *candidates) const
{
    int leastOf[256];
    int smallestGreatest = INT_MAX;
    for (int i = 0; i < palette.count; ++i) {
        int least = 0;
        int greatest = 0;
        for (int axis = 0; axis < 3; ++axis) {
            int l = 0, g = 0;
            axisBounds(palette.axis[axis][i], low[axis], high[axis], kWeight[axis], l, g);
            least += l * l;
            greatest += g * g;
        }
        leastOf[i] = least;
        if (i != excluded)
            smallestGreatest = std::min(smallestGreatest, greatest);
    }
    int count = 0;
    for (int i = 0; i < palette.count; ++i)
        if (i != excluded && leastOf[i] <= smallestGreatest)
            candidates[count++] = static_cast<std::uint8_t>(i);
    return count;
}

void NearestColourCache::fillBlock(int c0, int c1, int c2)
{
    const int first[3] = { c0 & ~3, c1 & ~7, c2 & ~3 };
    int low[3], high[3];
    for (int axis = 0; axis < 3; ++axis) {
        low[axis] = first[axis] * kCellWidth[axis] + kCellWidth[axis] / 2;
        high[axis] = low[axis] + (kBlockCells[axis] - 1) * kCellWidth[axis];
    }
    std::uint8_t candidates[256];
    const int candidateCount = findCandidates(low, high, candidates);

    int bestDistance[kBlockSize];
    std::uint8_t bestIndex[kBlockSize];
    std::fill_n(bestDistance, kBlockSize, INT_MAX);
    std::fill_n(bestIndex, kBlockSize, std::uint8_t{ 0 });
    for (int k = 0; k < candidateCount; ++k) {
        const int entry = candidates[k];
        // Squared weighted differences per axis and cell position; a cell's distance is a sum.
        int term[3][8];
        for (int axis = 0; axis < 3; ++axis) {
            for (int i = 0; i < kBlockCells[axis]; ++i) {
                const int d = (low[axis] + i * kCellWidth[axis] - palette.axis[axis][entry])
                        * kWeight[axis];
                term[axis][i] = d * d;
            }
        }
        int cell = 0;
        for (int i0 = 0; i0 < 4; ++i0)
            for (int i1 = 0; i1 < 8; ++i1)
                for (int i2 = 0; i2 < 4; ++i2, ++cell) {
                    const int distance = term[0][i0] + term[1][i1] + term[2][i2];
                    if (distance < bestDistance[cell]) {
                        bestDistance[cell] = distance;
                        bestIndex[cell] = static_cast<std::uint8_t>(entry);
                    }
                }
    }
    int cell = 0;
    for (int i0 = 0; i0 < 4; ++i0)
        for (int i1 = 0; i1 < 8; ++i1)
            for (int i2 = 0; i2 < 4; ++i2, ++cell)
                cells.at(first[0] + i0, first[1] + i1, first[2] + i2) =
                        static_cast<std::uint16_t>(bestIndex[cell] + 1);
}
