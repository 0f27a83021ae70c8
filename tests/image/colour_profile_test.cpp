#include "image/colour_profile.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {

ImageBuffer onePixel(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    ImageBuffer image;
    image.create(1, 1, 3, false);
    image.pixels[0] = blue;
    image.pixels[1] = green;
    image.pixels[2] = red;
    return image;
}

std::array<int, 3> rgbOf(const ImageBuffer &image)
{
    return { image.pixels[2], image.pixels[1], image.pixels[0] };
}

void expectNear(const std::array<int, 3> &actual, const std::array<int, 3> &expected)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(actual[i], expected[i], 2) << "channel " << i;
}

class ColourProfile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!ColourManagementAvailable())
            GTEST_SKIP() << "built without lcms2";
    }
};

// Display P3 (200, 100, 50) is sRGB (215, 93, 31): the P3-to-sRGB matrix applied between the two
// spaces' shared transfer curve, worked by hand.
TEST_F(ColourProfile, DisplayP3PixelsBecomeSrgb)
{
    const ::ColourProfile p3 = ProfileFromCodePoints(12, 13);
    ASSERT_FALSE(p3.empty());
    ImageBuffer image = onePixel(200, 100, 50);
    ConvertToSrgb(image, p3);
    expectNear(rgbOf(image), { 215, 93, 31 });
    // Gray stays gray.
    ImageBuffer gray = onePixel(128, 128, 128);
    ConvertToSrgb(gray, p3);
    expectNear(rgbOf(gray), { 128, 128, 128 });
}

TEST_F(ColourProfile, PalettesAreConverted)
{
    ImageBuffer image;
    image.create(1, 1, 1, false);
    image.palette->count = 2;
    image.palette->entries[1] = { 200, 100, 50, 0 };
    ConvertToSrgb(image, ProfileFromCodePoints(12, 13));
    const PaletteEntry &e = image.palette->entries[1];
    expectNear({ e.red, e.green, e.blue }, { 215, 93, 31 });
}

TEST_F(ColourProfile, NoProfileAndBrokenProfilesLeavePixelsAlone)
{
    const std::vector<::ColourProfile> alone = {
        {},
        { 'n', 'o', 't', ' ', 'a', 'n', ' ', 'I', 'C', 'C' },
    };
    for (const ::ColourProfile &profile : alone) {
        ImageBuffer image = onePixel(200, 100, 50);
        ConvertToSrgb(image, profile);
        EXPECT_EQ(rgbOf(image), (std::array<int, 3>{ 200, 100, 50 }));
    }
    // sRGB's own code points need no profile; those this program does not handle (a high
    // dynamic range transfer) make none either.
    EXPECT_TRUE(ProfileFromCodePoints(1, 13).empty());
    EXPECT_TRUE(ProfileFromCodePoints(9, 16).empty());
}

} // namespace
