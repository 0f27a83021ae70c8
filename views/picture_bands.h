#pragma once

#include "image/image_buffer.h"
#include "image/palette.h"
#include "image/rect.h"

#include <cstddef>
#include <cstdint>

class QPainter;

// What one paint of the image view draws: a decoded picture (a frame or an animation's canvas)
// shown zoomed and turned, and how it sits in the window.
struct BandedPicture
{
    const ImageBuffer *image = nullptr;
    // The image's place on its canvas and the canvas's size, at the scale it was decoded at.
    std::int32_t frameX = 0;
    std::int32_t frameY = 0;
    Size canvas;
    // The whole picture zoomed and turned, and the part of it the image covers.
    Size zoomed;
    Rect imageInView;
    std::int32_t orientation = 0;
    // The window's top-left corner in the zoomed picture.
    std::int32_t offsetX = 0;
    std::int32_t offsetY = 0;
};

// How the bands reach the window.
struct BandStyle
{
    RgbValue background = 0;
    std::int32_t colourMode = 0;
    // Pixels of the background colour keep it exactly (pictures with transparent parts).
    bool keepBackground = false;
    // The largest band store attempted; a larger one is halved in height until it fits.
    std::size_t byteLimit = ImageBuffer::kMaxStoreBytes;
};

// Draws pictureRect of the window (the part the picture covers) band after band through one
// store as wide as the rectangle and as tall as memory allows: each band is filled with the
// background, the picture rendered into it and the band shown. False when no store could be had
// or a band could not be shown.
bool PaintPictureInBands(QPainter &painter, const Rect &pictureRect, const BandedPicture &picture,
                         const BandStyle &style);

// The window rectangle the picture covers: in a direction where it is smaller than the window,
// the centred part (from -offset over the zoomed length); otherwise the whole window.
Rect PictureRectInWindow(Size zoomed, std::int32_t offsetX, std::int32_t offsetY, Size client);
