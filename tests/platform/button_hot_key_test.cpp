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

TEST_F(ButtonHotKeyTest, PressDeliversTheButtonsKeyCodeWhateverTheLockKeys)
{
    struct Row
    {
        int button;
        const char *keys;
        int modifiers; // the message's low word: 8, plus 4 for Shift, 1 for Alt added
    };

    // Caps Lock and Num Lock stay on once pressed. Shift and Alt are extra chords of the button,
    // except where its chord holds Shift already.
    const Row rows[] = { { 1, "key Print", 8 },
                         { 1, "key Caps_Lock key Print", 8 },
                         { 1, "key Num_Lock key Print", 8 },
                         { 1, "key shift+Print", 12 },
                         { 1, "key alt+Print", 9 },
                         { 3, "key super+shift+F10", 8 },
                         { 3, "key super+shift+alt+F10", 9 } };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        ASSERT_TRUE(hotKey->registerButton(rows[i].button));
        press(rows[i].keys);
        ASSERT_TRUE(deliveredCount(i + 1)) << rows[i].keys;
        EXPECT_EQ(delivered[i].message, 786u);
        EXPECT_EQ(delivered[i].first, 256u);
        EXPECT_EQ(delivered[i].second >> 16, 192 + rows[i].button) << rows[i].keys;
        EXPECT_EQ(delivered[i].second & 0xFFFF, rows[i].modifiers) << rows[i].keys;
    }
}

TEST_F(ButtonHotKeyTest, AKeyHeldDownIsOnePress)
{
    ASSERT_TRUE(hotKey->registerButton(1));
    // Held past the server's auto-repeat delay, then pressed once more.
    press("keydown Print sleep 1.5 keyup Print");
    ASSERT_TRUE(deliveredCount(1));
    press("key Print");
    ASSERT_TRUE(deliveredCount(2));
    EXPECT_EQ(delivered.size(), 2u);
}

TEST_F(ButtonHotKeyTest, AnotherClientsGrabRefusesRegistrationAndOursAreGivenBack)
{
    XConnection other(server.display());
    ASSERT_TRUE(hotKey->registerButton(1));
    ASSERT_TRUE(hotKey->registerButton(2));
    // Moving to button 2 let Print go: the other client gets it, and then we cannot.
    ASSERT_TRUE(GrabKey(other, kPrintKeysym));
    EXPECT_FALSE(hotKey->registerButton(1));
    EXPECT_FALSE(hotKey->registerButton(5));
    EXPECT_EQ(hotKey->registeredButton(), 2);
    press("key super+shift+F9");
    ASSERT_TRUE(deliveredCount(1));
    EXPECT_EQ(delivered[0].second >> 16, 194);

    EXPECT_TRUE(hotKey->unregisterButton());
    EXPECT_EQ(hotKey->registeredButton(), 0);
    EXPECT_TRUE(hotKey->unregisterButton());
    ButtonHotKey second([](std::uint32_t, std::uintptr_t, std::intptr_t) {}, server.display());
    EXPECT_TRUE(second.registerButton(2));
}

// A chord another program holds (a desktop's own Shift+Print) is left out without refusing the
// button; the chords held go with the button.
TEST_F(ButtonHotKeyTest, TheExtraChordsAreLeftOutWhereTakenAndGoWithTheButton)
{
    XConnection other(server.display());
    ASSERT_TRUE(GrabKey(other, kPrintKeysym, XCB_MOD_MASK_SHIFT));
    ASSERT_TRUE(hotKey->registerButton(1));
    press("key shift+Print key alt+Print");
    // The presses come in order: Shift+Print would have been delivered before Alt+Print.
    ASSERT_TRUE(deliveredCount(1));
    EXPECT_EQ(delivered[0].second & 0xFFFF, 9) << "the other program's Shift+Print reached us";

    EXPECT_TRUE(hotKey->unregisterButton());
    EXPECT_TRUE(GrabKey(other, kPrintKeysym, XCB_MOD_MASK_1));
}

// Num Lock moved to another modifier: the button is grabbed with the new lock variants before the
// old ones go, and the variants both share (no lock, Caps Lock) stay ours throughout.
TEST_F(ButtonHotKeyTest, AMovedNumLockIsFollowedWithoutLettingTheButtonGo)
{
    hotKey->setMappingChanged([this] { hotKey->registerButton(hotKey->registeredButton()); });
    ASSERT_TRUE(hotKey->registerButton(1));
    XConnection other(server.display());
    ASSERT_EQ(RunCommand("DISPLAY=" + server.display()
                         + " xmodmap -e 'remove mod2 = Num_Lock' -e 'add mod3 = Num_Lock'")
                      .status,
              0);
    // The old variant comes free once the notice was handled.
    ASSERT_TRUE(
            ProcessEventsUntil([&] { return GrabKey(other, kPrintKeysym, XCB_MOD_MASK_2); }, 5000));
    for (int ours : { 0, int(XCB_MOD_MASK_LOCK), int(XCB_MOD_MASK_3), int(XCB_MOD_MASK_SHIFT),
                      XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_3 })
        EXPECT_FALSE(GrabKey(other, kPrintKeysym, static_cast<std::uint16_t>(ours)))
                << "modifiers " << ours;
    press("key Print");
    ASSERT_TRUE(deliveredCount(1));
}

} // namespace
