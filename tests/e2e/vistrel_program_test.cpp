#include "codecs/jpeg_writer.h"
#include "tests/e2e/child_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kWindowTimeoutS = 20;
constexpr int kPromptMs = 5000;
constexpr int kStartMs = 15000;

void WriteSmallJpeg(const std::string &path)
{
    std::vector<std::uint8_t> pixels(8 * 8 * 3, 0x80);
    JpegWriter writer;
    writer.write(path, pixels.data(), 8, 8, 0, 3, 100, nullptr, true, false);
}

std::vector<std::string> ReadLines(const std::string &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool HasLine(const std::string &path, const std::string &wanted)
{
    for (const std::string &line : ReadLines(path)) {
        if (line == wanted)
            return true;
    }
    return false;
}

// A device root with two folders of pictures, a private settings folder and trace file, and a
// private X server: every test runs the real program against these only.
class VistrelProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X server: " << x.error();
        fs::create_directories(root() / "Pictures");
        fs::create_directories(root() / "Other");
        fs::create_directories(config());
        WriteSmallJpeg((root() / "Pictures" / "a.jpg").string());
        WriteSmallJpeg((root() / "Pictures" / "b.jpg").string());
        WriteSmallJpeg((root() / "Other" / "c.jpg").string());
        WriteSmallJpeg((root() / "Other" / "d.jpg").string());
    }

    fs::path root() const { return dir.path() / "root"; }

    fs::path config() const { return dir.path() / "config"; }

    std::string trace() const { return dir.file("trace.txt"); }

    fs::path settingsFile() const { return config() / "Ornwick" / "Vistrel.conf"; }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string> &arguments) const
    {
        return StartVistrel(x.display(), root().string(), config().string(), trace(), arguments);
    }

    CommandResult xdotool(const std::string &arguments) const
    {
        return RunCommand("DISPLAY=" + x.display() + " timeout " + std::to_string(kWindowTimeoutS)
                          + " xdotool " + arguments + " 2>/dev/null");
    }

    // The main window's id, once it is shown.
    std::string waitForWindow() const
    {
        std::istringstream ids(xdotool("search --sync --onlyvisible --name '^Vistrel$'").out);
        std::string id;
        ids >> id;
        return id;
    }

    void pressCtrlQ(const std::string &window) const
    {
        xdotool("windowfocus --sync " + window);
        xdotool("key ctrl+q");
    }

    // Where the program says the command bar's button for a command is (window coordinates),
    // from its "button" trace lines; empty until they are written.
    std::string buttonPosition(std::uint32_t id) const
    {
        for (const std::string &line : ReadLines(trace())) {
            std::istringstream fields(line);
            std::string kind, left, top;
            std::uint32_t button = 0;
            if (fields >> kind >> button >> left >> top && kind == "button" && button == id)
                return left + " " + top;
        }
        return {};
    }

    void clickButton(const std::string &window, std::uint32_t id) const
    {
        const std::string position = buttonPosition(id);
        ASSERT_FALSE(position.empty()) << "no position for button " << id;
        xdotool("mousemove --sync --window " + window + " " + position + " click 1");
    }

    XvfbServer x;
    TempDir dir;
};

TEST_F(VistrelProgram, OpensItsWindowAndCtrlQQuitsWritingTheSettings)
{
    auto program = start({});
    const std::string window = waitForWindow();
    ASSERT_FALSE(window.empty());
    // The first start shows the personal pictures folder in Thumbnail View.
    EXPECT_TRUE(WaitUntil(kStartMs, [&] { return HasLine(trace(), "\\Pictures\t\t30101"); }));
    // The blocks are written only at exit.
    const std::string uiInfo = "[Software\\Ornwick\\Vistrel\\2.00\\UI Info]";
    EXPECT_EQ(ReadText(settingsFile()).find(uiInfo), std::string::npos);

    pressCtrlQ(window);
    EXPECT_EQ(program->waitExit(kStartMs), 0);
    const std::string settings = ReadText(settingsFile());
    EXPECT_NE(settings.find(uiInfo), std::string::npos);
    EXPECT_NE(settings.find("Snap Name=str:ornsnap"), std::string::npos);
}

TEST_F(VistrelProgram, SecondStartHandsItsCommandLineToTheFirst)
{
    auto first = start({ "-t", "\\Other" });
    ASSERT_FALSE(waitForWindow().empty());
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return HasLine(trace(), "\\Other\t\t30101"); }));

    auto second = start({ "-i", "\\Pictures\\a.jpg" });
    EXPECT_EQ(second->waitExit(kPromptMs), 0);
    EXPECT_TRUE(WaitUntil(kPromptMs, [&] { return HasLine(trace(), "\\Pictures\ta.jpg\t30102"); }));
    EXPECT_TRUE(first->running());

    // Without a command line the second start only brings the first forward: nothing is run.
    // Only the runs' lines (folder first) count: the views trace their paints too.
    const auto runs = [&] {
        const std::vector<std::string> lines = ReadLines(trace());
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string &line) { return line.rfind('\\', 0) == 0; });
    };
    // The first program may still be finishing the handed-over run (it traces the view switch,
    // then paints, then traces the run): count once its trace has been still for a while.
    auto runsBefore = runs();
    int stillPolls = 0;
    WaitUntil(kPromptMs, [&] {
        const auto now = runs();
        stillPolls = now == runsBefore ? stillPolls + 1 : 0;
        runsBefore = now;
        return stillPolls >= 10;
    });
    auto third = start({});
    EXPECT_EQ(third->waitExit(kPromptMs), 0);
    WaitUntil(500, [] { return false; });
    EXPECT_EQ(runs(), runsBefore);
    EXPECT_TRUE(first->running());
}

TEST_F(VistrelProgram, TreeChoosesTheFolderAndTheBarButtonsSwitchTheViews)
{
    auto program = start({ "-t", "\\Pictures" });
    const std::string window = waitForWindow();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return !buttonPosition(30103).empty(); }));

    // The tree opens on \Pictures and has the focus; the folder above it is \Other.
    xdotool("windowfocus --sync " + window);
    xdotool("key Up");
    ASSERT_TRUE(WaitUntil(kPromptMs, [&] {
        return ReadText(settingsFile()).find("Path=str:\\Other\n") != std::string::npos;
    }));

    // Select View needs a picture: the document holds those of \Other and shows the first.
    clickButton(window, 30102);
    EXPECT_TRUE(WaitUntil(kPromptMs, [&] { return HasLine(trace(), "\\Other\tc.jpg\t30102"); }));
    clickButton(window, 30101);
    EXPECT_TRUE(WaitUntil(kPromptMs, [&] { return HasLine(trace(), "\\Other\tc.jpg\t30101"); }));
    clickButton(window, 30103);
    EXPECT_TRUE(WaitUntil(kPromptMs, [&] { return HasLine(trace(), "\\Other\tc.jpg\t30103"); }));

    // Exit works in Full Screen View too, where the command bar is hidden.
    pressCtrlQ(window);
    EXPECT_EQ(program->waitExit(kStartMs), 0);
    const std::string settings = ReadText(settingsFile());
    EXPECT_NE(settings.find("Path=str:\\Other\n"), std::string::npos);
    EXPECT_NE(settings.find("Recent2=str:\\Pictures\n"), std::string::npos);
    // Both folders held two pictures: the one left and the one open at exit got their order.
    EXPECT_TRUE(fs::exists(root() / "Pictures" / "vistrel.orna"));
    EXPECT_TRUE(fs::exists(root() / "Other" / "vistrel.orna"));
}

} // namespace
