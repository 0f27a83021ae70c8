#include "app/app_settings.h"
#include "platform/settings_store.h"
#include "platform/x_connection.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/screen_cells.h"
#include "tests/platform/root_painter.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kStartMs = 20000;
constexpr int kCaptureMs = 20000;

bool Traced(const std::string &trace)
{
    std::ifstream in(trace);
    std::string line;
    return static_cast<bool>(std::getline(in, line));
}

bool CellOf(const std::string &trace, const std::string &file, TracedCell &found)
{
    for (const TracedCell &cell : LatestDrawnCells(trace)) {
        if (cell.file == file) {
            found = cell;
            return true;
        }
    }
    return false;
}

// The album on the capture folder \Snaps with capture on Print, on a private X server, driven
// with xdotool.
class CaptureButtonE2e : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X server: " << x.error();
        fs::create_directories(snaps);
        fs::create_directories(config / "Ornwick");
    }

    void startAlbum()
    {
        SettingsStore store((config / "Ornwick" / "Vistrel.conf").string());
        UiInfoBlock ui;
        ui.captureFlags = CaptureFlag::ToolbarVisible | CaptureFlag::CaptureEnabled
                | (1u << CaptureFlag::CaptureTriggerShift);
        WriteUiInfo(store, ui);
        WriteStringSetting(store, "Snap Path", "\\Snaps");
        WriteCaptureOptions(store, options);
        program = StartVistrel(x.display(), root.string(), config.string(), trace,
                               { "-t", "\\Snaps" });
        ASSERT_TRUE(WaitUntil(kStartMs, [&] { return Traced(trace); }))
                << "the album never started";
    }

    void xdotool(const std::string &arguments)
    {
        const CommandResult run =
                RunCommand("DISPLAY=" + x.display() + " timeout 20 xdotool " + arguments + " 2>&1");
        ASSERT_EQ(run.status, 0) << arguments << ": " << run.out;
    }

    // The chooser is up once its window shows and it holds the keyboard: another client's grab
    // is then refused.
    bool chooserShown()
    {
        const bool mapped = RunCommand("DISPLAY=" + x.display()
                                       + " xdotool search --onlyvisible --name '^Choose a region$'")
                                    .status
                == 0;
        XConnection probe(x.display());
        xcb_connection_t *c = probe.get();
        XcbReply<xcb_grab_keyboard_reply_t> grab(xcb_grab_keyboard_reply(
                c,
                xcb_grab_keyboard(c, 0, probe.screen()->root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                  XCB_GRAB_MODE_ASYNC),
                nullptr));
        const bool held = grab && grab->status == XCB_GRAB_STATUS_ALREADY_GRABBED;
        if (grab && grab->status == XCB_GRAB_STATUS_SUCCESS)
            xcb_ungrab_keyboard(c, XCB_CURRENT_TIME);
        return mapped && held;
    }

    bool chooserGone()
    {
        return RunCommand("DISPLAY=" + x.display()
                          + " xdotool search --onlyvisible --name '^Choose a region$'")
                       .status
                != 0;
    }

    XvfbServer x;
    TempDir dir;
    fs::path root = dir.path() / "root";
    fs::path snaps = root / "Snaps";
    fs::path config = dir.path() / "config";
    std::string trace = dir.file("trace.txt");
    CaptureOptionsBlock options;
    std::unique_ptr<ChildProcess> program;
};

// A press of Print: the picture is written under the first free number and appears among the
// thumbnails of the folder on show.
TEST_F(CaptureButtonE2e, PrintWritesTheNextNumberedFileAndItsThumbnailAppears)
{
    // ornsnap001.bmp is taken: the capture gets 002.
    WriteBytes((snaps / "ornsnap001.bmp").string(), { 'B', 'M' });
    startAlbum();
    xdotool("key Print");
    const fs::path written = snaps / "ornsnap002.bmp";
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return fs::exists(written); }))
            << "no capture was written";
    // A whole BMP of the screen: header, 1024 x 768 pixels of 3 bytes.
    EXPECT_TRUE(WaitUntil(kCaptureMs,
                          [&] { return fs::file_size(written) >= 54u + 1024u * 768u * 3u; }));

    TracedCell cell;
    EXPECT_TRUE(WaitUntil(kCaptureMs, [&] { return CellOf(trace, "ornsnap002.bmp", cell); }))
            << "the new picture was never drawn among the thumbnails";
    EXPECT_GT(cell.area.width, 0);
}

// Shift with the button brings the region chooser up over the frozen screen: a rectangle dragged
// with the pointer and taken with Enter is the file and the clipboard's image/png, with exactly
// the screen's pixels there; Escape writes nothing, and the next capture takes the next number.
TEST_F(CaptureButtonE2e, ARegionDraggedAndTakenWithEnterIsTheFileAndEscapeWritesNothing)
{
    // The album's window stays in the middle of the screen; the root around it shows this.
    const PixelAt pattern = [](int px, int py) {
        return std::uint32_t(px % 256) << 16 | std::uint32_t(py % 256) << 8
                | std::uint32_t((px * 3 + py * 7) % 256);
    };
    PaintRoot(x.display(), pattern);
    options.flags = CaptureOption::Clipboard;
    startAlbum();
    xdotool("key shift+Print");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return chooserShown(); })) << "no chooser";
    xdotool("mousemove 10 20 mousedown 1 mousemove 60 40 mousemove 110 70 mouseup 1");
    xdotool("key Return");
    const fs::path first = snaps / "ornsnap001.bmp";
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return fs::exists(first); })) << "nothing written";
    const std::vector<std::uint8_t> region = PixelRgb(Rect{ 10, 20, 110, 70 }, pattern);
    EXPECT_TRUE(FileRgb(first.string()) == region) << "pixels differ";
    const std::string png = dir.file("clipboard.png");
    ASSERT_EQ(RunCommand("DISPLAY=" + x.display()
                         + " xclip -selection clipboard -t image/png -o > '" + png + "'")
                      .status,
              0);
    EXPECT_TRUE(FileRgb(png) == region) << "the clipboard's pixels differ";

    xdotool("key shift+Print");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return chooserShown(); })) << "no chooser";
    xdotool("key Escape");
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return chooserGone(); }));
    xdotool("key Print");
    const fs::path second = snaps / "ornsnap002.bmp";
    ASSERT_TRUE(WaitUntil(kCaptureMs, [&] { return fs::exists(second); })) << "nothing written";
    EXPECT_EQ(FileRgb(second.string()).size(), 1024u * 768u * 3u) << "the whole screen";
    EXPECT_EQ(std::distance(fs::directory_iterator(snaps), fs::directory_iterator()), 2);
}

} // namespace
