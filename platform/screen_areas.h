#pragma once

#include "image/rect.h"
#include "platform/capture_area.h"

#include <optional>
#include <string>
#include <vector>

class XConnection;

// One monitor as the X server lists it (RandR 1.5 monitors, which include those a user made with
// `xrandr --setmonitor`), in root-window pixels.
struct ScreenMonitor
{
    std::string name;
    Rect rect;
    bool primary = false;
};

// Finds the capture areas on an X server's screen, in root-window pixels, each clipped to the
// screen. Plain xcb: the command-line capture uses it without Qt. The connection is borrowed.
class ScreenAreas
{
public:
    explicit ScreenAreas(const XConnection &connection);

    // The root window as it is now; empty when the server does not answer.
    Rect screen() const;
    // In the server's order (the index `--monitor` takes); empty without RandR 1.5.
    std::vector<ScreenMonitor> monitors() const;
    // The first monitor holding the pointer; the whole screen when none does (no RandR).
    Rect monitorUnderPointer() const;
    // The window the window manager names active (_NET_ACTIVE_WINDOW) with the frame it draws
    // (_NET_FRAME_EXTENTS); without one, the top-level window under the pointer with its border;
    // the whole screen when the pointer is over no window. Empty when the window is wholly off the
    // screen.
    Rect activeWindow() const;

    // The rectangle a request stands for; nothing when it names no part of the screen (a monitor
    // index the server does not list, a rectangle or window outside the screen). Region stands
    // for the whole screen, on which the rectangle is chosen afterwards.
    std::optional<Rect> locate(const AreaRequest &request) const;

private:
    std::optional<Rect> activeWindowFrame() const;
    std::optional<Rect> windowUnderPointer() const;
    std::optional<Rect> outerRect(std::uint32_t window) const;

    const XConnection &x;
};
