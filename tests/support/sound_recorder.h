#pragma once

#include "platform/sounds.h"

#include <algorithm>
#include <string>
#include <vector>

// Keeps the sounds the program asks for instead of making them, for as long as it lives: "beep"
// for the default beep, else the sound's name.
class SoundRecorder final : public SoundPlayer
{
public:
    SoundRecorder() { previous = SetSoundPlayer(this); }

    ~SoundRecorder() override { SetSoundPlayer(previous); }

    SoundRecorder(const SoundRecorder &) = delete;
    SoundRecorder &operator=(const SoundRecorder &) = delete;

    void beep() override { sounds.push_back("beep"); }

    void playSound(const std::string &name) override { sounds.push_back(name); }

    int beeps() const { return static_cast<int>(std::count(sounds.begin(), sounds.end(), "beep")); }

    std::vector<std::string> sounds;

private:
    SoundPlayer *previous = nullptr;
};
