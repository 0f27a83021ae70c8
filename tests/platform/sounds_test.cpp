#include "platform/sounds.h"

#include "tests/platform/scoped_env.h"
#include "tests/support/sound_recorder.h"

#include <gtest/gtest.h>

namespace {

// The default player with only its beep replaced: what it plays itself goes to the desktop.
class BeepCounter final : public SoundPlayer
{
public:
    void beep() override { ++beeps; }

    int beeps = 0;
};

} // namespace

// The program's calls reach the installed player; a player installed on top of another gives it
// back when it goes, and the last one brings the default back.
TEST(SoundsTest, ReplaceablePlayer)
{
    {
        SoundRecorder outer;
        DefaultBeep();
        {
            SoundRecorder inner;
            PlaySystemSound("Critical");
            EXPECT_EQ(inner.sounds, std::vector<std::string>{ "Critical" });
        }
        PlaySystemSound("Question");
        EXPECT_EQ(outer.sounds, (std::vector<std::string>{ "beep", "Question" }));
    }
    EXPECT_EQ(SetSoundPlayer(nullptr), nullptr);
}

// A named sound is the sound theme's event; the desktop plays it when it can, and the player
// beeps when it cannot (here: a sound driver that does not exist).
TEST(SoundsTest, NamedSoundsAreThemeEventsAndBeepWhenTheyCannotPlay)
{
    EXPECT_EQ(SoundEventName("critical"), "dialog-error");
    EXPECT_EQ(SoundEventName("Exclamation"), "dialog-warning");
    EXPECT_EQ(SoundEventName("Unknown"), "bell");

    ScopedEnv driver("CANBERRA_DRIVER", "no-such-driver");
    BeepCounter player;
    player.playSound("Critical");
    EXPECT_EQ(player.beeps, 1);
}
