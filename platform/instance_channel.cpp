#include "platform/instance_channel.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A request travels as one short line of text; anything longer than this is not ours.
constexpr qsizetype kMaxRequestBytes = 256;
constexpr int kWriteTimeoutMs = 2000;

const QByteArray kRaiseLine = "raise";
const QByteArray kCommandPrefix = "command ";

// Where the socket lives: the user's private runtime folder when the session has one, else the
// temporary folder.
QString SocketFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    return QDir::tempPath();
}

// A socket file that another user made is not a running instance of ours; talking to it would
// hand our requests to a stranger.
bool OwnedByAnotherUser(const QString &path)
{
    struct stat facts
    { };

    return ::lstat(QFile::encodeName(path).constData(), &facts) == 0 && facts.st_uid != ::getuid();
}

bool SendLine(QLocalSocket &socket, const QByteArray &line)
{
    return socket.write(line + '\n') == line.size() + 1;
}

} // namespace

std::string ProgramFilePath()
{
    char resolved[PATH_MAX];
    if (!::realpath("/proc/self/exe", resolved))
        return {};
    return resolved;
}

QString InstanceChannelName(const std::string &programPath, const std::string &settingsPath)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QByteArray::fromStdString(programPath));
    hash.addData(QByteArray("\n") + QByteArray::number(::getuid()) + "\n");
    hash.addData(QByteArray::fromStdString(settingsPath));
    const QByteArray digest = hash.result().toHex().left(16);
    return SocketFolder() + "/vistrel-" + QString::fromLatin1(digest);
}

InstanceChannel::InstanceChannel(QString name, QObject *parent)
    : QObject(parent), serverName(std::move(name))
{ }

InstanceChannel::~InstanceChannel() = default;

InstanceChannel::Role InstanceChannel::claim(const HandOver &handOver, std::uint32_t commandId,
                                             int attempts, int intervalMs)
{
    if (listen())
        return Role::First;
    if (OwnedByAnotherUser(serverName))
        return Role::Alone;

    QLocalSocket socket;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0)
            QThread::msleep(static_cast<unsigned long>(intervalMs));
        socket.connectToServer(serverName);
        if (socket.waitForConnected(intervalMs))
            break;
        // A refused connection means nobody listens on the socket file: a crashed run left it.
        // Only a server that is there but busy is worth waiting for.
        const bool nobodyListens = socket.error() == QLocalSocket::ConnectionRefusedError
                || socket.error() == QLocalSocket::ServerNotFoundError;
        socket.abort();
        if (nobodyListens)
            break;
    }

    if (socket.state() == QLocalSocket::ConnectedState) {
        const bool runCommand = handOver ? handOver() : false;
        bool sent = SendLine(socket, kRaiseLine);
        if (runCommand)
            sent = SendLine(socket, kCommandPrefix + QByteArray::number(commandId)) && sent;
        socket.flush();
        while (sent && socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kWriteTimeoutMs)) { }
        socket.disconnectFromServer();
        if (socket.state() != QLocalSocket::UnconnectedState)
            socket.waitForDisconnected(kWriteTimeoutMs);
        return Role::HandedOver;
    }

    // Nobody answers on the name: the socket file is what a crashed run left behind.
    QLocalServer::removeServer(serverName);
    return listen() ? Role::First : Role::Alone;
}

bool InstanceChannel::listen()
{
    if (!server) {
        // No access options: with them the server binds elsewhere and renames the socket over
        // the name, silently taking it from a running instance. Without write permission on
        // the socket file (the umask takes it from others) nobody else can connect.
        server = new QLocalServer(this);
        connect(server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    }
    return server->isListening() || server->listen(serverName);
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequests(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            readRequests(socket);
            socket->deleteLater();
        });
        // Lines that arrived with the connection are already waiting.
        readRequests(socket);
    }
}

void InstanceChannel::readRequests(QLocalSocket *socket)
{
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine(kMaxRequestBytes).trimmed();
        if (line == kRaiseLine) {
            emit requested(InstanceRequest::Raise, 0);
        } else if (line.startsWith(kCommandPrefix)) {
            bool ok = false;
            const uint id = line.mid(kCommandPrefix.size()).toUInt(&ok);
            if (ok)
                emit requested(InstanceRequest::RunCommand, id);
        }
    }
    // A sender that writes more than a request without ending the line is not one of ours.
    if (socket->bytesAvailable() > kMaxRequestBytes)
        socket->abort();
}
