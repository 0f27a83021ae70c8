#include "platform/sounds.h"

#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace {

class RecordingPlayer final : public SoundPlayer
{
public:
    void beep() override { ++beeps; }

    void playSound(const std::string &name) override { sounds += name + "|"; }

    int beeps = 0;
    std::string sounds;
};

std::string waitForFile(const std::string &path)
{
    for (int i = 0; i < 100 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

// The program's calls reach the installed player, and removing it brings the default back.
TEST(SoundsTest, ReplaceablePlayer)
{
    RecordingPlayer recorder;
    EXPECT_EQ(SetSoundPlayer(&recorder), nullptr);
    DefaultBeep();
    PlaySystemSound("Critical");
    EXPECT_EQ(SetSoundPlayer(nullptr), &recorder);
    EXPECT_EQ(recorder.beeps, 1);
    EXPECT_EQ(recorder.sounds, "Critical|");
    EXPECT_EQ(SetSoundPlayer(nullptr), nullptr);
}

// The default player hands the sound's event name to the desktop's player, found on the PATH.
TEST(SoundsTest, DefaultPlayerStartsTheEventPlayer)
{
    TempDir dir;
    std::string record = dir.file("arguments");
    std::string script = dir.file("canberra-gtk-play");
    std::ofstream(script) << "#!/bin/sh\necho \"$@\" > " << record << ".part && mv " << record
                          << ".part " << record << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    ScopedEnv path("PATH", dir.path().string() + ":/usr/bin:/bin");

    PlaySystemSound("critical");
    EXPECT_EQ(waitForFile(record), "-i dialog-error\n");
    EXPECT_EQ(SoundEventName("Exclamation"), "dialog-warning");
    EXPECT_EQ(SoundEventName("Unknown"), "bell");
}
