#include "image/image_buffer.h"
#include "tests/e2e/album_on_screen.h"
#include "tests/e2e/screen_cells.h"
#include "thumbnails/thumbnail_fit.h"
#include "thumbnails/thumbnail_maker.h"
#include "thumbnails/thumbnail_store.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kDrawnMs = 20000;
// How long the screen may take to show what the trace says was drawn.
constexpr int kSettleMs = 10000;
// Both the canvas and the screen hold 8 bits per channel: only rounding may differ.
constexpr int kTolerance = 3;
// Where the cell's background colour (frameColor's default) shows.
constexpr Rgb kFrameGrey{ 0x66, 0x66, 0x66 };

// Pictures of the three formats with clearly different mean colours, and the names they get in
// the album (the listing sorts by name).
constexpr CorpusPicture kPictures[] = {
    { "libjpeg-turbo/testorig.jpg", "a-testorig.jpg" },
    { "pillow/flower.jpg", "b-flower.jpg" },
    { "giflib/pic/treescap.gif", "c-treescap.gif" },
    { "giflib/pic/porsche.gif", "d-porsche.gif" },
    { "giflib/pic/solid2.gif", "e-solid2.gif" },
    { "libjpeg-turbo/shira_bird8.bmp", "f-bird.bmp" },
    { "bmpsuite/g/pal8.bmp", "g-pal8.bmp" },
    { "pillow/hopper.bmp", "h-hopper.bmp" },
};

// Files whose header reads but whose pixels do not decode: listed, shown with the no-picture icon.
constexpr CorpusPicture kBroken[] = {
    { "bmpsuite/b/badbitcount.bmp", "i-badbitcount.bmp" },
    { "bmpsuite/b/shortfile.bmp", "j-shortfile.bmp" },
};

bool IsBroken(const std::string &name)
{
    for (const CorpusPicture &broken : kBroken) {
        if (name == broken.name)
            return true;
    }
    return false;
}

// A picture as the album should show it: decoded by our reader into the cell's picture area.
struct Expected
{
    int width = 0;
    int height = 0;
    Rgb mean;
    std::vector<std::uint8_t> rgb;
};

std::string ReadText(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The album makes a thumbnail the way the desktop's thumbnail cache keeps it, the picture decoded
// into the cache's size, and fits that into the cell.
Expected DecodeFitted(const fs::path &path, int boxWidth, int boxHeight)
{
    const auto side =
            static_cast<std::int32_t>(ThumbnailStore::FlavourFor({ boxWidth, boxHeight }));
    ImageBuffer image;
    Size picture;
    DefaultPictureDecoder()(path.string(), image, { side, side }, picture);
    image = FitThumbnail(std::move(image), { boxWidth, boxHeight }, picture);
    // Transparent pixels would show the frame colour instead: the chosen pictures have none.
    EXPECT_EQ(image.transparent, -1) << path;
    EXPECT_EQ(image.alpha, nullptr) << path;
    Expected expected{ image.width, image.height, {}, PackedRgb(image) };
    expected.mean = MeanOf(expected.rgb);
    return expected;
}

class ThumbnailsOnScreen : public AlbumOnScreen
{
protected:
    void SetUp() override
    {
        std::vector<CorpusPicture> pictures(std::begin(kPictures), std::end(kPictures));
        pictures.insert(pictures.end(), std::begin(kBroken), std::end(kBroken));
        setUpAlbum(pictures);
    }

    // Everything wrong with the screen against the latest traced cells; empty when all match.
    std::vector<std::string> compare(const std::vector<TracedCell> &cells, const RgbPicture &shot);
    std::vector<std::string> checkNoPicture(const TracedCell &cell, const RgbPicture &shot) const;
    std::vector<std::string> checkPicture(const TracedCell &cell, const RgbPicture &shot) const;
    void expectDrawnAlbum();
    std::string screenFaults();
    void spoilPictures() const;

    std::map<std::string, Expected> expected;
};

std::vector<std::string> ThumbnailsOnScreen::compare(const std::vector<TracedCell> &cells,
                                                     const RgbPicture &shot)
{
    std::vector<std::string> faults;
    if (cells.size() != std::size(kPictures) + std::size(kBroken))
        faults.push_back("the latest drawing traced " + std::to_string(cells.size()) + " cells");
    for (const TracedCell &cell : cells) {
        const std::vector<std::string> found =
                IsBroken(cell.file) ? checkNoPicture(cell, shot) : checkPicture(cell, shot);
        for (const std::string &fault : found)
            faults.push_back(cell.file + ": " + fault);
    }
    return faults;
}

std::vector<std::string> ThumbnailsOnScreen::checkNoPicture(const TracedCell &cell,
                                                            const RgbPicture &shot) const
{
    const ScreenRect box = CentredIn(cell.area, 16, 16);
    if (!Inside(shot, box))
        return { "icon box " + Describe(box) + " off the screen" };
    std::vector<std::string> faults;
    if (!ShowsNoPictureIcon(shot, box))
        faults.push_back("no no-picture icon at " + Describe(box));
    const Rgb shown = MeanIn(shot, box);
    for (const auto &[name, picture] : expected) {
        if (Near(shown, picture.mean, kTolerance))
            faults.push_back("the icon's mean " + Describe(shown) + " is that of " + name);
    }
    return faults;
}

std::vector<std::string> ThumbnailsOnScreen::checkPicture(const TracedCell &cell,
                                                          const RgbPicture &shot) const
{
    auto found = expected.find(cell.file);
    if (found == expected.end())
        return { "a cell for a file not in the album" };
    const Expected &picture = found->second;
    if (!Inside(shot, cell.area))
        return { "picture area " + Describe(cell.area) + " off the screen" };
    const ScreenRect rect = CentredIn(cell.area, picture.width, picture.height);
    std::vector<std::string> faults;
    const Rgb shown = MeanIn(shot, rect);
    if (!Near(shown, picture.mean, kTolerance))
        faults.push_back("mean " + Describe(shown) + " at " + Describe(rect) + ", the picture's "
                         + Describe(picture.mean));
    // Catches a picture drawn a pixel or two off its place, which hardly moves the mean.
    const int difference = MeanPixelDifference(shot, rect, picture.rgb);
    if (difference > kTolerance)
        faults.push_back("pixels differ by " + std::to_string(difference) + " on average");
    // The part of the picture area the picture leaves free shows the frame colour.
    if (!AllOf(shot, cell.area, rect, kFrameGrey))
        faults.push_back("picture area around " + Describe(rect) + " is not all frame colour");
    return faults;
}

// Waits for the first drawing of the whole album and notes how each picture should look in the
// cell it got.
void ThumbnailsOnScreen::expectDrawnAlbum()
{
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return !LatestDrawnCells(trace()).empty(); }))
            << "the thumbnails were never all drawn";
    // Only whole rows of cells are drawn: the window must leave room for all of them.
    const std::vector<TracedCell> first = LatestDrawnCells(trace());
    ASSERT_EQ(first.size(), std::size(kPictures) + std::size(kBroken)) << ReadText(trace());
    for (const TracedCell &cell : first) {
        if (!IsBroken(cell.file) && !expected.count(cell.file))
            expected[cell.file] =
                    DecodeFitted(album() / cell.file, cell.area.width, cell.area.height);
    }
    ASSERT_EQ(expected.size(), std::size(kPictures));
    // The comparison only tells pictures apart when their means differ by more than it allows.
    for (const auto &[name, picture] : expected) {
        ASSERT_FALSE(Near(picture.mean, kFrameGrey, 2 * kTolerance)) << name;
        for (const auto &[other, otherPicture] : expected) {
            if (name != other) {
                ASSERT_FALSE(Near(picture.mean, otherPicture.mean, 2 * kTolerance))
                        << name << " and " << other;
            }
        }
    }
}

// Everything wrong with the screen against the expected pictures, once the screen had time to
// agree; empty when every cell shows what it should.
std::string ThumbnailsOnScreen::screenFaults()
{
    // The pointer starts in the middle of the screen: move it off the window, away from every cell.
    x11("xdotool mousemove 1023 767");
    // The trace is written once the last picture went to the window; the server may show it a
    // little later, and a late layout draws everything again. Look until the screen agrees.
    std::vector<std::string> faults;
    WaitUntil(kSettleMs, [&] {
        RgbPicture shot;
        if (!screenshot(shot)) {
            faults = { "no screenshot" };
            return true;
        }
        faults = compare(LatestDrawnCells(trace()), shot);
        return faults.empty();
    });
    std::ostringstream report;
    for (const std::string &fault : faults)
        report << fault << '\n';
    return report.str();
}

// Zeroes the second half of every readable picture of the album, keeping its size and time: the
// header still describes it and the thumbnail cache still holds it valid, but decoding it again
// would draw a different picture.
void ThumbnailsOnScreen::spoilPictures() const
{
    for (const CorpusPicture &picture : kPictures) {
        const fs::path path = album() / picture.name;
        const fs::file_time_type written = fs::last_write_time(path);
        const auto size = static_cast<std::streamoff>(fs::file_size(path));
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(size / 2);
        const std::string zeros(static_cast<std::size_t>(size - size / 2), '\0');
        file.write(zeros.data(), static_cast<std::streamsize>(zeros.size()));
        file.close();
        ASSERT_TRUE(file) << path;
        fs::last_write_time(path, written);
    }
}

TEST_F(ThumbnailsOnScreen, EveryCellShowsItsOwnPicture)
{
    auto program = start({ "-t", "\\Album" });
    ASSERT_NO_FATAL_FAILURE(expectDrawnAlbum());
    const std::string faults = screenFaults();
    EXPECT_TRUE(faults.empty()) << faults;
}

// A folder seen before is drawn from the desktop's thumbnail cache: with the pictures spoiled
// after the first visit, the second still shows every cell as it was.
TEST_F(ThumbnailsOnScreen, CachedFolderIsDrawnWithoutReadingThePictures)
{
    {
        auto program = start({ "-t", "\\Album" });
        ASSERT_NO_FATAL_FAILURE(expectDrawnAlbum());
        program->terminate();
        ASSERT_TRUE(program->waitExit(kDrawnMs).has_value()) << "the program did not end";
    }
    ASSERT_NO_FATAL_FAILURE(spoilPictures());
    fs::remove(trace());
    auto program = start({ "-t", "\\Album" });
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return !LatestDrawnCells(trace()).empty(); }))
            << "the thumbnails were never all drawn on the second visit";
    const std::string faults = screenFaults();
    EXPECT_TRUE(faults.empty()) << faults;
}

} // namespace
