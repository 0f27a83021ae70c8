#include "platform/helper_clipboard.h"

#include "platform/grab_stream.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char **environ;

namespace {

// Starts the helper in a session of its own with its input and output on the two pipes and its
// errors going nowhere: it outlives the caller, whose terminal and output it must not hold.
int SpawnDetached(const std::string &program, int input, int output, pid_t &child)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string path = program;
    std::string option = "--clipboard";
    char *argv[] = { path.data(), option.data(), nullptr };
    const int started = ::posix_spawn(&child, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return started;
}

} // namespace

bool OfferClipboardThroughHelper(const std::string &program, const std::vector<std::uint8_t> &png,
                                 std::string &error)
{
    int toHelper[2];
    int fromHelper[2];
    if (::pipe2(toHelper, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    if (::pipe2(fromHelper, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        ::close(toHelper[0]);
        ::close(toHelper[1]);
        return false;
    }
    pid_t child = 0;
    const int started = SpawnDetached(program, toHelper[0], fromHelper[1], child);
    ::close(toHelper[0]);
    ::close(fromHelper[1]);
    // A helper that ends before reading everything must not end this process with SIGPIPE.
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    const bool sent = started == 0 && WriteAll(toHelper[1], png.data(), png.size());
    ::close(toHelper[1]);
    std::signal(SIGPIPE, previous);
    char held = 0;
    ssize_t got = 0;
    if (started == 0) {
        while ((got = ::read(fromHelper[0], &held, 1)) < 0 && errno == EINTR) { }
    }
    ::close(fromHelper[0]);
    if (started != 0) {
        error = "cannot start " + program + ": " + std::strerror(started);
        return false;
    }
    if (!sent || got != 1 || held != kClipboardHeld) {
        error = "the desktop did not take the clipboard";
        return false;
    }
    return true;
}
