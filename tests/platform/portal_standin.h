#pragma once

// A private session bus and a stand-in desktop portal on it, serving the Screenshot and
// GlobalShortcuts interfaces as published: each call answers with its request object, then the
// request's Response signal (unless told to stay silent); sessions are objects that can be
// closed; activate() sends a shortcut's Activated signal. The program's own D-Bus code talks to
// it over a real bus.

#include "platform/portal_request.h"
#include "tests/support/run_command.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QStringList>
#include <QUrl>

#include <csignal>
#include <sstream>
#include <string>
#include <sys/types.h>

struct StandInShortcut
{
    QString id;
    QVariantMap properties;
};

Q_DECLARE_METATYPE(StandInShortcut)

inline QDBusArgument &operator<<(QDBusArgument &argument, const StandInShortcut &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

inline const QDBusArgument &operator>>(const QDBusArgument &argument, StandInShortcut &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

// dbus-daemon on a private address for the life of the object.
class PrivateSessionBus
{
public:
    PrivateSessionBus()
    {
        const CommandResult started = RunCommand(
                "dbus-daemon --session --fork --print-address=1 --print-pid=1 2>&1");
        std::istringstream lines(started.out);
        std::string address;
        pid_t daemon = 0;
        if (started.status == 0 && std::getline(lines, address) && (lines >> daemon)) {
            busAddress = address;
            pid = daemon;
        } else {
            failure = started.out;
        }
    }

    ~PrivateSessionBus()
    {
        for (const QString &name : names)
            QDBusConnection::disconnectFromBus(name);
        if (pid > 0)
            ::kill(pid, SIGTERM);
    }

    PrivateSessionBus(const PrivateSessionBus &) = delete;
    PrivateSessionBus &operator=(const PrivateSessionBus &) = delete;

    bool ok() const { return pid > 0; }
    const std::string &address() const { return busAddress; }
    const std::string &error() const { return failure; }

    // A connection of its own (name tells connections of one process apart).
    QDBusConnection connect(const QString &name)
    {
        names << name;
        return QDBusConnection::connectToBus(QString::fromStdString(busAddress), name);
    }

private:
    pid_t pid = -1;
    QStringList names;
    std::string busAddress;
    std::string failure;
};

class PortalStandIn final : public QDBusVirtualObject
{
public:
    explicit PortalStandIn(QDBusConnection connection) : bus(std::move(connection))
    {
        qDBusRegisterMetaType<StandInShortcut>();
        qDBusRegisterMetaType<QList<StandInShortcut>>();
        registered = bus.registerService(QString::fromLatin1(kPortalService))
                && bus.registerVirtualObject(QString::fromLatin1(kPortalPath), this,
                                             QDBusConnection::SubPath);
    }

    ~PortalStandIn() override
    {
        bus.unregisterObject(QString::fromLatin1(kPortalPath), QDBusConnection::UnregisterTree);
        bus.unregisterService(QString::fromLatin1(kPortalService));
    }

    bool ok() const { return registered; }

    // The Screenshot answer: its code and the file it names.
    std::uint32_t screenshotCode = 0;
    QString screenshotFile;
    // The GlobalShortcuts answers; bindListsShortcut false leaves the shortcut out of the
    // binding's results (the user declined it).
    std::uint32_t sessionCode = 0;
    std::uint32_t bindCode = 0;
    bool bindListsShortcut = true;
    // False: requests get their object but never an answer.
    bool answer = true;

    // What the program asked for.
    QVariantMap screenshotOptions;
    QStringList sessions;
    QList<StandInShortcut> bound;
    QStringList closedSessions;
    int closedRequests = 0;

    void activate(const QString &session, const QString &id)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
                QString::fromLatin1(kPortalPath),
                QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << quint64(0)
               << QVariantMap();
        bus.send(signal);
    }

    // The desktop ends a session on its own.
    void closeSession(const QString &session)
    {
        bus.send(QDBusMessage::createSignal(session, QString::fromLatin1(kPortalSessionInterface),
                                            QStringLiteral("Closed")));
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        const QString member = message.member();
        const QList<QVariant> arguments = message.arguments();
        if (message.interface() == QLatin1String(kPortalSessionInterface)) {
            closedSessions << message.path();
            connection.send(message.createReply());
            return true;
        }
        if (message.interface() == QLatin1String(kPortalRequestInterface)) {
            ++closedRequests;
            connection.send(message.createReply());
            return true;
        }
        if (member == QLatin1String("Screenshot") && arguments.size() == 2) {
            screenshotOptions = qdbus_cast<QVariantMap>(arguments[1]);
            respond(message, connection, screenshotOptions, screenshotCode,
                    { { QStringLiteral("uri"),
                        QUrl::fromLocalFile(screenshotFile).toString() } });
            return true;
        }
        if (member == QLatin1String("CreateSession") && arguments.size() == 1) {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments[0]);
            const QString session =
                    objectPath(message, QStringLiteral("session"),
                               options.value(QStringLiteral("session_handle_token")).toString());
            sessions << session;
            respond(message, connection, options, sessionCode,
                    { { QStringLiteral("session_handle"), session } });
            return true;
        }
        if (member == QLatin1String("BindShortcuts") && arguments.size() == 4) {
            QList<StandInShortcut> asked;
            arguments[1].value<QDBusArgument>() >> asked;
            bound = asked;
            QVariantMap results;
            if (bindListsShortcut)
                results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(asked));
            respond(message, connection, qdbus_cast<QVariantMap>(arguments[3]), bindCode, results);
            return true;
        }
        return false;
    }

private:
    static QString objectPath(const QDBusMessage &message, const QString &kind,
                              const QString &token)
    {
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        return QString::fromLatin1(kPortalPath) + QLatin1Char('/') + kind + QLatin1Char('/')
                + sender + QLatin1Char('/') + token;
    }

    // The request object as the call's reply, then the request's Response signal.
    void respond(const QDBusMessage &message, const QDBusConnection &connection,
                 const QVariantMap &options, std::uint32_t code, const QVariantMap &results)
    {
        const QString request = objectPath(message, QStringLiteral("request"),
                                           options.value(QStringLiteral("handle_token")).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        if (!answer)
            return;
        QDBusMessage response = QDBusMessage::createSignal(
                request, QString::fromLatin1(kPortalRequestInterface), QStringLiteral("Response"));
        response << code << results;
        connection.send(response);
    }

    QDBusConnection bus;
    bool registered = false;
};
