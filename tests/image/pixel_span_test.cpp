// Cutting a span: the part shares the rows it was cut from, for 3-byte and 1-byte pixels.
#include "image/pixel_span.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// A rectangle of a 5 x 3 picture whose rows are 8 pixels apart; each pixel's first byte is
// 16 y + x, so the first pixel of a part tells where its rows start.
TEST(PixelSpan, ACropSharesTheRowsCutToThePicture)
{
    struct Case
    {
        const char *name;
        int bytesPerPixel;
        Rect rect;
        std::int32_t width, height, rowPad;
        int first; // 16 y + x of the part's first pixel
    };

    const Case cases[] = {
        { "inside", 3, Rect{ 1, 1, 3, 3 }, 2, 2, 6, 0x11 },
        { "over the top and right edges", 3, Rect{ 3, -2, 9, 1 }, 2, 1, 6, 0x03 },
        { "the whole picture", 3, Rect{ 0, 0, 5, 3 }, 5, 3, 3, 0x00 },
        { "indices", 1, Rect{ 2, 1, 4, 3 }, 2, 2, 6, 0x12 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto bpp = static_cast<std::size_t>(c.bytesPerPixel);
        std::vector<std::uint8_t> store(8 * 3 * bpp);
        for (std::size_t y = 0; y < 3; ++y)
            for (std::size_t x = 0; x < 8; ++x)
                store[(y * 8 + x) * bpp] = static_cast<std::uint8_t>(16 * y + x);
        const PixelSpan part =
                PixelSpan::Padded(store.data(), 5, 3, 3, c.bytesPerPixel).cropped(c.rect);
        EXPECT_EQ((std::vector<int>{ part.width, part.height, part.rowPad(), part.pixels[0] }),
                  (std::vector<int>{ c.width, c.height, c.rowPad, c.first }));
        if (part.height > 1) {
            EXPECT_EQ(part.row(1)[0], c.first + 16) << "the next row is the picture's next row";
        }
    }
    const PixelSpan beside = PixelSpan::Padded(nullptr, 5, 3, 3).cropped(Rect{ 5, 0, 7, 2 });
    EXPECT_EQ((std::vector<int>{ beside.width, beside.height }), (std::vector<int>{ 0, 0 }));
}

} // namespace
