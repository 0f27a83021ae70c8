// Photos stored on their side stand upright on every path that shows or writes them: a table of
// the eight EXIF orientations over the decodes the album, the sheets and the command-line tool
// share, on a picture whose four corners differ.
#include "codecs/detecting_codec.h"
#include "codecs/exif_layout.h"
#include "codecs/image_description.h"
#include "operations/save_picture.h"
#include "tests/support/photo_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr RgbValue kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF;

// The stored picture is 64 x 32 with red, green, blue and white quarters (top left, top right,
// bottom left, bottom right). What a viewer shows for each tag value, by the EXIF standard's
// description of where row 0 and column 0 belong.
struct Upright
{
    unsigned tag;
    Corners corners;
    bool sidesSwapped;
} const kUpright[] = {
    { 1, { kRed, kGreen, kBlue, kWhite }, false },
    { 2, { kGreen, kRed, kWhite, kBlue }, false }, // mirrored left to right
    { 3, { kWhite, kBlue, kGreen, kRed }, false }, // upside down
    { 4, { kBlue, kWhite, kRed, kGreen }, false }, // mirrored top to bottom
    { 5, { kRed, kBlue, kGreen, kWhite }, true }, // mirrored about the main diagonal
    { 6, { kBlue, kRed, kWhite, kGreen }, true }, // turned right
    { 7, { kWhite, kGreen, kBlue, kRed }, true }, // mirrored about the other diagonal
    { 8, { kGreen, kWhite, kRed, kBlue }, true }, // turned left
};

constexpr std::int32_t kWidth = 64, kHeight = 32;

// One way the program reads the picture, giving what it shows (or wrote).
struct Path
{
    const char *name;
    std::function<ImageBuffer(const std::string &file, const TempDir &dir)> read;
    // The size the path gives for a stored 64 x 32 picture standing upright as 64 x 32.
    Size uprightSize;
};

ImageBuffer firstFrame(const std::string &file, const Size *size)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(file, &info, &frames, size, nullptr);
    return std::move(frames.at(0)->image);
}

// Writes what a decode gave and reads the file back; the file must not turn it again.
ImageBuffer savedAndRead(ImageBuffer image, const TempDir &dir, const Rect *crop)
{
    const std::string out = dir.file("saved.jpg");
    SaveOptions options;
    options.format = static_cast<std::int32_t>(ImageFormat::Jpeg);
    options.colours = 90;
    SaveDecodedPicture(image, out, options, crop);
    EXPECT_TRUE(ReadExifSegment(out).empty());
    return firstFrame(out, nullptr);
}

std::vector<Path> paths()
{
    return {
        { "thumbnail",
          [](const std::string &file, const TempDir &) {
              ImageBuffer image;
              DetectingCodec().decodeFirstFrameFromFile(file, &image, 16, 16);
              return image;
          },
          { 16, 8 } },
        { "full",
          [](const std::string &file, const TempDir &) { return firstFrame(file, nullptr); },
          { 64, 32 } },
        // An eighth, so the JPEG library scales while it decodes and the turn comes after.
        { "scaled",
          [](const std::string &file, const TempDir &) {
              const Size eighth{ 8, 4 };
              ImageInfo info;
              LoadImageInfo(file, info);
              const Size upright = info.width == kWidth ? eighth : Size{ 4, 8 };
              return firstFrame(file, &upright);
          },
          { 8, 4 } },
        { "convert",
          [](const std::string &file, const TempDir &dir) {
              return savedAndRead(firstFrame(file, nullptr), dir, nullptr);
          },
          { 64, 32 } },
        // The crop sheet's rectangle is the upright picture's: its top left 32 x 32, the left
        // half of a picture lying down, the top half of one standing on end.
        { "crop save",
          [](const std::string &file, const TempDir &dir) {
              const Rect square{ 0, 0, 32, 32 };
              return savedAndRead(firstFrame(file, nullptr), dir, &square);
          },
          { 32, 32 } },
    };
}

void checkPaths(const std::string &format, const std::string &file, const TempDir &dir,
                const Upright &row, int tolerance)
{
    ImageInfo info;
    LoadImageInfo(file, info);
    EXPECT_EQ(Size({ info.width, info.height }),
              row.sidesSwapped ? Size({ kHeight, kWidth }) : Size({ kWidth, kHeight }))
            << format << " info, tag " << row.tag;
    for (const Path &path : paths()) {
        SCOPED_TRACE(format + " " + path.name + ", tag " + std::to_string(row.tag));
        const ImageBuffer image = path.read(file, dir);
        const Size expected = row.sidesSwapped && path.uprightSize.width != path.uprightSize.height
                ? Size{ path.uprightSize.height, path.uprightSize.width }
                : path.uprightSize;
        ASSERT_EQ(Size({ image.width, image.height }), expected);
        Corners got = CornersOf(image);
        Corners want = row.corners;
        if (std::string(path.name) == "crop save") {
            // Of the square's corners, those on the picture's own edge: the top and bottom left
            // of a half picture lying down, the top left and right of one standing on end.
            const std::size_t edge = row.sidesSwapped ? 1 : 2;
            got = { got[0], got[edge], 0, 0 };
            want = { want[0], want[edge], 0, 0 };
        }
        EXPECT_TRUE(CornersNear(got, want, tolerance));
    }
}

TEST(OrientationPaths, JpegStandsUprightOnEveryPath)
{
    TempDir dir;
    const ImageBuffer stored = QuarteredPicture(kWidth, kHeight);
    for (const Upright &row : kUpright) {
        const std::string file = dir.file("photo.jpg");
        WriteBytes(file,
                   JpegWithSegment(stored, 0xE1, OrientationExif(row.tag), dir.file("plain.jpg")));
        checkPaths("JPEG", file, dir, row, 40);
    }
}

#ifdef VISTREL_HAVE_WEBP
TEST(OrientationPaths, WebpStandsUprightOnEveryPath)
{
    TempDir dir;
    const ImageBuffer stored = QuarteredPicture(kWidth, kHeight);
    for (const Upright &row : kUpright) {
        const std::string file = dir.file("photo.webp");
        const std::vector<std::uint8_t> exif = OrientationExif(row.tag);
        // A WebP file's EXIF chunk holds the TIFF data alone.
        WriteBytes(file, WebpWithChunks(stored, { exif.begin() + 6, exif.end() }));
        checkPaths("WebP", file, dir, row, 40);
    }
}
#endif

} // namespace

namespace {

// Mean difference of two pictures of one size, over all channels.
double meanDifference(const ImageBuffer &a, const ImageBuffer &b)
{
    const std::vector<std::uint8_t> x = PackedRgb(a), y = PackedRgb(b);
    double sum = 0;
    for (std::size_t i = 0; i < x.size(); ++i)
        sum += std::abs(int{ x[i] } - int{ y[i] });
    return sum / static_cast<double>(x.size());
}

// The public corpus's hopper_orientation_N.jpg hold the picture of hopper.jpg stored so that each
// tag value turns it back: upright, they all show hopper.jpg (re-encoded, so within 5 on average).
TEST(OrientationPaths, PublicPicturesOfEveryTagShowTheSamePicture)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "test pictures missing";
    const std::filesystem::path folder = TestDataRoot() / "pillow";
    const ImageBuffer upright = firstFrame((folder / "hopper.jpg").string(), nullptr);
    for (int tag = 2; tag <= 8; ++tag) {
        const std::string name = "hopper_orientation_" + std::to_string(tag) + ".jpg";
        const ImageBuffer image = firstFrame((folder / name).string(), nullptr);
        ASSERT_EQ(Size({ image.width, image.height }), Size({ upright.width, upright.height }))
                << name;
        EXPECT_LT(meanDifference(image, upright), 8.0) << name; // turned wrongly: 59 or more
    }
}

} // namespace
