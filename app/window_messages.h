#pragma once

#include <cstdint>

// The program's private window messages. Their numbers are fixed: views and the frame compare them.

// The document's list was reloaded or the views must re-lay out; second parameter 1 when the
// Options dialog changed how pictures are shown.
inline constexpr std::uint32_t WM_LIST_CHANGED = 1112;
// The selection changed: posted to the image view with the newly selected item's serial number
// as the first parameter, sent to the thumbnail view with 0.
inline constexpr std::uint32_t WM_CURRENT_CHANGED = 1113;
// Pans the image view by a step: horizontal pixels as the first parameter, vertical as the second.
inline constexpr std::uint32_t WM_SCROLL_PICTURE = 1115;

// The platform's hot-key message: the high 16 bits of the second parameter are the key code.
inline constexpr std::uint32_t WM_HOTKEY = 786;
// Posted by the capture to itself when it waits for the "Capture Message" dialog: first
// parameter the number of the grab it holds, second the grab's row padding.
inline constexpr std::uint32_t WM_CAPTURE_CONFIRM = 1116;
// The capture's one-shot delay timer that starts a capture.
inline constexpr std::uint32_t CaptureTimer = 120;
