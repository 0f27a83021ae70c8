// The information sheet in the real program, read the way a screen reader reads it: through the
// accessibility bus of a private session.
#include "codecs/gif_writer.h"
#include "codecs/jpeg_writer.h"
#include "tests/e2e/child_process.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr const char *kBusLauncher = "/usr/libexec/at-spi-bus-launcher";
constexpr int kStartMs = 15000;
constexpr int kReaderTimeoutS = 90;

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The line after caption, or "" when there is none.
std::string ValueAfter(const std::vector<std::string> &lines, const std::string &caption)
{
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] == caption)
            return lines[i + 1];
    }
    return {};
}

std::string ReadText(const fs::path &path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A private X server, session bus and accessibility bus, and a device root holding an 8 x 8
// JPEG and a 40 x 30 GIF of four colours.
class InfoSheetOnScreen : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!x.ok())
            GTEST_SKIP() << "no X server: " << x.error();
        if (!fs::exists(kBusLauncher)
            || RunCommand("/usr/bin/python3 -c 'import pyatspi' 2>/dev/null").status != 0)
            GTEST_SKIP() << "no accessibility bus (at-spi2-core, python3-pyatspi)";
        fs::create_directories(root() / "Pictures");
        fs::create_directories(dir.path() / "config");
        // The accessibility bus puts its socket in the runtime folder: a private one.
        fs::create_directories(runtime());
        fs::permissions(runtime(), fs::perms::owner_all);
        writePictures();

        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        const std::string bus = "unix:path=" + (dir.path() / "session-bus").string();
        environment.push_back(std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", runtime().string()));
        environment.push_back(std::make_unique<ScopedEnv>("DBUS_SESSION_BUS_ADDRESS", bus));
        environment.push_back(std::make_unique<ScopedEnv>("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"));
        sessionBus = std::make_unique<ChildProcess>(
                "/usr/bin/dbus-daemon",
                std::vector<std::string>{ "--session", "--nofork", "--address=" + bus },
                std::map<std::string, std::string>{});
        ASSERT_TRUE(WaitUntil(kStartMs, [&] { return fs::exists(dir.path() / "session-bus"); }));
        accessibilityBus = std::make_unique<ChildProcess>(
                kBusLauncher, std::vector<std::string>{ "--launch-immediately" },
                std::map<std::string, std::string>{ { "DISPLAY", x.display() } });
    }

    void TearDown() override
    {
        accessibilityBus.reset();
        sessionBus.reset();
        WaitUntil(kStartMs, OnlyTheXServerIsLeft);
        ::prctl(PR_SET_CHILD_SUBREAPER, 0);
    }

    void writePictures() const
    {
        std::vector<std::uint8_t> rgb(8 * 8 * 3, 0x80);
        JpegWriter jpeg;
        jpeg.write((root() / "Pictures" / "a.jpg").string(),
                   PixelSpan::Padded(rgb.data(), 8, 8, 0));
        ImagePalette palette;
        palette.count = 4;
        for (int i = 0; i < 4; ++i)
            palette.entries[i] = { std::uint8_t(60 * i), std::uint8_t(255 - 60 * i), 0, 0 };
        std::vector<std::uint8_t> indices(40 * 30);
        for (std::size_t i = 0; i < indices.size(); ++i)
            indices[i] = static_cast<std::uint8_t>(i % 4);
        GifWriter gif;
        gif.write((root() / "Pictures" / "b.gif").string(),
                  PixelSpan::Padded(indices.data(), 40, 30, 0, 1, &palette));
    }

    fs::path root() const { return dir.path() / "root"; }

    fs::path runtime() const { return dir.path() / "runtime"; }

    fs::path settingsFile() const { return dir.path() / "config" / "Ornwick" / "Vistrel.conf"; }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string> &arguments) const
    {
        return StartVistrel(x.display(), root().string(), (dir.path() / "config").string(),
                            dir.file("trace.txt"), arguments);
    }

    // Opens Tools > Image Info... and prints the Image page's labels, then presses OK.
    CommandResult readSheet() const
    {
        const std::string script =
                std::string(VISTREL_SOURCE_DIR) + "/tests/e2e/read_info_sheet.py";
        return RunCommand("DISPLAY=" + x.display() + " timeout " + std::to_string(kReaderTimeoutS)
                          + " /usr/bin/python3 '" + script + "'");
    }

    XvfbServer x;
    TempDir dir;
    std::vector<std::unique_ptr<ScopedEnv>> environment;
    std::unique_ptr<ChildProcess> sessionBus;
    std::unique_ptr<ChildProcess> accessibilityBus;
};

TEST_F(InfoSheetOnScreen, ImageInfoShowsTheSelectedPicturesDimensionsAndColours)
{
    // The command line selects the GIF, the second picture of the folder.
    auto program = start({ "-i", "\\Pictures\\b.gif" });
    const CommandResult sheet = readSheet();
    ASSERT_EQ(sheet.status, 0) << sheet.out;
    const std::vector<std::string> labels = Lines(sheet.out);
    EXPECT_EQ(ValueAfter(labels, "Type:"), "GIF");
    EXPECT_EQ(ValueAfter(labels, "Dimension:"), "40 x 30");
    EXPECT_EQ(ValueAfter(labels, "Colors:"), "4");

    // OK came back to the document, which stores the settings the sheet may have changed.
    EXPECT_TRUE(WaitUntil(kStartMs, [&] {
        return ReadText(settingsFile()).find("[Software\\Ornwick\\Vistrel\\2.00\\UI Info]")
                != std::string::npos;
    }));
    EXPECT_TRUE(program->running());
}

} // namespace
