// The notice after a capture, through a stand-in notification server on a private session bus:
// what it says and shows, and what its actions do.
#include "capture/capture_notice.h"

#include "common/host_path.h"
#include "tests/platform/portal_standin.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

#include <QDBusVirtualObject>

#include <fstream>
#include <gtest/gtest.h>

namespace {

// org.freedesktop.Notifications as published: Notify answers with the notice's id; invoke()
// sends ActionInvoked as when the user picks an action.
class NoticeServer final : public QDBusVirtualObject
{
public:
    explicit NoticeServer(QDBusConnection connection) : bus(std::move(connection))
    {
        registered = bus.registerService(QString::fromLatin1(kNoticeService))
                && bus.registerVirtualObject(QString::fromLatin1(kNoticePath), this);
    }

    ~NoticeServer() override
    {
        bus.unregisterObject(QString::fromLatin1(kNoticePath));
        bus.unregisterService(QString::fromLatin1(kNoticeService));
    }

    bool ok() const { return registered; }

    void invoke(uint id, const QString &key)
    {
        QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(kNoticePath),
                                                         QString::fromLatin1(kNoticeService),
                                                         QStringLiteral("ActionInvoked"));
        signal << id << key;
        bus.send(signal);
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() != QLatin1String("Notify"))
            return false;
        calls << message.arguments();
        connection.send(message.createReply(QVariant::fromValue(uint(calls.size()))));
        return true;
    }

    // The arguments of each Notify.
    QList<QList<QVariant>> calls;

private:
    QDBusConnection bus;
    bool registered = false;
};

// org.freedesktop.FileManager1: ShowItems is recorded.
class FileManager final : public QDBusVirtualObject
{
public:
    explicit FileManager(QDBusConnection connection) : bus(std::move(connection))
    {
        bus.registerService(QStringLiteral("org.freedesktop.FileManager1"));
        bus.registerVirtualObject(QStringLiteral("/org/freedesktop/FileManager1"), this);
    }

    ~FileManager() override
    {
        bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() != QLatin1String("ShowItems"))
            return false;
        shown << message.arguments().value(0).toStringList();
        connection.send(message.createReply());
        return true;
    }

    QStringList shown;

private:
    QDBusConnection bus;
};

// The image-data hint as width, height, row stride, alpha, bits, channels and the byte count.
std::vector<int> ImageFacts(const QVariantMap &hints)
{
    const QDBusArgument argument = hints.value(QStringLiteral("image-data")).value<QDBusArgument>();
    int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
    bool alpha = true;
    QByteArray bytes;
    argument.beginStructure();
    argument >> width >> height >> stride >> alpha >> bits >> channels >> bytes;
    argument.endStructure();
    return { width, height, stride, alpha, bits, channels, static_cast<int>(bytes.size()) };
}

class CaptureNoticeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        if (!bus.ok())
            GTEST_SKIP() << "no private session bus (dbus-daemon): " << bus.error();
    }

    // A 600 x 300 picture whose rows are 601 pixels apart.
    PixelSpan pixels()
    {
        store.assign(601 * 300 * 3, 0x5a);
        return PixelSpan::Padded(store.data(), 600, 300, 1);
    }

    PrivateSessionBus bus;
    std::vector<std::uint8_t> store;
    std::vector<std::string> opened;
};

TEST_F(CaptureNoticeTest, TheNoticeNamesThePictureAndItsActionsOpenItOrShowItsFolder)
{
    NoticeServer server(bus.connect(QStringLiteral("server")));
    ASSERT_TRUE(server.ok());
    CaptureNotice notice([this](const std::string &path) { opened.push_back(path); },
                         bus.connect(QStringLiteral("album")));
    const std::string path = "\\Shots\\ornsnap001.bmp";
    notice.announce(path, pixels());
    ASSERT_TRUE(ProcessEventsUntil([&] { return server.calls.size() == 1; }, 5000));
    const QList<QVariant> &call = server.calls[0];
    EXPECT_EQ(call.value(0).toString(), QStringLiteral("Vistrel"));
    EXPECT_EQ(call.value(2).toString(), QStringLiteral("vistrel"));
    EXPECT_EQ(call.value(3).toString(), QStringLiteral("Screen captured"));
    EXPECT_EQ(call.value(4).toString(), QStringLiteral("ornsnap001.bmp"));
    EXPECT_EQ(call.value(5).toStringList(),
              (QStringList{ "default", "Open", "open", "Open", "folder", "Show in folder" }));
    EXPECT_EQ(ImageFacts(qdbus_cast<QVariantMap>(call.value(6))),
              (std::vector<int>{ 256, 128, 768, false, 8, 3, 768 * 128 }));

    server.invoke(1, QStringLiteral("open"));
    server.invoke(1, QStringLiteral("default"));
    server.invoke(7, QStringLiteral("open")); // another program's notice
    ASSERT_TRUE(ProcessEventsUntil([&] { return opened.size() == 2; }, 5000));
    EXPECT_EQ(opened, (std::vector<std::string>{ path, path }));

    // Show in folder: the file manager's ShowItems, else the desktop's opener on the folder.
    {
        FileManager files(bus.connect(QStringLiteral("files")));
        server.invoke(1, QStringLiteral("folder"));
        ASSERT_TRUE(ProcessEventsUntil([&] { return !files.shown.isEmpty(); }, 5000));
        EXPECT_EQ(files.shown,
                  QStringList{
                          QUrl::fromLocalFile(QString::fromStdString(HostPath(path))).toString() });
    }
    TempDir bin;
    const std::string opener = bin.file("xdg-open");
    std::ofstream(opener)
            << "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.out.tmp\" && mv \"$0.out.tmp\" \"$0.out\"\n";
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    ScopedEnv searchPath(std::string("PATH"), bin.path().string() + ":" + std::getenv("PATH"));
    server.invoke(1, QStringLiteral("folder"));
    ASSERT_TRUE(ProcessEventsUntil([&] { return std::filesystem::exists(opener + ".out"); }, 5000));
    std::ifstream out(opener + ".out");
    std::string folder;
    std::getline(out, folder);
    EXPECT_EQ(folder, HostPath("\\Shots"));
}

} // namespace
