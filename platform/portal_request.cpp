#include "platform/portal_request.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <atomic>

namespace {

// Takes the request's Response signal and ends the wait.
class ResponseWaiter : public QObject
{
    Q_OBJECT

public:
    explicit ResponseWaiter(QEventLoop &loop) : wait(loop) { }

    PortalResponse response;
    bool answered = false;

public slots:
    void onResponse(const QDBusMessage &message)
    {
        const QList<QVariant> arguments = message.arguments();
        if (answered || arguments.size() < 2)
            return;
        answered = true;
        response.outcome = PortalResponse::Outcome::Answered;
        response.code = arguments[0].toUInt();
        response.results = qdbus_cast<QVariantMap>(arguments[1]);
        wait.quit();
    }

private:
    QEventLoop &wait;
};

bool ListenToRequest(QDBusConnection &connection, const QString &path, ResponseWaiter *waiter)
{
    return connection.connect(QString::fromLatin1(kPortalService), path,
                              QString::fromLatin1(kPortalRequestInterface),
                              QStringLiteral("Response"), waiter,
                              SLOT(onResponse(QDBusMessage)));
}

void StopListening(QDBusConnection &connection, const QString &path, ResponseWaiter *waiter)
{
    connection.disconnect(QString::fromLatin1(kPortalService), path,
                          QString::fromLatin1(kPortalRequestInterface),
                          QStringLiteral("Response"), waiter, SLOT(onResponse(QDBusMessage)));
}

void CloseRequest(QDBusConnection &connection, const QString &path)
{
    connection.send(QDBusMessage::createMethodCall(QString::fromLatin1(kPortalService), path,
                                                   QString::fromLatin1(kPortalRequestInterface),
                                                   QStringLiteral("Close")));
}

} // namespace

QString NewPortalToken()
{
    static std::atomic<unsigned> counter{ 0 };
    return QStringLiteral("vistrel%1_%2")
            .arg(++counter)
            .arg(QRandomGenerator::global()->generate() & 0xffffff);
}

QString PortalObjectPath(const QDBusConnection &connection, const QString &kind,
                         const QString &token)
{
    QString sender = connection.baseService();
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QString::fromLatin1(kPortalPath) + QLatin1Char('/') + kind + QLatin1Char('/') + sender
            + QLatin1Char('/') + token;
}

PortalResponse CallPortalRequest(QDBusConnection connection, const QString &interface,
                                 const QString &method, QVariantList arguments, int timeoutMs)
{
    if (!connection.isConnected() || !QCoreApplication::instance() || arguments.isEmpty())
        return {};
    const QString token = NewPortalToken();
    QVariantMap options = arguments.last().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.last() = options;

    QEventLoop loop;
    ResponseWaiter waiter(loop);
    // Listen before asking: the answer may follow the call's reply at once.
    QString path = PortalObjectPath(connection, QStringLiteral("request"), token);
    if (!ListenToRequest(connection, path, &waiter))
        return {};

    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kPortalService),
                                                       QString::fromLatin1(kPortalPath), interface,
                                                       method);
    call.setArguments(arguments);
    bool refused = false;
    QDBusPendingCallWatcher watcher(connection.asyncCall(call, timeoutMs));
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, [&] {
        QDBusPendingReply<QDBusObjectPath> reply = watcher;
        if (reply.isError()) {
            refused = true;
            loop.quit();
            return;
        }
        // A portal older than the handle token chooses its own path.
        const QString handle = reply.value().path();
        if (!handle.isEmpty() && handle != path) {
            StopListening(connection, path, &waiter);
            path = handle;
            ListenToRequest(connection, path, &waiter);
        }
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    if (!waiter.answered)
        loop.exec();
    StopListening(connection, path, &waiter);

    if (waiter.answered)
        return waiter.response;
    PortalResponse failed;
    if (!refused) {
        failed.outcome = PortalResponse::Outcome::TimedOut;
        CloseRequest(connection, path);
    }
    return failed;
}

#include "portal_request.moc"
