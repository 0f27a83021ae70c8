#include "image/orientation.h"

#include "image/render.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A 5 x 3 picture of 1 byte per pixel whose index at (x, y) is 10 y + x, with a gray ramp, and an
// alpha plane holding the same numbers.
ImageBuffer labelled()
{
    ImageBuffer image;
    image.create(5, 3, 1, true);
    for (int i = 0; i < 256; ++i)
        image.palette->entries[i] = { static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                      static_cast<std::uint8_t>(i), 0 };
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x)
            image.row(y)[x] = image.alpha[y * (image.width + image.rowPad) + x] =
                    static_cast<std::uint8_t>(10 * y + x);
    return image;
}

std::vector<int> pixelsOf(const ImageBuffer &image, bool alpha)
{
    std::vector<int> out;
    for (std::int32_t y = 0; y < image.height; ++y)
        for (std::int32_t x = 0; x < image.width; ++x)
            out.push_back(alpha ? image.alpha[y * (image.width + image.rowPad) + x]
                                : image.row(y)[x]);
    return out;
}

// The same picture drawn by the view's renderer in that orientation, read back as labels.
std::vector<int> rendered(Orientation orientation)
{
    ImageBuffer image = labelled();
    image.alphaStore.reset();
    image.alpha = nullptr;
    const bool odd = orientation % 2 != 0;
    const Rect held{ 0, 0, odd ? 3 : 5, odd ? 5 : 3 };
    std::vector<std::uint8_t> view(static_cast<std::size_t>(held.width() * held.height() * 3));
    RenderOptions options;
    options.orientation = orientation;
    renderImage(image, held, view.data(), 0, options);
    std::vector<int> out;
    for (std::size_t i = 0; i < view.size(); i += 3)
        out.push_back(view[i]);
    return out;
}

TEST(Orientation, TurnsAsTheViewDrawsPixelsAndAlphaAlike)
{
    for (Orientation o = 0; o < 8; ++o) {
        SCOPED_TRACE(o);
        ImageBuffer image = labelled();
        TurnUpright(image, o);
        EXPECT_EQ(image.width, o % 2 ? 3 : 5);
        EXPECT_EQ(image.rowPad, RowPadFor(image.width));
        EXPECT_EQ(pixelsOf(image, false), rendered(o));
        EXPECT_EQ(pixelsOf(image, true), rendered(o));
    }
}

TEST(Orientation, LiteralTurns)
{
    ImageBuffer right = labelled();
    TurnUpright(right, 1);
    EXPECT_EQ(pixelsOf(right, false),
              (std::vector<int>{ 20, 10, 0, 21, 11, 1, 22, 12, 2, 23, 13, 3, 24, 14, 4 }));
    ImageBuffer mirrored = labelled();
    TurnUpright(mirrored, 4);
    EXPECT_EQ(pixelsOf(mirrored, false),
              (std::vector<int>{ 4, 3, 2, 1, 0, 14, 13, 12, 11, 10, 24, 23, 22, 21, 20 }));
}

TEST(Orientation, RectanglesMapBackAndForth)
{
    const Size stored{ 40, 30 };
    const Rect rects[] = { { 0, 0, 40, 30 }, { 3, 4, 10, 29 }, { 39, 0, 40, 1 }, { 5, 5, 6, 6 } };
    for (Orientation o = 0; o < 8; ++o) {
        const PictureTurn turn(o, stored);
        for (const Rect &r : rects) {
            const Rect up = turn.uprightRect(r);
            EXPECT_EQ(Size({ up.width(), up.height() }), turn.upright({ r.width(), r.height() }));
            EXPECT_EQ(turn.storedRect(up), r) << o;
        }
    }
    // The stored picture's top left pixel is at the top right once turned right.
    EXPECT_EQ(PictureTurn(1, stored).uprightRect({ 0, 0, 1, 1 }), (Rect{ 29, 0, 30, 1 }));
}

TEST(Orientation, ExifTagValues)
{
    const Orientation expected[] = { 0, 0, 4, 2, 6, 5, 1, 7, 3, 0 };
    for (unsigned tag = 0; tag < 10; ++tag)
        EXPECT_EQ(OrientationFromExif(tag), expected[tag]) << tag;
}

} // namespace
