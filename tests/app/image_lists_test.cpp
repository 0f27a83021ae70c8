#include "app/image_lists.h"

#include <gtest/gtest.h>

namespace {

bool hasArtwork(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(0, 0))
                return true;
    return false;
}

} // namespace

TEST(ImageListsTest, SizesCountsAndMasks)
{
    ImageLists lists;
    ASSERT_TRUE(BuildImageLists(lists));

    const struct
    {
        int id;
        int count;
        QSize size;
        bool masked;
    } rows[] = {
        { 701, 2, QSize(9, 5), false },  { 702, 2, QSize(5, 9), false },
        { 703, 2, QSize(16, 16), true }, { 706, 1, QSize(11, 11), false },
        { 709, 1, QSize(16, 16), true }, { 710, 1, QSize(16, 16), true },
    };

    for (const auto &row : rows) {
        const ImageList *list = lists.find(row.id);
        ASSERT_NE(list, nullptr) << row.id;
        EXPECT_EQ(list->count(), row.count) << row.id;
        EXPECT_EQ(list->imageSize(), row.size) << row.id;
        EXPECT_EQ(list->bitmap().width(), row.size.width() * row.count) << row.id;
        for (int i = 0; i < row.count; ++i) {
            const QImage image = lists.image(row.id, i);
            ASSERT_EQ(image.size(), row.size) << row.id;
            // The artwork leaves its top-left corner in the background: transparent exactly when
            // the list has a mask colour.
            EXPECT_EQ(qAlpha(image.pixel(0, 0)), row.masked ? 0 : 255) << row.id << " " << i;
            EXPECT_TRUE(hasArtwork(image)) << row.id << " " << i;
        }
        if (row.count == 2) {
            EXPECT_NE(lists.image(row.id, 0), lists.image(row.id, 1)) << row.id;
        }
        EXPECT_TRUE(lists.image(row.id, row.count).isNull()) << row.id;
        EXPECT_TRUE(lists.image(row.id, -1).isNull()) << row.id;
    }
    EXPECT_EQ(lists.find(704), nullptr);
    EXPECT_TRUE(lists.image(704, 0).isNull());
}

// The mask colour is a red-low colour value: 0x808000 is red 0, green 0x80, blue 0x80.
TEST(ImageListsTest, MaskColourMakesOnlyItsPixelsTransparent)
{
    QImage bitmap(4, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(0x00, 0x80, 0x80));
    bitmap.setPixel(1, 0, qRgb(0x80, 0x80, 0x00));
    bitmap.setPixel(2, 0, qRgb(0x00, 0x80, 0x81));
    bitmap.setPixel(3, 0, qRgb(0x00, 0x80, 0x80));
    const ImageList list(709, 2, bitmap, 0x808000);
    const QImage first = list.image(0);
    const QImage second = list.image(1);
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(first.pixel(1, 0), qRgb(0x80, 0x80, 0x00));
    EXPECT_EQ(second.pixel(0, 0), qRgb(0x00, 0x80, 0x81));
    EXPECT_EQ(qAlpha(second.pixel(1, 0)), 0);
}
