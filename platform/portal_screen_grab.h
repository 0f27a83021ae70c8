#pragma once

#include "platform/portal_request.h"
#include "platform/screen_grab.h"

#include <QDBusConnection>

class QImage;

// Copies the screen through the desktop portal's Screenshot interface, without asking the user
// to pick anything: the portal writes the screen as a picture file and names it in its answer;
// the file is read into a CaptureGrab and removed. A portal that is missing, refuses, is
// cancelled or gives no answer within the time limit is CopyFailed. Runs the event loop while it
// waits (a QCoreApplication must exist).
class PortalScreenGrabber final : public ScreenSource
{
public:
    // No connection given: the session bus.
    PortalScreenGrabber();
    explicit PortalScreenGrabber(QDBusConnection connection, int timeoutMs = kPortalTimeoutMs);

    GrabResult grab() override;

private:
    QDBusConnection bus;
    int timeoutMs;
};

// The picture as a grab (blue, green, red rows, top-down, padded to 4 pixels): NoStore when the
// store cannot be had, CopyFailed for an empty picture.
GrabResult GrabFromImage(const QImage &image);
