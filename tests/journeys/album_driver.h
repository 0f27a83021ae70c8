#pragma once

#include "app/app_settings.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/screen_cells.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Drives the real album as a user does, for the journeys: a private X server, session bus and
// accessibility bus, and a prepared home (also the device root) with its own settings folder,
// trash and trace file. Keys and clicks go through xdotool; controls are found by role and
// accessible name on the accessibility bus, the way a screen reader finds them. Every wait polls
// with a generous deadline.
class AlbumDriver
{
public:
    static constexpr int kWaitMs = 30000;

    AlbumDriver();
    ~AlbumDriver();
    AlbumDriver(const AlbumDriver &) = delete;
    AlbumDriver &operator=(const AlbumDriver &) = delete;

    // Empty when the driver can run; else why not (the journey then skips).
    const std::string &missing() const { return why; }

    std::filesystem::path home() const { return dir.path() / "home"; }

    std::filesystem::path trashFiles() const { return dir.path() / "data" / "Trash" / "files"; }

    std::string settingsText() const;
    // The settings as the album reads them at start.
    AppSettings settings() const;
    std::vector<std::string> traceLines() const;

    // Starts the album with arguments and waits for its main window.
    bool start(const std::vector<std::string> &arguments = {});
    // Ctrl+Q in the main window; true when the album ended with status 0.
    bool quit();

    // The id of the visible window titled exactly title, waiting for it; "" when none came.
    std::string waitForWindow(const std::string &title) const;
    bool waitGone(const std::string &title) const;
    // Presses keys ("ctrl+q", "Right Right") or types text where the keyboard is: a dialog the
    // album showed, or a list that grabbed it. With a title, the window titled so gets the
    // keyboard first (there is no window manager to give it).
    void keys(const std::string &keys, const std::string &title = {}) const;
    void type(const std::string &text, const std::string &title = {}) const;
    // Clicks at screen pixel x, y with button (1 left); modifiers held as xdotool names them.
    void clickAt(int x, int y, const std::string &modifier = {}) const;
    // Moves the pointer to screen pixel x, y (away from tooltips, say) without clicking.
    void pointAt(int x, int y) const;
    // Clicks the showing control with that role and accessible name; false when not found.
    bool click(const std::string &role, const std::string &name) const;
    // Runs a menu command by its item's name (the menus need not be open).
    bool menu(const std::string &name) const;
    // Runs the first action of the control with that role and accessible name, as a screen reader
    // does (a check box or radio button is toggled, never clicked); false when not found.
    bool act(const std::string &role, const std::string &name) const;

    // Whether the showing control is checked, or can be used; nothing when it is not found.
    std::optional<bool> checked(const std::string &role, const std::string &name) const
    {
        return flag("checked", role, name);
    }

    std::optional<bool> sensitive(const std::string &role, const std::string &name) const
    {
        return flag("sensitive", role, name);
    }

    // The text of the showing control (an edit, a spin button); nothing when it is not found.
    std::optional<std::string> text(const std::string &role, const std::string &name) const;
    // The label texts of the showing dialog titled title, in its order.
    std::vector<std::string> texts(const std::string &title) const;
    // The X server's whole screen.
    RgbPicture screen() const;
    // A picture file through ImageMagick (any format it reads).
    RgbPicture picture(const std::filesystem::path &file) const;
    // Moves and sizes the window as a window manager would.
    void place(const std::string &window, int left, int top, int width, int height) const;
    // "x y width height" of the window.
    std::string geometry(const std::string &window) const;

    // The cells of the thumbnails last drawn.
    std::vector<TracedCell> cells() const { return LatestDrawnCells(trace()); }

    std::string mainWindow() const { return window; }

private:
    std::string trace() const { return dir.file("trace.txt"); }

    std::string run(const std::string &command) const;
    // The start of an xdotool command line that first focuses the window titled title, if any.
    std::string focusing(const std::string &title) const;
    std::string probe(const std::string &command, const std::string &role, const std::string &name,
                      int &status) const;
    // A state the probe prints as 1 or 0; nothing when the control is not found.
    std::optional<bool> flag(const std::string &command, const std::string &role,
                             const std::string &name) const;

    XvfbServer x;
    TempDir dir;
    std::string why;
    std::vector<std::unique_ptr<ScopedEnv>> environment;
    std::unique_ptr<ChildProcess> sessionBus;
    std::unique_ptr<ChildProcess> accessibilityBus;
    std::unique_ptr<ChildProcess> album;
    std::string window;
};

// Whether every journey step of a test can wait this long: true when condition held in time.
inline bool Eventually(const std::function<bool()> &condition)
{
    return WaitUntil(AlbumDriver::kWaitMs, condition);
}

// The number of distinct colours of a picture.
std::size_t ColourCount(const RgbPicture &picture);
// The share of pixels (0 to 1) in which two pictures of one size differ; 1 when the sizes differ.
double DifferingShare(const RgbPicture &a, const RgbPicture &b);
