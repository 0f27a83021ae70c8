#include "image/quantize.h"

#include "image/quantize_exact.h"
#include "image/quantize_histogram.h"
#include "image/quantize_mapping.h"
#include "image/quantize_median_cut.h"
#include "image/quantize_nearest.h"

#include <algorithm>
#include <new>

namespace {

constexpr int kMinColours = 2;
constexpr int kMaxColours = 256;

// The colour's bytes in the pixels' storage order.
void keyBytes(RgbValue colour, bool blueFirst, std::uint8_t key[3])
{
    key[0] = blueFirst ? BlueOf(colour) : RedOf(colour);
    key[1] = GreenOf(colour);
    key[2] = blueFirst ? RedOf(colour) : BlueOf(colour);
}

bool sameKey(const AxisPalette &palette, int entry, const std::uint8_t key[3])
{
    return palette.axis[0][entry] == key[0] && palette.axis[1][entry] == key[1]
            && palette.axis[2][entry] == key[2];
}

void setEntry(AxisPalette &palette, int entry, const std::uint8_t key[3])
{
    for (int axis = 0; axis < 3; ++axis)
        palette.axis[axis][entry] = key[axis];
}

// Copies a given palette and finds its transparent entry: the one the caller names, else the
// first of the transparent colour, else the last entry made over to that colour. An empty given
// palette counts as its first entry, so that every pixel has somewhere to go.
int takeGivenPalette(const ImagePalette &given, bool blueFirst, bool hasKey,
                     const std::uint8_t key[3], const std::int32_t *transparentIndex,
                     AxisPalette &palette)
{
    palette.count = std::clamp<int>(given.count, 1, kMaxColours);
    for (int i = 0; i < palette.count; ++i) {
        const PaletteEntry &e = given.entries[i];
        palette.axis[0][i] = blueFirst ? e.blue : e.red;
        palette.axis[1][i] = e.green;
        palette.axis[2][i] = blueFirst ? e.red : e.blue;
    }
    if (!hasKey)
        return -1;
    if (transparentIndex && *transparentIndex >= 0 && *transparentIndex < palette.count)
        return *transparentIndex;
    for (int i = 0; i < palette.count; ++i)
        if (sameKey(palette, i, key))
            return i;
    setEntry(palette, palette.count - 1, key);
    return palette.count - 1;
}

// Median cut over the area's colours; the transparent colour, counted like the others, gets an
// entry of its own after the computed ones.
int computePalette(ColourHistogram &histogram, const MappingArea &area, std::int32_t maxColours,
                   AxisPalette &palette)
{
    histogram.countPixels(area.source, area.width, area.height, area.sourceStride);
    const int wanted = std::clamp(maxColours, kMinColours, kMaxColours) - (area.hasKey ? 1 : 0);
    const int computed = MedianCut(histogram, wanted, palette);
    if (!area.hasKey)
        return -1;
    setEntry(palette, computed, area.key);
    palette.count = computed + 1;
    return computed;
}

// The area's own colours when they fit maxColours (one entry kept for the transparent colour):
// then the palette is exactly those colours, the transparent colour's entry after them, and the
// mapping neither merges nor dithers. Nothing when there are more, or no pixels at all.
bool fitExactColours(ExactColours &exact, MappingArea &area, std::int32_t maxColours,
                     AxisPalette &palette)
{
    const int room = std::clamp(maxColours, kMinColours, kMaxColours) - (area.hasKey ? 1 : 0);
    if (!exact.collect(area, room) || (exact.count() == 0 && !area.hasKey))
        return false;
    exact.fill(palette);
    area.transparentIndex = -1;
    if (area.hasKey) {
        area.transparentIndex = palette.count;
        setEntry(palette, palette.count, area.key);
        ++palette.count;
    }
    return true;
}

void writeOutPalette(const AxisPalette &palette, bool blueFirst, ImagePalette &out)
{
    out.version = ImagePalette::kVersion;
    out.count = static_cast<std::uint16_t>(palette.count);
    for (int i = 0; i < palette.count; ++i) {
        PaletteEntry &e = out.entries[i];
        e.red = palette.axis[blueFirst ? 2 : 0][i];
        e.green = palette.axis[1][i];
        e.blue = palette.axis[blueFirst ? 0 : 2][i];
    }
}

} // namespace

bool quantize(const Rect &area, const std::uint8_t *source, std::int32_t sourcePad,
              std::uint8_t *destination, std::int32_t destinationPad, std::int32_t outputForm,
              std::int32_t maxColours, bool dither, const ImagePalette *givenPalette,
              ImagePalette *outPalette, RgbValue transparent, std::int32_t *transparentIndex,
              bool blueFirst)
{
    MappingArea map;
    map.width = std::max(area.width(), 0);
    map.height = std::max(area.height(), 0);
    if (map.width == 0)
        map.height = 0;
    map.source = source;
    map.sourceStride = (static_cast<std::ptrdiff_t>(map.width) + sourcePad) * 3;
    map.destination = destination;
    map.indexOutput = outputForm == kQuantizeIndexOutput;
    map.destinationStride =
            (static_cast<std::ptrdiff_t>(map.width) + destinationPad) * (map.indexOutput ? 1 : 3);
    map.hasKey = transparent != kNoColour;
    keyBytes(transparent, blueFirst, map.key);
    try {
        AxisPalette palette;
        if (!givenPalette) {
            // About 6 KB: on the stack, so the exact path never fails for memory.
            ExactColours exact;
            if (fitExactColours(exact, map, maxColours, palette)) {
                if (outPalette)
                    writeOutPalette(palette, blueFirst, *outPalette);
                if (transparentIndex)
                    *transparentIndex = map.transparentIndex;
                if (destination)
                    exact.map(map);
                return true;
            }
        }
        ColourHistogram histogram;
        map.transparentIndex = givenPalette ? takeGivenPalette(*givenPalette, blueFirst, map.hasKey,
                                                               map.key, transparentIndex, palette)
                                            : computePalette(histogram, map, maxColours, palette);
        if (outPalette)
            writeOutPalette(palette, blueFirst, *outPalette);
        if (transparentIndex)
            *transparentIndex = map.transparentIndex;
        if (!destination)
            return true;
        histogram.clear();
        NearestColourCache cache(histogram, palette, map.transparentIndex);
        if (!dither || !MapDithered(map, palette, cache))
            MapNearest(map, palette, cache);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}
