// The main frame hands its numbered messages and timers to the handler the program sets: sent,
// posted and timed.
#include "app/app_settings.h"
#include "app/frame_messages.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "tests/support/qt_test_app.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class Recorder final : public FrameMessageHandler
{
public:
    std::intptr_t onFrameMessage(std::uint32_t message, std::uintptr_t first,
                                 std::intptr_t second) override
    {
        messages.push_back({ message, static_cast<std::intptr_t>(first), second });
        return 7;
    }

    bool onFrameTimer(std::uint32_t timerId) override
    {
        timers.push_back(timerId);
        return true;
    }

    std::vector<std::vector<std::intptr_t>> messages;
    std::vector<std::uint32_t> timers;
};

TEST(FrameMessages, ReachTheHandlerSentPostedAndTimed)
{
    EnsureTestApplication();
    AppSettings settings;
    CMainFrame frame(settings);
    EXPECT_EQ(SendMessageTo(&frame, WM_HOTKEY, 0, 35 << 16), 0) << "nothing without a handler";

    Recorder recorder;
    frame.setMessageHandler(&recorder);
    EXPECT_EQ(SendMessageTo(&frame, WM_HOTKEY, 0, 35 << 16), 7);
    frame.postFrameMessage(WM_CAPTURE_CONFIRM, 1234, 3);
    frame.windowTimers().set(CaptureTimer, 0, true);
    ASSERT_TRUE(ProcessEventsUntil(
            [&] { return recorder.messages.size() == 2 && !recorder.timers.empty(); }));
    EXPECT_EQ(recorder.messages[0], (std::vector<std::intptr_t>{ WM_HOTKEY, 0, 35 << 16 }));
    EXPECT_EQ(recorder.messages[1], (std::vector<std::intptr_t>{ WM_CAPTURE_CONFIRM, 1234, 3 }));
    EXPECT_EQ(recorder.timers, std::vector<std::uint32_t>{ CaptureTimer });
    frame.setMessageHandler(nullptr);
}

} // namespace
