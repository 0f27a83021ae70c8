#pragma once

#include <cstdint>

// Commands the frame, the image view and the application handle (the document's are DocCmd).
namespace FrameCmd {
inline constexpr std::uint32_t ZoomIn = 30106;
inline constexpr std::uint32_t ZoomOut = 30107;
inline constexpr std::uint32_t ActualSize = 30108;
inline constexpr std::uint32_t ToggleToolbar = 30109;
inline constexpr std::uint32_t PreviousImage = 30114;
inline constexpr std::uint32_t NextImage = 30115;
inline constexpr std::uint32_t About = 30304;
// Internal: run the command line a second start of the program handed over.
inline constexpr std::uint32_t RunHandedOverCommandLine = 30501;
inline constexpr std::uint32_t Exit = 57665;
} // namespace FrameCmd

// The bars: the command bar's buttons and the menu, and the two toolbars of the view modes.
namespace FrameBar {
inline constexpr std::uint32_t CommandBar = 901;
} // namespace FrameBar

// Help contexts other than the view modes.
namespace HelpContext {
inline constexpr std::uint32_t MainContents = 0;
} // namespace HelpContext
