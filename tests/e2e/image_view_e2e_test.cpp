#include "codecs/detecting_codec.h"
#include "image/render.h"
#include "image/view_buffer.h"
#include "tests/e2e/album_on_screen.h"
#include "tests/e2e/screen_cells.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kDrawnMs = 20000;
constexpr int kSettleMs = 10000;
constexpr int kTolerance = 3;

// One "image" trace line: where the image view drew its picture, at which zoom and frame.
struct DrawnPicture
{
    std::string file;
    ScreenRect area;
    int zoom = 0;
    int frame = 0;
    int count = 0; // image lines so far
};

std::vector<std::string> TraceLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

DrawnPicture LatestDrawn(const std::string &trace)
{
    DrawnPicture latest;
    for (const std::string &line : TraceLines(trace)) {
        std::istringstream fields(line);
        std::string kind;
        DrawnPicture drawn;
        if (fields >> kind && kind == "image"
            && fields >> drawn.file >> drawn.area.x >> drawn.area.y >> drawn.area.width
                    >> drawn.area.height >> drawn.zoom >> drawn.frame) {
            drawn.count = latest.count + 1;
            latest = drawn;
        }
    }
    return latest;
}

// The latest view mode the trace gives ("folder<TAB>file<TAB>mode" lines); 0 when none.
int LatestMode(const std::string &trace)
{
    int mode = 0;
    for (const std::string &line : TraceLines(trace)) {
        const auto tab = line.rfind('\t');
        if (tab != std::string::npos && line.compare(0, 1, "\\") == 0)
            mode = std::stoi(line.substr(tab + 1));
    }
    return mode;
}

// The still picture as the view should show it at width x height: every frame-0 pixel chosen
// by nearest neighbour, as the view does.
std::vector<std::uint8_t> Expected(const fs::path &file, int width, int height)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(file.string(), &info, &frames, nullptr, nullptr);
    auto store = makeViewBuffer(width, height, false, false);
    EXPECT_TRUE(store && !frames.empty());
    if (!store || frames.empty())
        return {};
    renderImage(frames[0]->image, Rect{ 0, 0, width, height }, store->pixels, store->width - width);
    ImageBuffer shown;
    shown.create(width, height, 3, false);
    for (int y = 0; y < height; ++y)
        std::memcpy(shown.row(y), store->pixels + std::size_t(y) * store->stride(),
                    std::size_t(width) * 3);
    return PackedRgb(shown);
}

class ImageViewOnScreen : public AlbumOnScreen
{
protected:
    void SetUp() override
    {
        setUpAlbum({ { "libjpeg-turbo/testorig.jpg", "a.jpg" },
                     { "image-gif/samples/moon_impact.gif", "b.gif" } });
    }

    // The pixels of rect on the screen, packed.
    std::vector<std::uint8_t> pixelsIn(const ScreenRect &rect) const
    {
        RgbPicture shot;
        if (!screenshot(shot) || !Inside(shot, rect))
            return {};
        std::vector<std::uint8_t> out;
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            const auto *row = shot.rgb.data() + (std::size_t(y) * shot.width + rect.x) * 3;
            out.insert(out.end(), row, row + std::size_t(rect.width) * 3);
        }
        return out;
    }

    void pressKey(const std::string &key) const
    {
        const std::string window = x11("xdotool search --sync --onlyvisible --name Vistrel").out;
        std::istringstream ids(window);
        std::string id;
        ids >> id;
        x11("xdotool windowfocus --sync " + id);
        x11("xdotool key " + key);
    }

    // Waits until the screen shows the picture as traced; the difference last seen.
    int settledDifference(const DrawnPicture &drawn) const
    {
        const std::vector<std::uint8_t> want =
                Expected(album() / drawn.file, drawn.area.width, drawn.area.height);
        int difference = 255;
        WaitUntil(kSettleMs, [&] {
            RgbPicture shot;
            if (!screenshot(shot) || !Inside(shot, drawn.area))
                return false;
            difference = MeanPixelDifference(shot, drawn.area, want);
            return difference <= kTolerance;
        });
        return difference;
    }
};

TEST_F(ImageViewOnScreen, ShowsThePictureZoomsInAndEscapeLeavesFullScreen)
{
    auto program = start({ "-i", "\\Album\\a.jpg" });
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return LatestDrawn(trace()).file == "a.jpg"; }))
            << "the picture was never drawn";
    const DrawnPicture first = LatestDrawn(trace());
    EXPECT_EQ(first.zoom, 100);
    EXPECT_EQ(first.area.width, 227);
    EXPECT_LE(settledDifference(first), kTolerance);
    const std::vector<std::uint8_t> before = pixelsIn(first.area);

    pressKey("Up");
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return LatestDrawn(trace()).zoom == 125; }));
    const DrawnPicture zoomed = LatestDrawn(trace());
    EXPECT_EQ(zoomed.area.width, 284);
    EXPECT_LE(settledDifference(zoomed), kTolerance);
    EXPECT_NE(pixelsIn(first.area), before);

    // Into Full Screen View with F11 and out with Escape, back to Select View.
    pressKey("F11");
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return LatestMode(trace()) == 30103; }));
    pressKey("Escape");
    EXPECT_TRUE(WaitUntil(kDrawnMs, [&] { return LatestMode(trace()) == 30102; }))
            << "still in Full Screen View";
}

TEST_F(ImageViewOnScreen, AnAnimatedGifPlays)
{
    auto program = start({ "-fs", "\\Album\\b.gif" });
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return LatestDrawn(trace()).file == "b.gif"; }))
            << "the picture was never drawn";
    const ScreenRect area = LatestDrawn(trace()).area;
    // Two different pictures on the screen within a second.
    std::set<std::vector<std::uint8_t>> seen;
    const auto began = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - began < std::chrono::seconds(1) && seen.size() < 2)
        seen.insert(pixelsIn(area));
    EXPECT_GE(seen.size(), 2u);
    std::set<int> frames;
    WaitUntil(kSettleMs, [&] {
        frames.insert(LatestDrawn(trace()).frame);
        return frames.size() >= 3;
    });
    EXPECT_GE(frames.size(), 3u);
}

} // namespace
