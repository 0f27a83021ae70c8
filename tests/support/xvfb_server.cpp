#include "tests/support/xvfb_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kStartTimeoutMs = 10000;
constexpr int kStopTimeoutMs = 3000;

// Runs in the forked child: only async-signal-safe calls until exec.
[[noreturn]] void ExecXvfb(int displayFd, const char *displayFdText, int logFd, const char *screen)
{
    // The server goes when the test program goes, even when the program crashes.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    // The pipe's write end was made close-on-exec; the server must keep it to report its number.
    ::fcntl(displayFd, F_SETFD, 0);
    int nullFd = ::open("/dev/null", O_RDWR);
    if (nullFd >= 0) {
        ::dup2(nullFd, STDIN_FILENO);
        ::dup2(nullFd, STDOUT_FILENO);
    }
    if (logFd >= 0)
        ::dup2(logFd, STDERR_FILENO);
    // -displayfd: the server picks a free display number itself and writes it to the pipe once it
    // accepts connections, so parallel tests never race for a number. -noreset: the screen keeps
    // what was drawn when the last client disconnects.
    ::execlp("Xvfb", "Xvfb", "-displayfd", displayFdText, "-screen", "0", screen, "-nolisten",
             "tcp", "-noreset", static_cast<char *>(nullptr));
    ::_exit(127);
}

// Reads the display number line from the pipe; empty on timeout or when the server closed it.
std::string ReadDisplayNumber(int fd)
{
    std::string text;
    const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return {};
        pollfd waiter{ fd, POLLIN, 0 };
        int ready = ::poll(&waiter, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        char chunk[32];
        ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return {};
        text.append(chunk, static_cast<std::size_t>(n));
    }
    text.erase(text.find('\n'));
    return text;
}

std::string LogTail(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    constexpr std::size_t kTail = 2000;
    return text.size() > kTail ? text.substr(text.size() - kTail) : text;
}

// Waits for the child up to timeoutMs; true when it was reaped.
bool ReapWithin(pid_t pid, int timeoutMs)
{
    for (int waited = 0; waited <= timeoutMs; waited += 10) {
        pid_t done = ::waitpid(pid, nullptr, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            return true;
        ::usleep(10000);
    }
    return false;
}

void Stop(pid_t pid)
{
    ::kill(pid, SIGTERM);
    if (!ReapWithin(pid, kStopTimeoutMs)) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

} // namespace

XvfbServer::XvfbServer(int width, int height, int depth)
{
    const std::string screen =
            std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    char logPath[] = "/tmp/vistrel-xvfb-XXXXXX";
    const int logFd = ::mkstemp(logPath);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        failure = std::string("cannot make a pipe for Xvfb: ") + std::strerror(errno);
        if (logFd >= 0) {
            ::close(logFd);
            ::unlink(logPath);
        }
        return;
    }
    const std::string displayFdText = std::to_string(fds[1]);
    const pid_t child = ::fork();
    if (child == 0)
        ExecXvfb(fds[1], displayFdText.c_str(), logFd, screen.c_str());
    ::close(fds[1]);
    if (logFd >= 0)
        ::close(logFd);
    if (child < 0) {
        failure = std::string("cannot start Xvfb: ") + std::strerror(errno);
        ::close(fds[0]);
        ::unlink(logPath);
        return;
    }
    const std::string number = ReadDisplayNumber(fds[0]);
    ::close(fds[0]);
    if (number.empty()) {
        Stop(child);
        failure = "Xvfb " + screen + " did not start: no display number within "
                + std::to_string(kStartTimeoutMs / 1000) + " s (is Xvfb installed?)";
        const std::string log = LogTail(logPath);
        if (!log.empty())
            failure += ":\n" + log;
        ::unlink(logPath);
        return;
    }
    ::unlink(logPath);
    pid = child;
    name = ":" + number;
}

XvfbServer::~XvfbServer()
{
    if (pid > 0)
        Stop(pid);
}
