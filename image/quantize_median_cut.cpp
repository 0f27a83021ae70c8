#include "image/quantize_median_cut.h"

#include <algorithm>
#include <array>

namespace {

// A box of histogram cells, inclusive on every axis.
struct ColourBox
{
    int lo[3] = { 0, 0, 0 };
    int hi[3] = { ColourHistogram::kCells0 - 1, ColourHistogram::kCells1 - 1,
                  ColourHistogram::kCells2 - 1 };
    int volume = 0;
    int cellCount = 0;
};

// Cells are 8, 4 and 8 byte values wide; the further factors 1, 3 and 2 weight the axes the way
// the colour distance does, so that a box is measured in the same units as the errors it causes.
constexpr int kAxisScale[3] = { 8, 12, 16 };
constexpr int kMaxBoxes = 256;

int scaledLength(const ColourBox &box, int axis)
{
    return kAxisScale[axis] * (box.hi[axis] - box.lo[axis]);
}

// Whether test(c0, c1, c2, counter) holds for some cell of box; stops at the first that does.
template <typename Test>
bool anyCell(const ColourHistogram &histogram, const ColourBox &box, Test test)
{
    for (int c0 = box.lo[0]; c0 <= box.hi[0]; ++c0)
        for (int c1 = box.lo[1]; c1 <= box.hi[1]; ++c1)
            for (int c2 = box.lo[2]; c2 <= box.hi[2]; ++c2)
                if (test(c0, c1, c2, histogram.at(c0, c1, c2)))
                    return true;
    return false;
}

// Calls visit(c0, c1, c2, counter) for every cell of box.
template <typename Visit>
void forEachCell(const ColourHistogram &histogram, const ColourBox &box, Visit visit)
{
    anyCell(histogram, box, [&visit](int c0, int c1, int c2, std::uint16_t n) {
        visit(c0, c1, c2, n);
        return false;
    });
}

bool planeHasPixels(const ColourHistogram &histogram, const ColourBox &box, int axis, int value)
{
    ColourBox plane = box;
    plane.lo[axis] = plane.hi[axis] = value;
    return anyCell(histogram, plane, [](int, int, int, std::uint16_t n) { return n != 0; });
}

// Pulls the box's bounds in to its outermost non-empty cells, then measures it.
void shrink(const ColourHistogram &histogram, ColourBox &box)
{
    for (int axis = 0; axis < 3; ++axis) {
        if (box.hi[axis] <= box.lo[axis])
            continue;
        for (int v = box.lo[axis]; v <= box.hi[axis]; ++v) {
            if (planeHasPixels(histogram, box, axis, v)) {
                box.lo[axis] = v;
                break;
            }
        }
        for (int v = box.hi[axis]; v >= box.lo[axis]; --v) {
            if (planeHasPixels(histogram, box, axis, v)) {
                box.hi[axis] = v;
                break;
            }
        }
    }
    box.volume = 0;
    for (int axis = 0; axis < 3; ++axis)
        box.volume += scaledLength(box, axis) * scaledLength(box, axis);
    box.cellCount = 0;
    forEachCell(histogram, box,
                [&box](int, int, int, std::uint16_t n) { box.cellCount += n != 0; });
}

// The box to split next: while fewer than half the colours exist, the one with the most
// non-empty cells (among those that can still be split), afterwards the largest. The earliest
// box wins ties; -1 when no box can be split.
int chooseBox(const std::array<ColourBox, kMaxBoxes> &boxes, int count, bool byCells)
{
    int chosen = -1;
    int best = 0;
    for (int i = 0; i < count; ++i) {
        const ColourBox &box = boxes[static_cast<std::size_t>(i)];
        const int value = byCells ? (box.volume > 0 ? box.cellCount : 0) : box.volume;
        if (value > best) {
            best = value;
            chosen = i;
        }
    }
    return chosen;
}

int splitAxis(const ColourBox &box)
{
    const int l0 = scaledLength(box, 0);
    const int l1 = scaledLength(box, 1);
    const int l2 = scaledLength(box, 2);
    if (l0 > l1 && l0 > l2)
        return 0;
    return l2 > l1 ? 2 : 1;
}

void split(const ColourHistogram &histogram, ColourBox &box, ColourBox &upper)
{
    const int axis = splitAxis(box);
    const int mid = (box.lo[axis] + box.hi[axis]) / 2;
    upper = box;
    upper.lo[axis] = mid + 1;
    box.hi[axis] = mid;
    shrink(histogram, box);
    shrink(histogram, upper);
}

// The box's colour: the mean of its cells' centres weighted by their counts, rounded.
void boxColour(const ColourHistogram &histogram, const ColourBox &box, AxisPalette &palette,
               int entry)
{
    std::uint64_t total = 0;
    std::uint64_t sum[3] = { 0, 0, 0 };
    forEachCell(histogram, box, [&](int c0, int c1, int c2, std::uint16_t n) {
        total += n;
        sum[0] += std::uint64_t{ n } * static_cast<std::uint64_t>(8 * c0 + 4);
        sum[1] += std::uint64_t{ n } * static_cast<std::uint64_t>(4 * c1 + 2);
        sum[2] += std::uint64_t{ n } * static_cast<std::uint64_t>(8 * c2 + 4);
    });
    for (int axis = 0; axis < 3; ++axis)
        palette.axis[axis][entry] =
                static_cast<std::uint8_t>(total ? (sum[axis] + total / 2) / total : 0);
}

} // namespace

int MedianCut(const ColourHistogram &histogram, int wanted, AxisPalette &palette)
{
    wanted = std::clamp(wanted, 1, kMaxBoxes);
    std::array<ColourBox, kMaxBoxes> boxes{};
    shrink(histogram, boxes[0]);
    // An empty picture has no colour: a box without pixels has no mean to give.
    int count = boxes[0].cellCount > 0 ? 1 : 0;
    while (count > 0 && count < wanted) {
        const int chosen = chooseBox(boxes, count, 2 * count <= wanted);
        if (chosen < 0)
            break;
        split(histogram, boxes[static_cast<std::size_t>(chosen)],
              boxes[static_cast<std::size_t>(count)]);
        ++count;
    }
    for (int i = 0; i < count; ++i)
        boxColour(histogram, boxes[static_cast<std::size_t>(i)], palette, i);
    palette.count = count;
    return count;
}
