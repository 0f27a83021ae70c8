#include "views/alb_img_view.h"

#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/window_messages.h"
#include "codecs/png_writer.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "image/display_info.h"
#include "tests/views/view_test_support.h"

#include <QCursor>
#include <QElapsedTimer>

#include <mutex>

namespace {

// A picture of width x height whose pixels differ from their neighbours.
void WritePattern(const std::string &hostPath, int width, int height)
{
    const int stride = (width + RowPadFor(width)) * 3;
    std::vector<std::uint8_t> pixels(std::size_t(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                pixels[std::size_t(y) * stride + x * 3 + k] = std::uint8_t(x * 7 + y * 3 + k * 50);
    BmpWriter().write(hostPath, PixelSpan::Padded(pixels.data(), width, height, RowPadFor(width)));
}

class ImgViewTest : public ViewTest
{
protected:
    ImgViewTest() { settings.viewMode = ViewMode::Select; }

    // Pictures i0.bmp, i1.bmp, ... of the given sizes in \img, loaded into the document.
    void loadSizes(const std::vector<Size> &sizes)
    {
        makeFolder("\\img");
        for (std::size_t i = 0; i < sizes.size(); ++i)
            WritePattern(DocTest::host("\\img\\i" + std::to_string(i) + ".bmp"), sizes[i].width,
                         sizes[i].height);
        doc.ChangeFolder("\\img");
    }

    void makeImageView(int width, int height)
    {
        image = std::make_unique<CAlbImgView>(doc, settings, host, &lists);
        image->resize(width, height);
        image->show();
        QCoreApplication::processEvents();
    }

    // Shows item index as the document's selection would, paints (which asks for the picture)
    // and waits until the picture is decoded and drawn.
    void show(int index, bool keep = false)
    {
        SendMessageTo(image.get(), WM_CURRENT_CHANGED, doc.ItemAt(index)->serial, keep ? 1 : 0);
        settle();
    }

    void settle()
    {
        do {
            image->repaint();
            ASSERT_TRUE(ProcessEventsUntil([&] { return !image->decoding(); }, 30000));
            image->repaint();
        } while (image->decoding());
    }

    QRgb centreColour()
    {
        return image->grab().toImage().pixel(image->width() / 2, image->height() / 2);
    }

    void drag(QPoint from, QPoint to)
    {
        for (auto [type, at] :
             { std::pair{ QEvent::MouseButtonPress, from }, std::pair{ QEvent::MouseMove, to },
               std::pair{ QEvent::MouseButtonRelease, to } }) {
            const Qt::MouseButtons held =
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            const Qt::MouseButton changed =
                    type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, QPointF(at), image->mapToGlobal(QPointF(at)), changed, held,
                              Qt::NoModifier);
            QApplication::sendEvent(image.get(), &event);
        }
    }

    void press(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(image.get(), &event);
    }

    bool enabled(std::uint32_t id)
    {
        CommandState state;
        return image->onCommandState(id, state) && state.enabled;
    }

    std::unique_ptr<CAlbImgView> image;
};

} // namespace

TEST_F(ImgViewTest, FitsOnceAndPansOnlyWhereThePictureOverflows)
{
    struct Case
    {
        Size picture;
        int zoom;
        bool pansAcross, pansDown;
    };

    const Case cases[] = { { { 640, 480 }, 61, true, false },
                           { { 240, 320 }, 100, false, true },
                           { { 300, 200 }, 100, true, false } };
    std::vector<Size> sizes;
    for (const Case &c : cases)
        sizes.push_back(c.picture);
    loadSizes(sizes);
    makeImageView(240, 294);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(i);
        show(int(i));
        EXPECT_EQ(image->zoom(), c.zoom);
        EXPECT_EQ(image->placeholderMessage(), 0u);
        const QPoint before = image->offset();
        drag({ 120, 150 }, { 100, 130 }); // 20 pixels right and down into the picture
        EXPECT_EQ(image->offset().x() != before.x(), c.pansAcross);
        EXPECT_EQ(image->offset().y() != before.y(), c.pansDown);
        EXPECT_FALSE(image->panning());
    }
}

TEST_F(ImgViewTest, ZoomCommandsStepBeepAtTheirLimitsAndKeepTheCentre)
{
    loadSizes({ { 200, 100 } });
    makeImageView(100, 100);
    EXPECT_FALSE(enabled(FrameCmd::ZoomIn)); // nothing decoded yet
    show(0);
    ASSERT_TRUE(enabled(FrameCmd::ZoomIn));
    EXPECT_EQ(image->zoom(), 100);
    EXPECT_TRUE(host.atActualSize);
    EXPECT_EQ(image->offset(), QPoint(50, 0));

    image->onCommand(FrameCmd::ActualSize);
    EXPECT_EQ(beeper.beeps(), 1);
    image->onCommand(FrameCmd::ZoomIn);
    EXPECT_EQ(image->zoom(), 125);
    EXPECT_FALSE(host.atActualSize);
    // The picture point in the middle stays there: (100 / 200 of the picture) at 250 wide.
    EXPECT_EQ(image->offset(), QPoint(75, 12));
    for (int i = 0; i < 12; ++i)
        image->onCommand(FrameCmd::ZoomIn);
    EXPECT_EQ(image->zoom(), 1200);
    EXPECT_EQ(beeper.beeps(), 3); // 1200 reached after 10 steps; two more beep
    for (int i = 0; i < 20; ++i)
        image->onCommand(FrameCmd::ZoomOut);
    EXPECT_EQ(image->zoom(), 5);
    EXPECT_GT(beeper.beeps(), 3);
    image->onCommand(FrameCmd::ActualSize);
    EXPECT_EQ(image->zoom(), 100);
    EXPECT_TRUE(host.atActualSize);

    // Ctrl+0 is Actual Size as well; Up and Down zoom.
    press(Qt::Key_Up);
    EXPECT_EQ(image->zoom(), 125);
    press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(image->zoom(), 100);
}

TEST_F(ImgViewTest, AutoRotationOnlyInFullScreenView)
{
    SetDisplayInfo([] {
        DisplayInfo info = CurrentDisplayInfo();
        info.screenWidth = 240;
        info.screenHeight = 320;
        return info;
    }());
    loadSizes({ { 320, 240 } });
    settings.prefs.prefFlags |= PrefFlag::AutoRotate;
    makeImageView(240, 320);
    show(0);
    EXPECT_EQ(image->rotation(), 0); // Select View
    settings.viewMode = ViewMode::FullScreen;
    show(0);
    EXPECT_EQ(image->rotation(), 3); // the "Left" default
    EXPECT_EQ(image->zoomedSize().width, 240);
    settings.prefs.prefFlags &= ~PrefFlag::RotateLeft;
    show(0);
    EXPECT_EQ(image->rotation(), 1);
    // Toggling it off shows the picture again unturned.
    image->onCommand(DocCmd::AutoRotate);
    EXPECT_FALSE(settings.autoRotate());
    EXPECT_EQ(image->rotation(), 0);
}

TEST_F(ImgViewTest, PreviousNextAndTheTapInFullScreen)
{
    loadSizes({ { 8, 8 }, { 8, 8 }, { 8, 8 } });
    makeImageView(100, 100);
    selectOnly(2);
    show(2);
    EXPECT_TRUE(enabled(FrameCmd::PreviousImage));
    EXPECT_FALSE(enabled(FrameCmd::NextImage));
    image->onCommand(FrameCmd::NextImage);
    EXPECT_EQ(beeper.beeps(), 1);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 2 });
    press(Qt::Key_Left);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 1 });
    // In Select View the thumbnail strip hears of it.
    EXPECT_EQ(frame.count("thumbs", WM_CURRENT_CHANGED, 0), 1);
    press(Qt::Key_Home);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 0 });
    show(0);
    EXPECT_FALSE(enabled(FrameCmd::PreviousImage));

    settings.viewMode = ViewMode::FullScreen;
    drag({ 50, 50 }, { 50, 50 });
    EXPECT_EQ(host.sent, std::vector<std::uint32_t>{ DocCmd::LeaveFullScreen });
    press(Qt::Key_Return);
    EXPECT_EQ(host.posted, std::vector<std::uint32_t>{ DocCmd::SelectView });
}

TEST_F(ImgViewTest, AnItemOfAnEarlierListShowsNothing)
{
    loadSizes({ { 8, 8 }, { 8, 8 } });
    makeImageView(100, 100);
    show(1);
    const std::uint64_t stale = doc.ItemAt(0)->serial;
    // The folder is read again while the message waits in the queue: every item is made anew,
    // maybe where an old one was.
    doc.ChangeFolder("\\img");
    ASSERT_EQ(doc.Count(), 2);
    PostMessageTo(image.get(), image.get(), WM_CURRENT_CHANGED, stale, 0);
    QCoreApplication::processEvents();
    image->repaint();
    EXPECT_EQ(image->shown(), nullptr);
    EXPECT_FALSE(enabled(FrameCmd::ZoomIn));
}

TEST_F(ImgViewTest, ShortMemoryFreesOtherPicturesThenDecodesSmaller)
{
    loadSizes({ { 400, 400 }, { 8, 8 } });
    makeImageView(400, 400);
    // Another item holds a picture that can be given up.
    ImageItem *other = doc.ItemAt(1);
    other->thumbnail = std::make_unique<ImageBuffer>();
    other->thumbnail->create(4, 4, 3, false);
    other->flags |= ItemFlag::ThumbCached;

    std::vector<int> widths;
    image->setDecoder([&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
        widths.push_back(size.width);
        if (size.width > 100)
            ThrowAlb(Msg::NotEnoughMemory);
        DefaultFramesDecoder()(path, info, frames, size);
    });
    show(0);
    // 100 % twice (before and after freeing the other item), then 50 % and 25 %.
    EXPECT_EQ(widths, (std::vector<int>{ 400, 400, 200, 100 }));
    EXPECT_FALSE(other->has(ItemFlag::ThumbCached));
    EXPECT_EQ(doc.ItemAt(0)->framesPercent, 25);
    EXPECT_EQ(image->placeholderMessage(), 0u);

    // A file that is gone shows its message in place.
    image->setDecoder(DefaultFramesDecoder());
    std::filesystem::remove(DocTest::host("\\img\\i1.bmp"));
    show(1);
    EXPECT_EQ(image->placeholderMessage(), Msg::UnableToAccessFile);
}

TEST_F(ImgViewTest, TheWheelZoomsAboutThePointerPansOrStepsThePictures)
{
    loadSizes({ { 200, 100 }, { 8, 8 } });
    makeImageView(100, 100);
    selectOnly(0);
    show(0);
    auto wheel = [&](QPoint at, int notches, Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(at), image->mapToGlobal(QPointF(at)), QPoint(),
                          QPoint(0, notches * 120), Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(image.get(), &event);
    };
    // At the left edge of the window, picture column 50 stays under the pointer: 62 at 125 %.
    wheel({ 0, 50 }, 1, Qt::ControlModifier);
    EXPECT_EQ(image->zoom(), 125);
    EXPECT_EQ(image->offset().x(), 62);
    // The same item shown again with keep keeps the zoom; without, it is fitted anew.
    show(0, true);
    EXPECT_EQ(image->zoom(), 125);
    // The plain wheel pans a picture larger than the window (here down, to its bottom edge)...
    wheel({ 50, 50 }, -1, Qt::NoModifier);
    EXPECT_EQ(image->offset(), QPoint(62, 25));
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 0 });
    // ...and steps to the next picture when it fits.
    show(0, false);
    image->onCommand(FrameCmd::ZoomOut);
    image->onCommand(FrameCmd::ZoomOut);
    wheel({ 50, 50 }, -1, Qt::NoModifier);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 1 });
}

// Large PNG files decode slowly (no scaled decoding): stepping through them answers each key at
// once, keeps the picture shown before on screen until the new one is decoded, and decodes only
// the picture it stops on besides the one already being decoded.
TEST_F(ImgViewTest, SteppingThroughSlowPicturesSkipsThoseItPasses)
{
    makeFolder("\\slow");
    const std::int32_t side = 3000;
    const int count = 7;
    auto grey = [](int i) {
        return std::uint8_t(20 + 30 * i);
    };
    for (int i = 0; i < count; ++i) {
        std::vector<std::uint8_t> pixels(std::size_t(side) * side * 3, grey(i));
        WriteBytes(DocTest::host("\\slow\\s" + std::to_string(i) + ".png"),
                   PngWriter().encode(PixelSpan::Padded(pixels.data(), side, side, 0)));
    }
    doc.ChangeFolder("\\slow");
    makeImageView(200, 200);
    std::mutex lock;
    std::vector<std::string> decoded;
    image->setDecoder([&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
        {
            std::lock_guard<std::mutex> held(lock);
            decoded.push_back(path.substr(path.find_last_of('\\') + 1));
        }
        DefaultFramesDecoder()(path, info, frames, size);
    });
    selectOnly(0);
    show(0);
    const QRgb first = centreColour();
    ASSERT_NEAR(qGreen(first), grey(0), 8);

    for (int step = 1; step < count; ++step) {
        QElapsedTimer clock;
        clock.start();
        press(Qt::Key_Right);
        // The frame passes the selection on to the view.
        SendMessageTo(image.get(), WM_CURRENT_CHANGED, doc.ItemAt(step)->serial, 0);
        QCoreApplication::processEvents();
        EXPECT_LT(clock.elapsed(), 50) << step;
        EXPECT_EQ(selectedIndexes(), std::vector<int>{ step });
    }
    EXPECT_TRUE(image->decoding()) << "the pictures were quicker than the keys";
    EXPECT_EQ(centreColour(), first) << "the first picture stays until the last is decoded";
    EXPECT_EQ(image->cursor().shape(), Qt::ArrowCursor);
    settle();
    EXPECT_NEAR(qGreen(centreColour()), grey(count - 1), 8);

    std::lock_guard<std::mutex> held(lock);
    ASSERT_GE(decoded.size(), 2u);
    EXPECT_LE(decoded.size(), 3u) << "pictures passed by were decoded";
    EXPECT_EQ(decoded.back(), "s" + std::to_string(count - 1) + ".png");
    // Only the picture on show keeps its decoding.
    for (int i = 0; i + 1 < count; ++i)
        EXPECT_TRUE(doc.ItemAt(i)->frames.empty()) << i;
}

// With nothing drawn before, the placeholder and the wait cursor show until the picture comes.
TEST_F(ImgViewTest, TheFirstPictureWaitsUnderTheWaitCursor)
{
    loadSizes({ { 40, 40 } });
    makeImageView(100, 100);
    std::mutex gate;
    std::unique_lock<std::mutex> closed(gate);
    image->setDecoder([&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
        std::lock_guard<std::mutex> open(gate);
        DefaultFramesDecoder()(path, info, frames, size);
    });
    SendMessageTo(image.get(), WM_CURRENT_CHANGED, doc.ItemAt(0)->serial, 0);
    image->repaint();
    EXPECT_TRUE(image->decoding());
    EXPECT_EQ(image->cursor().shape(), Qt::WaitCursor);
    EXPECT_FALSE(enabled(FrameCmd::ZoomIn));
    const int refreshes = host.stateRefreshes;
    closed.unlock();
    settle();
    EXPECT_EQ(image->cursor().shape(), Qt::ArrowCursor);
    // The bars learn that zooming is possible now.
    EXPECT_TRUE(enabled(FrameCmd::ZoomIn));
    EXPECT_GT(host.stateRefreshes, refreshes);
}

// On a screen of two device pixels per window pixel the picture is decoded for its size in
// device pixels; at one it is decoded as it always was.
TEST_F(ImgViewTest, DecodesForTheDevicePixelsOfTheScreen)
{
    loadSizes({ { 400, 400 } });
    makeImageView(200, 200);
    std::vector<int> widths;
    image->setDecoder([&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
        widths.push_back(size.width);
        DefaultFramesDecoder()(path, info, frames, size);
    });
    for (const auto &[ratio, width] : { std::pair{ 1.0, 200 }, std::pair{ 2.0, 400 } }) {
        SCOPED_TRACE(ratio);
        widths.clear();
        doc.ItemAt(0)->releasePictures();
        image->setPixelRatio(ratio);
        show(0);
        EXPECT_EQ(image->zoom(), 50);
        EXPECT_EQ(widths, std::vector<int>{ width });
        EXPECT_EQ(image->placeholderMessage(), 0u);
    }
}
