#include "codecs/jpeg_writer.h"
#include "tests/e2e/child_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
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
    writer.write(path, PixelSpan::Padded(pixels.data(), 8, 8, 0));
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

    // The window's place and size as "x y width height".
    std::string geometry(const std::string &window) const
    {
        return GeometryFromXdotoolShell(xdotool("getwindowgeometry --shell " + window).out);
    }

    // The splitter's pane lengths from the last "panes" trace line.
    std::pair<int, int> panes() const
    {
        std::pair<int, int> sizes{ -1, -1 };
        for (const std::string &line : ReadLines(trace())) {
            std::istringstream fields(line);
            std::string kind;
            int first = 0, second = 0;
            if (fields >> kind >> first >> second && kind == "panes")
                sizes = { first, second };
        }
        return sizes;
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
    // A run's last trace line is its "panes" line; the view switch wrote its line before that.
    ASSERT_TRUE(WaitUntil(kPromptMs, [&] {
        const auto lines = ReadLines(trace());
        const auto run = std::find(lines.rbegin(), lines.rend(), "\\Pictures\ta.jpg\t30102");
        return std::find_if(lines.rbegin(), run,
                            [](const std::string &line) { return line.rfind("panes\t", 0) == 0; })
                != run;
    }));
    // Only the runs' lines (folder first) count: the views trace their paints too.
    const auto runs = [&] {
        const std::vector<std::string> lines = ReadLines(trace());
        return std::count_if(lines.begin(), lines.end(),
                             [](const std::string &line) { return line.rfind('\\', 0) == 0; });
    };
    const auto runsBefore = runs();
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

// "*" on the keypad opens the whole tree, which holds a link out of the device root (to /proc)
// and one back up to the root: the window still answers a key at once.
TEST_F(VistrelProgram, ExpandingTheWholeTreeLeavesTheWindowAnswering)
{
    fs::create_directory_symlink("/proc", root() / "proc");
    fs::create_directory_symlink("..", root() / "Other" / "loop");
    auto program = start({ "-t", "\\Pictures" });
    const std::string window = waitForWindow();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return !buttonPosition(30103).empty(); }));

    xdotool("windowfocus --sync " + window);
    xdotool("key Home KP_Multiply");
    xdotool("key ctrl+q");
    EXPECT_EQ(program->waitExit(2000), 0);
}

// "kill" and the session or terminal going away end the album as Exit does: the order file of
// the folder on show and the settings are written.
TEST_F(VistrelProgram, TerminateAndHangUpEndItAsExitDoes)
{
    for (const int number : { SIGTERM, SIGHUP }) {
        SCOPED_TRACE(number);
        fs::remove(settingsFile());
        fs::remove(root() / "Other" / "vistrel.orna");
        auto program = start({ "-t", "\\Other" });
        ASSERT_FALSE(waitForWindow().empty());
        ASSERT_TRUE(WaitUntil(kStartMs, [&] { return !buttonPosition(30103).empty(); }));
        ASSERT_TRUE(program->signal(number));
        EXPECT_EQ(program->waitExit(kStartMs), 0);
        const std::string settings = ReadText(settingsFile());
        EXPECT_NE(settings.find("[Software\\Ornwick\\Vistrel\\2.00\\UI Info]"), std::string::npos);
        EXPECT_NE(settings.find("Path=str:\\Other\n"), std::string::npos);
        EXPECT_TRUE(fs::exists(root() / "Other" / "vistrel.orna"));
    }
}

// A settings file that cannot be settings, or one made read-only, is a message at start; "kill"
// while it is up ends the album as Exit does, with a fresh settings file for the one moved aside
// and the read-only one left as it was.
TEST_F(VistrelProgram, TerminateDuringAStartUpMessageEndsItAsExitDoes)
{
    const std::string small = "[Software\\Ornwick\\Vistrel\\2.00\\Strings]\nPath=str:\\Other\n";

    const struct
    {
        const char *label;
        std::string text;
        fs::perms mode;
    } rows[] = {
        { "too large to be settings", small + std::string(5 << 20, '#'), fs::perms(0644) },
        { "read-only", small, fs::perms(0444) },
    };

    for (const auto &row : rows) {
        SCOPED_TRACE(row.label);
        fs::create_directories(settingsFile().parent_path());
        fs::remove(settingsFile());
        fs::remove(root() / "Other" / "vistrel.orna");
        fs::remove(trace());
        WriteBytes(settingsFile().string(), { row.text.begin(), row.text.end() });
        fs::permissions(settingsFile(), row.mode);
        auto program = start({ "-t", "\\Other" });
        ASSERT_FALSE(waitForWindow().empty());
        // The message holds the start up: no main window and its bar yet.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_TRUE(buttonPosition(30103).empty());
        ASSERT_TRUE(program->signal(SIGTERM));
        EXPECT_EQ(program->waitExit(kStartMs), 0);
        EXPECT_TRUE(fs::exists(root() / "Other" / "vistrel.orna"));
        fs::permissions(settingsFile(), fs::perms(0644));
        const std::string settings = ReadText(settingsFile());
        if (row.mode == fs::perms(0444)) {
            EXPECT_EQ(settings, row.text);
        } else {
            EXPECT_NE(settings.find("[Software\\Ornwick\\Vistrel\\2.00\\UI Info]"),
                      std::string::npos);
            EXPECT_EQ(fs::file_size(settingsFile().string() + ".bad"), row.text.size());
        }
    }
}

// When the X server goes away the program cannot go on, but it still writes what Exit writes.
TEST_F(VistrelProgram, LosingTheXServerStillWritesTheSettings)
{
    auto server = std::make_unique<XvfbServer>();
    ASSERT_TRUE(server->ok()) << server->error();
    auto program = StartVistrel(server->display(), root().string(), config().string(), trace(),
                                { "-t", "\\Other" });
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return !buttonPosition(30103).empty(); }));
    server.reset();
    EXPECT_TRUE(program->waitExit(kStartMs).has_value());
    // The blocks are written only at the end.
    EXPECT_NE(ReadText(settingsFile()).find("[Software\\Ornwick\\Vistrel\\2.00\\UI Info]"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(root() / "Other" / "vistrel.orna"));
}

// The first start takes a good part of the screen with the tree narrower than the thumbnails; a
// later start comes back where and as large as the window was left.
TEST_F(VistrelProgram, WindowOpensLargeThenWhereItWasLeft)
{
    auto first = start({});
    const std::string window = waitForWindow();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(WaitUntil(kStartMs, [&] { return panes().first >= 0; }));
    std::istringstream placed(geometry(window));
    int left = 0, top = 0, width = 0, height = 0;
    placed >> left >> top >> width >> height;
    EXPECT_GE(width, 1024 / 2);
    EXPECT_GE(height, 768 / 2);
    EXPECT_GT(panes().first, 0);
    EXPECT_LT(panes().first, panes().second);

    xdotool("windowmove --sync " + window + " 37 41");
    xdotool("windowsize --sync " + window + " 700 500");
    ASSERT_TRUE(WaitUntil(kPromptMs, [&] { return geometry(window) == "37 41 700 500"; }));
    pressCtrlQ(window);
    ASSERT_EQ(first->waitExit(kStartMs), 0);

    auto second = start({});
    const std::string again = waitForWindow();
    ASSERT_FALSE(again.empty());
    EXPECT_TRUE(WaitUntil(kPromptMs, [&] { return geometry(again) == "37 41 700 500"; }))
            << geometry(again);
}

} // namespace
