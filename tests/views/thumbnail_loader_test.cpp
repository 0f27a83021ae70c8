// Thumbnails made on worker threads: what Thumbnail View asks for, what comes back, what it keeps,
// and a window that answers meanwhile.
#include "views/thumbnail_loader.h"

#include "codecs/png_writer.h"
#include "tests/views/view_test_support.h"

#include <QElapsedTimer>
#include <QObject>

namespace {

bool holdsThumbnail(const ImageItem &item)
{
    return item.thumbnail && item.thumbnail->hasPixels();
}

struct Delivered
{
    std::uint64_t serial;
    ThumbnailOrigin origin;
    int width;
};

} // namespace

TEST_F(ViewTest, WorkersMakeTheVisibleCellsAndTheNextScreenfulAndFarOnesAreReleased)
{
    loadPictures(70);
    makeView();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); }, 10000));
    const auto [first, last] = view->VisibleRange();
    ASSERT_EQ(first, 0);
    const int page = last - first + 1;
    ASSERT_LT(3 * page, 70) << "the folder must reach beyond the next screenful";
    // The next screenful comes after the visible cells, and nothing beyond it is made.
    auto nextScreenfulMade = [&] {
        for (int i = 0; i < 2 * page; ++i) {
            if (!holdsThumbnail(*doc.ItemAt(i)))
                return false;
        }
        return true;
    };
    ASSERT_TRUE(ProcessEventsUntil(nextScreenfulMade, 10000));
    for (int i = 2 * page; i < 70; ++i)
        EXPECT_FALSE(holdsThumbnail(*doc.ItemAt(i))) << i;

    // At the end of the folder the first cells are far away: their thumbnails go.
    view->EnsureVisible(69);
    ASSERT_TRUE(ProcessEventsUntil([&] { return holdsThumbnail(*doc.ItemAt(69)); }, 10000));
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); }, 10000));
    EXPECT_FALSE(holdsThumbnail(*doc.ItemAt(0)));
}

TEST_F(ViewTest, LoaderHandsResultsBackBySerialAndNothingAfterItIsGone)
{
    loadPictures(2);
    QObject receiver;
    std::vector<Delivered> got;
    auto loader = std::make_unique<ThumbnailLoader>(
            &receiver, [&](const ThumbnailRequest &request, ThumbnailResult &result) {
                got.push_back({ request.serial, result.origin, result.image.width });
            });
    loader->request({ { 11, name(0), { 20, 20 } }, { 12, "\\pics\\missing.bmp", { 20, 20 } } },
                    nullptr);
    EXPECT_TRUE(loader->outstanding(11));
    // Asking again for what is waiting or being made makes each once.
    loader->request({ { 12, "\\pics\\missing.bmp", { 20, 20 } }, { 11, name(0), { 20, 20 } } },
                    nullptr);
    ASSERT_TRUE(ProcessEventsUntil([&] { return !loader->busy(); }, 5000));
    ASSERT_EQ(got.size(), 2u);
    std::sort(got.begin(), got.end(), [](auto &a, auto &b) { return a.serial < b.serial; });
    EXPECT_EQ(got[0].serial, 11u);
    EXPECT_EQ(got[0].origin, ThumbnailOrigin::Decoded);
    EXPECT_LE(got[0].width, 20);
    EXPECT_EQ(got[1].serial, 12u);
    EXPECT_EQ(got[1].origin, ThumbnailOrigin::Unreadable);

    got.clear();
    std::vector<ThumbnailRequest> many;
    for (std::uint64_t s = 100; s < 140; ++s)
        many.push_back({ s, name(1), { 20, 20 } });
    loader->request(many, nullptr);
    loader.reset();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(got.empty());
}

// Pictures that take long to decode (large PNG files: no scaled decoding) hold no key press up.
TEST_F(ViewTest, KeysAreAnsweredWhileSlowPicturesLoad)
{
    makeFolder("\\slow");
    const std::int32_t side = 3000;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(side) * side * 3, 90);
    const std::vector<std::uint8_t> png =
            PngWriter().encode(PixelSpan::Padded(pixels.data(), side, side, 0));
    for (int i = 0; i < 12; ++i)
        WriteBytes(DocTest::host("\\slow\\s" + std::to_string(10 + i) + ".png"), png);
    doc.ChangeFolder("\\slow");
    selectOnly(0);
    makeView();
    ASSERT_TRUE(view->thumbnailTimerActive());
    for (int step = 1; step <= 3; ++step) {
        QElapsedTimer clock;
        clock.start();
        key(Qt::Key_Right);
        QCoreApplication::processEvents();
        EXPECT_LT(clock.elapsed(), 50) << step;
        EXPECT_EQ(selectedIndexes(), std::vector<int>{ step });
    }
    EXPECT_TRUE(view->thumbnailTimerActive()) << "the pictures were quicker than the keys";
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); }, 30000));
}
