#include "platform/portal_screen_grab.h"

#include <QFile>
#include <QImage>
#include <QUrl>

#include <cstring>

namespace {

constexpr char kScreenshotInterface[] = "org.freedesktop.portal.Screenshot";

// The picture file the portal's answer names; empty when it names none on this machine.
QString AnsweredFile(const PortalResponse &response)
{
    const QUrl uri(response.results.value(QStringLiteral("uri")).toString());
    return uri.isLocalFile() ? uri.toLocalFile() : QString();
}

} // namespace

PortalScreenGrabber::PortalScreenGrabber() : PortalScreenGrabber(QDBusConnection::sessionBus()) { }

PortalScreenGrabber::PortalScreenGrabber(QDBusConnection connection, int timeout)
    : bus(std::move(connection)), timeoutMs(timeout)
{ }

GrabResult PortalScreenGrabber::grabArea(const AreaRequest &request)
{
    // The portal names no monitors: it cannot be asked for one by its index.
    if (request.monitor)
        return GrabFailure::NoArea;
    const bool interactive = !request.exact && request.area != CaptureArea::Screen;
    QVariantMap options;
    options.insert(QStringLiteral("interactive"), interactive);
    options.insert(QStringLiteral("modal"), false);
    const PortalResponse response =
            CallPortalRequest(bus, QString::fromLatin1(kScreenshotInterface),
                              QStringLiteral("Screenshot"), { QString(), options }, timeoutMs);
    if (!response.succeeded())
        return GrabFailure::CopyFailed;
    const QString file = AnsweredFile(response);
    if (file.isEmpty())
        return GrabFailure::CopyFailed;
    QImage picture(file);
    // The file was made for this request only; it goes whether or not it could be read.
    QFile::remove(file);
    if (picture.isNull())
        return GrabFailure::CopyFailed;
    if (request.exact) {
        const Rect &r = *request.exact;
        const QRect part = QRect(r.left, r.top, r.width(), r.height()).intersected(picture.rect());
        if (part.isEmpty())
            return GrabFailure::NoArea;
        picture = picture.copy(part);
    }
    return GrabFromImage(picture);
}

GrabResult GrabFromImage(const QImage &image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return GrabFailure::CopyFailed;
    // Screens are opaque: any alpha the file has is dropped, colours kept as stored.
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    if (bgr.isNull())
        return GrabFailure::NoStore;
    std::optional<CaptureGrab> grab = CaptureGrab::Make(bgr.width(), bgr.height());
    if (!grab)
        return GrabFailure::NoStore;
    const auto rowBytes = static_cast<std::size_t>(grab->w) * 3;
    for (std::int32_t y = 0; y < grab->h; ++y)
        std::memcpy(grab->row(y), bgr.constScanLine(y), rowBytes);
    return std::move(*grab);
}
