#include "platform/button_hot_key.h"

#include "tests/platform/x_keys.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/run_command.h"
#include "tests/support/xvfb_server.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct Delivered
{
    std::uint32_t message;
    std::uintptr_t first;
    std::intptr_t second;
};

// One private X server, a hot key on it that records what it delivers, and xdotool to press keys.
class ButtonHotKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureTestApplication();
        ASSERT_TRUE(server.ok()) << server.error();
        hotKey = std::make_unique<ButtonHotKey>(
                [this](std::uint32_t m, std::uintptr_t f, std::intptr_t s) {
                    delivered.push_back({ m, f, s });
                },
                server.display());
        ASSERT_TRUE(hotKey->usable());
    }

    void press(const std::string &keys)
    {
        ASSERT_EQ(RunCommand("DISPLAY=" + server.display() + " xdotool " + keys).status, 0);
    }

    bool deliveredCount(std::size_t n)
    {
        return ProcessEventsUntil([&] { return delivered.size() >= n; }, 5000);
    }

    XvfbServer server;
    std::unique_ptr<ButtonHotKey> hotKey;
    std::vector<Delivered> delivered;
};

TEST_F(ButtonHotKeyTest, PressDeliversTheHotKeyMessageWithAnyLockKeyState)
{
    ASSERT_TRUE(hotKey->registerButton(1));
    EXPECT_EQ(hotKey->registeredButton(), 1);
    // Print alone, then with Caps Lock on, then with Num Lock on as well.
    const char *presses[] = { "key Print", "key Caps_Lock key Print", "key Num_Lock key Print" };
    for (std::size_t i = 0; i < std::size(presses); ++i) {
        press(presses[i]);
        ASSERT_TRUE(deliveredCount(i + 1)) << presses[i];
        EXPECT_EQ(delivered[i].message, 786u);
        EXPECT_EQ(delivered[i].first, 256u);
        EXPECT_EQ(delivered[i].second >> 16, 193);
    }
}

TEST_F(ButtonHotKeyTest, AChordOfModifiersDeliversItsButtonsKeyCode)
{
    ASSERT_TRUE(hotKey->registerButton(3));
    press("key super+shift+F10");
    ASSERT_TRUE(deliveredCount(1));
    EXPECT_EQ(delivered[0].second >> 16, 195);
    EXPECT_EQ(ButtonHotKeyParameter(3) >> 16, 195);
}

TEST_F(ButtonHotKeyTest, AnotherClientsGrabMakesRegistrationFailAndLeavesTheHeldButton)
{
    XConnection other(server.display());
    ASSERT_TRUE(GrabKey(other, kPrintKeysym));
    EXPECT_FALSE(hotKey->registerButton(1));
    EXPECT_EQ(hotKey->registeredButton(), 0);

    // A held button survives a refused change to Print.
    ASSERT_TRUE(hotKey->registerButton(2));
    EXPECT_FALSE(hotKey->registerButton(1));
    EXPECT_EQ(hotKey->registeredButton(), 2);
    press("key super+shift+F9");
    ASSERT_TRUE(deliveredCount(1));
    EXPECT_EQ(delivered[0].second >> 16, 194);

    // Numbers that name no button fail without touching the held one.
    EXPECT_FALSE(hotKey->registerButton(0));
    EXPECT_FALSE(hotKey->registerButton(5));
    EXPECT_EQ(hotKey->registeredButton(), 2);
}

TEST_F(ButtonHotKeyTest, ReleasedAndReplacedGrabsAreFreeForOthers)
{
    ASSERT_TRUE(hotKey->registerButton(1));
    ASSERT_TRUE(hotKey->registerButton(2));
    XConnection other(server.display());
    // Moving to button 2 let Print go; unregistering lets button 2 go as well.
    EXPECT_TRUE(GrabKey(other, kPrintKeysym));
    EXPECT_TRUE(hotKey->unregisterButton());
    EXPECT_EQ(hotKey->registeredButton(), 0);
    EXPECT_TRUE(hotKey->unregisterButton());
    ButtonHotKey second([](std::uint32_t, std::uintptr_t, std::intptr_t) {}, server.display());
    EXPECT_TRUE(second.registerButton(2));
}

TEST_F(ButtonHotKeyTest, AKeyboardMappingChangeIsNoticedAndARegistrationFollowsTheKey)
{
    int changes = 0;
    hotKey->setMappingChanged([&] { ++changes; });
    ASSERT_TRUE(hotKey->registerButton(1));

    // Another client moves Print to a key code that had no symbol.
    XConnection other(server.display());
    ASSERT_NE(MoveKeysymToSpareKey(other, kPrintKeysym), 0);
    ASSERT_TRUE(ProcessEventsUntil([&] { return changes > 0; }, 5000));

    ASSERT_TRUE(hotKey->unregisterButton());
    ASSERT_TRUE(hotKey->registerButton(1));
    press("key Print");
    ASSERT_TRUE(deliveredCount(1));
    EXPECT_EQ(delivered[0].second >> 16, 193);
}

} // namespace
