#pragma once

#include <string>
#include <sys/types.h>

// A private X server for one test: Xvfb started on a free display number with one screen of the
// given size and depth, stopped when the object goes. display() is the value for DISPLAY (":12").
// Tests that need X start one of these instead of relying on the environment.
class XvfbServer
{
public:
    explicit XvfbServer(int width = 1024, int height = 768, int depth = 24);
    ~XvfbServer();
    XvfbServer(const XvfbServer &) = delete;
    XvfbServer &operator=(const XvfbServer &) = delete;

    // False when the server could not be started (the reason is in error()).
    bool ok() const { return pid > 0; }
    const std::string &display() const { return name; }
    const std::string &error() const { return failure; }

private:
    pid_t pid = -1;
    std::string name;
    std::string failure;
};
