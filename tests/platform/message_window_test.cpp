// Numbered messages and timers by id on real Qt objects.
#include "platform/message_window.h"
#include "tests/support/qt_test_app.h"

#include <QObject>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

struct Recorder : QObject, MessageWindow
{
    std::vector<std::uint32_t> messages;
    std::vector<std::uint32_t> ticks;
    WindowTimers timers{ this, this };

    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second) override
    {
        messages.push_back(message);
        return static_cast<std::intptr_t>(first) + second;
    }

    void onTimer(std::uint32_t id) override
    {
        ticks.push_back(id);
        if (id == 120 && std::count(ticks.begin(), ticks.end(), 120u) == 1)
            timers.set(120, 1, true); // a one-shot handler may set its timer again
    }
};

TEST(MessageWindowTest, SentAtOncePostedLaterInOrderAndDroppedWithTheWindow)
{
    EnsureTestApplication();
    Recorder window;
    EXPECT_EQ(SendMessageTo(&window, 1112, 3, 4), 7);
    EXPECT_EQ(SendMessageTo(nullptr, 1112), 0);

    PostMessageTo(&window, &window, 1113);
    PostMessageTo(&window, &window, 1116);
    EXPECT_EQ(window.messages, std::vector<std::uint32_t>{ 1112 });
    ProcessEventsUntil([&] { return window.messages.size() == 3; });
    EXPECT_EQ(window.messages, (std::vector<std::uint32_t>{ 1112, 1113, 1116 }));

    // A message posted to a window that is gone before the loop runs is never delivered.
    auto gone = std::make_unique<Recorder>();
    PostMessageTo(gone.get(), gone.get(), 1112);
    gone.reset();
    QCoreApplication::processEvents();
}

TEST(MessageWindowTest, TimersByIdRepeatStopAndFireOnce)
{
    EnsureTestApplication();
    Recorder window;
    window.timers.set(25, 1);
    window.timers.set(120, 5, true);
    ProcessEventsUntil([&] { return std::count(window.ticks.begin(), window.ticks.end(), 120u) == 2; });
    window.timers.kill(25);
    EXPECT_FALSE(window.timers.isActive(25));
    EXPECT_FALSE(window.timers.isActive(120));
    EXPECT_GE(std::count(window.ticks.begin(), window.ticks.end(), 25u), 2);
    EXPECT_EQ(std::count(window.ticks.begin(), window.ticks.end(), 120u), 2);

    const auto before = window.ticks.size();
    ProcessEventsUntil([] { return false; }, 30);
    EXPECT_EQ(window.ticks.size(), before);
}

} // namespace
