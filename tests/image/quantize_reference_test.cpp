// The quantizer beside the JPEG library's two-pass quantizer. Both use the same 5-6-5 histogram,
// median cut, box colours, nearest-colour cache and limited diffusion; with the library's red axis
// weighted 2 and blue 1, that is what blue-first pixels give here. So djpeg's quantized decode of
// a picture must equal ours of its plain decode, pixel for pixel.
#include "image/quantize.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

bool runDjpeg(const std::string &arguments, const std::string &output)
{
    const std::string command = "djpeg " + arguments + " > '" + output + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

void swapRedAndBlue(std::vector<std::uint8_t> &pixels)
{
    for (std::size_t i = 0; i + 2 < pixels.size(); i += 3)
        std::swap(pixels[i], pixels[i + 2]);
}

TEST(QuantizeReference, MatchesTheJpegLibraryTwoPassQuantizer)
{
    const std::filesystem::path picture = TestDataRoot() / "libjpeg-turbo" / "testorig.jpg";
    if (TestDataRoot().empty() || !std::filesystem::exists(picture))
        GTEST_SKIP() << "the public test pictures are not here";
    if (std::system("command -v djpeg >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "djpeg is not installed";
    TempDir dir;
    RgbPicture plain;
    ASSERT_TRUE(runDjpeg("-pnm '" + picture.string() + "'", dir.file("plain.ppm")));
    ASSERT_TRUE(ReadPpm(dir.file("plain.ppm"), plain));

    // The library quantizes to no fewer than 8 colours.
    for (int colours : { 8, 16, 256 }) {
        for (bool dither : { true, false }) {
            SCOPED_TRACE(testing::Message() << colours << " colours, dither " << dither);
            RgbPicture theirs;
            ASSERT_TRUE(runDjpeg("-colors " + std::to_string(colours) + " -dither "
                                         + (dither ? "fs" : "none") + " -pnm '" + picture.string()
                                         + "'",
                                 dir.file("quantized.ppm")));
            ASSERT_TRUE(ReadPpm(dir.file("quantized.ppm"), theirs));
            std::vector<std::uint8_t> ours = plain.rgb;
            swapRedAndBlue(ours);
            ASSERT_TRUE(quantize(Rect{ 0, 0, plain.width, plain.height }, ours.data(), 0,
                                 ours.data(), 0, 3, colours, dither, nullptr, nullptr, kNoColour,
                                 nullptr, true));
            swapRedAndBlue(ours);
            EXPECT_TRUE(ours == theirs.rgb) << "pixels differ";
        }
    }
}

} // namespace
