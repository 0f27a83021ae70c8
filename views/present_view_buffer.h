#pragma once

#include "image/palette.h"
#include "image/rect.h"

#include <cstdint>

class QPainter;
struct ViewBuffer;

// Shows a 3-byte view buffer (blue, green, red, top row first, rows width + rowPad pixels apart)
// at area on target. The buffer's visible size is the area's size. The colours are first adapted
// to the screen in place by reduceForScreen with mode (a stored colour optimisation value, 0 to
// 7, Automatic judged by CurrentDisplayInfo()); pixels equal to key keep their colour when useKey
// is set, so a background shared with the window stays exact.
//
// The pixels are wrapped, not copied, and drawn as a plain source copy. For the halftone modes (4
// to 7) palette, or a record of the call's own when it is null, receives the halftone palette;
// other modes fill only a palette the caller supplied. A true-colour surface needs no palette
// selected for the copy: the mapped pixels already hold the palette's colours.
//
// With pixelRatio above 1, area is in the target's device pixels (pixelRatio of them per
// painter unit) and each buffer pixel lands on one of them.
//
// Returns true at once for an all-zero or empty area; false when there is no pixel memory or
// target is not painting.
bool presentViewBuffer(QPainter &target, const Rect &area, std::uint8_t *pixels,
                       std::int32_t rowPad, std::int32_t mode, RgbValue key, bool useKey,
                       ImagePalette *palette = nullptr, double pixelRatio = 1.0);

// The same for a top-down view buffer at least as large as the area; its extra width is the row
// padding. A bottom-up buffer is refused (false): it would show upside down.
bool presentViewBuffer(QPainter &target, const Rect &area, ViewBuffer &buffer, std::int32_t mode,
                       RgbValue key, bool useKey, ImagePalette *palette = nullptr);
