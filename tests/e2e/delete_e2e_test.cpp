#include "codecs/jpeg_writer.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/screen_cells.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kCommandTimeoutS = 20;
constexpr int kDrawnMs = 20000;
constexpr int kDialogMs = 10000;

// A device root with one folder of two pictures, and a trash of the test's own.
class DeleteOnScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X server: " << x.error();
        fs::create_directories(album());
        fs::create_directories(dir.path() / "config");
        for (const char *name : { "a.jpg", "b.jpg" }) {
            std::vector<std::uint8_t> pixels(16 * 16 * 3, 0x80);
            JpegWriter().write((album() / name).string(),
                               PixelSpan::Padded(pixels.data(), 16, 16, 0));
        }
    }

    fs::path album() const { return dir.path() / "root" / "Album"; }

    fs::path trash() const { return dir.path() / "data" / "Trash"; }

    std::string trace() const { return dir.file("trace.txt"); }

    std::string xdotool(const std::string &arguments) const
    {
        return RunCommand("DISPLAY=" + x.display() + " timeout " + std::to_string(kCommandTimeoutS)
                          + " xdotool " + arguments + " 2>/dev/null")
                .out;
    }

    // The first visible window whose title is exactly title, once there is one.
    std::string waitForWindow(const std::string &title) const
    {
        std::istringstream ids(xdotool("search --sync --onlyvisible --name '^" + title + "$'"));
        std::string id;
        ids >> id;
        return id;
    }

    std::vector<std::string> drawnFiles() const
    {
        std::vector<std::string> files;
        for (const TracedCell &cell : LatestDrawnCells(trace()))
            files.push_back(cell.file);
        return files;
    }

    XvfbServer x;
    TempDir dir;
};

TEST_F(DeleteOnScreen, DeleteKeyAndYesMoveThePictureToTheTrash)
{
    auto program = StartVistrel(x.display(), (dir.path() / "root").string(),
                                (dir.path() / "config").string(), trace(), { "-t", "\\Album" },
                                { { "XDG_DATA_HOME", (dir.path() / "data").string() } });
    const std::string window = waitForWindow("Vistrel");
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(WaitUntil(kDrawnMs, [&] { return drawnFiles().size() == 2; }));

    const TracedCell first = LatestDrawnCells(trace()).front();
    ASSERT_EQ(first.file, "a.jpg");
    xdotool("windowfocus --sync " + window);
    xdotool("mousemove --sync " + std::to_string(first.area.x + first.area.width / 2) + " "
            + std::to_string(first.area.y + first.area.height / 2) + " click 1");
    xdotool("key Delete");

    const std::string question = waitForWindow("Delete File");
    ASSERT_FALSE(question.empty()) << "no question";
    xdotool("windowfocus --sync " + question);
    xdotool("key alt+y");

    EXPECT_TRUE(WaitUntil(kDialogMs, [&] { return !fs::exists(album() / "a.jpg"); }));
    EXPECT_TRUE(fs::exists(trash() / "files" / "a.jpg"));
    EXPECT_TRUE(fs::exists(trash() / "info" / "a.jpg.trashinfo"));
    EXPECT_TRUE(fs::exists(album() / "b.jpg"));
    EXPECT_TRUE(WaitUntil(kDrawnMs, [&] {
        return drawnFiles() == std::vector<std::string>{ "b.jpg" };
    })) << "the thumbnail of a.jpg is still drawn";
}

} // namespace
