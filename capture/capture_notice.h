#pragma once

#include "codecs/capture_file.h"
#include "platform/desktop_notices.h"

#include <functional>
#include <string>

// The notice after a capture written at once: the file's name, its picture, and the actions
// "Open" (the picture in the album's Select View; also a click on the notice) and "Show in
// folder" (the desktop's file manager).
class CaptureNotice
{
public:
    // Shows the picture at a device path in the album.
    using Opener = std::function<void(const std::string &devicePath)>;

    explicit CaptureNotice(Opener opener, QDBusConnection bus = QDBusConnection::sessionBus());

    // path is the device path written.
    void announce(const std::string &path, const CapturePixels &pixels);

private:
    void act(const QString &key, const std::string &path);

    QDBusConnection bus;
    DesktopNotices notices;
    Opener open;
};
