#include "app/cell_sizes.h"

#include "app/app_settings.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr CellSize kSteps[] = { kSmallCell,   kLargeCell,   { 97, 127 },
                                { 127, 167 }, { 193, 255 }, { 256, 339 } };
static_assert(std::size(kSteps) == kCellStepCount);

// A split keeps the same number of whole rows of cells at the new cell height. A cell height of
// 0 (a damaged stored block) cannot be divided by: such a split falls back to two rows.
std::uint16_t rescaledSplit(std::uint16_t split, std::uint16_t oldHeight, std::uint16_t newHeight)
{
    std::uint32_t rows = oldHeight == 0 ? 2u : split / oldHeight;
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(rows * newHeight, 0xFFFF));
}

} // namespace

CellSize CellStep(int index)
{
    return kSteps[std::clamp(index, 0, kCellStepCount - 1)];
}

int CellStepInForce(const AppSettings &settings)
{
    int found = 0;
    for (int i = 0; i < kCellStepCount; ++i) {
        if (kSteps[i].width <= settings.prefs.cellWidth)
            found = i;
    }
    return found;
}

bool IsCellStep(const AppSettings &settings, int index)
{
    const CellSize step = CellStep(index);
    return settings.prefs.cellWidth == step.width && settings.prefs.cellHeight == step.height;
}

bool SetCellStep(AppSettings &settings, int index)
{
    return SetCellSize(settings, CellStep(index));
}

bool SetCellSize(AppSettings &settings, CellSize size)
{
    PreferencesBlock &prefs = settings.prefs;
    if (prefs.cellWidth == size.width && prefs.cellHeight == size.height)
        return false;
    const std::uint16_t oldHeight = prefs.cellHeight;
    prefs.cellWidth = size.width;
    prefs.cellHeight = size.height;
    settings.ui.thumbViewSplit = rescaledSplit(settings.ui.thumbViewSplit, oldHeight, size.height);
    settings.ui.selectViewSplit =
            rescaledSplit(settings.ui.selectViewSplit, oldHeight, size.height);
    return true;
}

bool StepCellSize(AppSettings &settings, int steps)
{
    return SetCellStep(settings, CellStepInForce(settings) + steps);
}
