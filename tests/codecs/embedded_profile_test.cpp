// A picture with an embedded colour profile is shown in sRGB, whichever container carries the
// profile: Display P3 (200, 100, 50) is sRGB (215, 93, 31).
#include "codecs/detecting_codec.h"
#include "image/colour_profile.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace {

ImageBuffer flat(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    ImageBuffer image;
    image.create(16, 16, 3, false);
    const std::uint8_t bgr[3] = { blue, green, red };
    for (std::int32_t y = 0; y < 16; ++y)
        for (std::int32_t x = 0; x < 16; ++x)
            std::memcpy(image.row(y) + x * 3, bgr, 3);
    return image;
}

TEST(EmbeddedProfile, ConvertedToSrgbFromEveryContainer)
{
    if (!ColourManagementAvailable())
        GTEST_SKIP() << "built without lcms2";
    TempDir dir;
    const ColourProfile p3 = ProfileFromCodePoints(12, 13);
    const ImageBuffer picture = flat(200, 100, 50);

    const struct
    {
        const char *name;
        std::function<std::vector<std::uint8_t>(const ColourProfile &)> file;
    } containers[] = {
        { "JPEG APP2",
          [&](const ColourProfile &profile) {
              return profile.empty()
                      ? JpegWithSegment(picture, 0xE3, { 0 }, dir.file("plain.jpg"))
                      : JpegWithSegment(picture, 0xE2, IccSegment(profile), dir.file("plain.jpg"));
          } },
        { "PNG iCCP",
          [&](const ColourProfile &profile) {
              return PngWithProfile(picture, profile);
          } },
#ifdef VISTREL_HAVE_WEBP
        { "WebP ICCP",
          [&](const ColourProfile &profile) {
              return WebpWithChunks(picture, {}, profile);
          } },
#endif
    };
    for (const auto &container : containers) {
        SCOPED_TRACE(container.name);
        for (const bool withProfile : { true, false }) {
            const std::string path = dir.file("picture");
            WriteBytes(path, container.file(withProfile ? p3 : ColourProfile{}));
            ImageBuffer image;
            DetectingCodec().decodeFirstFrameFromFile(path, &image, 16, 16);
            const Corners expected = withProfile ? Corners{ MakeRgb(215, 93, 31), 0, 0, 0 }
                                                 : Corners{ MakeRgb(200, 100, 50), 0, 0, 0 };
            EXPECT_TRUE(CornersNear({ CornersOf(image)[0], 0, 0, 0 }, expected, 3)) << withProfile;
        }
    }
}

} // namespace
