#pragma once

#include <cstdint>

// The program's private window messages. Their numbers are fixed: views and the frame compare them.

// The document's list was reloaded or the views must re-lay out; second parameter 1 when the
// Options dialog changed how pictures are shown.
inline constexpr std::uint32_t WM_LIST_CHANGED = 1112;
// The selection changed: posted to the image view with the newly selected item as the first
// parameter, sent to the thumbnail view with 0.
inline constexpr std::uint32_t WM_CURRENT_CHANGED = 1113;
// Pans the image view by a step: horizontal pixels as the first parameter, vertical as the second.
inline constexpr std::uint32_t WM_SCROLL_PICTURE = 1115;
