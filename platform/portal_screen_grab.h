#pragma once

#include "platform/portal_request.h"
#include "platform/screen_grab.h"

#include <QDBusConnection>

class QImage;

// Copies the screen through the desktop portal's Screenshot interface: the portal writes the
// screen as a picture file and names it in its answer; the file is read into a CaptureGrab and
// removed. The whole screen (and an exact rectangle, cut from it) is taken without asking the
// user; a monitor, a window or a region is the portal's interactive screenshot, in which the
// desktop's own chooser asks (a desktop without a chooser gives the whole screen). A portal that
// is missing, refuses, is cancelled or gives no answer within the time limit is CopyFailed; a
// monitor by index, or a rectangle outside the screen, is NoArea. Runs the event loop while it
// waits (a QCoreApplication must exist).
class PortalScreenGrabber final : public ScreenSource
{
public:
    // No connection given: the session bus.
    PortalScreenGrabber();
    explicit PortalScreenGrabber(QDBusConnection connection, int timeoutMs = kPortalTimeoutMs);

    GrabResult grabArea(const AreaRequest &request) override;

    bool choosesArea() const override { return true; }

private:
    QDBusConnection bus;
    int timeoutMs;
};

// The picture as a grab (blue, green, red rows, top-down, padded to 4 pixels): NoStore when the
// store cannot be had, CopyFailed for an empty picture.
GrabResult GrabFromImage(const QImage &image);
