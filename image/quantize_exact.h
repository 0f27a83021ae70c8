#pragma once

#include "image/quantize_histogram.h"
#include "image/quantize_mapping.h"

#include <array>
#include <cstdint>

// The exact colours of a picture that holds only a few: when they fit the palette, the palette is
// those colours and every pixel keeps its own, where the 5-6-5 histogram would merge neighbours
// and shift them to the cell's mean. Screens of flat windows, terminals and diagrams often hold
// no more than 256 colours.
class ExactColours
{
public:
    static constexpr int kMaxColours = 256;

    // Counts the distinct colours of the area's source pixels, leaving out the key colour's when
    // the area has one. Stops with false as soon as more than limit (at most kMaxColours) are
    // seen; true when they all fit.
    bool collect(const MappingArea &area, int limit);

    int count() const { return found; }

    // The colours in order of first appearance as palette entries 0 to count() - 1.
    void fill(AxisPalette &palette) const;

    // Writes every pixel as the index of its own colour (the key's pixels as the area's
    // transparent index) or, in colour form, as it is. Only after a collect that returned true.
    void map(const MappingArea &area) const;

private:
    // Twice and more the colours kept, a power of two: probe runs stay short.
    static constexpr int kSlots = 1024;
    static constexpr std::uint32_t kUsed = 1u << 24;

    static std::uint32_t colourOf(const std::uint8_t *p)
    {
        return p[0] | (std::uint32_t{ p[1] } << 8) | (std::uint32_t{ p[2] } << 16);
    }

    // The slot holding colour, or the empty slot where it belongs.
    int slotOf(std::uint32_t colour) const;

    std::array<std::uint32_t, kSlots> slots{};
    std::array<std::uint8_t, kSlots> indices{};
    std::array<std::uint32_t, kMaxColours> colours{};
    int found = 0;
};
