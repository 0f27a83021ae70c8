// Every picture of the PNG suite (tests/data/pngsuite) against an independent decoder's reading
// of it (reference.tsv, made by tests/data/make_png_reference.py): the full-size decode has the
// reference's checksum; a decode scaled and clipped, and the thumbnail decode, take exactly the
// pixels the selection rule names from the full-size one; the broken files fail with their
// message and location.
#include "codecs/detecting_codec.h"
#include "common/string_ids.h"
#include "image/view_geometry.h"
#include "tests/support/failure_location.h"
#include "tests/support/sha256.h"
#include "tests/support/test_files.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

struct Reference
{
    std::string status;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::string sha256;
};

const std::map<std::string, Reference> &references()
{
    static const std::map<std::string, Reference> rows = [] {
        std::map<std::string, Reference> read;
        std::ifstream in(PngSuiteFile("reference.tsv"));
        std::string line;
        std::getline(in, line); // the column names
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string file;
            Reference row;
            fields >> file >> row.status >> row.width >> row.height >> row.sha256;
            read[file] = row;
        }
        return read;
    }();
    return rows;
}

// The suite's good pictures; the names of the broken ones start with "x".
std::vector<std::string> goodFiles()
{
    std::vector<std::string> names;
    for (const auto &path : FilesWithExtension(TestFilesRoot() / "pngsuite", ".png")) {
        const std::string name = path.filename().string();
        if (name[0] != 'x')
            names.push_back(name);
    }
    return names;
}

std::string testName(const testing::TestParamInfo<std::string> &info)
{
    return info.param.substr(0, info.param.find('.'));
}

// The pixel of a packed RGB picture of width w at column x and row y.
std::array<std::uint8_t, 3> pixelAt(const std::vector<std::uint8_t> &rgb, std::int32_t w,
                                    std::int32_t x, std::int32_t y)
{
    const std::size_t at = (static_cast<std::size_t>(y) * w + x) * 3;
    return { rgb[at], rgb[at + 1], rgb[at + 2] };
}

// Target pixel (x, y) of a dw x dh target of clip c takes column c.left + x * c.width() / dw and
// row c.top + y * c.height() / dh of the full picture.
void expectSelected(const std::vector<std::uint8_t> &full, std::int32_t fullWidth, const Rect &c,
                    const ImageBuffer &target)
{
    const std::vector<std::uint8_t> picked = PackedRgb(target);
    for (std::int32_t y = 0; y < target.height; ++y)
        for (std::int32_t x = 0; x < target.width; ++x) {
            const std::int32_t column = c.left + x * c.width() / target.width;
            const std::int32_t row = c.top + y * c.height() / target.height;
            ASSERT_EQ(pixelAt(picked, target.width, x, y), pixelAt(full, fullWidth, column, row))
                    << "target pixel " << x << "," << y;
        }
}

class PngSuiteGood : public testing::TestWithParam<std::string>
{ };

TEST_P(PngSuiteGood, MatchesTheReferenceAtFullSizeScaledAndClipped)
{
    const std::string path = PngSuiteFile(GetParam());
    const Reference &reference = references().at(GetParam());
    ASSERT_EQ(reference.status, "ok");
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path, &info, &frames, nullptr, nullptr);
    const ImageBuffer &image = frames.at(0)->image;
    ASSERT_EQ(image.width, reference.width);
    ASSERT_EQ(image.height, reference.height);
    const std::vector<std::uint8_t> full = PackedRgb(image);
    EXPECT_EQ(Sha256Hex(full), reference.sha256);

    const std::int32_t w = image.width, h = image.height;
    const Size half{ std::max(1, w / 2), std::max(1, h / 2) };
    const Rect clip{ w / 8, h / 5, w - w / 7, h - h / 9 };
    FrameArray scaled;
    DetectingCodec().decodeFramesFromFile(path, &info, &scaled, &half, &clip);
    expectSelected(full, w, clip, scaled.at(0)->image);

    ImageBuffer thumbnail;
    DetectingCodec().decodeFirstFrameFromFile(path, &thumbnail, 11, 7);
    const Size fitted = fitSize(11, 7, w, h, false);
    ASSERT_EQ(thumbnail.width, fitted.width);
    ASSERT_EQ(thumbnail.height, fitted.height);
    expectSelected(full, w, Rect{ 0, 0, w, h }, thumbnail);
}

INSTANTIATE_TEST_SUITE_P(PngSuite, PngSuiteGood, testing::ValuesIn(goodFiles()), testName);

TEST(PngSuiteBroken, EveryBrokenFileFailsWithItsMessageAndLocation)
{
    const FailureLocation unsupported{ Msg::UnsupportedFormat, Module::FormatDetection, 39, 101 };
    const FailureLocation badHeader{ Msg::InvalidFormat, Module::PngReader, 10, 1 };
    const FailureLocation badData{ Msg::InvalidFormat, Module::PngReader, 20, 1 };
    const std::map<std::string, FailureLocation> expected = {
        { "xc1n0g08.png", badHeader }, // colour type 1
        { "xc9n2c08.png", badHeader }, // colour type 9
        { "xcrn0g04.png", badHeader }, // line feeds of the signature turned into CR LF
        { "xcsn0g01.png", badData }, // IDAT checksum wrong
        { "xd0n2c08.png", badHeader }, // bit depth 0
        { "xd3n2c08.png", badHeader }, // bit depth 3
        { "xd9n2c08.png", badHeader }, // bit depth 99
        { "xdtn0g01.png", badHeader }, // no IDAT chunk
        { "xhdn0g08.png", badHeader }, // IHDR checksum wrong
        { "xlfn0g04.png", badHeader }, // CR LF of the signature turned into line feeds
        { "xs1n0g01.png", unsupported }, // signature byte 1 changed: not known as PNG
        { "xs2n0g01.png", unsupported }, // byte 2 changed
        { "xs4n0g01.png", unsupported }, // byte 4 changed
        { "xs7n0g01.png", badHeader }, // byte 7 changed: known by its first four bytes
    };
    std::size_t broken = 0;
    for (const auto &path : FilesWithExtension(TestFilesRoot() / "pngsuite", ".png")) {
        const std::string name = path.filename().string();
        if (name[0] != 'x')
            continue;
        ++broken;
        ASSERT_TRUE(expected.count(name)) << name;
        EXPECT_EQ(FailureOf([&] {
                      ImageInfo info;
                      FrameArray frames;
                      DetectingCodec().decodeFramesFromFile(path.string(), &info, &frames, nullptr,
                                                            nullptr);
                  }),
                  expected.at(name))
                << name;
    }
    EXPECT_EQ(broken, expected.size());
}

} // namespace
