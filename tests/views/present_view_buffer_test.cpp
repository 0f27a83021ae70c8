#include "views/present_view_buffer.h"

#include "image/display_info.h"
#include "image/halftone_palette.h"
#include "image/view_buffer.h"
#include "tests/support/qt_test_app.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

constexpr int kWidth = 5; // rows of 5 pixels: one pixel of padding per row
constexpr int kHeight = 3;
constexpr int kRowPad = 3; // (5 + 3) * 3 = 24 bytes, a multiple of 4

std::vector<std::uint8_t> flatBuffer(std::uint8_t value)
{
    return std::vector<std::uint8_t>(static_cast<std::size_t>(kWidth + kRowPad) * 3 * kHeight,
                                     value);
}

// Pixel (x, y) of the target as blue, green, red like the buffer.
std::array<int, 3> bgrAt(const QImage &image, int x, int y)
{
    QRgb c = image.pixel(x, y);
    return { qBlue(c), qGreen(c), qRed(c) };
}

class PresentViewBufferTest : public ::testing::Test
{
protected:
    PresentViewBufferTest()
    {
        EnsureTestApplication();
        target.fill(Qt::black);
    }

    ~PresentViewBufferTest() override { SetDisplayInfo(saved); }

    bool present(std::vector<std::uint8_t> &pixels, std::int32_t mode, RgbValue key = kNoColour,
                 bool useKey = false, ImagePalette *palette = nullptr)
    {
        QPainter painter(&target);
        return presentViewBuffer(painter, area, pixels.data(), kRowPad, mode, key, useKey, palette);
    }

    DisplayInfo saved = CurrentDisplayInfo();
    QImage target{ 12, 8, QImage::Format_RGB32 };
    Rect area{ 4, 2, 4 + kWidth, 2 + kHeight };
};

} // namespace

TEST_F(PresentViewBufferTest, NoneCopiesTheBufferUnchangedAtTheArea)
{
    auto pixels = flatBuffer(0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint8_t *p = pixels.data() + (y * (kWidth + kRowPad) + x) * 3;
            p[0] = std::uint8_t(10 * x + 1); // blue
            p[1] = std::uint8_t(20 * y + 2); // green
            p[2] = 200; // red
        }
    const auto before = pixels;
    ASSERT_TRUE(present(pixels, 1));
    EXPECT_EQ(pixels, before);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_EQ(bgrAt(target, 4 + x, 2 + y),
                      (std::array<int, 3>{ 10 * x + 1, 20 * y + 2, 200 }));
    // Nothing outside the area.
    EXPECT_EQ(target.pixel(3, 2), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(4 + kWidth, 2), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(4, 2 + kHeight), qRgb(0, 0, 0));
}

TEST_F(PresentViewBufferTest, AutomaticFollowsTheScreen)
{
    auto pixels = flatBuffer(8);
    const auto before = pixels;
    ASSERT_TRUE(present(pixels, 0)); // the default screen is true colour
    EXPECT_EQ(pixels, before);

    SetDisplayInfo({ 12, 4096 });
    ASSERT_TRUE(present(pixels, 0));
    // The 16-level table maps 8 to 17; the next pixel gets (7 x -9 + 8) / 16 = -3 and drops to 0.
    EXPECT_EQ(bgrAt(target, 4, 2), (std::array<int, 3>{ 17, 17, 17 }));
    EXPECT_EQ(bgrAt(target, 5, 2), (std::array<int, 3>{ 0, 0, 0 }));
}

TEST_F(PresentViewBufferTest, LevelModesDrawTheReducedBuffer)
{
    auto white = flatBuffer(255);
    ASSERT_TRUE(present(white, 2));
    EXPECT_EQ(bgrAt(target, 4, 2), (std::array<int, 3>{ 248, 248, 248 }));
    auto eights = flatBuffer(8);
    ASSERT_TRUE(present(eights, 3));
    EXPECT_EQ(bgrAt(target, 4, 2), (std::array<int, 3>{ 17, 17, 17 }));
}

TEST_F(PresentViewBufferTest, HalftoneModeMapsOntoThePaletteAndFillsIt)
{
    auto pixels = flatBuffer(0);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = std::uint8_t(37 * i + 11);
    ImagePalette palette;
    ASSERT_TRUE(present(pixels, 4, kNoColour, false, &palette));
    const ImagePalette halftone = HalftonePalette();
    EXPECT_EQ(palette.count, 256);
    std::set<QRgb> allowed;
    for (const PaletteEntry &e : halftone.entries)
        allowed.insert(qRgb(e.red, e.green, e.blue));
    for (int i = 0; i < 256; ++i)
        EXPECT_TRUE(palette.entries[i].sameColour(halftone.entries[i])) << i;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            EXPECT_TRUE(allowed.count(target.pixel(4 + x, 2 + y))) << x << "," << y;
}

TEST_F(PresentViewBufferTest, KeyColourKeepsItsPixels)
{
    const RgbValue key = MakeRgb(8, 8, 8);
    for (std::int32_t mode : { 2, 3, 4 }) {
        auto pixels = flatBuffer(8);
        ASSERT_TRUE(present(pixels, mode, key, true)) << mode;
        EXPECT_EQ(pixels, flatBuffer(8)) << mode;
    }
}

TEST_F(PresentViewBufferTest, EmptyAreaSucceedsAndInactivePainterFails)
{
    auto pixels = flatBuffer(200);
    QImage before = target.copy();
    {
        QPainter painter(&target);
        EXPECT_TRUE(
                presentViewBuffer(painter, Rect{}, pixels.data(), kRowPad, 1, kNoColour, false));
        EXPECT_TRUE(presentViewBuffer(painter, Rect{ 3, 3, 3, 9 }, pixels.data(), kRowPad, 1,
                                      kNoColour, false));
        EXPECT_FALSE(presentViewBuffer(painter, area, nullptr, kRowPad, 1, kNoColour, false));
    }
    EXPECT_EQ(target, before);
    QPainter idle;
    EXPECT_FALSE(presentViewBuffer(idle, area, pixels.data(), kRowPad, 1, kNoColour, false));
}

TEST_F(PresentViewBufferTest, ViewBufferFormRefusesBottomUpAndTooSmallBuffers)
{
    std::optional<ViewBuffer> buffer = makeViewBuffer(kWidth, kHeight, false, false);
    ASSERT_TRUE(buffer);
    std::fill_n(buffer->pixels, buffer->stride() * kHeight, std::uint8_t(90));
    QPainter painter(&target);
    EXPECT_TRUE(presentViewBuffer(painter, area, *buffer, 1, kNoColour, false));
    EXPECT_FALSE(
            presentViewBuffer(painter, Rect{ 0, 0, kWidth + 4, 1 }, *buffer, 1, kNoColour, false));
    buffer->bottomUp = true;
    EXPECT_FALSE(presentViewBuffer(painter, area, *buffer, 1, kNoColour, false));
    painter.end();
    EXPECT_EQ(target.pixel(4, 2), qRgb(90, 90, 90));
}
