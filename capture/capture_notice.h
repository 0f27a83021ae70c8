#pragma once

#include "image/pixel_span.h"
#include "platform/desktop_notices.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

// The notice after a capture written at once: the file's name, its picture, and the actions
// "Open" (the picture in the album's Select View; also a click on the notice) and "Show in
// folder" (the desktop's file manager).
class CaptureNotice
{
public:
    // Shows the picture at a device path in the album.
    using Opener = std::function<void(const std::string &devicePath)>;

    // Without a connection the session bus is used, reached only when the first notice is due.
    explicit CaptureNotice(Opener opener, std::optional<QDBusConnection> bus = std::nullopt);

    // path is the device path written.
    void announce(const std::string &path, const PixelSpan &pixels);

private:
    void act(const QString &key, const std::string &path);

    std::optional<QDBusConnection> bus;
    std::unique_ptr<DesktopNotices> notices;
    Opener open;
};
