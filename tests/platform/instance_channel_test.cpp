#include "platform/instance_channel.h"

#include "tests/support/temp_dir.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <cstring>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using Received = std::vector<std::pair<InstanceRequest, std::uint32_t>>;

// Runs the event loop until count requests arrived or a second passed.
void WaitFor(const Received &received, std::size_t count)
{
    QElapsedTimer timer;
    timer.start();
    while (received.size() < count && timer.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

class InstanceChannelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        name = QString::fromStdString(dir.file("channel"));
        QObject::connect(&first, &InstanceChannel::requested, &first,
                         [this](InstanceRequest request, std::uint32_t id) {
                             received.emplace_back(request, id);
                         });
    }

    TempDir dir;
    QString name;
    InstanceChannel first{ QString::fromStdString(dir.file("channel")) };
    Received received;
};

TEST_F(InstanceChannelTest, SecondStartHandsOverAndAsksInOrder)
{
    ASSERT_EQ(first.claim({}, 0), InstanceChannel::Role::First);

    for (const bool withCommand : { true, false }) {
        SCOPED_TRACE(withCommand);
        received.clear();
        int handOvers = 0;
        InstanceChannel second(name);
        const auto role = second.claim(
                [&] {
                    ++handOvers;
                    return withCommand;
                },
                30501, 2, 10);
        EXPECT_EQ(role, InstanceChannel::Role::HandedOver);
        EXPECT_EQ(handOvers, 1);

        Received expected{ { InstanceRequest::Raise, 0 } };
        if (withCommand)
            expected.emplace_back(InstanceRequest::RunCommand, 30501);
        WaitFor(received, expected.size());
        EXPECT_EQ(received, expected);
    }
}

TEST_F(InstanceChannelTest, StaleSocketOfACrashedRunIsReplaced)
{
    // A bound socket file nobody listens on, as a killed first instance leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = name.toStdString();
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    ::close(fd);

    // A refused connection means nobody listens: no waiting out the attempts (a minute here).
    bool handedOver = false;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(first.claim([&] { return handedOver = true; }, 30501, 5, 15000),
              InstanceChannel::Role::First);
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_FALSE(handedOver);

    InstanceChannel second(name);
    EXPECT_EQ(second.claim({}, 0, 2, 10), InstanceChannel::Role::HandedOver);
    WaitFor(received, 1);
    EXPECT_EQ(received, (Received{ { InstanceRequest::Raise, 0 } }));
}

TEST_F(InstanceChannelTest, ForeignTrafficIsIgnored)
{
    ASSERT_EQ(first.claim({}, 0), InstanceChannel::Role::First);
    QLocalSocket socket;
    socket.connectToServer(name);
    ASSERT_TRUE(socket.waitForConnected(1000));
    socket.write("hello\ncommand x\nraise please\n");
    socket.write(QByteArray(4000, 'z'));
    socket.flush();
    socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    WaitFor(received, 1);
    EXPECT_TRUE(received.empty());

    // The channel still serves real requests afterwards.
    InstanceChannel second(name);
    EXPECT_EQ(second.claim([] { return true; }, 30501, 1, 10), InstanceChannel::Role::HandedOver);
    WaitFor(received, 2);
    EXPECT_EQ(received.size(), 2u);
}

TEST(InstanceChannelName, DependsOnProgramAndSettingsAndFitsASocketAddress)
{
    const QString a =
            InstanceChannelName("/usr/bin/vistrel", "/home/u/.config/Ornwick/Vistrel.conf");
    EXPECT_EQ(a, InstanceChannelName("/usr/bin/vistrel", "/home/u/.config/Ornwick/Vistrel.conf"));
    EXPECT_NE(a, InstanceChannelName("/opt/bin/vistrel", "/home/u/.config/Ornwick/Vistrel.conf"));
    EXPECT_NE(a, InstanceChannelName("/usr/bin/vistrel", "/tmp/x/Ornwick/Vistrel.conf"));
    EXPECT_LT(a.toUtf8().size(), static_cast<qsizetype>(sizeof(sockaddr_un::sun_path)));
    EXPECT_FALSE(ProgramFilePath().empty());
}

} // namespace
