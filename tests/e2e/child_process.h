#pragma once

#include <functional>
#include <map>
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

private:
    pid_t pid = -1;
    std::optional<int> status;
};

// Polls condition every 50 ms until it holds or timeoutMs passed; returns its last value.
bool WaitUntil(int timeoutMs, const std::function<bool()> &condition);
