#include "views/frame_animation.h"

#include "image/view_buffer.h"
#include "tests/support/qt_test_app.h"
#include "views/picture_canvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// A 1-byte frame of one palette colour (index 1; index 0 is transparent) at rect.
std::unique_ptr<ImageFrame> Frame(Rect rect, std::uint8_t red, std::uint8_t disposal, int delay)
{
    auto frame = std::make_unique<ImageFrame>();
    frame->frameRect = frame->drawnRect = rect;
    frame->disposal = disposal;
    frame->delay = static_cast<std::int16_t>(delay);
    ImageBuffer &image = frame->image;
    image.create(rect.width(), rect.height(), 1, false);
    image.palette = new ImagePalette();
    image.palette->count = 2;
    image.palette->entries[1].red = red;
    image.transparent = 0;
    for (int y = 0; y < image.height; ++y)
        std::fill_n(image.row(y), image.width, std::uint8_t(1));
    return frame;
}

// Red and alpha of the canvas at (x, y).
std::pair<int, int> At(const ImageBuffer &canvas, int x, int y)
{
    return { canvas.row(y)[x * 3 + 2],
             canvas.alpha[std::size_t(y) * (canvas.width + canvas.rowPad) + x] };
}

} // namespace

TEST(FrameAnimation, DisposalKeepsClearsOrRestoresAndLoops)
{
    ImageInfo info;
    info.width = 4;
    info.height = 4;
    FrameArray frames;
    frames.push_back(Frame({ 0, 0, 4, 4 }, 10, 1, 0)); // stays
    frames.push_back(Frame({ 1, 1, 3, 3 }, 20, 3, 5)); // restored to what was under it
    frames.push_back(Frame({ 0, 0, 2, 2 }, 30, 2, 1)); // cleared to the background
    frames.push_back(Frame({ 3, 3, 4, 4 }, 40, 1, 7));
    EXPECT_EQ(FrameDelayMs(*frames[0]), 100);
    EXPECT_EQ(FrameDelayMs(*frames[2]), 100);
    EXPECT_EQ(FrameDelayMs(*frames[1]), 50);

    FrameAnimation player;
    ASSERT_TRUE(player.start(frames, info, 100));
    const ImageBuffer &canvas = player.canvas();
    EXPECT_EQ(At(canvas, 2, 2), std::make_pair(10, 255));
    player.advance(frames, info, 100);
    EXPECT_EQ(At(canvas, 2, 2), std::make_pair(20, 255));
    player.advance(frames, info, 100);
    EXPECT_EQ(At(canvas, 2, 2), std::make_pair(10, 255)); // frame 1 restored
    EXPECT_EQ(At(canvas, 0, 0), std::make_pair(30, 255));
    player.advance(frames, info, 100);
    EXPECT_EQ(At(canvas, 0, 0).second, 0); // frame 2 cleared its rectangle
    EXPECT_EQ(At(canvas, 3, 3), std::make_pair(40, 255));
    player.advance(frames, info, 100);
    EXPECT_EQ(player.frameIndex(), 0);
    EXPECT_EQ(At(canvas, 0, 0), std::make_pair(10, 255));

    // Frames decoded at half size sit at half their place on a half-size canvas.
    FrameArray half;
    half.push_back(Frame({ 0, 0, 2, 2 }, 10, 1, 0));
    half.push_back(Frame({ 0, 0, 1, 1 }, 20, 1, 0));
    half[1]->drawnRect = half[1]->frameRect = { 2, 2, 4, 4 };
    ASSERT_TRUE(player.start(half, info, 50));
    player.advance(half, info, 50);
    EXPECT_EQ(At(player.canvas(), 1, 1), std::make_pair(20, 255));
    EXPECT_FALSE(player.startedWith(frames));
    // A single frame is no animation.
    FrameArray one;
    one.push_back(Frame({ 0, 0, 4, 4 }, 10, 1, 0));
    EXPECT_FALSE(player.start(one, info, 100));
}

// Drawing in bands as small as the store allows gives the very pixels of one whole store.
TEST(PictureBands, SmallBandsDrawWhatOneStoreDraws)
{
    EnsureTestApplication();
    ImageBuffer picture;
    picture.create(37, 23, 3, false);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width * 3; ++x)
            picture.row(y)[x] = std::uint8_t(x * 5 + y * 11);
    BandedPicture shown;
    shown.image = &picture;
    shown.render.canvasSize = Size{ 37, 23 };
    shown.render.orientation = 1; // turned, and twice the size
    shown.render.viewSize = Size{ 46, 74 };
    shown.render.viewClip = Rect{ 0, 0, 46, 74 };
    shown.offsetX = -5;
    shown.offsetY = 3;
    const Rect area{ 5, 0, 51, 60 };
    auto draw = [&](std::size_t limit) {
        QImage target(60, 60, QImage::Format_RGB32);
        target.fill(Qt::black);
        QPainter painter(&target);
        BandStyle style;
        style.background = 0x999999;
        style.byteLimit = limit;
        EXPECT_TRUE(PaintPictureInBands(painter, area, shown, style));
        return target;
    };
    const QImage whole = draw(ImageBuffer::kMaxStoreBytes);
    EXPECT_EQ(draw(48 * 3 * 8), whole); // bands of 8 rows
    EXPECT_NE(whole.pixel(10, 10), QColor(Qt::black).rgb());
    // No store at all: a failure, not a blank success.
    QImage target(4, 4, QImage::Format_RGB32);
    QPainter painter(&target);
    BandStyle none;
    none.byteLimit = 10;
    EXPECT_FALSE(PaintPictureInBands(painter, area, shown, none));
}
