#include "platform/desktop_notices.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr char kNoticeInterface[] = "org.freedesktop.Notifications";
constexpr int kImageSide = 256;
// Shown until the server's own time runs out.
constexpr int kServerTimeout = -1;

// The "image-data" hint: width, height, row stride, alpha, bits per sample, channels, bytes.
struct NoticeImage
{
    QImage rgb;
};

} // namespace

Q_DECLARE_METATYPE(NoticeImage)

namespace {

QDBusArgument &operator<<(QDBusArgument &argument, const NoticeImage &image)
{
    const QImage &rgb = image.rgb;
    argument.beginStructure();
    argument << rgb.width() << rgb.height() << static_cast<int>(rgb.bytesPerLine()) << false << 8
             << 3
             << QByteArray(reinterpret_cast<const char *>(rgb.constBits()),
                           static_cast<qsizetype>(rgb.sizeInBytes()));
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, NoticeImage &)
{
    // Only sent, never read.
    return argument;
}

QVariantMap Hints(const QImage &picture)
{
    QVariantMap hints;
    if (picture.isNull())
        return hints;
    static const bool registered = [] {
        qDBusRegisterMetaType<NoticeImage>();
        return true;
    }();
    (void)registered;
    const QImage small = picture.width() > kImageSide || picture.height() > kImageSide
            ? picture.scaled(kImageSide, kImageSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            : picture;
    hints.insert(QStringLiteral("image-data"),
                 QVariant::fromValue(NoticeImage{ small.convertToFormat(QImage::Format_RGB888) }));
    return hints;
}

} // namespace

DesktopNotices::DesktopNotices(QDBusConnection connection, QObject *parent)
    : QObject(parent), bus(std::move(connection))
{
    if (!bus.isConnected())
        return;
    bus.connect(QString::fromLatin1(kNoticeService), QString::fromLatin1(kNoticePath),
                QString::fromLatin1(kNoticeInterface), QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(QString::fromLatin1(kNoticeService), QString::fromLatin1(kNoticePath),
                QString::fromLatin1(kNoticeInterface), QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
}

void DesktopNotices::show(const DesktopNotice &notice, ActionHandler handler)
{
    if (!bus.isConnected())
        return;
    QStringList actions;
    for (const auto &[key, label] : notice.actions)
        actions << key << label;
    QDBusMessage call = QDBusMessage::createMethodCall(
            QString::fromLatin1(kNoticeService), QString::fromLatin1(kNoticePath),
            QString::fromLatin1(kNoticeInterface), QStringLiteral("Notify"));
    call << QStringLiteral("Vistrel") << uint(0) << QStringLiteral("vistrel") << notice.summary
         << notice.body << actions << Hints(notice.image) << kServerTimeout;
    // Asked without waiting: a server that is missing or slow must not hold the album up.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, handler = std::move(handler)](QDBusPendingCallWatcher *done) {
                const QDBusPendingReply<uint> reply = *done;
                if (reply.isValid() && handler)
                    handlers[reply.value()] = handler;
                done->deleteLater();
            });
}

void DesktopNotices::onActionInvoked(uint id, const QString &key)
{
    const auto found = handlers.find(id);
    if (found == handlers.end())
        return;
    // The handler may show another notice, which changes the map.
    const ActionHandler handler = found->second;
    handler(key);
}

void DesktopNotices::onClosed(uint id, uint /*reason*/)
{
    handlers.erase(id);
}
