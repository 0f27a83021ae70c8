#pragma once

#include "image/rect.h"

#include <cstdint>
#include <optional>

// What a press on the region chooser takes hold of: the whole selection (to move it), one of
// its edges or corners (to resize it), or nothing (a new selection is drawn).
enum class RegionGrip {
    None,
    Move,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

// The rules of choosing a rectangle on a screen of a given size, in screen pixels, apart from
// the window that shows it. Points are pixel corners from (0, 0) to (width, height): dragging
// from (10, 10) to (50, 40) selects 40 x 30 pixels. The selection never leaves the screen and,
// once made, is never smaller than one pixel.
class RegionSelection
{
public:
    // Edges and corners can be taken hold of this many pixels to either side.
    static constexpr std::int32_t kGripReach = 6;

    // start (the region chosen last) is offered again when it still lies on the screen.
    explicit RegionSelection(Size screen, std::optional<Rect> start = std::nullopt);

    // The selection; empty before one is drawn.
    const Rect &rect() const { return current; }

    RegionGrip gripAt(std::int32_t x, std::int32_t y) const;

    // A press of the button, the pointer moving with it held, and its release.
    void press(std::int32_t x, std::int32_t y);
    void drag(std::int32_t x, std::int32_t y);
    void release();

    // The arrow keys: move by whole pixels, or (with Shift) move the right and bottom edges.
    void moveBy(std::int32_t dx, std::int32_t dy);
    void resizeBy(std::int32_t dw, std::int32_t dh);

private:
    std::int32_t clampX(std::int32_t x) const;
    std::int32_t clampY(std::int32_t y) const;
    void dragEdges(std::int32_t dx, std::int32_t dy);

    Size bounds;
    Rect current;
    RegionGrip grip = RegionGrip::None;
    bool pressed = false;
    std::int32_t anchorX = 0;
    std::int32_t anchorY = 0;
    Rect atPress;
};
