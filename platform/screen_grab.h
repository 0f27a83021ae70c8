#pragma once

#include "image/image_buffer.h"
#include "platform/capture_area.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>

// A copy of the whole screen: 3 bytes per pixel (blue, green, red), rows top-down, each row
// w + pad pixels with w + pad the width rounded up to a multiple of 4, so a row is a whole number
// of 4-byte words. The padding pixels are undefined. The writers take top, w, h and pad as they
// are. Releasing the grab is destroying it (or release()).
struct CaptureGrab
{
    ImageBuffer::Store store;
    std::uint8_t *top = nullptr;
    std::int32_t w = 0;
    std::int32_t h = 0;
    std::int32_t pad = 0;

    std::size_t stride() const { return static_cast<std::size_t>(w + pad) * 3; }

    const std::uint8_t *row(std::int32_t y) const
    {
        return top + static_cast<std::size_t>(y) * stride();
    }

    void release() { *this = CaptureGrab{}; }
};

// Why a grab gave no picture.
enum class GrabFailure {
    NoSurface, // no X server reachable, or it offers no screen
    NoStore, // the 24-bit store could not be had
    CopyFailed, // the server refused to hand the screen's pixels over, or gave a form we cannot read
    NoArea, // the area asked for is no part of the screen (a monitor not listed, a rectangle outside)
};

using GrabResult = std::variant<CaptureGrab, GrabFailure>;

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
