#include "views/thumbnail_cache.h"

#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "tests/views/view_test_support.h"

#include <QPainter>

namespace {

void giveThumbnail(ImageItem &item)
{
    item.thumbnail = std::make_unique<ImageBuffer>();
    item.thumbnail->create(2, 2, 3, false);
    item.flags |= ItemFlag::ThumbCached;
}

// A decoder that fails with a message a given number of times, then makes a 3 x 2 picture.
ThumbnailDecoder failing(int &calls, int failures, std::uint32_t message)
{
    return [&calls, failures, message](const std::string &, ImageBuffer &image, Size) {
        if (calls++ < failures)
            throw CAlbException(message);
        image.create(3, 2, 3, false);
    };
}

} // namespace

TEST_F(ViewTest, MemoryShortageFreesOtherPicturesAndRetries)
{
    loadPictures(4);
    ImageItem &pinned = *doc.ItemAt(0);
    giveThumbnail(pinned);
    pinned.flags |= ItemFlag::Pinned;
    giveThumbnail(*doc.ItemAt(1));
    ImageItem &target = *doc.ItemAt(3);

    int calls = 0;
    EXPECT_TRUE(EnsureThumbnail(doc, target, true, failing(calls, 1, Msg::NotEnoughMemory)));
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(target.has(ItemFlag::ThumbCached));
    EXPECT_FALSE(target.has(ItemFlag::Pinned));
    EXPECT_EQ(target.thumbnail->width, 3);
    EXPECT_TRUE(pinned.has(ItemFlag::ThumbCached)); // pinned pictures stay
    EXPECT_FALSE(doc.ItemAt(1)->has(ItemFlag::ThumbCached));
    EXPECT_EQ(doc.ItemAt(1)->thumbnail, nullptr);

    // Nothing more to free: the shortage ends the attempt.
    ImageItem &next = *doc.ItemAt(2);
    calls = 0;
    EXPECT_FALSE(EnsureThumbnail(doc, next, true, failing(calls, 100, Msg::NoSystemResources)));
    EXPECT_EQ(calls, 1 + 1); // target's thumbnail was the one left to free
    EXPECT_FALSE(target.has(ItemFlag::ThumbCached));
    EXPECT_TRUE(pinned.has(ItemFlag::ThumbCached));
}

// Frames only the image view holds are the picture on show: a thumbnail's shortage leaves them.
TEST_F(ViewTest, MemoryShortageLeavesThePictureOnShow)
{
    loadPictures(2);
    ImageItem &shown = *doc.ItemAt(0);
    shown.flags |= ItemFlag::ViewCached;
    int calls = 0;
    EXPECT_FALSE(
            EnsureThumbnail(doc, *doc.ItemAt(1), true, failing(calls, 100, Msg::NotEnoughMemory)));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(shown.has(ItemFlag::ViewCached));
}

TEST_F(ViewTest, OtherFailuresAndPreviewsFreeNothing)
{
    loadPictures(3);
    giveThumbnail(*doc.ItemAt(0));
    int calls = 0;
    EXPECT_FALSE(EnsureThumbnail(doc, *doc.ItemAt(1), true, failing(calls, 5, Msg::NoImages)));
    EXPECT_EQ(calls, 1);
    calls = 0;
    EXPECT_FALSE(
            EnsureThumbnail(doc, *doc.ItemAt(2), false, failing(calls, 5, Msg::NotEnoughMemory)));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(doc.ItemAt(0)->has(ItemFlag::ThumbCached));

    EXPECT_TRUE(FreeAllCachedPictures(doc));
    EXPECT_FALSE(doc.ItemAt(0)->has(ItemFlag::ThumbCached));
    EXPECT_FALSE(FreeOneCachedPicture(doc));
}

TEST_F(ViewTest, UndecodableFileShowsTheNoPictureIcon)
{
    loadPictures(2);
    // The file turned into something else after the album described it.
    makeTextFile(name(1), std::string(200, 'x'));
    makeView();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); }));
    const QImage shown = view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    // Cell 0 shows its grey 2 x 2 picture centred in the picture area.
    const Rect cell0 = view->CellRect(0);
    const int areaWidth = cell0.width() - 7;
    const int areaHeight = cell0.height() - 7;
    EXPECT_EQ(
            shown.pixel(cell0.left + 4 + (areaWidth - 2) / 2, cell0.top + 4 + (areaHeight - 2) / 2),
            qRgb(0x80, 0x80, 0x80));

    const QImage icon = lists.image(BitmapId::NoPicture, 0);
    ASSERT_EQ(icon.size(), QSize(16, 16));
    const Rect cell1 = view->CellRect(1);
    const int left = cell1.left + 4 + (areaWidth - 16) / 2;
    const int top = cell1.top + 4 + (areaHeight - 16) / 2;
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (qAlpha(icon.pixel(x, y)) != 255)
                continue;
            ++opaque;
            EXPECT_EQ(shown.pixel(left + x, top + y), icon.pixel(x, y) | 0xFF000000u)
                    << x << "," << y;
        }
    EXPECT_GT(opaque, 0);
}

TEST_F(ViewTest, PreviewFitsTheThumbnailAndFillsTheBars)
{
    loadPictures(1);
    ImageItem &item = *doc.ItemAt(0);
    QImage target(20, 10, QImage::Format_RGB32);
    target.fill(Qt::black);
    {
        QPainter painter(&target);
        DrawItemPreview(doc, item, painter, Rect{ 0, 0, 20, 10 }, MakeRgb(0, 0, 255), false, true,
                        QImage());
    }
    // A 2 x 2 picture enlarged to 10 x 10 in the middle, blue bars of 5 at each side.
    EXPECT_EQ(target.pixel(0, 5), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(4, 5), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(5, 0), qRgb(0x80, 0x80, 0x80));
    EXPECT_EQ(target.pixel(14, 9), qRgb(0x80, 0x80, 0x80));
    EXPECT_EQ(target.pixel(15, 5), qRgb(0, 0, 255));
}
