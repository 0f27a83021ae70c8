#pragma once

#include "platform/capture_area.h"
#include "platform/capture_grab.h"

#include <memory>
#include <string>

// Where captures copy the screen from: the X server, or the desktop portal in a Wayland session
// (platform/desktop_backend.h chooses).
class ScreenSource
{
public:
    virtual ~ScreenSource() = default;

    // The whole screen at its present size, or the failure.
    GrabResult grab() { return grabArea(AreaRequest{}); }

    // The part of the screen the request names. Region is the whole screen, on which the
    // rectangle is chosen afterwards, unless the source lets the desktop choose (choosesArea).
    virtual GrabResult grabArea(const AreaRequest &request) = 0;

    // True when the desktop asks the user for monitors, windows and regions itself (the portal's
    // interactive screenshot), so that the program shows no chooser of its own.
    virtual bool choosesArea() const { return false; }
};

// Copies the X server's screen, or the part of it a request names (platform/screen_areas.h), into
// a CaptureGrab. Keeps one connection, opened by init() at start-up or by the first grab, and
// re-opened by the next grab when the server went away. Where the server offers shared memory the
// pixels come through a segment kept between grabs (re-made when a larger area is asked for),
// saving the copy through the socket; otherwise through an ordinary image request.
// True-colour screens of 15, 16, 24 and 30 bits are read in either byte order, and 8-bit screens
// through their colour map. No Qt here: the command-line capture must not start it.
class ScreenGrabber final : public ScreenSource
{
public:
    // displayName empty means $DISPLAY.
    explicit ScreenGrabber(std::string displayName = {});
    ~ScreenGrabber() override;
    ScreenGrabber(const ScreenGrabber &) = delete;
    ScreenGrabber &operator=(const ScreenGrabber &) = delete;

    // Opens the connection now rather than at the first grab. False when no server is reachable.
    bool init();

    GrabResult grabArea(const AreaRequest &request) override;

    // With false, always use the plain image request (tests compare both ways).
    void allowSharedMemory(bool allow);
    // Whether the last successful grab came through shared memory.
    bool lastGrabUsedSharedMemory() const;

private:
    class Session;
    std::string display;
    bool sharedMemoryAllowed = true;
    bool lastShared = false;
    std::unique_ptr<Session> session;
};
