#include "platform/show_in_folder.h"

#include "platform/program_start.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QUrl>

namespace {

void OpenFolder(const std::string &hostPath)
{
    const QString folder = QFileInfo(QString::fromStdString(hostPath)).absolutePath();
    StartProgram("xdg-open", { folder.toStdString() });
}

} // namespace

void ShowInFolder(const std::string &hostPath, QDBusConnection bus)
{
    if (!bus.isConnected()) {
        OpenFolder(hostPath);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.FileManager1"),
            QStringLiteral("/org/freedesktop/FileManager1"),
            QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{ QUrl::fromLocalFile(QString::fromStdString(hostPath)).toString() }
         << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [hostPath](QDBusPendingCallWatcher *done) {
                         if (QDBusPendingReply<>(*done).isError())
                             OpenFolder(hostPath);
                         done->deleteLater();
                     });
}
