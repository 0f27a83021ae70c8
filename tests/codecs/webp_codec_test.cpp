// Animated WebP: each frame is the canvas as it stands once the frame is drawn, with its delay.
#include "codecs/detecting_codec.h"
#include "codecs/image_description.h"
#include "codecs/picture_background.h"
#include "tests/support/photo_files.h"

#include <cstring>
#include <gtest/gtest.h>

#ifdef VISTREL_HAVE_WEBP
namespace {

ImageBuffer filled(std::int32_t width, std::int32_t height, RgbValue colour)
{
    ImageBuffer image;
    image.create(width, height, 3, false);
    const std::uint8_t bgr[3] = { BlueOf(colour), GreenOf(colour), RedOf(colour) };
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            std::memcpy(image.row(y) + x * 3, bgr, 3);
    return image;
}

RgbValue pixel(const ImageBuffer &image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t *p = image.row(y) + x * 3;
    return MakeRgb(p[2], p[1], p[0]);
}

TEST(WebpCodec, AnimationFramesAreTheComposedCanvas)
{
    const ImageBuffer red = filled(8, 6, 0x0000FF);
    const ImageBuffer green = filled(2, 2, 0x00FF00);
    const std::vector<std::uint8_t> file =
            AnimatedWebp(8, 6, { { &red, 0, 0, 120 }, { &green, 4, 2, 250 } });
    MemoryImageStream stream(file.data(), static_cast<std::int64_t>(file.size()));
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFrames(stream, info, frames, 100);
    EXPECT_STREQ(FormatName(info.format), "WEBP");
    EXPECT_EQ(info.frameCount, 2);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0]->delay, 12);
    EXPECT_EQ(frames[1]->delay, 25);
    const ImageBuffer &second = frames[1]->image;
    EXPECT_EQ(Size({ second.width, second.height }), Size({ 8, 6 }));
    EXPECT_EQ(pixel(second, 4, 2), 0x00FF00);
    EXPECT_EQ(pixel(second, 5, 3), 0x00FF00);
    EXPECT_EQ(pixel(second, 3, 2), 0x0000FF); // the first frame stays around the second
    EXPECT_EQ(pixel(second, 6, 4), 0x0000FF);
    // Decoding a frame again after a later one starts the animation over.
    EXPECT_EQ(pixel(frames[0]->image, 4, 2), 0x0000FF);
    ImageBuffer thumbnail;
    DetectingCodec().decodeFirstFrame(stream, thumbnail, 4, 4);
    EXPECT_EQ(pixel(thumbnail, 2, 1), 0x0000FF);
}

} // namespace
#endif
