#include "capture/region_selection.h"

#include <algorithm>
#include <cstdlib>

namespace {

// -1 when value is within reach of low, 1 of high, 0 of neither; the nearer of the two when a
// narrow selection puts it within reach of both.
int NearerEdge(std::int32_t value, std::int32_t low, std::int32_t high)
{
    const std::int32_t toLow = std::abs(value - low);
    const std::int32_t toHigh = std::abs(value - high);
    if (std::min(toLow, toHigh) > RegionSelection::kGripReach)
        return 0;
    return toLow < toHigh ? -1 : 1;
}

bool Within(std::int32_t value, std::int32_t low, std::int32_t high)
{
    return value >= low - RegionSelection::kGripReach
            && value <= high + RegionSelection::kGripReach;
}

bool TakesLeft(RegionGrip g)
{
    return g == RegionGrip::Left || g == RegionGrip::TopLeft || g == RegionGrip::BottomLeft;
}

bool TakesRight(RegionGrip g)
{
    return g == RegionGrip::Right || g == RegionGrip::TopRight || g == RegionGrip::BottomRight;
}

bool TakesTop(RegionGrip g)
{
    return g == RegionGrip::Top || g == RegionGrip::TopLeft || g == RegionGrip::TopRight;
}

bool TakesBottom(RegionGrip g)
{
    return g == RegionGrip::Bottom || g == RegionGrip::BottomLeft || g == RegionGrip::BottomRight;
}

} // namespace

RegionSelection::RegionSelection(Size screen, std::optional<Rect> start) : bounds(screen)
{
    const Rect whole{ 0, 0, bounds.width, bounds.height };
    if (start && start->intersected(whole) == *start)
        current = *start;
}

std::int32_t RegionSelection::clampX(std::int32_t x) const
{
    return std::clamp(x, 0, bounds.width);
}

std::int32_t RegionSelection::clampY(std::int32_t y) const
{
    return std::clamp(y, 0, bounds.height);
}

RegionGrip RegionSelection::gripAt(std::int32_t x, std::int32_t y) const
{
    if (current.isEmpty())
        return RegionGrip::None;
    const Rect &r = current;
    const int side = Within(y, r.top, r.bottom) ? NearerEdge(x, r.left, r.right) : 0;
    const int end = Within(x, r.left, r.right) ? NearerEdge(y, r.top, r.bottom) : 0;
    // Indexed by [end + 1][side + 1]: above, on neither, below; left, on neither, right.
    static constexpr RegionGrip kGrips[3][3] = {
        { RegionGrip::TopLeft, RegionGrip::Top, RegionGrip::TopRight },
        { RegionGrip::Left, RegionGrip::None, RegionGrip::Right },
        { RegionGrip::BottomLeft, RegionGrip::Bottom, RegionGrip::BottomRight },
    };
    const RegionGrip onEdge = kGrips[end + 1][side + 1];
    if (onEdge != RegionGrip::None)
        return onEdge;
    if (x > r.left && x < r.right && y > r.top && y < r.bottom)
        return RegionGrip::Move;
    return RegionGrip::None;
}

void RegionSelection::press(std::int32_t x, std::int32_t y)
{
    pressed = true;
    grip = gripAt(x, y);
    anchorX = clampX(x);
    anchorY = clampY(y);
    atPress = current;
}

void RegionSelection::drag(std::int32_t x, std::int32_t y)
{
    if (!pressed)
        return;
    const std::int32_t px = clampX(x);
    const std::int32_t py = clampY(y);
    if (grip == RegionGrip::None) {
        // A new selection: the rectangle between the press and the pointer, either way round.
        current = Rect{ anchorX, anchorY, px, py }.normalised();
        if (current.isEmpty())
            current = Rect{};
        return;
    }
    if (grip == RegionGrip::Move) {
        current = atPress;
        moveBy(px - anchorX, py - anchorY);
        return;
    }
    dragEdges(px - anchorX, py - anchorY);
}

// An edge follows the pointer up to one pixel short of the edge across from it.
void RegionSelection::dragEdges(std::int32_t dx, std::int32_t dy)
{
    Rect r = atPress;
    if (TakesLeft(grip))
        r.left = std::clamp(atPress.left + dx, 0, atPress.right - 1);
    if (TakesRight(grip))
        r.right = std::clamp(atPress.right + dx, atPress.left + 1, bounds.width);
    if (TakesTop(grip))
        r.top = std::clamp(atPress.top + dy, 0, atPress.bottom - 1);
    if (TakesBottom(grip))
        r.bottom = std::clamp(atPress.bottom + dy, atPress.top + 1, bounds.height);
    current = r;
}

void RegionSelection::release()
{
    pressed = false;
    grip = RegionGrip::None;
}

void RegionSelection::moveBy(std::int32_t dx, std::int32_t dy)
{
    if (current.isEmpty())
        return;
    const std::int32_t x = std::clamp(current.left + dx, 0, bounds.width - current.width());
    const std::int32_t y = std::clamp(current.top + dy, 0, bounds.height - current.height());
    current = Rect{ x, y, x + current.width(), y + current.height() };
}

void RegionSelection::resizeBy(std::int32_t dw, std::int32_t dh)
{
    if (current.isEmpty())
        return;
    current.right = std::clamp(current.right + dw, current.left + 1, bounds.width);
    current.bottom = std::clamp(current.bottom + dh, current.top + 1, bounds.height);
}
