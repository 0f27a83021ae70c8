#include "app/app_settings.h"
#include "platform/settings_store.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/screen_cells.h"
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

// The album on the capture folder with capture on Print, then a press of Print: the picture is
// written under the first free number and appears among the thumbnails of the folder on show.
TEST(CaptureButtonE2e, PrintWritesTheNextNumberedFileAndItsThumbnailAppears)
{
    XvfbServer x;
    if (!x.ok())
        GTEST_SKIP() << "no X server: " << x.error();
    TempDir dir;
    const fs::path root = dir.path() / "root";
    const fs::path snaps = root / "Snaps";
    const fs::path config = dir.path() / "config";
    fs::create_directories(snaps);
    fs::create_directories(config / "Ornwick");
    // ornsnap001.bmp is taken: the capture gets 002.
    WriteBytes((snaps / "ornsnap001.bmp").string(), { 'B', 'M' });

    SettingsStore store((config / "Ornwick" / "Vistrel.conf").string());
    UiInfoBlock ui;
    ui.captureFlags = CaptureFlag::ToolbarVisible | CaptureFlag::CaptureEnabled
            | (1u << CaptureFlag::CaptureTriggerShift);
    WriteUiInfo(store, ui);
    WriteStringSetting(store, "Snap Path", "\\Snaps");

    const std::string trace = dir.file("trace.txt");
    auto program = StartVistrel(x.display(), root.string(), config.string(), trace,
                                { "-t", "\\Snaps" });
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return Traced(trace); })) << "the album never started";

    const CommandResult press =
            RunCommand("DISPLAY=" + x.display() + " timeout 20 xdotool key Print 2>&1");
    ASSERT_EQ(press.status, 0) << press.out;
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

} // namespace
