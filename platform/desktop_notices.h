#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <utility>
#include <vector>

// The desktop's notification service on the session bus.
inline constexpr char kNoticeService[] = "org.freedesktop.Notifications";
inline constexpr char kNoticePath[] = "/org/freedesktop/Notifications";

// A notice: a title, a line of text, a picture shown with it, and the actions offered as buttons
// (the key comes back when one is chosen; the key "default" is a click on the notice itself).
struct DesktopNotice
{
    QString summary;
    QString body;
    QImage image;
    std::vector<std::pair<QString, QString>> actions; // key, label
};

// Shows notices through the desktop's notification server (org.freedesktop.Notifications) and
// runs the action chosen on one. Without a bus or a server nothing is shown and nothing is
// reported: a notice is a courtesy. The picture goes as the notice's image data, scaled to fit
// 256 x 256 pixels.
class DesktopNotices final : public QObject
{
    Q_OBJECT

public:
    using ActionHandler = std::function<void(const QString &key)>;

    explicit DesktopNotices(QDBusConnection bus = QDBusConnection::sessionBus(),
                            QObject *parent = nullptr);

    // Asks the server to show the notice; the handler gets the key of the action chosen on it.
    void show(const DesktopNotice &notice, ActionHandler handler);

private slots:
    void onActionInvoked(uint id, const QString &key);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection bus;
    std::map<uint, ActionHandler> handlers;
};
