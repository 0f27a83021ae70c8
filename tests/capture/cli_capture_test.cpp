// `vistrel-cli capture` on a private X server: the files hold exactly the screen's pixels (BMP,
// PNG, and GIF for a screen of no more than 256 colours) of the whole screen or of an area, names
// follow on, failures and bad arguments give their exit status, and the clipboard holds the
// picture until another program takes it.
#include "platform/helper_clipboard.h"
#include "platform/x_connection.h"
#include "platform/x_selection_server.h"
#include "tests/platform/root_painter.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_server.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <xcb/xcb.h>

namespace {

constexpr int kWidth = 61;
constexpr int kHeight = 23;

// 8 x 8 x 4 = 256 colours at most.
std::uint32_t ScreenPixel(int x, int y)
{
    return std::uint32_t(x % 8 * 30) << 16 | std::uint32_t(y % 8 * 30) << 8
            | std::uint32_t((x + y) % 4 * 60);
}

class CliCapture : public ::testing::Test
{
protected:
    // The tool with DISPLAY and a settings folder of the test's own; standard error joined in.
    CommandResult capture(const std::string &arguments, const std::string &display)
    {
        return RunCommand("DISPLAY=" + display + " VISTREL_GRAB=x11 XDG_CONFIG_HOME='"
                          + dir.file("config") + "' '" + CliPath() + "' capture " + arguments
                          + " 2>&1");
    }

    TempDir dir;
};

TEST_F(CliCapture, FilesHoldTheScreenExactly)
{
    XvfbServer server(kWidth, kHeight, 24);
    ASSERT_TRUE(server.ok()) << server.error();
    PaintRoot(server.display(), ScreenPixel);
    const std::string folder = "--folder '" + dir.path().string() + "'";

    struct Case
    {
        const char *arguments;
        const char *file;
    };

    for (const Case &c : { Case{ "--format bmp", "ornsnap001.bmp" },
                           Case{ "--format bmp --dpi 300", "ornsnap002.bmp" },
                           Case{ "--format gif --prefix shot", "shot001.gif" },
                           Case{ "--format png", "ornsnap001.png" } }) {
        SCOPED_TRACE(c.arguments);
        const CommandResult run = capture(folder + " " + c.arguments, server.display());
        ASSERT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(run.out, dir.file(c.file) + "\n");
        EXPECT_TRUE(FileRgb(dir.file(c.file))
                    == PixelRgb(Rect{ 0, 0, kWidth, kHeight }, ScreenPixel))
                << "pixels differ";
    }
}

TEST_F(CliCapture, FailuresAndBadArguments)
{
    struct Case
    {
        const char *arguments;
        int status;
        const char *output; // a part of what is printed
    };

    const std::string folder = "--folder '" + dir.path().string() + "' ";
    const Case cases[] = {
        { "--help", 0, "usage: vistrel-cli capture" },
        { "--format tif", 2, "--format must be bmp, gif, jpg or png" },
        { "--dpi 0", 2, "--dpi needs a whole number from 1 to 65535" },
        { "--delay x", 2, "--delay needs a whole number" },
        { "--prefix a/b", 2, "cannot start a file name" },
        { "--folder", 2, "--folder needs a value" },
        { "--colors 2", 2, "unknown option '--colors'" },
        { "--area region", 2, "--area region needs the album's chooser" },
        { "--area 1,2,0,3", 2, "--area must be screen, monitor, window or X,Y,W,H" },
        { "--area 1,2,3", 2, "--area must be screen, monitor, window or X,Y,W,H" },
        { "--monitor x", 2, "--monitor needs a whole number from 0 to 255" },
        { "--area window --monitor 1", 2, "--monitor goes only with --area monitor" },
        { "--no-file", 2, "--no-file needs --clipboard" },
        { "", 1, "Not enough memory.\n36007:3000:5" }, // no X server on that display
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandResult run = capture(
                (std::string(c.arguments) == "--folder" ? "" : folder) + c.arguments, ":4093");
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.out.find(c.output), std::string::npos) << run.out;
    }
    EXPECT_TRUE(dir.names().empty());
}

// Qt's start-up would cost more than a capture: the tool links none of it, and leaves the portal
// to its helper program, whose absence is reported as such.
TEST_F(CliCapture, TheToolLoadsNoQtAndReportsAMissingPortalHelper)
{
    const CommandResult libraries = RunCommand("readelf -d '" + CliPath() + "'");
    ASSERT_EQ(libraries.status, 0);
    EXPECT_NE(libraries.out.find("(NEEDED)"), std::string::npos);
    EXPECT_EQ(libraries.out.find("libQt"), std::string::npos) << libraries.out;

    const std::string alone = dir.file("vistrel-cli");
    std::filesystem::copy_file(CliPath(), alone);
    const CommandResult run =
            RunCommand("VISTREL_GRAB=portal XDG_CONFIG_HOME='" + dir.file("config") + "' '" + alone
                       + "' capture --folder '" + dir.path().string() + "' 2>&1");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("cannot start " + dir.path().string()
                           + "/../libexec/vistrel/vistrel-portal-grab: No such file"),
              std::string::npos)
            << run.out;
    EXPECT_NE(run.out.find("36007:3000:20"), std::string::npos) << run.out;
    EXPECT_EQ(dir.names(), std::vector<std::string>{ "vistrel-cli" });
}

// --clipboard --no-file: the tool leaves a process of its own behind that hands out the screen as
// image/png, in one piece or (a large picture) in INCR steps, until another program takes the
// clipboard; the portal helper's Qt clipboard does the same with the PNG it is given.
TEST_F(CliCapture, TheClipboardHoldsTheScreenAsPngUntilAnotherProgramTakesIt)
{
    EnsureTestApplication();
    // Left in the background, the clipboard's process comes to this program when the tool ends.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);

    struct Case
    {
        const char *name;
        int width;
        int height;
        PixelAt pixel;
    };

    const Case cases[] = {
        { "one piece", kWidth, kHeight, ScreenPixel },
        { "INCR steps: noise does not compress", 640, 480,
          [](int x, int y) {
              return (std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u) >> 8;
          } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        XvfbServer server(c.width, c.height, 24);
        ASSERT_TRUE(server.ok()) << server.error();
        PaintRoot(server.display(), c.pixel);
        const CommandResult run = capture("--clipboard --no-file", server.display());
        ASSERT_EQ(run.status, 0) << run.out;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(dir.names().empty());
        const std::string xclip = "DISPLAY=" + server.display() + " xclip -selection clipboard -o ";
        EXPECT_EQ(RunCommand(xclip + "-t TARGETS").out, "TARGETS\nTIMESTAMP\nimage/png\n");
        const std::string png = dir.file("clipboard.png");
        ASSERT_EQ(RunCommand(xclip + "-t image/png > '" + png + "'").status, 0);
        EXPECT_TRUE(FileRgb(png) == PixelRgb(Rect{ 0, 0, c.width, c.height }, c.pixel))
                << "pixels differ";

        // The helper's Qt clipboard, on the same server: the PNG as it was given.
        ScopedEnv display("DISPLAY", server.display());
        ScopedEnv platform("QT_QPA_PLATFORM", std::string("xcb"));
        std::string error;
        const std::vector<std::uint8_t> bytes = ReadBytes(png);
        const std::string helper =
                (std::filesystem::path(CliPath()).parent_path() / "vistrel-portal-grab").string();
        ASSERT_TRUE(OfferClipboardThroughHelper(helper, bytes, error)) << error;
        ASSERT_EQ(RunCommand(xclip + "-t image/png > '" + png + "'").status, 0);
        EXPECT_TRUE(ReadBytes(png) == bytes);
        std::filesystem::remove(png);

        XSelectionServer other(server.display(), "text/plain", { 'x' });
        ASSERT_TRUE(other.own());
        EXPECT_TRUE(ProcessEventsUntil(OnlyTheXServerIsLeft, 5000))
                << "a clipboard process stayed after another program took the clipboard";
    }
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// Two monitors side by side and three windows over a painted root, without a window manager: A
// plays the active window of a manager that draws a frame, B has a border of its own, C hangs
// over the bottom right corner.
class CliCaptureAreas : public CliCapture
{
protected:
    static constexpr int kW = 64;
    static constexpr int kH = 48;

    struct Window
    {
        Rect outer;
        int border;
        std::uint32_t colour;
        std::uint32_t borderColour;
        xcb_window_t id = 0;
    };

    void SetUp() override
    {
        ASSERT_TRUE(server.ok()) << server.error();
        PaintRoot(server.display(), Root);
        const std::string xrandr = "DISPLAY=" + server.display() + " xrandr --setmonitor ";
        // The output's own monitor goes to the left half, so the server lists exactly two.
        ASSERT_EQ(RunCommand(xrandr + "L 32/10x48/10+0+0 screen").status, 0);
        ASSERT_EQ(RunCommand(xrandr + "R 32/10x48/10+32+0 none").status, 0);
        ASSERT_TRUE(x.usable());
        for (Window &w : windows)
            w.id = map(w);
    }

    static std::uint32_t Root(int px, int py)
    {
        return std::uint32_t(px * 4) << 16 | std::uint32_t(py * 5) << 8
                | std::uint32_t(px * py % 256);
    }

    std::uint32_t screenPixel(int px, int py) const
    {
        for (const Window &w : windows) {
            const Rect &o = w.outer;
            if (px < o.left || px >= o.right || py < o.top || py >= o.bottom)
                continue;
            const bool inside = px >= o.left + w.border && px < o.right - w.border
                    && py >= o.top + w.border && py < o.bottom - w.border;
            return inside ? w.colour : w.borderColour;
        }
        return Root(px, py);
    }

    xcb_window_t map(const Window &w)
    {
        xcb_connection_t *c = x.get();
        const xcb_window_t id = xcb_generate_id(c);
        const std::uint32_t values[] = { w.colour, w.borderColour, 1 };
        xcb_create_window(
                c, XCB_COPY_FROM_PARENT, id, x.screen()->root,
                static_cast<std::int16_t>(w.outer.left), static_cast<std::int16_t>(w.outer.top),
                static_cast<std::uint16_t>(w.outer.width() - 2 * w.border),
                static_cast<std::uint16_t>(w.outer.height() - 2 * w.border),
                static_cast<std::uint16_t>(w.border), XCB_WINDOW_CLASS_INPUT_OUTPUT,
                XCB_COPY_FROM_PARENT,
                XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(c, id);
        sync();
        return id;
    }

    xcb_atom_t atom(const char *name)
    {
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
                x.get(), xcb_intern_atom(x.get(), 0, std::strlen(name), name), nullptr));
        return reply->atom;
    }

    // What a window manager would say: the active window, and the frame it draws around it.
    void setActive(std::optional<xcb_window_t> window, std::vector<std::uint32_t> frame = {})
    {
        xcb_connection_t *c = x.get();
        const xcb_atom_t active = atom("_NET_ACTIVE_WINDOW");
        if (!window) {
            xcb_delete_property(c, x.screen()->root, active);
        } else {
            xcb_change_property(c, XCB_PROP_MODE_REPLACE, x.screen()->root, active, XCB_ATOM_WINDOW,
                                32, 1, &*window);
            if (!frame.empty())
                xcb_change_property(c, XCB_PROP_MODE_REPLACE, *window, atom("_NET_FRAME_EXTENTS"),
                                    XCB_ATOM_CARDINAL, 32, 4, frame.data());
        }
        sync();
    }

    void pointAt(int px, int py)
    {
        xcb_warp_pointer(x.get(), XCB_NONE, x.screen()->root, 0, 0, 0, 0,
                         static_cast<std::int16_t>(px), static_cast<std::int16_t>(py));
        sync();
    }

    void sync()
    {
        XcbReply<xcb_get_input_focus_reply_t> done(
                xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
    }

    XvfbServer server{ kW, kH, 24 };
    XConnection x{ server.display() };
    Window windows[3] = { { Rect{ 20, 10, 32, 18 }, 0, 0x11AA33, 0 },
                          { Rect{ 40, 30, 54, 40 }, 2, 0x2233DD, 0xCC2200 },
                          { Rect{ 56, 44, 76, 64 }, 0, 0x777700, 0 } };
};

TEST_F(CliCaptureAreas, EachAreaHoldsExactlyTheScreensPixelsThere)
{
    struct Case
    {
        const char *name;
        const char *arguments;
        std::function<void()> setUp;
        Rect area;
    };

    const Case cases[] = {
        { "left monitor", "--monitor 0", [] {}, Rect{ 0, 0, 32, 48 } },
        { "right monitor", "--area monitor --monitor 1", [] {}, Rect{ 32, 0, 64, 48 } },
        { "monitor under the pointer", "--area monitor", [&] { pointAt(40, 5); },
          Rect{ 32, 0, 64, 48 } },
        { "active window with its frame", "--area window",
          [&] {
              setActive(windows[0].id, { 2, 3, 4, 1 });
          },
          Rect{ 18, 6, 35, 19 } },
        { "top-level window under the pointer, its border too", "--area window",
          [&] {
              setActive(std::nullopt);
              pointAt(45, 35);
          },
          Rect{ 40, 30, 54, 40 } },
        { "window partly off the screen", "--area window", [&] { setActive(windows[2].id); },
          Rect{ 56, 44, 64, 48 } },
        { "exact rectangle", "--area 3,4,10,5", [] {}, Rect{ 3, 4, 13, 9 } },
        { "rectangle cut to the screen", "--area 60,-2,10,5", [] {}, Rect{ 60, 0, 64, 3 } },
        { "whole screen", "--area screen", [] {}, Rect{ 0, 0, kW, kH } },
    };
    const std::string folder = "--folder '" + dir.path().string() + "' ";
    int number = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp();
        const CommandResult run = capture(folder + c.arguments, server.display());
        ASSERT_EQ(run.status, 0) << run.out;
        const std::string file = dir.file("ornsnap00" + std::to_string(++number) + ".bmp");
        ASSERT_EQ(run.out, file + "\n");
        EXPECT_TRUE(FileRgb(file)
                    == PixelRgb(c.area, [this](int px, int py) { return screenPixel(px, py); }))
                << "pixels differ";
    }
}

TEST_F(CliCaptureAreas, AreasThatAreNoPartOfTheScreenAreRefused)
{
    struct Case
    {
        const char *arguments;
        const char *output;
    };

    const Case cases[] = {
        { "--monitor 2", "--monitor 2: the screen has 2 monitors, 0 to 1" },
        { "--area 64,0,5,5", "--area 64,0,5,5 lies outside the screen (64x48)" },
        { "--area -9,3,9,1", "--area -9,3,9,1 lies outside the screen (64x48)" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandResult run =
                capture("--folder '" + dir.path().string() + "' " + c.arguments, server.display());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, std::string("vistrel-cli capture: ") + c.output + "\n");
    }
    EXPECT_TRUE(dir.names().empty());
}

} // namespace
