// The region chooser's rules on a 100 x 80 screen: drawing, moving, edges and corners, the arrow
// keys, and the screen's edges that nothing crosses.
#include "capture/region_selection.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr Size kScreen{ 100, 80 };

void Drag(RegionSelection &s, int x0, int y0, int x1, int y1)
{
    s.press(x0, y0);
    s.drag((x0 + x1) / 2, (y0 + y1) / 2);
    s.drag(x1, y1);
    s.release();
}

TEST(RegionSelection, DrawMoveResizeAndKeys)
{
    struct Case
    {
        const char *name;
        std::optional<Rect> start;
        std::function<void(RegionSelection &)> act;
        Rect expected;
    };

    const Rect box{ 20, 20, 60, 50 };
    const Case cases[] = {
        { "drawn down and right", std::nullopt, [](auto &s) { Drag(s, 10, 10, 50, 40); },
          Rect{ 10, 10, 50, 40 } },
        { "drawn up and left", std::nullopt, [](auto &s) { Drag(s, 50, 40, 10, 10); },
          Rect{ 10, 10, 50, 40 } },
        { "drawn past the screen's edge", std::nullopt, [](auto &s) { Drag(s, 90, 70, 130, -9); },
          Rect{ 90, 0, 100, 70 } },
        { "a click draws nothing", std::nullopt, [](auto &s) { Drag(s, 30, 30, 30, 30); }, Rect{} },
        { "drawn anew outside the selection", box, [](auto &s) { Drag(s, 80, 5, 90, 15); },
          Rect{ 80, 5, 90, 15 } },
        { "moved from inside", box, [](auto &s) { Drag(s, 40, 30, 45, 27); },
          Rect{ 25, 17, 65, 47 } },
        { "moved against the screen's edge", box, [](auto &s) { Drag(s, 40, 30, 0, 100); },
          Rect{ 0, 50, 40, 80 } },
        { "left edge", box, [](auto &s) { Drag(s, 21, 35, 5, 0); }, Rect{ 4, 20, 60, 50 } },
        { "bottom edge within reach outside", box, [](auto &s) { Drag(s, 40, 55, 40, 60); },
          Rect{ 20, 20, 60, 55 } },
        { "top right corner", box, [](auto &s) { Drag(s, 61, 19, 70, 10); },
          Rect{ 20, 11, 69, 50 } },
        { "an edge stops a pixel short of the other", box, [](auto &s) { Drag(s, 60, 35, 0, 35); },
          Rect{ 20, 20, 21, 50 } },
        { "arrows move by a pixel", box,
          [](auto &s) {
              s.moveBy(1, 0);
              s.moveBy(0, -1);
          },
          Rect{ 21, 19, 61, 49 } },
        { "shift arrows move the right and bottom edges", box,
          [](auto &s) {
              s.resizeBy(-1, 0);
              s.resizeBy(0, 2);
          },
          Rect{ 20, 20, 59, 52 } },
        { "keys keep the selection on the screen", Rect{ 0, 0, 1, 1 },
          [](auto &s) {
              s.moveBy(-1, -1);
              s.resizeBy(-1, -1);
          },
          Rect{ 0, 0, 1, 1 } },
        { "keys do nothing without a selection", std::nullopt, [](auto &s) { s.moveBy(3, 3); },
          Rect{} },
        { "a last region off the present screen is not offered", Rect{ 90, 70, 110, 90 },
          [](auto &) {}, Rect{} },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RegionSelection selection(kScreen, c.start);
        c.act(selection);
        EXPECT_EQ(selection.rect(), c.expected);
    }
}

TEST(RegionSelection, GripsByPlace)
{
    RegionSelection selection(kScreen, Rect{ 20, 20, 60, 50 });
    EXPECT_EQ(selection.gripAt(20, 20), RegionGrip::TopLeft);
    EXPECT_EQ(selection.gripAt(65, 55), RegionGrip::BottomRight);
    EXPECT_EQ(selection.gripAt(40, 50), RegionGrip::Bottom);
    EXPECT_EQ(selection.gripAt(14, 35), RegionGrip::Left);
    EXPECT_EQ(selection.gripAt(40, 35), RegionGrip::Move);
    EXPECT_EQ(selection.gripAt(13, 35), RegionGrip::None);
    EXPECT_EQ(selection.gripAt(40, 70), RegionGrip::None);
    // On a selection two pixels wide the nearer edge wins.
    RegionSelection narrow(kScreen, Rect{ 50, 10, 52, 40 });
    EXPECT_EQ(narrow.gripAt(50, 25), RegionGrip::Left);
    EXPECT_EQ(narrow.gripAt(52, 25), RegionGrip::Right);
}

} // namespace
