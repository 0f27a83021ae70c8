// The region chooser in the running album: Shift with the capture button brings it up over the
// frozen screen; a rectangle dragged with the pointer and taken with Enter is the file, with
// exactly the screen's pixels there; Escape writes nothing and the next capture works.
#include "app/app_settings.h"
#include "codecs/detecting_codec.h"
#include "platform/settings_store.h"
#include "tests/e2e/child_process.h"
#include "tests/platform/root_painter.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr int kStartMs = 20000;
constexpr int kCaptureMs = 20000;

std::uint32_t Pattern(int x, int y)
{
    return std::uint32_t(x % 256) << 16 | std::uint32_t(y % 256) << 8
            | std::uint32_t((x * 3 + y * 7) % 256);
}

std::vector<std::uint8_t> PatternRgb(const Rect &r)
{
    std::vector<std::uint8_t> rgb;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const std::uint32_t p = Pattern(x, y);
            rgb.insert(rgb.end(), { std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p) });
        }
    return rgb;
}

std::vector<std::uint8_t> FileRgb(const fs::path &path)
{
    ImageInfo info;
    FrameArray frames;
    DetectingCodec().decodeFramesFromFile(path.string(), &info, &frames, nullptr, nullptr);
    return PackedRgb(frames.at(0)->image);
}

class RegionCaptureE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X server: " << x.error();
        fs::create_directories(snaps);
        fs::create_directories(config / "Ornwick");
        SettingsStore store((config / "Ornwick" / "Vistrel.conf").string());
        UiInfoBlock ui;
        ui.captureFlags = CaptureFlag::ToolbarVisible | CaptureFlag::CaptureEnabled
                | (1u << CaptureFlag::CaptureTriggerShift);
        WriteUiInfo(store, ui);
        WriteStringSetting(store, "Snap Path", "\\Snaps");
        // The album window stays in the middle of the screen; the root around it shows this.
        PaintRoot(x.display(), Pattern);
        program = StartVistrel(x.display(), root.string(), config.string(), trace,
                               { "-t", "\\Snaps" });
        // The first trace line comes once the album shows its folder, its key long claimed.
        ASSERT_TRUE(WaitUntil(kStartMs, [&] {
            return fs::exists(trace) && fs::file_size(trace) > 0;
        })) << "the album never started";
    }

    void xdotool(const std::string &arguments)
    {
        const CommandResult run =
                RunCommand("DISPLAY=" + x.display() + " timeout 20 xdotool " + arguments + " 2>&1");
        ASSERT_EQ(run.status, 0) << arguments << ": " << run.out;
    }

    bool chooserShown()
    {
        return RunCommand("DISPLAY=" + x.display()
                          + " xdotool search --onlyvisible --name '^Choose a region$'")
                       .status
                == 0;
    }

    XvfbServer x;
    TempDir dir;
    fs::path root = dir.path() / "root";
    fs::path snaps = root / "Snaps";
    fs::path config = dir.path() / "config";
    std::string trace = dir.file("trace.txt");
    std::unique_ptr<ChildProcess> program;
};

TEST_F(RegionCaptureE2e, ARegionDraggedAndTakenWithEnterIsTheFileAndEscapeWritesNothing)
{
    xdotool("key shift+Print");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return chooserShown(); })) << "no chooser";
    xdotool("mousemove 10 20 mousedown 1 mousemove 60 40 mousemove 110 70 mouseup 1");
    xdotool("key Return");
    const fs::path first = snaps / "ornsnap001.bmp";
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return fs::exists(first); })) << "nothing written";
    EXPECT_TRUE(FileRgb(first) == PatternRgb(Rect{ 10, 20, 110, 70 })) << "pixels differ";

    xdotool("key shift+Print");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return chooserShown(); })) << "no chooser";
    xdotool("key Escape");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return !chooserShown(); }));
    // The capture after it takes the next number: the cancelled one made no file.
    xdotool("key Print");
    const fs::path second = snaps / "ornsnap002.bmp";
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return fs::exists(second); })) << "nothing written";
    EXPECT_EQ(FileRgb(second).size(), 1024u * 768u * 3u) << "the whole screen";
    EXPECT_EQ(std::distance(fs::directory_iterator(snaps), fs::directory_iterator()), 2);
}

} // namespace
