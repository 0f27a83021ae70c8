#include "tests/e2e/child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

ChildProcess::ChildProcess(const std::string &program, const std::vector<std::string> &arguments,
                           const std::map<std::string, std::string> &environment)
{
    // Everything exec needs is made before the fork: the child only calls async-signal-safe
    // functions.
    std::vector<std::string> words{ program };
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    std::map<std::string, std::string> merged;
    for (char **entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        if (equals != std::string::npos)
            merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto &[name, value] : environment)
        merged[name] = value;
    std::vector<std::string> pairs;
    for (const auto &[name, value] : merged)
        pairs.push_back(name + "=" + value);
    std::vector<char *> envp;
    for (std::string &pair : pairs)
        envp.push_back(pair.data());
    envp.push_back(nullptr);

    pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
}

ChildProcess::~ChildProcess()
{
    if (!running())
        return;
    ::kill(pid, SIGTERM);
    if (!waitExit(3000)) {
        ::kill(pid, SIGKILL);
        waitExit(3000);
    }
}

bool ChildProcess::signal(int number)
{
    return running() && ::kill(pid, number) == 0;
}

void ChildProcess::terminate()
{
    signal(SIGTERM);
}

std::optional<int> ChildProcess::waitExit(int timeoutMs)
{
    WaitUntil(timeoutMs, [this] { return !running(); });
    return status;
}

bool ChildProcess::running()
{
    if (pid <= 0 || status)
        return false;
    int raw = 0;
    if (::waitpid(pid, &raw, WNOHANG) != pid)
        return true;
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return false;
}

bool WaitUntil(int timeoutMs, const std::function<bool()> &condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::unique_ptr<ChildProcess>
StartVistrel(const std::string &display, const std::string &root, const std::string &configHome,
             const std::string &trace, const std::vector<std::string> &arguments,
             const std::map<std::string, std::string> &extraEnvironment)
{
    std::map<std::string, std::string> environment{ { "DISPLAY", display },
                                                    { "QT_QPA_PLATFORM", "xcb" },
                                                    { "VISTREL_GRAB", "x11" },
                                                    { "VISTREL_ROOT", root },
                                                    { "HOME", root },
                                                    { "XDG_CONFIG_HOME", configHome },
                                                    { "XDG_CACHE_HOME", root + "/.cache" },
                                                    { "VISTREL_TRACE", trace } };
    for (const auto &[name, value] : extraEnvironment)
        environment[name] = value;
    return std::make_unique<ChildProcess>(VISTREL_PROGRAM, arguments, environment);
}

std::string GeometryFromXdotoolShell(const std::string &shellOutput)
{
    std::istringstream shell(shellOutput);
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(shell, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return values["X"] + " " + values["Y"] + " " + values["WIDTH"] + " " + values["HEIGHT"];
}
