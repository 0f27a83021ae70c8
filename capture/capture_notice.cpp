#include "capture/capture_notice.h"

#include "common/host_path.h"
#include "platform/show_in_folder.h"

#include <QImage>

namespace {

const QString kOpen = QStringLiteral("open");
const QString kDefault = QStringLiteral("default");
const QString kFolder = QStringLiteral("folder");

std::string FileNameOf(const std::string &path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

} // namespace

CaptureNotice::CaptureNotice(Opener opener, std::optional<QDBusConnection> connection)
    : bus(std::move(connection)), open(std::move(opener))
{ }

void CaptureNotice::announce(const std::string &path, const PixelSpan &pixels)
{
    DesktopNotice notice;
    notice.summary = QStringLiteral("Screen captured");
    notice.body = QString::fromStdString(FileNameOf(path));
    // A view of the pixels: the notice scales (and so copies) it before this returns.
    notice.image = QImage(pixels.pixels, pixels.width, pixels.height,
                          static_cast<qsizetype>(pixels.stride), QImage::Format_BGR888);
    notice.actions = { { kDefault, QStringLiteral("Open") },
                       { kOpen, QStringLiteral("Open") },
                       { kFolder, QStringLiteral("Show in folder") } };
    if (!bus)
        bus = QDBusConnection::sessionBus();
    if (!notices)
        notices = std::make_unique<DesktopNotices>(*bus);
    notices->show(notice, [this, path](const QString &key) { act(key, path); });
}

void CaptureNotice::act(const QString &key, const std::string &path)
{
    if (key == kOpen || key == kDefault) {
        if (open)
            open(path);
    } else if (key == kFolder) {
        ShowInFolder(HostPath(path), *bus);
    }
}
