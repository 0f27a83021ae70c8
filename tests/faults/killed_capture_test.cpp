// `vistrel-cli capture` killed (SIGKILL) while it writes a large capture: the captures already in
// the folder stay byte for byte, nothing appears under the new capture's name, the temporary file
// the kill leaves behind is hidden from the album, and the next capture takes the name.
#include "tests/app/doc_test_support.h"
#include "tests/faults/fault_test_support.h"
#include "tests/platform/root_painter.h"
#include "tests/support/run_command.h"
#include "tests/support/xvfb_server.h"

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

// Large and busy enough that writing its JPEG takes a good part of a second.
constexpr int kScreenWidth = 2400;
constexpr int kScreenHeight = 1800;

std::uint32_t Noise(int x, int y)
{
    std::uint32_t v =
            static_cast<std::uint32_t>(x) * 2654435761u ^ static_cast<std::uint32_t>(y) * 40503u;
    v ^= v >> 13;
    return v * 0x9E3779B1u >> 8;
}

// Starts the capture with DISPLAY and a settings folder of its own; the process id, or -1.
pid_t StartCapture(const std::string &display, const std::string &folder, const std::string &config)
{
    std::vector<std::string> environment = { "DISPLAY=" + display, "VISTREL_GRAB=x11",
                                             "XDG_CONFIG_HOME=" + config };
    for (char **e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (!entry.starts_with("DISPLAY=") && !entry.starts_with("VISTREL_GRAB=")
            && !entry.starts_with("XDG_CONFIG_HOME="))
            environment.emplace_back(entry);
    }
    std::vector<std::string> arguments = { CliPath(), "capture",  "--folder",
                                           folder,    "--format", "jpg" };
    std::vector<char *> argv, envp;
    for (std::string &a : arguments)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string &e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    return ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

// Kills pid with SIGKILL as soon as it has written into a temporary file in folder (watched
// through inotify); true when the kill ended it, false when it ended by itself first or no write
// came within 60 s.
bool KillWhileWriting(pid_t pid, int watch)
{
    bool killed = false;
    alignas(inotify_event) char events[4096];
    pollfd ready{ watch, POLLIN, 0 };
    while (!killed && ::poll(&ready, 1, 60000) > 0) {
        const ssize_t got = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(events + at);
            if (event->len > 0 && std::string_view(event->name).starts_with(".vistrel-write-")
                && (event->mask & IN_MODIFY))
                killed = ::kill(pid, SIGKILL) == 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (!killed)
        ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return killed && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class KilledCaptureTest : public DocTest
{ };

TEST_F(KilledCaptureTest, AKillWhileWritingLeavesTheOldCapturesAndNoVisibleFile)
{
    XvfbServer server(kScreenWidth, kScreenHeight, 24);
    ASSERT_TRUE(server.ok()) << server.error();
    PaintRoot(server.display(), Noise);
    makeFolder("\\Shots");
    const std::string folder = host("\\Shots");
    const std::string config = root.file("config");
    const auto captureToEnd = [&] {
        const pid_t pid = StartCapture(server.display(), folder, config);
        int status = -1;
        return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)
                && WEXITSTATUS(status) == 0;
    };
    ASSERT_TRUE(captureToEnd());
    const std::vector<std::uint8_t> before = ReadBytes(host("\\Shots\\ornsnap001.jpg"));

    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, folder.c_str(), IN_MODIFY), 0);
    const pid_t pid = StartCapture(server.display(), folder, config);
    ASSERT_GT(pid, 0);
    const bool killed = KillWhileWriting(pid, watch);
    ::close(watch);
    ASSERT_TRUE(killed) << "the capture ended before the kill";

    EXPECT_TRUE(HoldsTemporaryFile(folder)) << "the kill came while the file was written";
    EXPECT_TRUE(ReadBytes(host("\\Shots\\ornsnap001.jpg")) == before) << "the old capture changed";
    EXPECT_EQ(VisibleNames(folder), std::vector<std::string>{ "ornsnap001.jpg" });
    doc.ChangeFolder("\\Shots");
    EXPECT_EQ(names(), std::vector<std::string>{ "ornsnap001.jpg" });
    EXPECT_TRUE(sink.shown.empty());

    ASSERT_TRUE(captureToEnd());
    EXPECT_EQ(VisibleNames(folder),
              (std::vector<std::string>{ "ornsnap001.jpg", "ornsnap002.jpg" }));
    EXPECT_TRUE(ReadBytes(host("\\Shots\\ornsnap002.jpg")) == before)
            << "the same screen makes the same file";
    doc.ScanFolder();
    EXPECT_EQ(doc.Count(), 2);
}

} // namespace
