#pragma once

#include "image/rect.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What part of the screen a capture takes. The values are those stored in the settings.
enum class CaptureArea : std::uint32_t {
    Screen = 0, // the whole root window
    Monitor = 1, // the monitor under the pointer, or the one asked for by index
    Window = 2, // the active window with its frame
    Region = 3, // a rectangle chosen on the frozen screen
};

inline constexpr std::uint32_t kCaptureAreaCount = 4;

// One capture's area: an area kind, or an exact rectangle of the screen (for scripts), or one
// monitor by its index in the X server's monitor list.
struct AreaRequest
{
    CaptureArea area = CaptureArea::Screen;
    std::optional<Rect> exact;
    std::optional<int> monitor;
};

// The words the command line and the portal helper use for the kinds: "screen", "monitor",
// "window", "region".
std::string_view AreaWord(CaptureArea area);

// Reads "screen", "monitor", "window", "region" or "X,Y,W,H" (whole numbers, W and H at least
// 1, X and Y may be negative). Nothing for any other text.
std::optional<AreaRequest> ParseAreaText(std::string_view text);

// The text ParseAreaText reads back into the same request (monitor indexes are not part of it).
std::string AreaText(const AreaRequest &request);
