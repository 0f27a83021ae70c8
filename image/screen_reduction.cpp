#include "image/screen_reduction.h"

#include "image/display_info.h"
#include "image/halftone_palette.h"
#include "image/quantize.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <new>
#include <vector>

namespace {

using LevelTable = std::array<std::uint8_t, 256>;

// A 12-bit display counts exactly this many colours; more selects 32 levels, fewer the halftone
// palette.
constexpr std::int32_t kTwelveBitColours = 4096;
constexpr std::int32_t kMaxColourBitsReduced = 16;
// Any outputForm other than kQuantizeIndexOutput writes colours back in place.
constexpr std::int32_t kColourOutput = 0;

constexpr LevelTable kLevels16 = [] {
    LevelTable table{};
    for (int v = 0; v < 256; ++v)
        table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(17 * ((v + 9) / 17));
    return table;
}();

// The first input value of each level 8k. The runs are uneven (level 0 covers 4 values, level 248
// covers 12), so this is a table rather than a formula.
constexpr std::array<int, 32> kLevel32Starts{ 0,   4,   11,  20,  27,  36,  43,  52,  59,  68,  75,
                                              84,  91,  100, 107, 116, 123, 132, 139, 148, 155, 164,
                                              171, 180, 187, 196, 203, 212, 219, 228, 235, 244 };

constexpr LevelTable kLevels32 = [] {
    LevelTable table{};
    for (std::size_t k = 0; k < kLevel32Starts.size(); ++k) {
        const int end = k + 1 < kLevel32Starts.size() ? kLevel32Starts[k + 1] : 256;
        for (int v = kLevel32Starts[k]; v < end; ++v)
            table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(8 * k);
    }
    return table;
}();

enum class Treatment {
    None,
    Levels16,
    Levels32,
    Halftone
};

Treatment chooseTreatment(std::int32_t mode, const DisplayInfo &display)
{
    switch (static_cast<ColourOptimization>(mode)) {
    case ColourOptimization::Automatic:
        if (display.colourBits > kMaxColourBitsReduced)
            return Treatment::None;
        if (display.colourCount == kTwelveBitColours)
            return Treatment::Levels16;
        return display.colourCount > kTwelveBitColours ? Treatment::Levels32 : Treatment::Halftone;
    case ColourOptimization::Bits16:
        return Treatment::Levels32;
    case ColourOptimization::Bits12:
        return Treatment::Levels16;
    case ColourOptimization::None:
        return Treatment::None;
    default:
        // The three spare values of the stored 3-bit field act as the halftone mode; anything
        // outside the field is not a mode at all.
        return mode >= 4 && mode <= 7 ? Treatment::Halftone : Treatment::None;
    }
}

// The error rows hold width + 2 entries each: column x at x + 1, with a spare entry at each end
// that takes the error falling off the row and is never read. Entering a row, an entry holds what
// the previous row left for its column; leaving, what this row leaves for the next. Each entry is
// overwritten only after it has been read, one step behind the pixel being worked on.
struct RowSweep
{
    std::uint8_t *row = nullptr;
    std::int32_t width = 0;
    bool leftToRight = true;
    const LevelTable *levels = nullptr;
    // Storage-order key bytes, or none.
    const std::uint8_t *key = nullptr;
};

// The diffusion state of one byte position within a row; starts at zero for every row.
struct ByteDiffusion
{
    std::int32_t previousError = 0;
    // 1 x the error two pixels back plus 3 x the previous pixel's: the previous column's entry,
    // still waiting for 5 x the current pixel's error.
    std::int32_t pending = 0;

    // Levels one byte, spreads its error and returns the level. behind points at the entry of
    // the column behind the pixel, dir is +1 or -1 along the row.
    std::uint8_t step(std::uint8_t value, std::int32_t *behind, std::ptrdiff_t dir,
                      const LevelTable &levels)
    {
        // Integer division truncates towards zero, which is the rounding these levels expect;
        // a shift would round negative corrections down instead.
        const std::int32_t t = (7 * previousError + behind[dir] + 8) / 16;
        const std::int32_t u = std::clamp<std::int32_t>(value + t, 0, 255);
        const std::uint8_t q = levels[static_cast<std::size_t>(u)];
        const std::int32_t e = u - q;
        behind[0] = pending + 5 * e;
        pending = previousError + 3 * e;
        previousError = e;
        return q;
    }
};

bool matchesKey(const std::uint8_t *pixel, const std::uint8_t *key)
{
    return pixel[0] == key[0] && pixel[1] == key[1] && pixel[2] == key[2];
}

std::ptrdiff_t firstBehind(const RowSweep &sweep)
{
    return sweep.leftToRight ? 0 : sweep.width + 1;
}

// One byte position across the whole row. With a key the positions must go one after another,
// because whether a pixel matches the key depends on the bytes already levelled.
void sweepPosition(const RowSweep &sweep, int position, std::int32_t *errors)
{
    const std::ptrdiff_t dir = sweep.leftToRight ? 1 : -1;
    std::uint8_t *pixel = sweep.row + 3 * (sweep.leftToRight ? 0 : sweep.width - 1);
    std::int32_t *behind = errors + firstBehind(sweep);
    ByteDiffusion diffusion;
    for (std::int32_t i = 0; i < sweep.width; ++i, pixel += 3 * dir, behind += dir) {
        const std::uint8_t q = diffusion.step(pixel[position], behind, dir, *sweep.levels);
        if (!sweep.key || !matchesKey(pixel, sweep.key))
            pixel[position] = q;
    }
    // behind now points at the last pixel's own column.
    behind[0] = diffusion.pending;
}

// All three positions in one sweep, for rows without a key: the passes then cannot affect each
// other, and interleaving them lets the processor overlap three independent chains of steps.
void sweepAllPositions(const RowSweep &sweep, std::array<std::vector<std::int32_t>, 3> &errors)
{
    const std::ptrdiff_t dir = sweep.leftToRight ? 1 : -1;
    std::uint8_t *pixel = sweep.row + 3 * (sweep.leftToRight ? 0 : sweep.width - 1);
    std::ptrdiff_t behind = firstBehind(sweep);
    std::array<ByteDiffusion, 3> diffusion;
    for (std::int32_t i = 0; i < sweep.width; ++i, pixel += 3 * dir, behind += dir)
        for (std::size_t p = 0; p < 3; ++p)
            pixel[p] = diffusion[p].step(pixel[p], errors[p].data() + behind, dir, *sweep.levels);
    for (std::size_t p = 0; p < 3; ++p)
        errors[p][static_cast<std::size_t>(behind)] = diffusion[p].pending;
}

void diffuseLevels(const Rect &area, std::uint8_t *pixels, std::int32_t rowPad,
                   const LevelTable &levels, const std::uint8_t *key)
{
    const std::int32_t width = area.width();
    std::array<std::vector<std::int32_t>, 3> errors;
    try {
        for (std::vector<std::int32_t> &row : errors)
            row.assign(static_cast<std::size_t>(width) + 2, 0);
    } catch (const std::bad_alloc &) {
        return;
    }
    const std::size_t stride = (static_cast<std::size_t>(width) + rowPad) * 3;
    for (std::int32_t y = 0; y < area.height(); ++y) {
        const RowSweep sweep{ pixels + y * stride, width, y % 2 == 0, &levels, key };
        if (!key) {
            sweepAllPositions(sweep, errors);
            continue;
        }
        for (int position = 0; position < 3; ++position)
            sweepPosition(sweep, position, errors[static_cast<std::size_t>(position)].data());
    }
}

} // namespace

std::uint8_t Level16(std::uint8_t value)
{
    return kLevels16[value];
}

std::uint8_t Level32(std::uint8_t value)
{
    return kLevels32[value];
}

void reduceForScreen(const Rect &area, std::uint8_t *pixels, std::int32_t rowPad, std::int32_t mode,
                     RgbValue key, bool useKey, ImagePalette *palette)
{
    if (area.isEmpty() || !pixels || rowPad < 0)
        return;
    // -1 is no colour at all, so it cannot be a key even when the caller asks for one.
    const bool hasKey = useKey && key != kNoColour;
    const Treatment treatment = chooseTreatment(mode, CurrentDisplayInfo());
    if (treatment == Treatment::None)
        return;
    if (treatment == Treatment::Halftone) {
        const ImagePalette halftone = HalftonePalette();
        // A failed mapping leaves the buffer partly mapped, which still shows the picture.
        quantize(area, pixels, rowPad, pixels, rowPad, kColourOutput, ImagePalette::kMaxEntries,
                 true, &halftone, palette, hasKey ? key : kNoColour, nullptr, true);
        return;
    }
    const std::uint8_t keyBytes[3]{ BlueOf(key), GreenOf(key), RedOf(key) };
    diffuseLevels(area, pixels, rowPad, treatment == Treatment::Levels16 ? kLevels16 : kLevels32,
                  hasKey ? keyBytes : nullptr);
}
