#include "app/send_picture.h"

#include "common/host_path.h"
#include "platform/file_sender.h"
#include "platform/program_start.h"
#include "tests/platform/recording_starter.h"
#include "tests/platform/scoped_env.h"

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>

namespace {

class RecordingSink final : public MessageBoxSink
{
public:
    int show(const MessageBoxRequest &request) override
    {
        shown.push_back(request);
        return MessageBoxAnswer::Ok;
    }

    bool isLiveWindow(WindowHandle window) const override { return window == this; }

    WindowHandle mainWindow() const override { return nullptr; }

    std::vector<MessageBoxRequest> shown;
};

class FileSenderTest : public ::testing::Test
{
protected:
    void SetUp() override { previousSink = SetMessageBoxSink(&sink); }

    void TearDown() override { SetMessageBoxSink(previousSink); }

    RecordingSink sink;
    MessageBoxSink *previousSink = nullptr;
};

} // namespace

TEST_F(FileSenderTest, StartsTheSenderWithTheHostPath)
{
    RecordingStarter starter;
    {
        ScopedEnv env("VISTREL_SENDER", std::nullopt);
        SendViaInfrared(&sink, "\\Pictures", "a b.jpg");
    }
    {
        ScopedEnv env("VISTREL_SENDER", "my-sender");
        SendFile("\\c.gif");
    }
    {
        ScopedEnv env("VISTREL_SENDER", "kdeconnect-cli --share");
        SendFile("\\c.gif");
    }
    ASSERT_EQ(starter.calls.size(), 3u);
    EXPECT_EQ(starter.calls[0].first, "bluetooth-sendto");
    EXPECT_EQ(starter.calls[0].second,
              std::vector<std::string>{ DeviceRoot() + "/Pictures/a b.jpg" });
    EXPECT_EQ(starter.calls[1].first, "my-sender");
    EXPECT_EQ(starter.calls[1].second, std::vector<std::string>{ DeviceRoot() + "/c.gif" });
    EXPECT_EQ(starter.calls[2].first, "kdeconnect-cli");
    EXPECT_EQ(starter.calls[2].second,
              (std::vector<std::string>{ "--share", DeviceRoot() + "/c.gif" }));
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(FileSenderTest, FailedStartThrowsTheMemoryMessageWithTheErrorNumber)
{
    RecordingStarter starter;
    starter.result = EACCES;
    try {
        SendFile("\\a.jpg");
        ADD_FAILURE() << "no exception";
    } catch (const CAlbException &e) {
        EXPECT_EQ(e.messageId, 46040u);
        EXPECT_EQ(e.module, 101u);
        EXPECT_EQ(e.place, 100u);
        EXPECT_EQ(e.step, 10u);
        EXPECT_EQ(e.extra, static_cast<std::uint32_t>(EACCES));
        EXPECT_TRUE(e.text.empty());
    }
}

// The real starter, with a sender that does not exist: the report carries both locations.
TEST_F(FileSenderTest, MissingSenderIsReportedWithBothLocations)
{
    ScopedEnv env("VISTREL_SENDER", "/nonexistent/vistrel-sender");
    SendViaInfrared(&sink, "\\", "a.jpg");
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].owner, &sink);
    EXPECT_EQ(sink.shown[0].title, "Vistrel");
    EXPECT_EQ(sink.shown[0].text,
              "Cannot send file by infrared!\n36001:400:10\nNot enough memory.\n"
              "101:100:10:"
                      + std::to_string(ENOENT));
}

TEST_F(FileSenderTest, EmptyPathSendsNothing)
{
    RecordingStarter starter;
    SendViaInfrared(&sink, "", "");
    EXPECT_TRUE(starter.calls.empty());
    EXPECT_TRUE(sink.shown.empty());
}
