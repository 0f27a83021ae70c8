// The album as a native Wayland client: it starts under a headless compositor, paints its window
// there and ends when asked. No key can be injected into a Wayland compositor from outside, so
// the end is asked for the way a desktop session does at log-out (SIGTERM), not with Ctrl+Q.
#include "tests/e2e/child_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <QImage>

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// Generous: the compositor, the album and each screenshot share two cores with other tests.
constexpr int kStartMs = 45000;
constexpr char kSocket[] = "vistrel-test";

// Pixels of the compositor's screen that differ from an earlier screenshot of it: a window
// that has been mapped and painted changes a large field of them.
int ChangedPixels(const QImage &before, const QImage &after)
{
    if (after.size() != before.size())
        return 0;
    const QImage a = before.convertToFormat(QImage::Format_RGB32);
    const QImage b = after.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            count += (a.pixel(x, y) & 0xffffff) != (b.pixel(x, y) & 0xffffff);
    }
    return count;
}

class WaylandAlbum : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (RunCommand("command -v weston weston-screenshooter >/dev/null").status != 0)
            GTEST_SKIP() << "weston is not installed (Debian package weston)";
        fs::create_directories(runtime());
        ::chmod(runtime().c_str(), 0700);
        fs::create_directories(root() / "Pictures");
        compositor = std::make_unique<ChildProcess>(
                "/usr/bin/weston",
                std::vector<std::string>{ "--backend=headless-backend.so", "--use-pixman",
                                          "--debug", std::string("--socket=") + kSocket,
                                          "--width=640", "--height=480", "--idle-time=0" },
                std::map<std::string, std::string>{ { "XDG_RUNTIME_DIR", runtime().string() } });
        if (!WaitUntil(10000, [&] { return fs::exists(runtime() / kSocket); }))
            GTEST_SKIP() << "the headless Wayland compositor did not start";
    }

    fs::path runtime() const { return dir.path() / "runtime"; }
    fs::path root() const { return dir.path() / "root"; }

    // A screenshot of the compositor's screen (needs --debug), null when none came.
    QImage screen() const
    {
        const fs::path shots = dir.path() / "shots";
        fs::remove_all(shots);
        fs::create_directories(shots);
        RunCommand("cd '" + shots.string() + "' && XDG_RUNTIME_DIR='" + runtime().string()
                   + "' WAYLAND_DISPLAY=" + kSocket + " timeout 10 weston-screenshooter");
        for (const auto &entry : fs::directory_iterator(shots))
            return QImage(QString::fromStdString(entry.path().string()));
        return {};
    }

    TempDir dir;
    std::unique_ptr<ChildProcess> compositor;
};

TEST_F(WaylandAlbum, StartsPaintsItsWindowAndEndsWhenAsked)
{
    const QImage before = screen();
    ASSERT_FALSE(before.isNull()) << "the compositor gave no screenshot";

    ChildProcess album(VISTREL_PROGRAM, {},
                       { { "QT_QPA_PLATFORM", "wayland" },
                         { "WAYLAND_DISPLAY", kSocket },
                         { "XDG_RUNTIME_DIR", runtime().string() },
                         { "DISPLAY", "" },
                         { "VISTREL_ROOT", root().string() },
                         { "HOME", root().string() },
                         { "XDG_CONFIG_HOME", (dir.path() / "config").string() },
                         { "DBUS_SESSION_BUS_ADDRESS", "" } });
    ASSERT_TRUE(album.started());
    const int field = before.width() * before.height() / 20;
    EXPECT_TRUE(WaitUntil(kStartMs, [&] {
        return !album.running() || ChangedPixels(before, screen()) > field;
    })) << "no window painted";
    ASSERT_TRUE(album.running());

    album.terminate();
    EXPECT_TRUE(album.waitExit(5000).has_value());
}

} // namespace
