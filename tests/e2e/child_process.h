#pragma once

#include "tests/support/run_command.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// A program started for a test with extra environment variables; killed if still running when
// the object goes.
class ChildProcess
{
public:
    ChildProcess(const std::string &program, const std::vector<std::string> &arguments,
                 const std::map<std::string, std::string> &environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    bool started() const { return pid > 0; }

    // The exit status once the process ended within timeoutMs; nothing while it still runs.
    std::optional<int> waitExit(int timeoutMs);
    bool running();
    // Sends a signal to the process while it runs; false when it does not.
    bool signal(int number);
    // Asks the process to end (SIGTERM), as a desktop session does at log-out.
    void terminate();

private:
    pid_t pid = -1;
    std::optional<int> status;
};

// The album program of this build (VISTREL_PROGRAM) on display, with its own device root (also its
// home), settings folder and trace file, so that it touches nothing of the user running the tests.
// extraEnvironment adds or replaces variables.
std::unique_ptr<ChildProcess>
StartVistrel(const std::string &display, const std::string &root, const std::string &configHome,
             const std::string &trace, const std::vector<std::string> &arguments,
             const std::map<std::string, std::string> &extraEnvironment = {});

// Polls condition every 50 ms until it holds or timeoutMs passed; returns its last value.
bool WaitUntil(int timeoutMs, const std::function<bool()> &condition);

// A window's place and size as "x y width height", from what `xdotool getwindowgeometry --shell`
// printed.
std::string GeometryFromXdotoolShell(const std::string &shellOutput);
