#pragma once

#include "image/rect.h"
#include "platform/x_connection.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The server's pixel value at (x, y).
using PixelAt = std::function<std::uint32_t(int x, int y)>;

// Packed red, green, blue rows of the pixel values of 24-bit colour in area, top row first: what a
// capture of that part of the screen holds.
inline std::vector<std::uint8_t> PixelRgb(const Rect &area, const PixelAt &pixel)
{
    std::vector<std::uint8_t> rgb;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::uint32_t p = pixel(x, y);
            rgb.insert(rgb.end(), { std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p) });
        }
    }
    return rgb;
}

// Writes pixel values straight into the root window, in bands that fit the request size limit.
// Assumes the server's images are least significant byte first, as on every host Xvfb runs here.
inline void PaintRoot(const std::string &display, const PixelAt &pixel)
{
    XConnection x(display);
    ASSERT_TRUE(x.usable());
    xcb_connection_t *c = x.get();
    const xcb_screen_t *screen = x.screen();
    ASSERT_EQ(x.setup()->image_byte_order, XCB_IMAGE_ORDER_LSB_FIRST);
    const int bytes = x.bitsPerPixel(screen->root_depth) / 8;
    const int width = screen->width_in_pixels;
    const int height = screen->height_in_pixels;
    const std::size_t stride = (static_cast<std::size_t>(width) * bytes + 3) / 4 * 4;
    const std::size_t maxBytes = xcb_get_maximum_request_length(c) * 4 - 64;
    const int band = static_cast<int>(std::max<std::size_t>(1, maxBytes / stride));
    const xcb_gcontext_t gc = xcb_generate_id(c);
    xcb_create_gc(c, gc, screen->root, 0, nullptr);
    for (int top = 0; top < height; top += band) {
        const int rows = std::min(band, height - top);
        std::vector<std::uint8_t> data(stride * rows);
        for (int y = 0; y < rows; ++y) {
            for (int px = 0; px < width; ++px) {
                std::uint32_t value = pixel(px, top + y);
                for (int i = 0; i < bytes; ++i)
                    data[y * stride + px * bytes + i] = static_cast<std::uint8_t>(value >> (8 * i));
            }
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, gc, width, rows, 0, top, 0,
                      screen->root_depth, data.size(), data.data());
    }
    xcb_free_gc(c, gc);
    // A round trip: everything sent before it has been drawn when the reply arrives.
    XcbReply<xcb_get_input_focus_reply_t> sync(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    ASSERT_TRUE(sync);
}
