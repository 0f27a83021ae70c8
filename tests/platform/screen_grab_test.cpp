#include "platform/screen_grab.h"

#include "platform/x_connection.h"
#include "tests/platform/root_painter.h"
#include "tests/support/xvfb_server.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

using Bgr = std::array<std::uint8_t, 3>;

// Counts the pixels of the grab that differ from expected, reporting the first few.
int CountMismatches(const CaptureGrab &grab, const std::function<Bgr(int x, int y)> &expected)
{
    int wrong = 0;
    for (int y = 0; y < grab.h; ++y) {
        for (int x = 0; x < grab.w; ++x) {
            const std::uint8_t *got = grab.row(y) + 3 * x;
            const Bgr want = expected(x, y);
            if (got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
                continue;
            if (++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << ": got " << int(got[0]) << " "
                              << int(got[1]) << " " << int(got[2]) << ", want " << int(want[0])
                              << " " << int(want[1]) << " " << int(want[2]);
        }
    }
    return wrong;
}

// A pattern that differs from row to row and column to column, so swapped rows, a wrong stride or
// swapped channels all show.
std::uint8_t PatternRed(int x, int y)
{
    return static_cast<std::uint8_t>(x * 5 + y * 3);
}

std::uint8_t PatternGreen(int x, int y)
{
    return static_cast<std::uint8_t>(x ^ (y * 7));
}

std::uint8_t PatternBlue(int x, int y)
{
    return static_cast<std::uint8_t>(x * y + 11 + y);
}

std::uint32_t TrueColourPixel(int x, int y)
{
    return std::uint32_t{ PatternRed(x, y) } << 16 | std::uint32_t{ PatternGreen(x, y) } << 8
            | PatternBlue(x, y);
}

// 5-6-5 pixels of the pattern; the first five of the top row are the pure colours whose widening
// is checked by value.
constexpr std::array<std::uint16_t, 5> kPure565 = { 0xF800, 0x07E0, 0x001F, 0xFFFF, 0x8410 };
constexpr std::array<Bgr, 5> kPureBgr = { Bgr{ 0, 0, 255 }, Bgr{ 0, 255, 0 }, Bgr{ 255, 0, 0 },
                                          Bgr{ 255, 255, 255 }, Bgr{ 132, 130, 132 } };

std::uint32_t HighColourPixel(int x, int y)
{
    if (y == 0 && x < static_cast<int>(kPure565.size()))
        return kPure565[x];
    return static_cast<std::uint16_t>(x * 37 + y * 101);
}

Bgr Widened565(std::uint32_t pixel)
{
    const std::uint32_t r = pixel >> 11 & 31, g = pixel >> 5 & 63, b = pixel & 31;
    return { static_cast<std::uint8_t>(b << 3 | b >> 2), static_cast<std::uint8_t>(g << 2 | g >> 4),
             static_cast<std::uint8_t>(r << 3 | r >> 2) };
}

struct GrabCase
{
    const char *name;
    int width;
    int depth;
    bool shared;
};

void PrintTo(const GrabCase &c, std::ostream *out)
{
    *out << c.name;
}

class ScreenGrabTest : public testing::TestWithParam<GrabCase>
{ };

TEST_P(ScreenGrabTest, GrabHoldsEveryPixelOfTheScreenTopRowFirst)
{
    const GrabCase &c = GetParam();
    const int height = 37;
    XvfbServer server(c.width, height, c.depth);
    ASSERT_TRUE(server.ok()) << server.error();
    const bool trueColour = c.depth >= 24;
    PaintRoot(server.display(), trueColour ? PixelAt(TrueColourPixel) : PixelAt(HighColourPixel));

    ScreenGrabber grabber(server.display());
    grabber.allowSharedMemory(c.shared);
    GrabResult result = grabber.grab();
    ASSERT_TRUE(std::holds_alternative<CaptureGrab>(result));
    const CaptureGrab &grab = std::get<CaptureGrab>(result);
    EXPECT_EQ(grabber.lastGrabUsedSharedMemory(), c.shared);
    EXPECT_EQ(grab.w, c.width);
    EXPECT_EQ(grab.h, height);
    EXPECT_EQ(grab.pad, c.width % 4 == 0 ? 0 : 4 - c.width % 4);
    EXPECT_EQ((grab.w + grab.pad) % 4, 0);
    EXPECT_EQ(grab.top, grab.store.get());

    if (trueColour) {
        EXPECT_EQ(CountMismatches(
                          grab,
                          [](int x, int y) {
                              return Bgr{ PatternBlue(x, y), PatternGreen(x, y), PatternRed(x, y) };
                          }),
                  0);
    } else {
        for (std::size_t i = 0; i < kPure565.size(); ++i) {
            const std::uint8_t *got = grab.row(0) + 3 * i;
            EXPECT_EQ((Bgr{ got[0], got[1], got[2] }), kPureBgr[i]) << "pure colour " << i;
        }
        EXPECT_EQ(CountMismatches(grab,
                                  [](int x, int y) { return Widened565(HighColourPixel(x, y)); }),
                  0);
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ScreenGrabTest,
                         testing::Values(GrabCase{ "w241_d24_shared", 241, 24, true },
                                         GrabCase{ "w241_d24_plain", 241, 24, false },
                                         GrabCase{ "w240_d24_shared", 240, 24, true },
                                         GrabCase{ "w240_d24_plain", 240, 24, false },
                                         GrabCase{ "w241_d16_shared", 241, 16, true },
                                         GrabCase{ "w241_d16_plain", 241, 16, false },
                                         GrabCase{ "w240_d16_plain", 240, 16, false },
                                         GrabCase{ "w242_d24_shared", 242, 24, true }),
                         [](const testing::TestParamInfo<GrabCase> &row) {
                             return row.param.name;
                         });

// Allocates colours in the default colour map of an 8-bit screen; their pixel values.
std::vector<std::uint32_t> AllocateColours(const std::string &display,
                                           const std::vector<Bgr> &colours)
{
    XConnection x(display);
    EXPECT_TRUE(x.usable());
    std::vector<std::uint32_t> pixels;
    xcb_connection_t *c = x.get();
    for (const Bgr &colour : colours) {
        XcbReply<xcb_alloc_color_reply_t> reply(xcb_alloc_color_reply(
                c,
                xcb_alloc_color(c, x.screen()->default_colormap, colour[2] * 257, colour[1] * 257,
                                colour[0] * 257),
                nullptr));
        EXPECT_TRUE(reply);
        if (!reply)
            return {};
        EXPECT_EQ((Bgr{ static_cast<std::uint8_t>(reply->blue >> 8),
                        static_cast<std::uint8_t>(reply->green >> 8),
                        static_cast<std::uint8_t>(reply->red >> 8) }),
                  colour);
        pixels.push_back(reply->pixel);
    }
    // A client's colours are freed when it disconnects; retaining its resources keeps them in the
    // map for the grab.
    xcb_set_close_down_mode(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT);
    XcbReply<xcb_get_input_focus_reply_t> sync(
            xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return pixels;
}

TEST(ScreenGrabberTest, PaletteScreenGivesTheColoursOfItsColourMap)
{
    XvfbServer server(241, 19, 8);
    ASSERT_TRUE(server.ok()) << server.error();
    const std::vector<Bgr> colours = { { 0, 0, 255 },     { 0, 255, 0 },   { 255, 0, 0 },
                                       { 255, 255, 255 }, { 32, 64, 128 }, { 7, 200, 99 } };
    const std::vector<std::uint32_t> pixels = AllocateColours(server.display(), colours);
    ASSERT_EQ(pixels.size(), colours.size());
    auto index = [&](int x, int y) {
        return static_cast<std::size_t>(x + 2 * y) % colours.size();
    };
    PaintRoot(server.display(), [&](int x, int y) { return pixels[index(x, y)]; });
    for (bool shared : { true, false }) {
        SCOPED_TRACE(shared ? "shared memory" : "image request");
        ScreenGrabber grabber(server.display());
        grabber.allowSharedMemory(shared);
        GrabResult result = grabber.grab();
        ASSERT_TRUE(std::holds_alternative<CaptureGrab>(result));
        EXPECT_EQ(CountMismatches(std::get<CaptureGrab>(result),
                                  [&](int x, int y) { return colours[index(x, y)]; }),
                  0);
    }
}

TEST(ScreenGrabberTest, LaterGrabsSeeTheScreenAsItIsThen)
{
    XvfbServer server(61, 23, 24);
    ASSERT_TRUE(server.ok()) << server.error();
    ScreenGrabber grabber(server.display());
    ASSERT_TRUE(grabber.init());
    for (std::uint32_t colour : { 0x102030u, 0xA0B0C0u }) {
        SCOPED_TRACE(colour);
        PaintRoot(server.display(), [colour](int, int) { return colour; });
        GrabResult result = grabber.grab();
        ASSERT_TRUE(std::holds_alternative<CaptureGrab>(result));
        EXPECT_TRUE(grabber.lastGrabUsedSharedMemory());
        const Bgr want{ static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                        static_cast<std::uint8_t>(colour >> 16) };
        EXPECT_EQ(CountMismatches(std::get<CaptureGrab>(result), [&](int, int) { return want; }),
                  0);
    }
}

TEST(ScreenGrabberTest, NoServerIsNoSurfaceAndAServerThatLeftIsToo)
{
    std::string display;
    auto server = std::make_unique<XvfbServer>(32, 16, 24);
    ASSERT_TRUE(server->ok()) << server->error();
    display = server->display();
    ScreenGrabber grabber(display);
    ASSERT_TRUE(std::holds_alternative<CaptureGrab>(grabber.grab()));

    server.reset();
    GrabResult result = grabber.grab();
    ASSERT_TRUE(std::holds_alternative<GrabFailure>(result));
    EXPECT_EQ(std::get<GrabFailure>(result), GrabFailure::NoSurface);
    // Asked again, it looks for the server anew and still finds none.
    EXPECT_FALSE(grabber.init());
    result = grabber.grab();
    ASSERT_TRUE(std::holds_alternative<GrabFailure>(result));
    EXPECT_EQ(std::get<GrabFailure>(result), GrabFailure::NoSurface);
}

} // namespace
