#include "image/quantize_exact.h"

#include <algorithm>
#include <cstring>

int ExactColours::slotOf(std::uint32_t colour) const
{
    // Fibonacci hashing: the top bits of the product mix all three bytes.
    std::uint32_t slot = (colour * 2654435761u) >> 22;
    while (slots[slot] != 0 && slots[slot] != (colour | kUsed))
        slot = (slot + 1) & (kSlots - 1);
    return static_cast<int>(slot);
}

bool ExactColours::collect(const MappingArea &area, int limit)
{
    limit = std::min(limit, kMaxColours);
    const std::uint32_t key = colourOf(area.key);
    // Screens repeat a colour along a row far more often than not: one compare saves the look-up.
    std::uint32_t last = ~0u;
    for (std::int32_t y = 0; y < area.height; ++y) {
        const std::uint8_t *p = area.source + y * area.sourceStride;
        for (std::int32_t x = 0; x < area.width; ++x, p += 3) {
            const std::uint32_t colour = colourOf(p);
            if (colour == last || (area.hasKey && colour == key))
                continue;
            last = colour;
            const int slot = slotOf(colour);
            if (slots[slot] != 0)
                continue;
            if (found == limit)
                return false;
            slots[slot] = colour | kUsed;
            indices[slot] = static_cast<std::uint8_t>(found);
            colours[found++] = colour;
        }
    }
    return true;
}

void ExactColours::fill(AxisPalette &palette) const
{
    for (int i = 0; i < found; ++i) {
        palette.axis[0][i] = static_cast<std::uint8_t>(colours[i]);
        palette.axis[1][i] = static_cast<std::uint8_t>(colours[i] >> 8);
        palette.axis[2][i] = static_cast<std::uint8_t>(colours[i] >> 16);
    }
    palette.count = found;
}

void ExactColours::map(const MappingArea &area) const
{
    const std::uint32_t key = colourOf(area.key);
    const auto rowBytes = static_cast<std::size_t>(area.width) * 3;
    for (std::int32_t y = 0; y < area.height; ++y) {
        const std::uint8_t *in = area.source + y * area.sourceStride;
        std::uint8_t *out = area.destination + y * area.destinationStride;
        if (!area.indexOutput) {
            // Every colour is its own entry, the key's included: the pixels stay as they are.
            if (out != in)
                std::memmove(out, in, rowBytes);
            continue;
        }
        std::uint32_t last = ~0u;
        std::uint8_t lastIndex = 0;
        for (std::int32_t x = 0; x < area.width; ++x, in += 3) {
            const std::uint32_t colour = colourOf(in);
            if (colour != last) {
                last = colour;
                lastIndex = area.hasKey && colour == key
                        ? static_cast<std::uint8_t>(area.transparentIndex)
                        : indices[slotOf(colour)];
            }
            out[x] = lastIndex;
        }
    }
}
