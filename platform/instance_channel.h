#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

class QLocalServer;
class QLocalSocket;

// What a second start of the program asks of the running one.
enum class InstanceRequest {
    Raise, // bring the main window forward
    RunCommand, // run a command by id on the running instance (the handed-over command line)
};

// The full path of the running program file (symbolic links resolved), "" when unknown.
std::string ProgramFilePath();

// The name of the channel for one program file, user and settings file. The settings file takes
// part because the command line travels through it: two instances that read different settings
// files could not hand a command line to each other.
QString InstanceChannelName(const std::string &programPath, const std::string &settingsPath);

// Keeps the program to one running instance per channel name. The first instance listens on a
// local socket; a later one reaches it there, hands over its requests and ends.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Role {
        First, // this process listens and receives the requests of later starts
        HandedOver, // the running instance was reached and asked; this process should end
        Alone, // no instance reached and the channel could not be opened: start anyway
    };

    // Asked once the running instance is reached, before any request is sent: returns whether
    // the running instance should also run a command (RunCommand); the caller stores what that
    // command needs first.
    using HandOver = std::function<bool()>;

    explicit InstanceChannel(QString serverName, QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Listens when no other instance holds the name. Otherwise tries up to attempts times,
    // intervalMs apart, to reach it; reached, it calls handOver and sends Raise and, when
    // handOver says so, RunCommand with commandId. Not reached, it removes the stale socket a
    // crashed run left behind and listens. A socket file of another user is never talked to.
    Role claim(const HandOver &handOver, std::uint32_t commandId, int attempts = 5,
               int intervalMs = 1000);

    const QString &name() const { return serverName; }

signals:
    // One signal per request of a later start, in the order they were sent.
    void requested(InstanceRequest request, std::uint32_t commandId);

private:
    bool listen();
    void acceptConnections();
    void readRequests(QLocalSocket *socket);

    QString serverName;
    QLocalServer *server = nullptr;
};
